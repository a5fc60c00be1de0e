#include "feed/document/xmltext.h"

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

void appendEscaped(QString &text, QStringView value, Context context)
{
    const bool attribute = context == Context::AttributeValue;
    const qsizetype size = value.size();
    qsizetype i = 0;
    while (i < size) {
        // Copying plain runs whole keeps long descriptions cheap.
        const qsizetype runStart = i;
        while (i < size && isPlain(value[i].unicode()))
            ++i;
        if (i > runStart)
            text += value.sliced(runStart, i - runStart);
        if (i == size)
            break;

        const char16_t c = value[i].unicode();
        const bool nextIsLowSurrogate = i + 1 < size && QChar::isLowSurrogate(value[i + 1].unicode());
        switch (c) {
        case u'&':
            text += u"&amp;";
            break;
        case u'<':
            text += u"&lt;";
            break;
        case u'>':
            text += u"&gt;";
            break;
        case u'\'':
            text += attribute ? QStringView(u"&apos;") : QStringView(u"'");
            break;
        case u'"':
            text += attribute ? QStringView(u"&quot;") : QStringView(u"\"");
            break;
        case u'\r':
            // A text box hands over LF, CR LF or (pasted from old files) a lone CR; the feed
            // file uses CR LF throughout.
            text += u"\r\n";
            if (i + 1 < size && value[i + 1] == u'\n')
                ++i;
            break;
        case u'\n':
            text += u"\r\n";
            break;
        default:
            if (QChar::isHighSurrogate(c) && nextIsLowSurrogate) {
                text += value.sliced(i, 2);
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
