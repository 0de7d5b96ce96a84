#pragma once

#include "connection/reconnect_policy.h"
#include "form/window_controls.h"

#include <QObject>

#include <functional>
#include <optional>

class MSComm;
class PortReconnector;
class RunRecorder;
class StatusLine;
struct CommError;

/// The port options and the connect, disconnect and exit buttons: probes the ports at start-up,
/// opens and closes the chosen one, reports a lost device and, unless told not to, brings it
/// back when it returns; the status line's menu check turns that on or off.
class ConnectionPanel : public QObject
{
    Q_OBJECT

public:
    /// The recorder keeps the run across a reconnect; runTime gives the run time as shown.
    ConnectionPanel(const ConnectionControls &controls, MSComm &port, StatusLine &status,
        RunRecorder *recorder, std::function<QString()> runTime, QObject *parent);

    /// Each port option's tooltip names its device, and an adapter's current node.
    void describePortDevices();
    /// Opens and closes every port once; the ones that are not there are greyed out for good.
    void probePorts();
    /// [PORTS] RECONNECT of the settings file in use, which the menu check writes back.
    void readReconnectSetting(const QString &settingsFile);
    /// The window closes: the port and any wait for a lost device end.
    void closePort();

signals:
    /// The operator's connect opened the port.
    void opened(int port);
    /// The lost device is back and the same port open again, the run going on.
    void reopened();
    /// The connection ended (断开, or connect pressed while waiting): the run ends.
    void closed();
    /// The device failed underneath the open port, which is already closed.
    void lost();
    /// A line for the log, without its time stamp: the length of a gap.
    void logEntry(const QString &text);
    /// The port is closed; the window is to close and the application to end.
    void exitRequested();

private:
    // cmdConnect_Click
    void connectChosenPort();
    // cmdDisconnect_Click
    void disconnectPort();
    // cmdExit_Click
    void exitConsole();
    // ComPort_ConnectionLost
    void reportLostDevice(const CommError &error);
    // optComPort_Click
    void portChosen(int port);

    void markPortUnusable(int port);
    std::optional<int> chosenPort() const;
    void showReconnectStatus(const QString &text, const QString &detail);
    void showState();
    void reconnectStateChanged(ReconnectPolicy::State state);
    void offerReconnectCheck();
    void setReconnectEnabled(bool enabled);

    ConnectionControls m_controls;
    MSComm &m_port;
    StatusLine &m_status;
    PortReconnector *m_reconnector;
    QString m_settingsFile;
};
