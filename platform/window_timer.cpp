#include "window_timer.h"

#include "manual_time.h"

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

void WindowTimer::restart()
{
    const bool running = m_enabled && m_interval > 0;
    if (m_manualTime) {
        m_realTimer.stop();
        m_dueAt = m_manualTime->elapsed() + m_interval;
    } else if (running) {
        m_realTimer.start(m_interval);
    } else {
        m_realTimer.stop();
    }
}
