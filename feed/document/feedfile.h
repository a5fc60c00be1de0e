#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Replaces the file at path with bytes in one step: the bytes go to a temporary file beside it
// that is renamed over the target only when everything was written, so a failure leaves an
// earlier file as it was. Returns what went wrong, naming the file and the system's reason, or
// nothing when the file was written.
[[nodiscard]] std::optional<QString> writeFeedFile(const QString &path, const QByteArray &bytes);
