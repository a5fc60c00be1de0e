#include "documents/zippackage.h"

#include "documents/documenterror.h"

#include <QDir>

#include <zip.h>

#include <algorithm>

namespace {

struct ZipErrorText
{
    explicit ZipErrorText(int code) { zip_error_init_with_code(&error, code); }
    ~ZipErrorText() { zip_error_fini(&error); }
    ZipErrorText(const ZipErrorText &) = delete;
    ZipErrorText &operator=(const ZipErrorText &) = delete;

    [[nodiscard]] QString text() { return QString::fromUtf8(zip_error_strerror(&error)); }

    zip_error_t error;
};

} // namespace

void ZipPackage::Closer::operator()(zip *archive) const
{
    zip_discard(archive); // read only: nothing to write back
}

ZipPackage::ZipPackage(QByteArray bytes, const QString &fileName)
    : m_bytes(std::move(bytes)), m_quotedFileName(u'"' + QDir::toNativeSeparators(fileName) + u'"')
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t *source =
        zip_source_buffer_create(m_bytes.constData(), zip_uint64_t(m_bytes.size()), 0, &error);
    if (source == nullptr) {
        const QString text = QString::fromUtf8(zip_error_strerror(&error));
        zip_error_fini(&error);
        fail(text);
    }
    zip *archive = zip_open_from_source(source, ZIP_RDONLY, &error);
    if (archive == nullptr) {
        zip_source_free(source);
        const QString text = QString::fromUtf8(zip_error_strerror(&error));
        zip_error_fini(&error);
        fail(text);
    }
    zip_error_fini(&error);
    m_archive.reset(archive);

    if (zip_get_num_entries(archive, 0) > MaximumEntries) {
        throw DocumentError(QStringLiteral("The file %1 holds more than %2 files, too many for a document.")
                                .arg(m_quotedFileName, QString::number(MaximumEntries)));
    }
}

ZipPackage::~ZipPackage() = default;

bool ZipPackage::contains(const QString &name) const
{
    return indexOf(name) >= 0;
}

qint64 ZipPackage::indexOf(const QString &name) const
{
    return zip_name_locate(m_archive.get(), name.toUtf8().constData(), ZIP_FL_ENC_GUESS);
}

QByteArray ZipPackage::entry(const QString &name)
{
    const qint64 index = indexOf(name);
    if (index < 0)
        fail(QStringLiteral("%1 is missing").arg(name));

    zip_file_t *file = zip_fopen_index(m_archive.get(), zip_uint64_t(index), 0);
    if (file == nullptr)
        fail(QStringLiteral("%1 cannot be unpacked: %2")
                 .arg(name, ZipErrorText(zip_get_error(m_archive.get())->zip_err).text()));
    const auto close = [file] { zip_fclose(file); };

    QByteArray bytes;
    constexpr qint64 chunk = 64 * 1024;
    for (;;) {
        // Never more room than the limit leaves: a bomb stops here, not in the allocator.
        const qint64 room = std::min(chunk, MaximumInflatedBytes - m_inflatedBytes + 1);
        const qsizetype filled = bytes.size();
        bytes.resize(filled + room);
        const zip_int64_t count = zip_fread(file, bytes.data() + filled, zip_uint64_t(room));
        if (count < 0) {
            const QString reason = QString::fromUtf8(zip_file_strerror(file));
            close();
            fail(QStringLiteral("%1 cannot be unpacked: %2").arg(name, reason));
        }
        bytes.resize(filled + count);
        m_inflatedBytes += count;
        if (m_inflatedBytes > MaximumInflatedBytes) {
            close();
            throw DocumentError(
                QStringLiteral("The file %1 unpacks to more than %2 MB, too much for a document.")
                    .arg(m_quotedFileName, QString::number(MaximumInflatedBytes / (1024 * 1024))));
        }
        if (count == 0)
            break;
    }
    close();
    return bytes;
}

void ZipPackage::fail(const QString &what) const
{
    throw DocumentError(QStringLiteral("The file %1 is a broken package: %2.").arg(m_quotedFileName, what));
}
