#pragma once

#include <QDateTime>

/// Where the window reads the date and time, so that a run can be replayed at a fixed moment.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
};
