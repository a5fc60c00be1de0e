#pragma once

#include "feed/channelfields.h"
#include "feed/feeditem.h"

#include <QByteArray>
#include <QList>
#include <QMetaType>
#include <QString>

// The field values a user would type into the feed window, for tests that build whole feeds.
struct FeedFields
{
    ChannelFields channel;
    QList<FeedItem> items;
};
Q_DECLARE_METATYPE(FeedFields)

// An item with the given title and author and ordinary values for everything else.
[[nodiscard]] FeedItem sampleItem(const QString &title, const QString &author);

// What saving would write: the items appended to the item store in order, then the document.
[[nodiscard]] QByteArray savedFeedBytes(const FeedFields &feed);
