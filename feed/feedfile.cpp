#include "feed/feedfile.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace {

[[nodiscard]] QString failure(const QString &path, const QString &reason)
{
    return QStringLiteral("The feed could not be saved to \"%1\": %2").arg(path, reason);
}

} // namespace

std::optional<QString> writeFeedFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return failure(path, file.errorString());
    // A full disk first shows as a short write without an error; writing the rest then fails
    // with the system's reason.
    qint64 written = 0;
    while (written < bytes.size()) {
        const qint64 count = file.write(bytes.constData() + written, bytes.size() - written);
        if (count <= 0) {
            const QString reason = file.errorString();
            file.cancelWriting();
            return failure(path, reason);
        }
        written += count;
    }
    if (!file.commit())
        return failure(path, file.errorString());
    return std::nullopt;
}

FeedReadResult readFeedFile(const QString &path)
{
    const QString shownPath = QDir::toNativeSeparators(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {std::nullopt,
                QStringLiteral("The feed \"%1\" could not be opened: %2").arg(shownPath, file.errorString()),
                0};
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return {std::nullopt,
                QStringLiteral("The feed \"%1\" could not be read: %2").arg(shownPath, file.errorString()),
                0};
    FeedReadResult read = readFeed(bytes);
    if (!read.feed)
        read.problem = QStringLiteral("The feed \"%1\" cannot be opened. %2 (line %3)")
                           .arg(shownPath, read.problem)
                           .arg(read.line);
    return read;
}

QString openedFeedReport(const QString &path, qsizetype episodeCount, const QStringList &unkeptParts)
{
    QString report = (episodeCount == 1 ? QStringLiteral("Read %1 episode from %2.")
                                        : QStringLiteral("Read %1 episodes from %2."))
                         .arg(episodeCount)
                         .arg(QDir::toNativeSeparators(path));
    if (!unkeptParts.isEmpty())
        report += QStringLiteral("\nThese parts are not kept when the feed is saved: %1.")
                      .arg(unkeptParts.join(QStringLiteral(", ")));
    return report;
}
