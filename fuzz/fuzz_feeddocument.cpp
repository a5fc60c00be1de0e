// Arbitrary field values through the feed document builder: the file must always be well-formed
// XML whose elements and attributes read back as the values, normalised as xmltext.h says.
#include "feed/feeddocument.h"
#include "feed/xmltext.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QXmlStreamReader>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace Qt::StringLiterals;

namespace {

// Input layout: fields are separated by 0xFF; 0xFE and the two bytes after it (big-endian) give
// any UTF-16 code unit, lone surrogates and U+FFFE included; every other byte is the Latin-1
// character of that value, which keeps markup, controls and line breaks one byte away.
constexpr unsigned char FieldSeparator = 0xFF;
constexpr unsigned char CodeUnitEscape = 0xFE;

constexpr qsizetype ChannelFieldCount = 4;
constexpr qsizetype ItemFieldCount = 8;
constexpr qsizetype MaximumItemCount = 3;

[[nodiscard]] QList<QString> fieldValues(const uint8_t *data, size_t size)
{
    QList<QString> fields(1);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == FieldSeparator) {
            fields.append(QString());
        } else if (data[i] == CodeUnitEscape) {
            if (i + 2 >= size)
                break;
            fields.last().append(QChar(char16_t(data[i + 1] << 8 | data[i + 2])));
            i += 2;
        } else {
            fields.last().append(QChar(char16_t(data[i])));
        }
    }
    return fields;
}

// XML 1.0's Char production.
[[nodiscard]] bool isXmlCharacter(char32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

// The documented rule, written apart from the escaping code: line breaks as typed (CR LF, a
// lone CR or a lone LF) become CR LF, then every character XML 1.0 cannot carry is dropped,
// lone surrogates among them.
[[nodiscard]] QString normalisedValue(QString value)
{
    value.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    value.replace(u'\r', u'\n');
    value.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));

    QString kept;
    kept.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const char16_t unit = value.at(i).unicode();
        if (QChar::isHighSurrogate(unit) && i + 1 < value.size() && value.at(i + 1).isLowSurrogate()) {
            kept += value.sliced(i, 2);
            ++i;
        } else if (!QChar::isSurrogate(unit) && isXmlCharacter(unit)) {
            kept += QChar(unit);
        }
    }
    return kept;
}

// What a conforming parser then hands back: its end-of-line handling turns CR LF into LF, and
// attribute-value normalisation turns each remaining white space character into a space.
[[nodiscard]] QString parsedElementText(const QString &value)
{
    return normalisedValue(value).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

[[nodiscard]] QString parsedAttributeValue(const QString &value)
{
    return parsedElementText(value).replace(u'\n', u' ').replace(u'\t', u' ');
}

// One entry per element in document order: containers by name, leaves as name and text, and
// an element's attributes as name@attribute and value.
using Entries = QList<std::pair<QString, QString>>;

[[noreturn]] void fail(const char *what, const QByteArray &document, const QString &detail = {})
{
    std::fprintf(stderr, "%s\n%s\n--- document ---\n%s\n", what, qPrintable(detail), document.constData());
    std::abort();
}

[[nodiscard]] QString describe(const Entries &entries)
{
    QString text;
    for (const auto &[name, value] : entries)
        text += name + u'=' + QString::fromLatin1(value.toUtf8().toPercentEncoding(" ")) + u'\n';
    return text;
}

[[nodiscard]] Entries parsedEntries(const QByteArray &document, const QStringList &containers)
{
    Entries entries;
    QXmlStreamReader reader(document);
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QString name = reader.qualifiedName().toString();
        // Held as const: a temporary would detach, copying every attribute.
        const QXmlStreamAttributes attributes = reader.attributes();
        for (const QXmlStreamAttribute &attribute : attributes) {
            if (!attribute.qualifiedName().startsWith(u"xmlns") && attribute.name() != u"version")
                entries.append(
                    {name + u'@' + attribute.qualifiedName().toString(), attribute.value().toString()});
        }
        if (containers.contains(name))
            entries.append({name, QString()});
        else
            entries.append({name, reader.readElementText(QXmlStreamReader::ErrorOnUnexpectedElement)});
    }
    if (reader.hasError())
        fail("not well-formed", document, reader.errorString());
    return entries;
}

// Every line break in the file, ours and the values', is CR LF.
void checkLineBreaks(const QByteArray &bytes)
{
    const char *const data = bytes.constData();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const bool strayCr = data[i] == '\r' && data[i + 1] != '\n'; // the terminating NUL ends it
        const bool strayLf = data[i] == '\n' && (i == 0 || data[i - 1] != '\r');
        if (strayCr || strayLf)
            fail("a line break other than CR LF", bytes, QString::number(i));
    }
}

void checkFeed(const QList<QString> &fields)
{
    const auto field = [&fields](qsizetype index) {
        return index < fields.size() ? fields[index] : QString();
    };

    Entries expected{{u"rss"_s, {}}, {u"channel"_s, {}}};
    const QString channel = channelBlock({field(0), field(1), field(2), field(3)});
    expected.append({u"title"_s, parsedElementText(field(0))});
    expected.append({u"itunes:author"_s, parsedElementText(field(1))});
    expected.append({u"description"_s, parsedElementText(field(2))});
    expected.append({u"link"_s, parsedElementText(field(3))});

    QString itemStore;
    const qsizetype itemCount =
        std::min(MaximumItemCount, (fields.size() - ChannelFieldCount + ItemFieldCount - 1) / ItemFieldCount);
    for (qsizetype item = 0; item < itemCount; ++item) {
        const qsizetype first = ChannelFieldCount + item * ItemFieldCount;
        itemStore += itemBlock({field(first), field(first + 1), field(first + 2), field(first + 3),
                                field(first + 4), field(first + 5), field(first + 6), field(first + 7)});
        expected.append({u"item"_s, {}});
        expected.append({u"title"_s, parsedElementText(field(first))});
        expected.append({u"description"_s, parsedElementText(field(first + 1))});
        expected.append({u"link"_s, parsedElementText(field(first + 2))});
        expected.append({u"pubDate"_s, parsedElementText(field(first + 3))});
        expected.append({u"dc:creator"_s, parsedElementText(field(first + 4))});
        expected.append({u"enclosure@url"_s, parsedAttributeValue(field(first + 5))});
        expected.append({u"enclosure@length"_s, parsedAttributeValue(field(first + 6))});
        expected.append({u"enclosure@type"_s, parsedAttributeValue(field(first + 7))});
        expected.append({u"enclosure"_s, QString()});
    }

    const QString document = feedDocument(feedHeaderTemplate(), channel, itemStore, feedFooterTemplate());
    const QByteArray bytes = feedFileBytes(document);
    if (bytes.startsWith("\xEF\xBB\xBF"))
        fail("a byte-order mark", bytes);
    if (!bytes.endsWith("</rss>\r\n\r\n"))
        fail("not ending in the footer and one more line break", bytes);
    if (QString::fromUtf8(bytes) != document + u"\r\n"_s)
        fail("not the document in UTF-8", bytes);
    checkLineBreaks(bytes);

    const Entries parsed = parsedEntries(bytes, {u"rss"_s, u"channel"_s, u"item"_s});
    if (parsed != expected)
        fail("values read back differ", bytes,
             u"expected:\n"_s + describe(expected) + u"parsed:\n"_s + describe(parsed));
}

// The escaping functions on their own, in both kinds of attribute quotes; all values go into
// one document, as parsing dominates the time of a run.
void checkValues(const QList<QString> &values)
{
    QString text = u"<values>"_s;
    Entries expected{{u"values"_s, {}}};
    for (const QString &value : values) {
        text += u"<v double=\""_s;
        appendXmlAttributeValue(text, value);
        text += u"\" single='";
        text += xmlAttributeValue(value);
        text += u"'>";
        text += xmlElementText(value);
        text += u"</v>";
        const QString attribute = parsedAttributeValue(value);
        expected.append({u"v@double"_s, attribute});
        expected.append({u"v@single"_s, attribute});
        expected.append({u"v"_s, parsedElementText(value)});
    }
    text += u"</values>";
    const QByteArray bytes = text.toUtf8();
    if (QString::fromUtf8(bytes) != text)
        fail("escaped text that UTF-8 cannot carry", bytes);
    checkLineBreaks(bytes);

    const Entries parsed = parsedEntries(bytes, {u"values"_s});
    if (parsed != expected)
        fail("values read back differ", bytes,
             u"expected:\n"_s + describe(expected) + u"parsed:\n"_s + describe(parsed));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QList<QString> fields = fieldValues(data, size);
    checkValues(fields);
    checkFeed(fields);
    return 0;
}
