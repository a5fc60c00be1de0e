// Arbitrary bytes as a feed file: reading never crashes, a feed that opens is written back
// unchanged byte for byte (as UTF-8 RSS 2.0), and an edited one still reads as a feed with
// the edit in it.
#include "feed/feedreader.h"
#include "feed/publishedfeed.h"

#include <QByteArray>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void fail(const char *what)
{
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

// Both readers find the same elements in the same places.
[[nodiscard]] bool sameStructure(const FeedSource &a, const FeedSource &b)
{
    const auto same = [](ByteRange x, ByteRange y) { return x.begin == y.begin && x.end == y.end; };
    if (!same(a.rssStartTag, b.rssStartTag) || !same(a.version, b.version) || a.channelEndTag != b.channelEndTag ||
        a.items.size() != b.items.size() || !(a.namespaces == b.namespaces) || a.prefixes != b.prefixes ||
        a.channel != b.channel || a.details != b.details)
        return false;
    for (int i = 0; i < ChannelElementCount; ++i) {
        if (!same(a.channelElements.at(i), b.channelElements.at(i)))
            return false;
    }
    for (qsizetype i = 0; i < a.items.size(); ++i) {
        const SourceItem &x = a.items.at(i);
        const SourceItem &y = b.items.at(i);
        if (x.leadBegin != y.leadBegin || !same(x.element, y.element) || x.endTagBegin != y.endTagBegin ||
            !same(x.otherAuthor, y.otherAuthor))
            return false;
        for (int k = 0; k < ItemElementCount; ++k) {
            if (!same(x.elements.at(k), y.elements.at(k)))
                return false;
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const FeedReadResult read = readFeed(bytes);
    if (!read.feed)
        return 0;
    const FeedSource &feed = *read.feed;
    const FeedReadResult thorough = readFeedThoroughly(bytes);
    if (!thorough.feed)
        fail("the quick scanner took a feed the thorough reader refuses");
    if (!sameStructure(feed, *thorough.feed))
        fail("the quick scanner and the thorough reader disagree");
    ItemStore items;
    items.open(read.feed);
    for (qsizetype i = 0; i < items.size(); ++i)
        (void)items.item(i);

    const QByteArray unchanged = feedBytesToSave(feed.channel, feed.details, items);
    if (feed.version.isPresent() && feed.slice(feed.version) == "2.0" && unchanged != feed.bytes)
        fail("an unedited feed was not written back as it was");
    if (!readFeed(unchanged).feed)
        fail("an unedited feed did not read again");

    ChannelFields channel = feed.channel;
    channel.title += QStringLiteral(" & more");
    if (!items.isEmpty()) {
        FeedItem item = items.item(0);
        item.title += QStringLiteral(" <edited>");
        item.episode = QStringLiteral("7");
        item.chaptersUrl = QStringLiteral("https://example.org/c.json");
        items.replace(0, item);
        items.move(0, items.size() - 1);
    }
    const FeedReadResult again = readFeed(feedBytesToSave(channel, feed.details, items));
    if (!again.feed)
        fail("an edited feed did not read again");
    // Line breaks come back as XML reads them: a lone CR written as CR LF reads as LF.
    const auto lines = [](QString text) {
        return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    };
    if (lines(again.feed->channel.title) != lines(channel.title))
        fail("the edited channel title did not read back");
    if (!items.isEmpty()) {
        const FeedItem written = items.item(items.size() - 1);
        const FeedItem readBack = again.feed->item(items.size() - 1);
        if (lines(readBack.title) != lines(written.title) || readBack.episode != written.episode ||
            readBack.chaptersUrl != written.chaptersUrl || readBack.enclosureUrl != written.enclosureUrl)
            fail("the edited item did not read back");
    }
    return 0;
}
