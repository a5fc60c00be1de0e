#include "tests/support/scopedtimezone.h"

#include <QtGlobal>

#include <ctime>

ScopedTimeZone::ScopedTimeZone(const QByteArray &zone)
    : m_wasSet(qEnvironmentVariableIsSet("TZ")), m_saved(qgetenv("TZ"))
{
    qputenv("TZ", zone);
    tzset();
}

ScopedTimeZone::~ScopedTimeZone()
{
    if (m_wasSet)
        qputenv("TZ", m_saved);
    else
        qunsetenv("TZ");
    tzset();
}
