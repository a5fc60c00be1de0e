#pragma once

#include <QString>

// One episode of the feed, with its values as they read when it was added or opened.
struct FeedItem
{
    QString title;
    QString description;
    QString link;
    QString date;
    // The channel author as it read when the item was added.
    QString author;
    QString enclosureUrl;
    QString enclosureLength;
    QString enclosureType;
    // Written only with publishing details. Empty guid: the enclosure address stands in for it.
    QString guid{};
    // The play time as the feed gives it (whole seconds for items added here); empty when unknown.
    QString duration{};
    // Episode numbering for podcast apps: a number, a season number, and "full", "trailer" or "bonus".
    QString episode{};
    QString season{};
    QString episodeType{};
    // Addresses of the transcripts (WebVTT, SubRip) and the chapters file beside the sound file.
    QString transcriptVttUrl{};
    QString transcriptSrtUrl{};
    QString chaptersUrl{};

    friend bool operator==(const FeedItem &, const FeedItem &) = default;
};
