#pragma once

#include "feed/channelfields.h"
#include "feed/feeditem.h"
#include "feed/publishingdetails.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

#include <optional>

// A podcast feed as read from a file: what the feed window keeps of it.
struct OpenedFeed
{
    ChannelFields channel;
    // Present when the feed carries any of the elements the publishing details write.
    std::optional<PublishingDetails> details;
    QList<FeedItem> items;
    // Elements the window does not keep, named as the feed writes them, each once, in order.
    QStringList unkeptParts;
};

struct FeedReadResult
{
    std::optional<OpenedFeed> feed;
    // Without a feed: why it could not be read, and the line where that showed.
    QString problem;
    qint64 line = 0;
};

// Reads an RSS 2.0 feed in any encoding its XML declaration names. Namespaced elements are
// told apart by their namespace, whatever prefix the feed gives them.
[[nodiscard]] FeedReadResult readFeed(const QByteArray &bytes);
