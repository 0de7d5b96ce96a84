#include "connection_panel.h"

#include "ms_comm.h"
#include "ole_color.h"
#include "status_line.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>

namespace {
bool marksPortUnusable(const std::optional<CommError> &error)
{
    return error
        && (error->code == CommCode::DeviceUnavailable || error->code == CommCode::InvalidPortNumber
            || error->code == CommCode::PortNotOpen);
}
} // namespace

ConnectionPanel::ConnectionPanel(
    const ConnectionControls &controls, MSComm &port, StatusLine &status, QObject *parent)
    : QObject(parent)
    , m_controls(controls)
    , m_port(port)
    , m_status(status)
{
    connect(m_controls.connect, &QPushButton::clicked, this, &ConnectionPanel::connectChosenPort);
    connect(m_controls.disconnect, &QPushButton::clicked, this, &ConnectionPanel::disconnectPort);
    connect(m_controls.exit, &QPushButton::clicked, this, &ConnectionPanel::exitConsole);
    connect(&m_port, &MSComm::connectionLost, this, &ConnectionPanel::reportLostDevice);
}

void ConnectionPanel::describePortDevices()
{
    for (int port = 1; port <= PortMap::kPortCount; ++port) {
        const QString device = m_port.DeviceName(port);
        m_controls.portOptions[port - 1]->setToolTip(
            device.isEmpty() ? tr("没有对应的设备") : device);
    }
}

void ConnectionPanel::probePorts()
{
    for (int port = 1; port <= PortMap::kPortCount; ++port) {
        const auto markOnAbsence = [this, port](const std::optional<CommError> &error) {
            if (marksPortUnusable(error))
                markPortUnusable(port);
        };
        markOnAbsence(m_port.setCommPort(port));
        if (m_port.PortOpen())
            markOnAbsence(m_port.setPortOpen(false));
        markOnAbsence(m_port.setPortOpen(true));
        markOnAbsence(m_port.setPortOpen(false));
    }
}

void ConnectionPanel::markPortUnusable(int port)
{
    QRadioButton *option = m_controls.portOptions[port - 1];
    option->setEnabled(false);
    QPalette palette = option->palette();
    palette.setColor(
        option->backgroundRole(), OleTranslateColor(SystemColor::ButtonFace).value_or(QColor()));
    option->setPalette(palette);
}

std::optional<int> ConnectionPanel::chosenPort() const
{
    const auto &options = m_controls.portOptions;
    const auto chosen = std::find_if(options.cbegin(), options.cend(),
        [](const QRadioButton *option) { return option->isChecked(); });
    if (chosen == options.cend())
        return std::nullopt;
    return int(chosen - options.cbegin()) + 1;
}

void ConnectionPanel::connectChosenPort()
{
    if (const std::optional<int> port = chosenPort())
        (void)m_port.setCommPort(*port);
    const int port = m_port.CommPort();
    if (m_port.PortOpen())
        (void)m_port.setPortOpen(false);
    if (const std::optional<CommError> error = m_port.setPortOpen(true)) {
        m_status.show(tr("无法打开 COM%1：%2").arg(port).arg(error->cause), error->detail);
        return;
    }
    m_status.show(tr("已连接..."));
    m_status.clearRecordingFailure();
    emit opened(port);
    showConnected(true);
}

void ConnectionPanel::disconnectPort()
{
    if (m_port.PortOpen())
        (void)m_port.setPortOpen(false);
    emit closed();
    m_status.show(tr("已断开..."), m_status.recordingFailure());
    showConnected(false);
}

void ConnectionPanel::exitConsole()
{
    if (m_port.PortOpen())
        (void)m_port.setPortOpen(false);
    emit exitRequested();
}

void ConnectionPanel::reportLostDevice(const CommError &error)
{
    emit lost();
    m_status.show(tr("连接已中断：COM%1 %2").arg(m_port.CommPort()).arg(error.cause), error.detail);
    showConnected(false);
}

/// The button pressed is disabled first, so that focus leaves it as it always did.
void ConnectionPanel::showConnected(bool connected)
{
    QPushButton *pressed = connected ? m_controls.connect : m_controls.disconnect;
    QPushButton *offered = connected ? m_controls.disconnect : m_controls.connect;
    pressed->setEnabled(false);
    offered->setEnabled(true);
}
