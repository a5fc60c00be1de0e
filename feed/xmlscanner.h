#pragma once

#include "feed/namespaceneeds.h"

#include <QByteArray>
#include <QLatin1StringView>
#include <QList>
#include <QString>

// Where the document type that starts at begin ends (after its '>', quotes respected), or -1 when
// it has declarations of its own ('[') or no end.
[[nodiscard]] qsizetype endOfDoctype(QByteArrayView text, qsizetype begin);

// A quick forward reader of UTF-8 XML for large feeds: it checks the document's structure
// (names, tags in balance, attributes, references, comments, CDATA, characters and namespaces)
// and tells where each element starts and ends, without turning the text into QStrings. It
// takes what feeds use; anything beyond (a document type with declarations of its own, entities
// other than XML's five) counts as an error, and the caller reads such a file the slow way.
class XmlScanner final
{
public:
    explicit XmlScanner(const QByteArray &bytes);

    // Moves to the root element; false when there is none or the document breaks before it.
    [[nodiscard]] bool readRootElement();
    // Like QXmlStreamReader's: the next child element, or false at the end of the current one.
    [[nodiscard]] bool readNextStartElement();
    void skipCurrentElement();
    // Reads what follows the root element; it may only be comments, processing instructions and white space.
    void readToEnd();
    [[nodiscard]] bool hasError() const { return m_error; }
    // Its own problems are not worded: the thorough reader words them.
    [[nodiscard]] QString problem() const { return QStringLiteral("It is not well-formed XML."); }
    [[nodiscard]] qint64 lineNumber() const { return 0; }

    // The current start element.
    [[nodiscard]] QLatin1StringView name() const { return m_localName; }
    [[nodiscard]] QString qualifiedName() const { return QString::fromUtf8(m_qualifiedName); }
    [[nodiscard]] const QString &namespaceUri() const { return m_namespaceUri; }
    [[nodiscard]] QString attribute(QLatin1StringView name) const;
    [[nodiscard]] bool hasAttribute(QLatin1StringView name) const;
    // The namespaces the current start element declares.
    [[nodiscard]] QList<Namespace> declarations() const;
    // Where its start tag begins and ends.
    [[nodiscard]] qsizetype tagBegin() const { return m_tagBegin; }
    [[nodiscard]] qsizetype tagEnd() const { return m_tagEnd; }
    // After the end of the element just ended.
    [[nodiscard]] qsizetype endOfElement() const { return m_endOfElement; }

private:
    struct Attribute
    {
        QByteArrayView name;
        QByteArrayView value;
    };
    struct Scope
    {
        int depth = 0;
        QByteArrayView prefix;
        QString uri;
    };
    enum class Token
    {
        Start,
        End,
        Done
    };

    [[nodiscard]] Token next();
    [[nodiscard]] bool readStartTag();
    [[nodiscard]] bool readEndTag();
    [[nodiscard]] bool readName(QByteArrayView &name);
    [[nodiscard]] bool skipPast(QByteArrayView end);
    [[nodiscard]] bool readReference();
    [[nodiscard]] bool readAttributeValue(char quote);
    [[nodiscard]] bool readTextUpTo(qsizetype end);
    [[nodiscard]] bool readComment();
    [[nodiscard]] bool readMisc();
    [[nodiscard]] bool readDoctype();
    // Returns whether there was any.
    bool skipSpace();
    [[nodiscard]] bool resolve(QByteArrayView prefix, QString &uri) const;
    bool fail();

    const char *m_data;
    qsizetype m_size;
    qsizetype m_pos = 0;
    bool m_error = false;
    int m_depth = 0;
    bool m_pendingEnd = false;
    bool m_rootSeen = false;
    QList<QByteArrayView> m_open;
    QList<Scope> m_scopes;
    QList<Attribute> m_attributes;
    QByteArrayView m_qualifiedName;
    QLatin1StringView m_localName;
    QString m_namespaceUri;
    qsizetype m_tagBegin = 0;
    qsizetype m_tagEnd = 0;
    qsizetype m_endOfElement = 0;
};
