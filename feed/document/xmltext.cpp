#include "xmltext.h"

namespace {

enum class Context
{
    ElementText,
    AttributeValue
};

// XML 1.0 has no way to write these, not even as character references, and a single one makes
// a reader reject the whole feed. The user cannot have meant them (they come from pasted
// binary text or broken input), so they are dropped rather than replaced by a visible stand-in.
[[nodiscard]] bool isForbiddenInXml(char16_t c)
{
    const bool c0Control = c < 0x20 && c != u'\t' && c != u'\n' && c != u'\r';
    return c0Control || c == 0xFFFE || c == 0xFFFF || QChar::isSurrogate(c);
}

[[nodiscard]] QString escaped(QStringView value, Context context)
{
    QString result;
    result.reserve(value.size() + value.size() / 8);
    const qsizetype size = value.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = value[i].unicode();
        const bool hasNext = i + 1 < size;
        if (QChar::isHighSurrogate(c) && hasNext && QChar::isLowSurrogate(value[i + 1].unicode())) {
            result += value.sliced(i, 2);
            ++i;
            continue;
        }
        switch (c) {
        case u'&':
            result += u"&amp;";
            break;
        case u'<':
            result += u"&lt;";
            break;
        case u'>':
            result += u"&gt;";
            break;
        case u'\'':
            result += context == Context::AttributeValue ? QStringView(u"&apos;") : QStringView(u"'");
            break;
        case u'"':
            result += context == Context::AttributeValue ? QStringView(u"&quot;") : QStringView(u"\"");
            break;
        case u'\r':
            // A text box hands over LF, CR LF or (pasted from old files) a lone CR; the feed
            // file uses CR LF throughout.
            result += u"\r\n";
            if (hasNext && value[i + 1] == u'\n')
                ++i;
            break;
        case u'\n':
            result += u"\r\n";
            break;
        default:
            if (!isForbiddenInXml(c))
                result += QChar(c);
            break;
        }
    }
    return result;
}

} // namespace

QString xmlElementText(QStringView value)
{
    return escaped(value, Context::ElementText);
}

QString xmlAttributeValue(QStringView value)
{
    return escaped(value, Context::AttributeValue);
}
