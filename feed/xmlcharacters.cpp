#include "feed/xmlcharacters.h"

bool isXmlCharacter(char32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

bool isXmlUtf8(const char *data, qsizetype size)
{
    qsizetype i = 0;
    while (i < size) {
        const auto c = static_cast<unsigned char>(data[i]);
        if (c < 0x80) {
            if (c < 0x20 && c != '\t' && c != '\n' && c != '\r')
                return false;
            ++i;
            continue;
        }
        int length = 0;
        char32_t character = 0;
        if (c >= 0xC2 && c <= 0xDF) {
            length = 2;
            character = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            length = 3;
            character = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            length = 4;
            character = c & 0x07;
        } else {
            return false;
        }
        if (i + length > size)
            return false;
        for (int k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(data[i + k]);
            if ((next & 0xC0) != 0x80)
                return false;
            character = (character << 6) | (next & 0x3F);
        }
        if ((length == 3 && character < 0x800) || (length == 4 && character < 0x10000) ||
            !isXmlCharacter(character))
            return false;
        i += length;
    }
    return true;
}

QString xmlAttributeText(QByteArrayView value)
{
    QString text = QString::fromUtf8(value);
    // A line end, tab or line break typed into a value reads as one space, as every XML reader
    // has it; characters written as references stay what they are, so this comes first.
    if (value.contains('\r') || value.contains('\n') || value.contains('\t')) {
        text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
        for (QChar &c : text) {
            if (c == u'\r' || c == u'\n' || c == u'\t')
                c = u' ';
        }
    }
    if (!value.contains('&'))
        return text;
    // Only XML's own entities and character references get this far.
    QString result;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) != u'&') {
            result += text.at(i);
            continue;
        }
        const qsizetype end = text.indexOf(u';', i);
        const QStringView name = QStringView(text).sliced(i + 1, end - i - 1);
        if (name == u"lt")
            result += u'<';
        else if (name == u"gt")
            result += u'>';
        else if (name == u"amp")
            result += u'&';
        else if (name == u"apos")
            result += u'\'';
        else if (name == u"quot")
            result += u'"';
        else {
            const bool hex = name.startsWith(u"#x");
            const char32_t character = name.sliced(hex ? 2 : 1).toUInt(nullptr, hex ? 16 : 10);
            result += QString::fromUcs4(&character, 1);
        }
        i = end;
    }
    return result;
}
