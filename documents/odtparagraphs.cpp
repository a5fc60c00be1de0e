#include "documents/odtparagraphs.h"

#include "documents/documenterror.h"
#include "documents/documentloadcontrol.h"
#include "documents/paragraphcollector.h"
#include "documents/zippackage.h"

#include <QSet>
#include <QXmlStreamReader>

namespace {

[[nodiscard]] bool isLeftOut(QStringView name)
{
    static const QSet<QString> names{
        QStringLiteral("note"),
        QStringLiteral("annotation"),
        QStringLiteral("tracked-changes"),
        QStringLiteral("table-of-content"),
        QStringLiteral("alphabetical-index"),
        QStringLiteral("illustration-index"),
        QStringLiteral("table-index"),
        QStringLiteral("object-index"),
        QStringLiteral("user-index"),
        QStringLiteral("bibliography"),
    };
    return names.contains(name.toString());
}

// A picture's title and description are for screen readers; the text around it does not
// mention them.
[[nodiscard]] bool isPictureText(const QXmlStreamReader &reader)
{
    return reader.namespaceUri().endsWith(u"svg-compatible:1.0") &&
           (reader.name() == u"title" || reader.name() == u"desc");
}

} // namespace

DocumentParagraphs odtParagraphs(ZipPackage &package, DocumentLoadControl &control)
{
    const QString contentPath = QStringLiteral("content.xml");
    if (!package.contains(contentPath)) {
        throw DocumentError(QStringLiteral("The file %1 is not a readable OpenDocument text: it has no %2.")
                                .arg(package.quotedFileName(), contentPath));
    }
    const QByteArray xml = package.entry(contentPath);
    QXmlStreamReader reader(xml);
    ParagraphCollector collector;
    int bodyDepth = 0; // text outside office:body (styles, fonts) is not the document's
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement: {
            const QStringView name = reader.name();
            if (name == u"body") {
                ++bodyDepth;
            } else if (bodyDepth == 0) {
                break;
            } else if (name == u"h" || name == u"p") {
                control.report(double(reader.characterOffset()) / double(xml.size()));
                collector.startBlock(name == u"h");
            } else if (name == u"s" || name == u"tab" || name == u"line-break") {
                collector.addSpace();
            } else if (isLeftOut(name) || isPictureText(reader)) {
                reader.skipCurrentElement();
            }
            break;
        }
        case QXmlStreamReader::EndElement: {
            const QStringView name = reader.name();
            if (name == u"body")
                --bodyDepth;
            else if (bodyDepth > 0 && (name == u"h" || name == u"p"))
                collector.endBlock();
            break;
        }
        case QXmlStreamReader::Characters:
            if (bodyDepth > 0)
                collector.addText(reader.text());
            break;
        default:
            break;
        }
    }
    return collector.takeParagraphs();
}
