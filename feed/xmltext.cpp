#include "feed/xmltext.h"

#include <algorithm>

namespace {

enum class Context
{
    ElementText,
    AttributeValue
};

// Characters that go out as they are. Everything else needs a look of its own: markup and quote
// characters, line breaks, surrogates and what XML 1.0 forbids.
[[nodiscard]] bool isPlain(char16_t c)
{
    if (c < 0x20)
        return c == u'\t';
    if (c < 0xD800)
        return c != u'&' && c != u'<' && c != u'>' && c != u'\'' && c != u'"';
    return c >= 0xE000 && c < 0xFFFE;
}

// Walks the value once, handing each piece of the escaped text to the sink: runs of plain
// characters whole, replacements as they come. The same walk measures the result and then
// writes it, so a long description is escaped straight into its place.
template <typename Sink> void escape(QStringView value, Context context, Sink &&sink)
{
    const bool attribute = context == Context::AttributeValue;
    const qsizetype size = value.size();
    qsizetype i = 0;
    while (i < size) {
        const qsizetype runStart = i;
        while (i < size && isPlain(value[i].unicode()))
            ++i;
        if (i > runStart)
            sink(value.sliced(runStart, i - runStart));
        if (i == size)
            break;

        const char16_t c = value[i].unicode();
        const bool nextIsLowSurrogate = i + 1 < size && QChar::isLowSurrogate(value[i + 1].unicode());
        switch (c) {
        case u'&':
            sink(QStringView(u"&amp;"));
            break;
        case u'<':
            sink(QStringView(u"&lt;"));
            break;
        case u'>':
            sink(QStringView(u"&gt;"));
            break;
        case u'\'':
            sink(attribute ? QStringView(u"&apos;") : QStringView(u"'"));
            break;
        case u'"':
            sink(attribute ? QStringView(u"&quot;") : QStringView(u"\""));
            break;
        case u'\r':
            // A text box hands over LF, CR LF or (pasted from old files) a lone CR; the feed
            // file uses CR LF throughout.
            sink(QStringView(u"\r\n"));
            if (i + 1 < size && value[i + 1] == u'\n')
                ++i;
            break;
        case u'\n':
            sink(QStringView(u"\r\n"));
            break;
        default:
            if (QChar::isHighSurrogate(c) && nextIsLowSurrogate) {
                sink(value.sliced(i, 2));
                ++i;
            }
            // Anything left is forbidden in XML 1.0: C0 controls, U+FFFE, U+FFFF and lone
            // surrogates. Not even a character reference can carry them, and a single one makes
            // a reader reject the whole feed. The user cannot have meant them (they come from
            // pasted binary or broken text), so they are dropped rather than shown as a stand-in.
            break;
        }
        ++i;
    }
}

void appendEscaped(QString &text, QStringView value, Context context)
{
    // Room for the longest replacement of every character, given back afterwards; a value too
    // long to take six times its size is measured first instead.
    constexpr qsizetype longestReplacement = 6;
    constexpr qsizetype measureFrom = 1 << 16;
    qsizetype length = value.size() * longestReplacement;
    if (value.size() > measureFrom) {
        length = 0;
        escape(value, context, [&length](QStringView piece) { length += piece.size(); });
    }
    const qsizetype start = text.size();
    text.resize(start + length);
    char16_t *const begin = reinterpret_cast<char16_t *>(text.data()) + start;
    char16_t *out = begin;
    escape(value, context, [&out](QStringView piece) {
        std::copy(piece.utf16(), piece.utf16() + piece.size(), out);
        out += piece.size();
    });
    text.truncate(start + (out - begin));
}

} // namespace

void appendXmlElementText(QString &text, QStringView value)
{
    appendEscaped(text, value, Context::ElementText);
}

void appendXmlAttributeValue(QString &text, QStringView value)
{
    appendEscaped(text, value, Context::AttributeValue);
}

QString xmlElementText(QStringView value)
{
    QString text;
    text.reserve(value.size());
    appendXmlElementText(text, value);
    return text;
}

QString xmlAttributeValue(QStringView value)
{
    QString text;
    text.reserve(value.size());
    appendXmlAttributeValue(text, value);
    return text;
}
