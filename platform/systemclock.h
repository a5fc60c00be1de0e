#pragma once

#include "platform/clock.h"

class SystemClock final : public Clock
{
public:
    [[nodiscard]] QDateTime currentDateTimeUtc() const override;
};
