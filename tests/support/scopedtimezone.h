#pragma once

#include <QByteArray>

// The process's time zone for one scope (a POSIX TZ value, so no zone database is needed);
// the C library reads TZ again on tzset().
class ScopedTimeZone final
{
public:
    explicit ScopedTimeZone(const QByteArray &zone);
    ~ScopedTimeZone();
    ScopedTimeZone(const ScopedTimeZone &) = delete;
    ScopedTimeZone &operator=(const ScopedTimeZone &) = delete;

private:
    bool m_wasSet;
    QByteArray m_saved;
};
