#include "documents/textfileforappend.h"

#include "documents/appendedlines.h"
#include "documents/decodedfiletext.h"

#include <QByteArray>
#include <QDir>
#include <QFile>

#include <algorithm>
#include <utility>

namespace {

enum class ReadOutcome
{
    Complete,
    TooLarge,
    Failed,
};

struct FileBytes
{
    ReadOutcome outcome;
    QByteArray bytes;
};

// Reads to the end, or stops as soon as the file has proved larger than the limit. Pipes,
// devices and /proc files report no size, a log may grow while it is read, and /dev/zero never
// ends, so the size checked before reading cannot be trusted to bound the memory taken.
[[nodiscard]] FileBytes readWithinLimit(QFile &file)
{
    constexpr qint64 minimumGrowth = 64 * 1024;
    // One spare byte lets a regular file's end show without growing the buffer.
    QByteArray bytes(std::min(file.size(), maximumTextFileBytes) + 1, Qt::Uninitialized);
    qint64 filled = 0;
    for (;;) {
        if (filled == bytes.size()) {
            if (filled > maximumTextFileBytes)
                return {ReadOutcome::TooLarge, {}};
            bytes.resize(std::min(std::max(2 * filled, minimumGrowth), maximumTextFileBytes + 1));
        }
        const qint64 count = file.read(bytes.data() + filled, bytes.size() - filled);
        if (count < 0)
            return {ReadOutcome::Failed, {}};
        if (count == 0)
            break;
        filled += count;
    }
    bytes.truncate(filled);
    return {ReadOutcome::Complete, std::move(bytes)};
}

[[nodiscard]] QString quotedName(const QString &path)
{
    return u'"' + QDir::toNativeSeparators(path) + u'"';
}

} // namespace

TextLoadResult readTextFileForAppend(const QString &path)
{
    const QString name = quotedName(path);
    const auto tooLarge = [&name] {
        return TextLoadResult::failure(QStringLiteral("The file %1 is larger than 64 MiB.").arg(name));
    };

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return TextLoadResult::failure(
            QStringLiteral("The file %1 cannot be opened: %2.").arg(name, file.errorString()));
    }
    // Checked before reading too, so a huge file is refused at once rather than after 64 MiB.
    if (file.size() > maximumTextFileBytes)
        return tooLarge();

    const FileBytes contents = readWithinLimit(file);
    switch (contents.outcome) {
    case ReadOutcome::TooLarge:
        return tooLarge();
    case ReadOutcome::Failed:
        return TextLoadResult::failure(
            QStringLiteral("The file %1 cannot be read: %2.").arg(name, file.errorString()));
    case ReadOutcome::Complete:
        break;
    }
    if (contents.bytes.contains('\0'))
        return TextLoadResult::failure(QStringLiteral("The file %1 is not a text file.").arg(name));

    return TextLoadResult::success(appendedLines(decodedFileText(contents.bytes)));
}
