#pragma once

#include "clock.h"
#include "timer_driver.h"

#include <QList>
#include <QPointer>

class WindowTimer;

/// Time under the caller's control for scripted runs: the window timers it drives fire only when
/// it is advanced, in time order, and the date and time it gives move with them.
class ManualTime final : public Clock, public TimerDriver
{
public:
    /// Takes the timer off real time; its current period starts now.
    void drive(WindowTimer *timer);
    /// From now on the date and time read this moment, moved on by every advance.
    void setNow(const QDateTime &moment);
    void advance(qint64 milliseconds);

    qint64 elapsed() const override { return m_elapsed; }
    QDateTime now() const override;

private:
    WindowTimer *nextDue(qint64 limit) const;

    QList<QPointer<WindowTimer>> m_timers;
    qint64 m_elapsed = 0;
    QDateTime m_moment;
    qint64 m_momentElapsed = 0;
};
