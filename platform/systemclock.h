#pragma once

#include "clock.h"

class SystemClock final : public Clock
{
public:
    [[nodiscard]] QDateTime currentDateTimeUtc() const override;
};
