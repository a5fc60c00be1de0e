#include "tests/feed/document/feedfixture.h"

#include "feed/document/feeddocument.h"

ItemFields sampleItem(const QString &title, const QString &author)
{
    return {title,
            QStringLiteral("About %1").arg(title),
            QStringLiteral("https://example.org/episodes/%1").arg(title.toLower()),
            QStringLiteral("Sun, 06 Dec 2026 03:05:09 GMT"),
            author,
            QStringLiteral("https://example.org/audio/%1.wav").arg(title.toLower()),
            QStringLiteral("1,234,567"),
            QStringLiteral("audio/wav")};
}

QByteArray savedFeedBytes(const FeedFields &feed)
{
    QString itemStore;
    for (const ItemFields &item : feed.items)
        itemStore += itemBlock(item.title, item.description, item.link, item.date, item.author,
                               item.enclosureUrl, item.enclosureLength, item.enclosureType);
    const ChannelFields &channel = feed.channel;
    return feedFileBytes(feedDocument(
        feedHeaderTemplate(), channelBlock(channel.title, channel.author, channel.description, channel.link),
        itemStore, feedFooterTemplate()));
}
