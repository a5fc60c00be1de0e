// Arbitrary file contents through the text-file decoder and line splitter, compared with plain
// reference rules written here from the headers' descriptions.
#include "documents/appendedlines.h"
#include "documents/decodedfiletext.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>

namespace {

// UTF-8 as RFC 3629 defines it: no overlong forms, no surrogates, nothing above U+10FFFF and no
// sequence cut short. Nothing when the bytes break any of these.
[[nodiscard]] std::optional<QString> strictUtf8(const uint8_t *data, size_t size)
{
    QString text;
    size_t i = 0;
    while (i < size) {
        const uint8_t lead = data[i];
        size_t length = 0;
        char32_t codePoint = 0;
        char32_t smallest = 0;
        if (lead < 0x80) {
            length = 1;
            codePoint = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            length = 2;
            codePoint = lead & 0x1F;
            smallest = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3;
            codePoint = lead & 0x0F;
            smallest = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4;
            codePoint = lead & 0x07;
            smallest = 0x10000;
        } else {
            return std::nullopt;
        }
        if (size - i < length)
            return std::nullopt;
        for (size_t k = 1; k < length; ++k) {
            if ((data[i + k] & 0xC0) != 0x80)
                return std::nullopt;
            codePoint = codePoint << 6 | (data[i + k] & 0x3F);
        }
        if (codePoint < smallest || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
            return std::nullopt;
        if (codePoint >= 0x10000) {
            text += QChar(QChar::highSurrogate(codePoint));
            text += QChar(QChar::lowSurrogate(codePoint));
        } else {
            text += QChar(char16_t(codePoint));
        }
        i += length;
    }
    return text;
}

// UTF-8 without one leading byte-order mark, else one character per byte.
[[nodiscard]] QString referenceDecoded(const uint8_t *data, size_t size)
{
    if (std::optional<QString> text = strictUtf8(data, size)) {
        if (text->startsWith(QChar(0xFEFF)))
            text->remove(0, 1);
        return *text;
    }
    QString text;
    for (size_t i = 0; i < size; ++i)
        text += QChar(char16_t(data[i]));
    return text;
}

// Lines end at CR LF, CR or LF; what follows the last end marker is a line only when it is not
// empty. Each line goes out after one space.
[[nodiscard]] QString referenceAppendedLines(const QString &text)
{
    QStringList lines;
    QString line;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != u'\r' && c != u'\n') {
            line += c;
            continue;
        }
        lines.append(line);
        line.clear();
        if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
            ++i;
    }
    if (!line.isEmpty())
        lines.append(line);

    QString result;
    for (const QString &each : lines)
        result += u' ' + each;
    return result;
}

void check(bool condition, const char *what, const QString &expected, const QString &actual)
{
    if (condition)
        return;
    std::fprintf(stderr, "%s\nexpected: %s\nactual:   %s\n", what,
                 expected.toUtf8().toPercentEncoding(" ").constData(),
                 actual.toUtf8().toPercentEncoding(" ").constData());
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));

    const QString decoded = decodedFileText(bytes);
    const QString expectedDecoded = referenceDecoded(data, size);
    check(decoded == expectedDecoded, "decoded text differs", expectedDecoded, decoded);

    const QString expectedLines = referenceAppendedLines(expectedDecoded);
    // Moved in straight from the decoder, the text is split in place in the decoder's spare
    // capacity; an exact-size text has to grow, and a shared one must be left as it was.
    const QString shared = decoded;
    const QString lines = appendedLines(shared);
    check(lines == expectedLines, "appended lines differ (shared text)", expectedLines, lines);
    check(shared == expectedDecoded, "the caller's text changed", expectedDecoded, shared);
    const QString tight = appendedLines(QString(decoded.constData(), decoded.size()));
    check(tight == expectedLines, "appended lines differ (exact-size text)", expectedLines, tight);
    const QString inPlace = appendedLines(decodedFileText(bytes));
    check(inPlace == expectedLines, "appended lines differ (text moved in)", expectedLines, inPlace);
    return 0;
}
