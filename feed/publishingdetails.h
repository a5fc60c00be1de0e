#pragma once

#include <QLocale>
#include <QString>

// What podcast directories ask of a feed beyond its channel fields. Empty values are left out
// of the feed; a feed opened from another program may carry only some of them.
struct PublishingDetails
{
    QString language; // ISO 639, with a region if wanted: "en", "pt-BR"
    QString artworkUrl;
    QString category;
    QString subcategory;
    bool explicitContent = false;
    QString ownerName;
    QString ownerEmail;
    QString feedUrl; // where the feed itself is published

    friend bool operator==(const PublishingDetails &, const PublishingDetails &) = default;
};

// The language of the user's locale as a feed names it: "en", "de-AT".
[[nodiscard]] QString languageTagOf(const QLocale &locale);
[[nodiscard]] bool isIso639LanguageTag(const QString &tag);

// What is wrong with details typed in by the user, in words for a message; empty when nothing is.
// A category the feed already had is kept even when Apple's list lacks it.
[[nodiscard]] QString publishingDetailsProblem(const PublishingDetails &details,
                                               const PublishingDetails &before = {});
