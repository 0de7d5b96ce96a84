#pragma once

#include "connection/reconnect_policy.h"
#include "device_return_watcher.h"

#include <QElapsedTimer>
#include <QObject>

class MSComm;

/// Brings the port back by itself after a lost device: waits for the same device at the path
/// the port map gives and reopens the same port number within a second of its return. It only
/// reports; whoever keeps the record and the run decides what a loss and a return mean to them.
class PortReconnector : public QObject
{
    Q_OBJECT

public:
    explicit PortReconnector(MSComm *port, QObject *parent = nullptr);

    const ReconnectPolicy &policy() const { return m_policy; }
    /// Whether a device is being waited for.
    bool isWaiting() const { return m_policy.isWaiting(); }

    /// The settings file's RECONNECT or the menu check; turned off, a wait in progress ends as
    /// a loss without one does.
    void setEnabled(bool enabled);
    /// Follows the port the operator's connect opened.
    void follow();
    /// The operator's 断开, exit, connect, or a failed open: following, and any wait, end.
    void stop();
    /// Another port chosen while waiting: the wait ends as a loss without one does.
    void giveUp();
    /// The port's connectionLost: waits for the device or, turned off or not following, ends.
    void handleLoss(const CommError &error);

signals:
    /// The device went and its return is awaited; reason is the system's.
    void waiting(const ReconnectPolicy::Report &report, const QString &reason);
    /// The device is back but would not open: the wait goes on.
    void retrying(const ReconnectPolicy::Report &report);
    /// The same port is open again, at this device node.
    void reconnected(const ReconnectPolicy::Report &report, const QString &node);
    /// The link ended without a reconnect: a loss not awaited, or a wait given up.
    void ended(const ReconnectPolicy::Report &report);

private:
    void deviceReturned();
    void endWait(const ReconnectPolicy::Report &shown);
    /// The device node behind the port's path now: a stable link may lead to another one after
    /// a replug.
    QString currentNode() const;

    MSComm *m_port;
    ReconnectPolicy m_policy;
    DeviceReturnWatcher m_watcher;
    QElapsedTimer m_clock;
    /// The node the port had open before the loss.
    QString m_openNode;
};
