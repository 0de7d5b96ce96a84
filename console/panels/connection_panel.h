#pragma once

#include "connection/reconnect_policy.h"
#include "form/window_controls.h"

#include <QObject>

#include <optional>

class ConsoleSession;
class StatusLine;

/// The port options and the connect, disconnect and exit buttons: greys out the ports with no
/// device at start-up, asks the session to open and close the chosen one, and shows what
/// becomes of the link; the status line's menu check turns the reconnect on or off.
class ConnectionPanel : public QObject
{
    Q_OBJECT

public:
    ConnectionPanel(const ConnectionControls &controls, ConsoleSession &session, StatusLine &status,
        QObject *parent);

    /// Each port option's tooltip names its device, and an adapter's current node.
    void describePortDevices();
    /// Opens and closes every port once; the ones that are not there are greyed out for good.
    void probePorts();
    /// The operator's connect opened the port; said before the record opens, so that a failure
    /// to record is what the status line says last.
    void showOpened();
    /// What became of the link without the operator: lost, waited for, back, or ended.
    void showLinkReport(const ReconnectPolicy::Report &report);

signals:
    /// "退出": the window is to close and the application to end.
    void exitRequested();

private:
    // cmdConnect_Click
    void connectChosenPort();
    // cmdDisconnect_Click
    void disconnectPort();
    // optComPort_Click
    void portChosen(int port);

    void markPortUnusable(int port);
    std::optional<int> chosenPort() const;
    void showState();
    void offerReconnectCheck();
    void setReconnectEnabled(bool enabled);

    ConnectionControls m_controls;
    ConsoleSession &m_session;
    StatusLine &m_status;
};
