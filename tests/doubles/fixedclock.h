#pragma once

#include "platform/clock.h"

class FixedClock final : public Clock
{
public:
    explicit FixedClock(QDateTime now = {}) : now(std::move(now)) {}
    [[nodiscard]] QDateTime currentDateTimeUtc() const override { return now.toUTC(); }

    QDateTime now;
};
