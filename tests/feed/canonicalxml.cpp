#include "tests/feed/canonicalxml.h"

#include <QXmlStreamReader>

#include <algorithm>

QStringList canonicalXml(const QByteArray &bytes, RssVersion version)
{
    QXmlStreamReader xml(bytes);
    QStringList tokens;
    QString text;
    const auto endText = [&tokens, &text] {
        if (!text.isEmpty())
            tokens.append(u'"' + text);
        text.clear();
    };
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::StartElement: {
            endText();
            QStringList attributes;
            for (const QXmlStreamAttribute &attribute : xml.attributes()) {
                QString value = attribute.value().toString();
                if (version == RssVersion::As20 && xml.name() == u"rss" && attribute.name() == u"version")
                    continue;
                attributes.append(QStringLiteral("{%1}%2=%3").arg(attribute.namespaceUri(), attribute.name(), value));
            }
            if (version == RssVersion::As20 && xml.name() == u"rss")
                attributes.append(QStringLiteral("{}version=2.0"));
            attributes.sort();
            tokens.append(QStringLiteral("<{%1}%2 %3").arg(xml.namespaceUri(), xml.name(), attributes.join(u' ')));
            break;
        }
        case QXmlStreamReader::EndElement:
            endText();
            tokens.append(QStringLiteral(">"));
            break;
        case QXmlStreamReader::Characters:
            text += xml.text();
            break;
        default:
            break;
        }
    }
    if (xml.hasError())
        tokens.append(QStringLiteral("error: ") + xml.errorString());
    return tokens;
}
