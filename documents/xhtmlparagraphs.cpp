#include "documents/xhtmlparagraphs.h"

#include "documents/paragraphcollector.h"

#include <QSet>
#include <QXmlStreamEntityResolver>
#include <QXmlStreamReader>

namespace {

// XHTML chapters use HTML's named characters without declaring them; the common ones are
// kept, any other reads as nothing rather than ending the chapter.
class HtmlEntities final : public QXmlStreamEntityResolver
{
public:
    QString resolveUndeclaredEntity(const QString &name) override
    {
        static const QHash<QString, QString> known{
            {QStringLiteral("nbsp"), QStringLiteral("\u00A0")},
            {QStringLiteral("shy"), QStringLiteral("\u00AD")},
            {QStringLiteral("ndash"), QStringLiteral("\u2013")},
            {QStringLiteral("mdash"), QStringLiteral("\u2014")},
            {QStringLiteral("lsquo"), QStringLiteral("\u2018")},
            {QStringLiteral("rsquo"), QStringLiteral("\u2019")},
            {QStringLiteral("ldquo"), QStringLiteral("\u201C")},
            {QStringLiteral("rdquo"), QStringLiteral("\u201D")},
            {QStringLiteral("laquo"), QStringLiteral("\u00AB")},
            {QStringLiteral("raquo"), QStringLiteral("\u00BB")},
            {QStringLiteral("hellip"), QStringLiteral("\u2026")},
            {QStringLiteral("copy"), QStringLiteral("\u00A9")},
            {QStringLiteral("eacute"), QStringLiteral("\u00E9")},
            {QStringLiteral("egrave"), QStringLiteral("\u00E8")},
            {QStringLiteral("agrave"), QStringLiteral("\u00E0")},
            {QStringLiteral("ccedil"), QStringLiteral("\u00E7")},
            {QStringLiteral("uuml"), QStringLiteral("\u00FC")},
            {QStringLiteral("ouml"), QStringLiteral("\u00F6")},
            {QStringLiteral("auml"), QStringLiteral("\u00E4")},
            {QStringLiteral("szlig"), QStringLiteral("\u00DF")},
        };
        return known.value(name);
    }
};

[[nodiscard]] bool isHeading(QStringView name)
{
    return name.size() == 2 && name[0] == u'h' && name[1] >= u'1' && name[1] <= u'6';
}

[[nodiscard]] bool isBlock(QStringView name)
{
    static const QSet<QString> blocks{
        QStringLiteral("p"),       QStringLiteral("div"),        QStringLiteral("li"),
        QStringLiteral("dt"),      QStringLiteral("dd"),         QStringLiteral("blockquote"),
        QStringLiteral("pre"),     QStringLiteral("td"),         QStringLiteral("th"),
        QStringLiteral("caption"), QStringLiteral("figcaption"), QStringLiteral("section"),
        QStringLiteral("article"), QStringLiteral("header"),     QStringLiteral("footer"),
        QStringLiteral("aside"),   QStringLiteral("nav"),        QStringLiteral("address"),
        QStringLiteral("tr"),      QStringLiteral("table"),      QStringLiteral("ul"),
        QStringLiteral("ol"),      QStringLiteral("dl"),         QStringLiteral("hr"),
        QStringLiteral("figure"),  QStringLiteral("main"),       QStringLiteral("body"),
    };
    return blocks.contains(name.toString());
}

[[nodiscard]] bool isSkipped(QStringView name)
{
    return name == u"script" || name == u"style" || name == u"head" || name == u"template";
}

} // namespace

DocumentParagraphs xhtmlParagraphs(const QByteArray &xhtml)
{
    HtmlEntities entities;
    QXmlStreamReader reader(xhtml);
    reader.setEntityResolver(&entities);
    ParagraphCollector collector;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement: {
            const QStringView name = reader.name();
            if (isSkipped(name)) {
                reader.skipCurrentElement();
            } else if (isHeading(name) || isBlock(name)) {
                collector.startBlock(isHeading(name));
            } else if (name == u"br") {
                collector.addSpace();
            }
            break;
        }
        case QXmlStreamReader::EndElement:
            if (isHeading(reader.name()) || isBlock(reader.name()))
                collector.endBlock();
            break;
        case QXmlStreamReader::Characters:
        case QXmlStreamReader::EntityReference:
            collector.addText(reader.text());
            break;
        default:
            break;
        }
    }
    return collector.takeParagraphs();
}
