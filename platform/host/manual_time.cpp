#include "manual_time.h"

#include "window_timer.h"

void ManualTime::drive(WindowTimer *timer)
{
    m_timers.append(timer);
    timer->setDriver(this);
}

void ManualTime::setNow(const QDateTime &moment)
{
    m_moment = moment;
    m_momentElapsed = m_elapsed;
}

void ManualTime::advance(qint64 milliseconds)
{
    const qint64 target = m_elapsed + milliseconds;
    while (WindowTimer *timer = nextDue(target)) {
        m_elapsed = timer->dueAt();
        timer->fire();
    }
    m_elapsed = target;
}

QDateTime ManualTime::now() const
{
    if (!m_moment.isValid())
        return QDateTime::currentDateTime();
    return m_moment.addMSecs(m_elapsed - m_momentElapsed);
}

WindowTimer *ManualTime::nextDue(qint64 limit) const
{
    WindowTimer *next = nullptr;
    for (const QPointer<WindowTimer> &timer : m_timers) {
        if (!timer || !timer->running() || timer->dueAt() > limit)
            continue;
        if (!next || timer->dueAt() < next->dueAt())
            next = timer;
    }
    return next;
}
