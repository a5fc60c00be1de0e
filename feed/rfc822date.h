#pragma once

#include <QDateTime>
#include <QString>

// The publication date form of RSS 2.0 (RFC 822), always in UTC:
// "Sun, 06 Dec 2026 03:05:09 GMT". Names are English and digits padded whatever the user's
// language and time zone. An invalid date gives an empty string.
[[nodiscard]] QString rfc822Date(const QDateTime &moment);
