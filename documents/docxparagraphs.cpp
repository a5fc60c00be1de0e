#include "documents/docxparagraphs.h"

#include "documents/documenterror.h"
#include "documents/documentloadcontrol.h"
#include "documents/paragraphcollector.h"
#include "documents/zippackage.h"

#include <QDir>
#include <QRegularExpression>
#include <QSet>
#include <QXmlStreamReader>

namespace {

// The main document part, as the package's relationships name it.
[[nodiscard]] QString mainPartPath(ZipPackage &package)
{
    const QString relationships = QStringLiteral("_rels/.rels");
    if (package.contains(relationships)) {
        QXmlStreamReader reader(package.entry(relationships));
        while (!reader.atEnd()) {
            if (reader.readNext() != QXmlStreamReader::StartElement || reader.name() != u"Relationship")
                continue;
            const QXmlStreamAttributes attributes = reader.attributes();
            if (attributes.value(QLatin1String("Type")).endsWith(u"/officeDocument"))
                return QDir::cleanPath(attributes.value(QLatin1String("Target")).toString())
                    .remove(QRegularExpression(QStringLiteral("^/+")));
        }
    }
    return QStringLiteral("word/document.xml");
}

// Word's attributes carry its prefix ("w:val"); any prefix will do.
[[nodiscard]] QString attribute(const QXmlStreamReader &reader, QStringView name)
{
    for (const QXmlStreamAttribute &attribute : reader.attributes()) {
        if (attribute.name() == name)
            return attribute.value().toString();
    }
    return {};
}

[[nodiscard]] bool isHeadingStyleName(const QString &name)
{
    static const QRegularExpression heading(QStringLiteral("^(heading \\d|title|subtitle)$"),
                                            QRegularExpression::CaseInsensitiveOption);
    return heading.match(name).hasMatch();
}

// The ids of the paragraph styles that make headings. Ids are often translated ("berschrift1"),
// the built-in names and outline levels are not.
[[nodiscard]] QSet<QString> headingStyles(ZipPackage &package, const QString &stylesPath)
{
    QSet<QString> ids;
    if (!package.contains(stylesPath))
        return ids;
    QXmlStreamReader reader(package.entry(stylesPath));
    QString current;
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QStringView name = reader.name();
        if (name == u"style") {
            current = attribute(reader, u"styleId");
        } else if ((name == u"name" && isHeadingStyleName(attribute(reader, u"val"))) ||
                   name == u"outlineLvl") {
            if (!current.isEmpty())
                ids.insert(current);
        }
    }
    return ids;
}

} // namespace

DocumentParagraphs docxParagraphs(ZipPackage &package, DocumentLoadControl &control)
{
    const QString documentPath = mainPartPath(package);
    if (!package.contains(documentPath)) {
        throw DocumentError(QStringLiteral("The file %1 is not a readable Word document: it has no %2.")
                                .arg(package.quotedFileName(), documentPath));
    }
    const QString folder =
        documentPath.contains(u'/') ? documentPath.left(documentPath.lastIndexOf(u'/') + 1) : QString();
    const QSet<QString> headings = headingStyles(package, folder + QStringLiteral("styles.xml"));

    const QByteArray xml = package.entry(documentPath);
    QXmlStreamReader reader(xml);
    ParagraphCollector collector;
    bool inText = false;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement: {
            const QStringView name = reader.name();
            if (name == u"p") {
                control.report(double(reader.characterOffset()) / double(xml.size()));
                collector.startBlock();
            } else if (name == u"t") {
                inText = true;
            } else if (name == u"tab" || name == u"br" || name == u"cr") {
                collector.addSpace();
            } else if (name == u"noBreakHyphen") {
                collector.addText(u"-");
            } else if (name == u"pStyle") {
                if (headings.contains(attribute(reader, u"val")))
                    collector.markBlockAsHeading();
            } else if (name == u"outlineLvl") {
                collector.markBlockAsHeading();
            } else if (name == u"Fallback" || name == u"pPrChange") {
                // A fallback repeats its alternative's text; a change record, the old formatting.
                reader.skipCurrentElement();
            }
            break;
        }
        case QXmlStreamReader::EndElement:
            if (reader.name() == u"p")
                collector.endBlock();
            else if (reader.name() == u"t")
                inText = false;
            break;
        case QXmlStreamReader::Characters:
            if (inText)
                collector.addText(reader.text());
            break;
        default:
            break;
        }
    }
    return collector.takeParagraphs();
}
