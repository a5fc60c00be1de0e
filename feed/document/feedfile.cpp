#include "feed/document/feedfile.h"

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
