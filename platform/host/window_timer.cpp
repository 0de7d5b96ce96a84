#include "window_timer.h"

#include "timer_driver.h"

WindowTimer::WindowTimer(const QString &name, int interval, bool enabled, QObject *parent)
    : QObject(parent)
    , m_interval(interval)
    , m_enabled(enabled)
{
    setObjectName(name);
    m_realTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_realTimer, &QTimer::timeout, this, &WindowTimer::Timer);
    restart();
}

void WindowTimer::setInterval(int milliseconds)
{
    m_interval = milliseconds;
    restart();
}

void WindowTimer::setEnabled(bool enabled)
{
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    restart();
}

void WindowTimer::setDriver(const TimerDriver *driver)
{
    m_driver = driver;
    restart();
}

void WindowTimer::fire()
{
    m_dueAt += m_interval;
    emit Timer();
}

void WindowTimer::restart()
{
    if (m_driver) {
        m_realTimer.stop();
        m_dueAt = m_driver->elapsed() + m_interval;
    } else if (running()) {
        m_realTimer.start(m_interval);
    } else {
        m_realTimer.stop();
    }
}
