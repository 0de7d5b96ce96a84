#pragma once

#include <QObject>
#include <QTimer>

class ManualTime;

/// A window timer: an interval in milliseconds, an enabled flag and a Timer event each interval.
/// Runs on real time unless a ManualTime drives it.
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

signals:
    void Timer();

private:
    friend class ManualTime;
    void restart();

    int m_interval;
    bool m_enabled;
    QTimer m_realTimer;
    ManualTime *m_manualTime = nullptr;
    qint64 m_dueAt = 0;
};
