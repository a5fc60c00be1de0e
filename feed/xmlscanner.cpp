#include "feed/xmlscanner.h"

#include "feed/xmlcharacters.h"

#include <QXmlStreamReader>

#include <cstring>

namespace {

[[nodiscard]] bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Names are taken in ASCII only; a feed that names elements otherwise is read the slow way.
[[nodiscard]] bool isNameStart(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == ':';
}

[[nodiscard]] bool isNameChar(unsigned char c)
{
    return isNameStart(c) || (c >= '0' && c <= '9') || c == '.' || c == '-';
}

const QString XmlNamespace = QStringLiteral("http://www.w3.org/XML/1998/namespace");

} // namespace

qsizetype endOfDoctype(QByteArrayView text, qsizetype begin)
{
    char quote = 0;
    for (qsizetype pos = begin; pos < text.size(); ++pos) {
        const char c = text.at(pos);
        if (quote) {
            if (c == quote)
                quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '[') {
            return -1;
        } else if (c == '>') {
            return pos + 1;
        }
    }
    return -1;
}

XmlScanner::XmlScanner(const QByteArray &bytes) : m_data(bytes.constData()), m_size(bytes.size())
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        m_pos = 3;
    m_error = !isXmlUtf8(m_data + m_pos, m_size - m_pos);
}

bool XmlScanner::fail()
{
    m_error = true;
    return false;
}

bool XmlScanner::skipSpace()
{
    const qsizetype start = m_pos;
    while (m_pos < m_size && isSpace(m_data[m_pos]))
        ++m_pos;
    return m_pos > start;
}

bool XmlScanner::skipPast(QByteArrayView end)
{
    const qsizetype found = QByteArrayView(m_data, m_size).indexOf(end, m_pos);
    if (found < 0)
        return fail();
    m_pos = found + end.size();
    return true;
}

bool XmlScanner::readComment()
{
    // "--" may only end it.
    const qsizetype dashes = QByteArrayView(m_data, m_size).indexOf("--", m_pos + 4);
    if (dashes < 0 || dashes + 2 >= m_size || m_data[dashes + 2] != '>')
        return fail();
    m_pos = dashes + 3;
    return true;
}

bool XmlScanner::readDoctype()
{
    const qsizetype end = endOfDoctype(QByteArrayView(m_data, m_size), m_pos);
    if (end < 0)
        return fail(); // declarations of its own: read the slow way
    m_pos = end;
    return true;
}

bool XmlScanner::readMisc()
{
    const QByteArrayView rest(m_data, m_size);
    for (;;) {
        skipSpace();
        if (m_pos >= m_size)
            return true;
        const QByteArrayView here = rest.sliced(m_pos);
        if (here.startsWith("<?")) {
            if (!skipPast("?>"))
                return false;
        } else if (here.startsWith("<!--")) {
            if (!readComment())
                return false;
        } else if (here.startsWith("<!DOCTYPE") && !m_rootSeen) {
            if (!readDoctype())
                return false;
        } else {
            return true;
        }
    }
}

bool XmlScanner::readRootElement()
{
    if (m_error || !readMisc() || m_pos >= m_size || m_data[m_pos] != '<' || !readStartTag())
        return fail();
    // The declaration and document type are few bytes: QXmlStreamReader checks them to the letter.
    QXmlStreamReader prolog(QByteArray::fromRawData(m_data, m_tagEnd));
    while (!prolog.atEnd() && prolog.readNext() != QXmlStreamReader::StartElement) {
    }
    return (prolog.isStartElement() && !prolog.hasError()) || fail();
}

bool XmlScanner::readName(QByteArrayView &name)
{
    const qsizetype start = m_pos;
    if (m_pos >= m_size || !isNameStart(static_cast<unsigned char>(m_data[m_pos])))
        return fail();
    while (m_pos < m_size && isNameChar(static_cast<unsigned char>(m_data[m_pos])))
        ++m_pos;
    name = QByteArrayView(m_data + start, m_pos - start);
    return true;
}

bool XmlScanner::readReference()
{
    // At '&': one of XML's five entities or a character reference, up to ';'.
    const qsizetype end = QByteArrayView(m_data, std::min(m_size, m_pos + 16)).indexOf(';', m_pos);
    if (end < 0)
        return fail();
    const QByteArrayView name(m_data + m_pos + 1, end - m_pos - 1);
    m_pos = end + 1;
    if (name == "lt" || name == "gt" || name == "amp" || name == "apos" || name == "quot")
        return true;
    if (!name.startsWith('#') || name.size() < 2)
        return fail();
    const bool hex = name.at(1) == 'x';
    const QByteArrayView digits = name.sliced(hex ? 2 : 1);
    bool ok = !digits.isEmpty();
    for (const char c : digits)
        ok = ok && ((c >= '0' && c <= '9') || (hex && ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'))));
    const qulonglong value = ok ? digits.toByteArray().toULongLong(&ok, hex ? 16 : 10) : 0;
    return (ok && value <= 0x10FFFF && isXmlCharacter(static_cast<char32_t>(value))) || fail();
}

bool XmlScanner::readTextUpTo(qsizetype end)
{
    // "]]>" may not stand in text.
    for (qsizetype close = m_pos; close < end;) {
        const void *found = std::memchr(m_data + close, '>', static_cast<size_t>(end - close));
        if (!found)
            break;
        close = static_cast<const char *>(found) - m_data;
        if (close >= 2 && m_data[close - 1] == ']' && m_data[close - 2] == ']')
            return fail();
        ++close;
    }
    while (m_pos < end) {
        const void *ampersand = std::memchr(m_data + m_pos, '&', static_cast<size_t>(end - m_pos));
        if (!ampersand) {
            m_pos = end;
            return true;
        }
        m_pos = static_cast<const char *>(ampersand) - m_data;
        if (!readReference() || m_pos > end)
            return fail();
    }
    return true;
}

bool XmlScanner::readAttributeValue(char quote)
{
    const void *found = std::memchr(m_data + m_pos, quote, static_cast<size_t>(m_size - m_pos));
    if (!found)
        return fail();
    const qsizetype end = static_cast<const char *>(found) - m_data;
    if (QByteArrayView(m_data + m_pos, end - m_pos).contains('<'))
        return fail();
    return readTextUpTo(end);
}

bool XmlScanner::resolve(QByteArrayView prefix, QString &uri) const
{
    for (qsizetype i = m_scopes.size() - 1; i >= 0; --i) {
        if (m_scopes.at(i).prefix == prefix) {
            uri = m_scopes.at(i).uri;
            return prefix.isEmpty() || !uri.isEmpty();
        }
    }
    if (prefix == "xml") {
        uri = XmlNamespace;
        return true;
    }
    uri.clear();
    return prefix.isEmpty();
}

bool XmlScanner::readStartTag()
{
    m_tagBegin = m_pos;
    ++m_pos;
    if (!readName(m_qualifiedName))
        return false;
    m_attributes.clear();
    bool selfClosing = false;
    for (;;) {
        const bool space = skipSpace();
        if (m_pos >= m_size)
            return fail();
        if (m_data[m_pos] == '>') {
            ++m_pos;
            break;
        }
        if (m_data[m_pos] == '/') {
            if (m_pos + 1 >= m_size || m_data[m_pos + 1] != '>')
                return fail();
            m_pos += 2;
            selfClosing = true;
            break;
        }
        Attribute attribute;
        if (!space || !readName(attribute.name))
            return fail();
        skipSpace();
        if (m_pos >= m_size || m_data[m_pos] != '=')
            return fail();
        ++m_pos;
        skipSpace();
        if (m_pos >= m_size || (m_data[m_pos] != '"' && m_data[m_pos] != '\''))
            return fail();
        const char quote = m_data[m_pos++];
        const qsizetype valueBegin = m_pos;
        if (!readAttributeValue(quote))
            return false;
        attribute.value = QByteArrayView(m_data + valueBegin, m_pos - valueBegin);
        ++m_pos;
        for (const Attribute &other : std::as_const(m_attributes)) {
            if (other.name == attribute.name)
                return fail();
        }
        m_attributes.append(attribute);
    }
    m_tagEnd = m_pos;
    m_rootSeen = true;
    ++m_depth;
    m_open.append(m_qualifiedName);
    for (const Attribute &attribute : std::as_const(m_attributes)) {
        if (attribute.name == "xmlns") {
            m_scopes.append({m_depth, {}, xmlAttributeText(attribute.value)});
        } else if (attribute.name.startsWith("xmlns:")) {
            const QByteArrayView prefix = attribute.name.sliced(6);
            if (prefix.isEmpty() || prefix.contains(':') || prefix == "xml" || prefix == "xmlns" ||
                attribute.value.isEmpty())
                return fail();
            m_scopes.append({m_depth, prefix, xmlAttributeText(attribute.value)});
        }
    }
    const qsizetype colon = m_qualifiedName.indexOf(':');
    const QByteArrayView prefix = colon < 0 ? QByteArrayView() : m_qualifiedName.first(colon);
    const QByteArrayView local = colon < 0 ? m_qualifiedName : m_qualifiedName.sliced(colon + 1);
    const auto isNcName = [](QByteArrayView name) {
        return !name.isEmpty() && !name.contains(':') &&
               isNameStart(static_cast<unsigned char>(name.front()));
    };
    if (!isNcName(local) || (colon >= 0 && !isNcName(prefix)) || !resolve(prefix, m_namespaceUri))
        return fail();
    m_localName = QLatin1StringView(local.data(), local.size());
    QString attributeUri;
    for (const Attribute &attribute : std::as_const(m_attributes)) {
        const qsizetype attributeColon = attribute.name.indexOf(':');
        if (attributeColon >= 0 && !attribute.name.startsWith("xmlns:") &&
            (!isNcName(attribute.name.first(attributeColon)) ||
             !isNcName(attribute.name.sliced(attributeColon + 1)) ||
             !resolve(attribute.name.first(attributeColon), attributeUri)))
            return fail();
    }
    m_pendingEnd = selfClosing;
    return true;
}

bool XmlScanner::readEndTag()
{
    m_pos += 2;
    QByteArrayView name;
    if (!readName(name))
        return false;
    skipSpace();
    if (m_pos >= m_size || m_data[m_pos] != '>' || m_open.isEmpty() || m_open.constLast() != name)
        return fail();
    ++m_pos;
    m_endOfElement = m_pos;
    return true;
}

XmlScanner::Token XmlScanner::next()
{
    if (m_error || m_depth == 0)
        return Token::Done;
    if (m_pendingEnd) {
        m_pendingEnd = false;
        m_endOfElement = m_tagEnd;
    } else {
        for (;;) {
            const void *found = std::memchr(m_data + m_pos, '<', static_cast<size_t>(m_size - m_pos));
            if (!found) {
                fail();
                return Token::Done;
            }
            if (!readTextUpTo(static_cast<const char *>(found) - m_data))
                return Token::Done;
            const QByteArrayView here(m_data + m_pos, m_size - m_pos);
            if (here.startsWith("</")) {
                if (!readEndTag())
                    return Token::Done;
                break;
            }
            bool skipped = false;
            if (here.startsWith("<!--"))
                skipped = readComment();
            else if (here.startsWith("<![CDATA["))
                skipped = skipPast("]]>");
            else if (here.startsWith("<!"))
                skipped = fail();
            else
                return readStartTag() ? Token::Start : Token::Done;
            if (!skipped)
                return Token::Done;
        }
    }
    while (!m_scopes.isEmpty() && m_scopes.constLast().depth == m_depth)
        m_scopes.removeLast();
    --m_depth;
    m_open.removeLast();
    return Token::End;
}

bool XmlScanner::readNextStartElement()
{
    for (;;) {
        switch (next()) {
        case Token::Start:
            return true;
        case Token::End:
        case Token::Done:
            return false;
        }
    }
}

void XmlScanner::skipCurrentElement()
{
    const int outside = m_depth - 1;
    while (m_depth > outside && next() != Token::Done) {
    }
}

void XmlScanner::readToEnd()
{
    if (m_error)
        return;
    if (m_depth != 0 || !readMisc() || m_pos < m_size)
        fail();
}

QString XmlScanner::attribute(QLatin1StringView name) const
{
    for (const Attribute &attribute : m_attributes) {
        if (attribute.name == QByteArrayView(name.data(), name.size()))
            return xmlAttributeText(attribute.value);
    }
    return {};
}

bool XmlScanner::hasAttribute(QLatin1StringView name) const
{
    for (const Attribute &attribute : m_attributes) {
        if (attribute.name == QByteArrayView(name.data(), name.size()))
            return true;
    }
    return false;
}

QList<Namespace> XmlScanner::declarations() const
{
    QList<Namespace> declared;
    for (const Scope &scope : m_scopes) {
        if (scope.depth == m_depth)
            declared.append({QString::fromUtf8(scope.prefix), scope.uri});
    }
    return declared;
}
