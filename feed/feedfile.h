#pragma once

#include "feed/feedreader.h"

#include <QByteArray>
#include <QString>

#include <optional>

// Replaces the file at path with bytes in one step: the bytes go to a temporary file beside it
// that is renamed over the target only when everything was written, so a failure leaves an
// earlier file as it was. Returns what went wrong, naming the file and the system's reason, or
// nothing when the file was written.
[[nodiscard]] std::optional<QString> writeFeedFile(const QString &path, const QByteArray &bytes);

// Reads the feed at path. Without a feed, the problem is the whole message for the user: the
// file, what is wrong and the line where it showed.
[[nodiscard]] FeedReadResult readFeedFile(const QString &path);

// "Read N episodes from <file>.", and which parts of the feed saving will leave out.
[[nodiscard]] QString openedFeedReport(const QString &path, qsizetype episodeCount,
                                       const QStringList &unkeptParts);
