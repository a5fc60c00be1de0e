#pragma once

#include "feed/feedbytes.h"
#include "feed/feedreader.h"

#include <QByteArray>
#include <QString>

#include <optional>

// Replaces the file at path with bytes in one step: the bytes go to a temporary file beside it
// that is renamed over the target only when everything was written, so a failure leaves an
// earlier file as it was. Returns what went wrong, naming the file and the system's reason, or
// nothing when the file was written.
[[nodiscard]] std::optional<QString> writeFeedFile(const QString &path, const FeedBytes &bytes);
[[nodiscard]] std::optional<QString> writeFeedFile(const QString &path, const QByteArray &bytes);

// The largest feed file that is opened; podcast feeds are a few megabytes at most.
inline constexpr qint64 MaximumFeedFileSize = qint64(256) * 1024 * 1024;

// Reads the feed at path: a regular file of at most MaximumFeedFileSize bytes. Without a feed,
// the problem is the whole message for the user: the file, what is wrong and the line where it
// showed.
[[nodiscard]] FeedReadResult readFeedFile(const QString &path);

// "Read N episodes from <file>."
[[nodiscard]] QString openedFeedReport(const QString &path, qsizetype episodeCount);
