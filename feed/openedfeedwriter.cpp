#include "feed/openedfeedwriter.h"

#include "feed/feeddocument.h"
#include "feed/feedelements.h"
#include "feed/feedsource.h"
#include "feed/xmlscanner.h"

#include <algorithm>

namespace {

constexpr QStringView lineBreak = u"\r\n";

[[nodiscard]] bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

[[nodiscard]] bool isDetail(ChannelElement element)
{
    return element >= ChannelElement::Language;
}

// After the first end at or after from; -1 when there is none.
[[nodiscard]] qsizetype skipPast(QByteArrayView text, qsizetype from, QByteArrayView end)
{
    const qsizetype at = text.indexOf(end, from);
    return at < 0 ? -1 : at + end.size();
}

// The document type starting at begin with the white space after it; none when it has
// declarations of its own, which are kept.
[[nodiscard]] ByteRange doctypeAt(QByteArrayView prolog, qsizetype begin)
{
    qsizetype end = endOfDoctype(prolog, begin);
    if (end < 0)
        return {};
    while (end < prolog.size() && isSpace(prolog.at(end)))
        ++end;
    return {begin, end};
}

} // namespace

OpenedFeedWriter::OpenedFeedWriter(const FeedSource &source)
    : m_source(source), m_needs(source.namespaces, source.prefixes)
{}

FeedBytes OpenedFeedWriter::write(const ChannelFields &channel,
                                  const std::optional<PublishingDetails> &details, const ItemStore &items)
{
    m_pieces.clear();
    addChannelEdits(channel, details);
    const ItemElements elements = details ? ItemElements::Publishing : ItemElements::Basic;

    // The channel up to its first item, then what the window adds to the channel.
    const qsizetype head = headEnd();
    copy(m_source.rssStartTag.end, head, m_channelEdits);
    add(m_channelInsertions);

    const QList<SourceItem> &sourceItems = m_source.items;
    QList<bool> written(sourceItems.size(), false);
    for (const ItemStore::Entry &entry : items.entries()) {
        writeItem(entry, elements);
        if (entry.sourceIndex >= 0)
            written[entry.sourceIndex] = true;
    }
    // Anything else that stood between items goes on, though the item before it was deleted.
    for (qsizetype i = 0; i + 1 < sourceItems.size(); ++i) {
        if (!written.at(i))
            copy(sourceItems.at(i).element.end, sourceItems.at(i + 1).leadBegin, m_channelEdits);
    }
    copy(sourceItems.isEmpty() ? head : sourceItems.constLast().element.end, m_source.bytes.size(),
         m_channelEdits);

    // The rss start tag last: only now is it known which namespaces the new text needs.
    FeedBytes bytes;
    const QByteArrayView prolog = QByteArrayView(m_source.bytes).first(m_source.rssStartTag.begin);
    const ByteRange doctype = olderDoctype();
    if (doctype.isPresent()) {
        bytes.appendView(prolog.first(doctype.begin));
        bytes.appendView(prolog.sliced(doctype.end));
    } else {
        bytes.appendView(prolog);
    }
    bytes.appendText(rssStartTag());
    for (const Piece &piece : std::as_const(m_pieces)) {
        if (piece.text.isEmpty())
            bytes.appendView(m_source.slice({piece.begin, piece.end}));
        else
            bytes.appendText(piece.text);
    }
    m_pieces.clear();
    return bytes;
}

void OpenedFeedWriter::addChannelEdits(const ChannelFields &channel,
                                       const std::optional<PublishingDetails> &details)
{
    const PublishingDetails sourceDetails = m_source.details.value_or(PublishingDetails{});
    const ChannelValues was{m_source.channel, sourceDetails};
    const ChannelValues now{channel, details.value_or(sourceDetails)};
    const bool detailsEdited = details && details != m_source.details;
    m_channelEdits.clear();
    m_channelInsertions.clear();
    for (int index = 0; index < ChannelElementCount; ++index) {
        const auto element = static_cast<ChannelElement>(index);
        if (isDetail(element) && !detailsEdited)
            continue;
        const ByteRange &range = m_source.at(element);
        const bool same = sameValue(element, was, now);
        QString text;
        if (hasValue(element, now))
            appendChannelElement(text, element, now, m_needs);
        if (range.isPresent()) {
            if (!same)
                m_channelEdits.append({range.begin, range.end, text.toUtf8()});
        } else if (!text.isEmpty() && (!same || isDetail(element))) {
            // Details are written whole once given, as in a feed made here.
            m_channelInsertions += lineBreak;
            m_channelInsertions += text;
        }
    }
    std::sort(m_channelEdits.begin(), m_channelEdits.end(),
              [](const Edit &a, const Edit &b) { return a.begin < b.begin; });
}

QList<OpenedFeedWriter::Edit> OpenedFeedWriter::itemEdits(const SourceItem &source, const FeedItem &was,
                                                          const FeedItem &now)
{
    QList<Edit> edits;
    for (int index = 0; index < ItemElementCount; ++index) {
        const auto element = static_cast<ItemElement>(index);
        if (sameValue(element, was, now))
            continue;
        QString text;
        if (hasValue(element, now))
            appendItemElement(text, element, now, m_needs);
        const ByteRange &range = source.at(element);
        if (range.isPresent()) {
            edits.append({range.begin, range.end, text.toUtf8()});
        } else if (!text.isEmpty()) {
            // A new element goes last, on a line of its own.
            text += lineBreak;
            edits.append({source.endTagBegin, source.endTagBegin, text.toUtf8()});
        }
    }
    std::stable_sort(edits.begin(), edits.end(),
                     [](const Edit &a, const Edit &b) { return a.begin < b.begin; });
    return edits;
}

void OpenedFeedWriter::writeItem(const ItemStore::Entry &entry, ItemElements elements)
{
    if (entry.sourceIndex < 0) {
        QString block;
        appendItemBlock(block, *entry.values, elements, m_needs);
        add(block);
        return;
    }
    const QList<SourceItem> &sourceItems = m_source.items;
    const SourceItem &item = sourceItems.at(entry.sourceIndex);
    copy(item.leadBegin, item.element.begin);
    if (!entry.values) {
        copy(item.element.begin, item.element.end);
    } else if (item.endTagBegin == item.element.begin) {
        // An empty <item/> has no inside to edit: it is written anew, after its white space.
        QString block;
        appendItemBlock(block, *entry.values, elements, m_needs);
        add(block.sliced(lineBreak.size()));
    } else {
        copy(item.element.begin, item.element.end,
             itemEdits(item, m_source.item(entry.sourceIndex), *entry.values));
    }
    if (entry.sourceIndex + 1 < sourceItems.size())
        copy(item.element.end, sourceItems.at(entry.sourceIndex + 1).leadBegin, m_channelEdits);
}

void OpenedFeedWriter::copy(qsizetype begin, qsizetype end, const QList<Edit> &edits)
{
    auto edit = std::lower_bound(edits.begin(), edits.end(), begin,
                                 [](const Edit &e, qsizetype position) { return e.begin < position; });
    qsizetype position = begin;
    for (; edit != edits.end() && edit->begin < end; ++edit) {
        copy(position, edit->begin);
        if (!edit->text.isEmpty())
            m_pieces.append({0, 0, edit->text});
        position = edit->end;
    }
    copy(position, end);
}

void OpenedFeedWriter::copy(qsizetype begin, qsizetype end)
{
    if (begin >= end)
        return;
    // Untouched stretches that follow each other are one copy.
    if (!m_pieces.isEmpty() && m_pieces.constLast().text.isEmpty() && m_pieces.constLast().end == begin)
        m_pieces.last().end = end;
    else
        m_pieces.append({begin, end, {}});
}

void OpenedFeedWriter::add(const QString &text)
{
    if (!text.isEmpty())
        m_pieces.append({0, 0, text.toUtf8()});
}

QByteArray OpenedFeedWriter::rssStartTag() const
{
    const ByteRange tag = m_source.rssStartTag;
    QByteArray text = m_source.slice(tag).toByteArray();
    // The closing '>' comes last, after the attributes.
    text.insert(text.size() - 1, m_needs.declarations().toUtf8());
    // Older and unversioned feeds are written as what they are now: RSS 2.0.
    const ByteRange version = m_source.version;
    if (!version.isPresent())
        text.insert(4, " version=\"2.0\"");
    else if (m_source.slice(version) != "2.0")
        text.replace(version.begin - tag.begin, version.end - version.begin, "2.0");
    return text;
}

ByteRange OpenedFeedWriter::olderDoctype() const
{
    // Only a feed written as 2.0 from an older version loses its document type (Netscape's
    // RSS 0.91 DTD), which would contradict the version; one with declarations stays.
    if (m_source.version.isPresent() && m_source.slice(m_source.version) == "2.0")
        return {};
    // The prolog has been read as XML, so it is walked as XML: "<!DOCTYPE" may also stand
    // inside a comment or a processing instruction, and '>' inside a quoted identifier.
    const QByteArrayView prolog = QByteArrayView(m_source.bytes).first(m_source.rssStartTag.begin);
    qsizetype pos = prolog.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    while (pos < prolog.size()) {
        const QByteArrayView here = prolog.sliced(pos);
        qsizetype next = -1;
        if (isSpace(here.front()))
            next = pos + 1;
        else if (here.startsWith("<?"))
            next = skipPast(prolog, pos + 2, "?>");
        else if (here.startsWith("<!--"))
            next = skipPast(prolog, pos + 4, "-->");
        else if (here.startsWith("<!DOCTYPE"))
            return doctypeAt(prolog, pos);
        if (next < 0)
            return {};
        pos = next;
    }
    return {};
}

qsizetype OpenedFeedWriter::headEnd() const
{
    if (!m_source.items.isEmpty())
        return m_source.items.constFirst().leadBegin;
    // Without items: after the channel's last element, before the white space that ends it.
    qsizetype end = m_source.channelEndTag;
    while (end > m_source.rssStartTag.end && isSpace(m_source.bytes.at(end - 1)))
        --end;
    return end;
}
