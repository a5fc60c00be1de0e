#pragma once

#include "feed/feedsource.h"

#include <QByteArray>
#include <QString>

#include <memory>

struct FeedReadResult
{
    std::shared_ptr<const FeedSource> feed;
    // Without a feed: why it could not be read, and the line where that showed.
    QString problem;
    qint64 line = 0;
};

// Reads an RSS feed (2.0, and the older 0.91 to 0.94 or one without a version) in any encoding
// its XML declaration names. Namespaced elements are told apart by their namespace, whatever
// prefix the feed gives them.
// A quick scanner reads ordinary feeds; the rest are read with QXmlStreamReader.
[[nodiscard]] FeedReadResult readFeed(const QByteArray &bytes);
// With QXmlStreamReader only: the same result for every feed both take.
[[nodiscard]] FeedReadResult readFeedThoroughly(const QByteArray &bytes);
