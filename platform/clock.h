#pragma once

#include <QDateTime>

class Clock
{
public:
    virtual ~Clock() = default;
    [[nodiscard]] virtual QDateTime currentDateTimeUtc() const = 0;
};
