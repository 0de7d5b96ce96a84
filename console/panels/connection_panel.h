#pragma once

#include "window_controls.h"

#include <QObject>

#include <optional>

class MSComm;
class StatusLine;
struct CommError;

/// The port options and the connect, disconnect and exit buttons: probes the ports at start-up,
/// opens and closes the chosen one and reports a lost device.
class ConnectionPanel : public QObject
{
    Q_OBJECT

public:
    ConnectionPanel(
        const ConnectionControls &controls, MSComm &port, StatusLine &status, QObject *parent);

    /// Each port option's tooltip names its device.
    void describePortDevices();
    /// Opens and closes every port once; the ones that are not there are greyed out for good.
    void probePorts();

signals:
    void opened(int port);
    /// The operator disconnected.
    void closed();
    /// The device failed underneath the open port, which is already closed.
    void lost();
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

    void markPortUnusable(int port);
    std::optional<int> chosenPort() const;
    void showConnected(bool connected);

    ConnectionControls m_controls;
    MSComm &m_port;
    StatusLine &m_status;
};
