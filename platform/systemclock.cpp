#include "platform/systemclock.h"

QDateTime SystemClock::currentDateTimeUtc() const
{
    return QDateTime::currentDateTimeUtc();
}
