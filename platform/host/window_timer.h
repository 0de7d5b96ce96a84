#pragma once

#include <QObject>
#include <QTimer>

class TimerDriver;

/// A window timer: an interval in milliseconds, an enabled flag and a Timer event each interval.
/// Runs on real time unless a TimerDriver drives it.
class WindowTimer : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int Interval READ Interval WRITE setInterval)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)

public:
    WindowTimer(const QString &name, int interval, bool enabled, QObject *parent);

    int Interval() const { return m_interval; }
    void setInterval(int milliseconds);
    bool Enabled() const { return m_enabled; }
    void setEnabled(bool enabled);

    /// Takes the timer off real time; its current period starts at the driver's present time.
    void setDriver(const TimerDriver *driver);
    /// The driver's time at which the timer next fires while it runs.
    qint64 dueAt() const { return m_dueAt; }
    bool running() const { return m_enabled && m_interval > 0; }
    /// For the driver: starts the next period and raises Timer.
    void fire();

signals:
    void Timer();

private:
    void restart();

    int m_interval;
    bool m_enabled;
    QTimer m_realTimer;
    const TimerDriver *m_driver = nullptr;
    qint64 m_dueAt = 0;
};
