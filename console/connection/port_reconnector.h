#pragma once

#include "connection/reconnect_policy.h"
#include "device_return_watcher.h"

#include <QElapsedTimer>
#include <QObject>

#include <functional>

class MSComm;
class RunRecorder;

/// Brings the port back by itself after a lost device: waits for the same device at the path
/// the port map gives, reopens the same port number within a second of its return, and keeps
/// the record and the run going across the gap. The window's connection panel hands it the
/// operator's actions and the port's losses, and shows what it reports.
class PortReconnector : public QObject
{
    Q_OBJECT

public:
    /// The recorder may be null; runTime gives the run time as shown, for the record's rows.
    PortReconnector(MSComm *port, RunRecorder *recorder, std::function<QString()> runTime,
        QObject *parent = nullptr);

    const ReconnectPolicy &policy() const { return m_policy; }
    /// Whether a device is being waited for.
    bool isWaiting() const { return m_policy.isWaiting(); }

    /// The settings file's RECONNECT or the menu check; turned off, a wait in progress ends as
    /// a loss without one does.
    void setEnabled(bool enabled);
    /// The operator's connect opened the port.
    void connected();
    /// The operator's 断开, exit, connect, or a failed open: a wait in progress ends. Closing
    /// the record stays with the caller, as for any closed connection.
    void closed();
    /// Another port chosen while waiting: the wait ends, the record's connection closes and the
    /// loss is reported as it is without a wait.
    void giveUp();
    /// The port's connectionLost: waits for the device, the record kept open, or, when turned
    /// off or not connected, ends the record's connection as a closed one.
    void lost(const CommError &error);

signals:
    void statusChanged(const QString &text, const QString &detail);
    /// A line for the log, without its time stamp: the gap's length after a reconnect.
    void logEntry(const QString &text);
    void stateChanged(ReconnectPolicy::State state);

private:
    void deviceReturned();
    /// The device node behind the port's path now: a stable link may lead to another one after
    /// a replug.
    QString currentNode() const;
    void report(const ReconnectPolicy::Report &report);
    void endWait();
    void endWaitReporting(const ReconnectPolicy::Report &shown);

    MSComm *m_port;
    RunRecorder *m_recorder;
    std::function<QString()> m_runTime;
    ReconnectPolicy m_policy;
    DeviceReturnWatcher m_watcher;
    QElapsedTimer m_clock;
    /// The node the port had open before the loss.
    QString m_openNode;
};
