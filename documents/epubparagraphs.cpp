#include "documents/epubparagraphs.h"

#include "documents/documenterror.h"
#include "documents/documentloadcontrol.h"
#include "documents/xhtmlparagraphs.h"
#include "documents/zippackage.h"

#include <QDir>
#include <QHash>
#include <QUrl>
#include <QXmlStreamReader>

namespace {

struct ManifestItem
{
    QString path;
    QString mediaType;
    bool isNavigation = false;
};

[[noreturn]] void fail(const ZipPackage &package, const QString &what)
{
    throw DocumentError(
        QStringLiteral("The file %1 is not a readable EPUB book: %2.").arg(package.quotedFileName(), what));
}

[[nodiscard]] QString packageDocumentPath(ZipPackage &package)
{
    const QString container = QStringLiteral("META-INF/container.xml");
    if (!package.contains(container))
        fail(package, QStringLiteral("it has no %1").arg(container));
    QXmlStreamReader reader(package.entry(container));
    while (!reader.atEnd()) {
        if (reader.readNext() == QXmlStreamReader::StartElement && reader.name() == u"rootfile") {
            const QString path = reader.attributes().value(QLatin1String("full-path")).toString();
            if (!path.isEmpty())
                return path;
        }
    }
    fail(package, QStringLiteral("%1 names no package document").arg(container));
}

// Where an address in the package document points inside the package: relative to the
// package document's folder, percent-encoding undone, any fragment dropped.
[[nodiscard]] QString resolvedPath(const QString &baseFolder, const QString &href)
{
    const QUrl url(href);
    const QString path = url.path(QUrl::FullyDecoded);
    return QDir::cleanPath(baseFolder.isEmpty() ? path : baseFolder + u'/' + path);
}

struct Spine
{
    QList<ManifestItem> items;
};

[[nodiscard]] Spine readSpine(ZipPackage &package, const QString &opfPath)
{
    const QString folder = opfPath.contains(u'/') ? opfPath.left(opfPath.lastIndexOf(u'/')) : QString();
    QHash<QString, ManifestItem> manifest;
    QStringList order;
    QXmlStreamReader reader(package.entry(opfPath));
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QXmlStreamAttributes attributes = reader.attributes();
        if (reader.name() == u"item") {
            const QStringList properties =
                attributes.value(QLatin1String("properties")).toString().split(u' ', Qt::SkipEmptyParts);
            manifest.insert(attributes.value(QLatin1String("id")).toString(),
                            {resolvedPath(folder, attributes.value(QLatin1String("href")).toString()),
                             attributes.value(QLatin1String("media-type")).toString(),
                             properties.contains(u"nav")});
        } else if (reader.name() == u"itemref") {
            order.append(attributes.value(QLatin1String("idref")).toString());
        }
    }
    if (reader.hasError())
        fail(package, QStringLiteral("its package document is broken (%1)").arg(reader.errorString()));

    Spine spine;
    for (const QString &id : std::as_const(order)) {
        const auto item = manifest.constFind(id);
        if (item == manifest.cend() || item->isNavigation)
            continue;
        if (item->mediaType != u"application/xhtml+xml" && item->mediaType != u"text/html")
            continue;
        spine.items.append(*item);
    }
    return spine;
}

} // namespace

DocumentParagraphs epubParagraphs(ZipPackage &package, DocumentLoadControl &control)
{
    const Spine spine = readSpine(package, packageDocumentPath(package));
    DocumentParagraphs paragraphs;
    for (qsizetype i = 0; i < spine.items.size(); ++i) {
        control.report(double(i) / double(spine.items.size()));
        const ManifestItem &item = spine.items.at(i);
        // A chapter listed but missing is skipped rather than costing the whole book.
        if (package.contains(item.path))
            paragraphs += xhtmlParagraphs(package.entry(item.path));
    }
    return paragraphs;
}
