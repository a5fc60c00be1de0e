#pragma once

#include <QByteArray>
#include <QString>

// A text file's bytes as text: UTF-8 without a leading byte-order mark, or, when the bytes are
// not valid UTF-8, Latin-1, where every byte is a character and nothing becomes U+FFFD.
[[nodiscard]] QString decodedFileText(const QByteArray &bytes);
