#include "feed/feedfile.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

[[nodiscard]] QString failure(const QString &path, const QString &reason)
{
    return QStringLiteral("The feed could not be saved to \"%1\": %2").arg(path, reason);
}

} // namespace

std::optional<QString> writeFeedFile(const QString &path, const QByteArray &bytes)
{
    return writeFeedFile(path, FeedBytes(bytes));
}

std::optional<QString> writeFeedFile(const QString &path, const FeedBytes &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return failure(path, file.errorString());
    // A full disk first shows as a short write without an error; writing the rest then fails
    // with the system's reason.
    for (const QByteArrayView part : bytes.parts()) {
        qint64 written = 0;
        while (written < part.size()) {
            const qint64 count = file.write(part.data() + written, part.size() - written);
            if (count <= 0) {
                const QString reason = file.errorString();
                file.cancelWriting();
                return failure(path, reason);
            }
            written += count;
        }
    }
    if (!file.commit())
        return failure(path, file.errorString());
    return std::nullopt;
}

FeedReadResult readFeedFile(const QString &path)
{
    const QString shownPath = QDir::toNativeSeparators(path);
    const auto refused = [&shownPath](const QString &reason) {
        return FeedReadResult{nullptr, QStringLiteral("The feed \"%1\" could not be opened: %2").arg(shownPath, reason),
                              0};
    };
    // Opened without waiting, so that a pipe or a device cannot hold the program up, and looked
    // at before anything is read.
    const int descriptor = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0)
        return refused(QString::fromLocal8Bit(std::strerror(errno)));
    QFile file;
    if (!file.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(descriptor);
        return refused(file.errorString());
    }
    struct stat status {};
    if (::fstat(descriptor, &status) != 0)
        return refused(QString::fromLocal8Bit(std::strerror(errno)));
    if (!S_ISREG(status.st_mode))
        return refused(QStringLiteral("it is not a regular file."));
    if (status.st_size > MaximumFeedFileSize)
        return refused(QStringLiteral("it is larger than %1 MiB.").arg(MaximumFeedFileSize / (1024 * 1024)));
    // The size is checked again on what is read: the file may have grown since.
    const QByteArray bytes = file.read(MaximumFeedFileSize + 1);
    if (bytes.size() > MaximumFeedFileSize)
        return refused(QStringLiteral("it is larger than %1 MiB.").arg(MaximumFeedFileSize / (1024 * 1024)));
    if (file.error() != QFileDevice::NoError)
        return {nullptr, QStringLiteral("The feed \"%1\" could not be read: %2").arg(shownPath, file.errorString()),
                0};
    FeedReadResult read = readFeed(bytes);
    if (!read.feed)
        read.problem = QStringLiteral("The feed \"%1\" cannot be opened. %2 (line %3)")
                           .arg(shownPath, read.problem)
                           .arg(read.line);
    return read;
}

QString openedFeedReport(const QString &path, qsizetype episodeCount)
{
    return (episodeCount == 1 ? QStringLiteral("Read %1 episode from %2.") : QStringLiteral("Read %1 episodes from %2."))
        .arg(episodeCount)
        .arg(QDir::toNativeSeparators(path));
}
