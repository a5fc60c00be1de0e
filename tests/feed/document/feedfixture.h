#pragma once

#include <QByteArray>
#include <QList>
#include <QMetaType>
#include <QString>

// The field values a user would type into the feed window, for tests that build whole feeds.
struct ChannelFields
{
    QString title;
    QString author;
    QString description;
    QString link;
};

struct ItemFields
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
};

struct FeedFields
{
    ChannelFields channel;
    QList<ItemFields> items;
};
Q_DECLARE_METATYPE(FeedFields)

// An item with the given title and author and ordinary values for everything else.
[[nodiscard]] ItemFields sampleItem(const QString &title, const QString &author);

// What saving would write: the items appended to the item store in order, then the document.
[[nodiscard]] QByteArray savedFeedBytes(const FeedFields &feed);
