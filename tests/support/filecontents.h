#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// A file's bytes, or nothing when it cannot be read.
[[nodiscard]] QByteArray contentsOf(const QString &path);

// Writes a test file and returns its path; stops the test program when that fails.
QString writeFile(const QString &path, const QByteArray &bytes);

// Every entry of a folder, hidden ones included: to see that nothing was left behind.
[[nodiscard]] QStringList entriesOf(const QString &folder);
