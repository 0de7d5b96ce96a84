#pragma once

#include <QtGlobal>

/// Time that drives window timers in place of real time, so that scripted runs decide when
/// each period ends; a timer reads it to know where its next period starts.
class TimerDriver
{
public:
    virtual ~TimerDriver() = default;
    /// Milliseconds since the driver started.
    virtual qint64 elapsed() const = 0;
};
