#pragma once

#include "feed/channelfields.h"
#include "feed/feeditem.h"
#include "feed/namespaceneeds.h"
#include "feed/publishingdetails.h"

#include <QString>

// The elements of a feed that the window edits, one value (or a few that belong together) each,
// and how the window writes them.

enum class ChannelElement
{
    Title,
    Author,
    Description,
    Link,
    Language,
    Artwork,
    Category,
    Explicit,
    Owner,
    FeedUrl,
};
inline constexpr int ChannelElementCount = 10;

enum class ItemElement
{
    Title,
    Description,
    Link,
    Date,
    Author,
    Enclosure,
    Guid,
    Duration,
    Episode,
    Season,
    EpisodeType,
    TranscriptVtt,
    TranscriptSrt,
    Chapters,
};
inline constexpr int ItemElementCount = 14;

// The channel's values as the window holds them.
struct ChannelValues
{
    ChannelFields fields;
    PublishingDetails details;
};

[[nodiscard]] bool hasValue(ChannelElement element, const ChannelValues &values);
[[nodiscard]] bool sameValue(ChannelElement element, const ChannelValues &a, const ChannelValues &b);
void appendChannelElement(QString &text, ChannelElement element, const ChannelValues &values,
                          NamespaceNeeds &needs);

[[nodiscard]] bool hasValue(ItemElement element, const FeedItem &item);
[[nodiscard]] bool sameValue(ItemElement element, const FeedItem &a, const FeedItem &b);
void appendItemElement(QString &text, ItemElement element, const FeedItem &item, NamespaceNeeds &needs);
