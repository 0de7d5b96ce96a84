#pragma once

#include "clock.h"

/// The machine's own local date and time.
class SystemClock final : public Clock
{
public:
    QDateTime now() const override;
};
