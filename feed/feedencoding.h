#pragma once

#include <QByteArray>
#include <QString>

struct Utf8Feed
{
    // The feed's text as UTF-8; empty with a problem when it could not be decoded.
    QByteArray bytes;
    QString problem;
};

// A feed file's bytes as UTF-8. UTF-8 and pure ASCII come back as they are (byte-order mark
// included); UTF-16 and the encodings an XML declaration names are converted, the declaration
// then naming UTF-8.
[[nodiscard]] Utf8Feed feedAsUtf8(const QByteArray &bytes);
