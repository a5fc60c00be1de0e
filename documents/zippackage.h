#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <memory>

struct zip;

// A zip package (EPUB, DOCX, ODT) held in memory, read entry by entry. Archives are untrusted:
// too many entries are refused on opening, and inflating stops once the entries read so far
// add up to more than a document could hold, whatever the headers claim. Failures throw
// DocumentError with a description that names the file.
class ZipPackage final
{
public:
    static constexpr qint64 MaximumEntries = 20'000;
    static constexpr qint64 MaximumInflatedBytes = 256 * 1024 * 1024;

    // fileName only names the package in descriptions.
    ZipPackage(QByteArray bytes, const QString &fileName);
    ~ZipPackage();
    ZipPackage(const ZipPackage &) = delete;
    ZipPackage &operator=(const ZipPackage &) = delete;

    [[nodiscard]] bool contains(const QString &name) const;
    // The inflated entry; throws when it is missing, broken or over the limit.
    [[nodiscard]] QByteArray entry(const QString &name);

    [[nodiscard]] const QString &quotedFileName() const { return m_quotedFileName; }

private:
    [[nodiscard]] qint64 indexOf(const QString &name) const;
    [[noreturn]] void fail(const QString &what) const;

    QByteArray m_bytes; // libzip reads from it in place
    QString m_quotedFileName;
    struct Closer
    {
        void operator()(zip *archive) const;
    };
    std::unique_ptr<zip, Closer> m_archive;
    qint64 m_inflatedBytes = 0;
};
