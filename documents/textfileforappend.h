#pragma once

#include "documents/textloadresult.h"

#include <QString>
#include <QtGlobal>

// Larger files are refused: their text would make the text box unusable long before it made
// sense to read them aloud.
inline constexpr qint64 maximumTextFileBytes = 64 * 1024 * 1024;

// Reads the file at path in one go and gives the text that loading it appends (see
// appendedLines and decodedFileText), or, on any failure, a description that names the file.
// Files holding NUL bytes are refused as not being text.
[[nodiscard]] TextLoadResult readTextFileForAppend(const QString &path);
