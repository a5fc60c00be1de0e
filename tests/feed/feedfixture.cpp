#include "tests/feed/feedfixture.h"

#include "feed/feeddocument.h"
#include "feed/itemstore.h"

FeedItem sampleItem(const QString &title, const QString &author)
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
    ItemStore itemStore;
    for (const FeedItem &item : feed.items)
        itemStore.append(item);
    return feedFileBytes(feedDocument(feedHeaderTemplate(), channelBlock(feed.channel), itemStore.text(),
                                      feedFooterTemplate()));
}
