#include "connection_panel.h"

#include "connection/port_reconnector.h"
#include "ms_comm.h"
#include "ole_color.h"
#include "panels/context_menu.h"
#include "panels/status_line.h"
#include "settings_lookup.h"

#include <QDir>
#include <QLabel>
#include <QMenu>
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

ConnectionPanel::ConnectionPanel(const ConnectionControls &controls, MSComm &port,
    StatusLine &status, RunRecorder *recorder, std::function<QString()> runTime, QObject *parent)
    : QObject(parent)
    , m_controls(controls)
    , m_port(port)
    , m_status(status)
    , m_reconnector(new PortReconnector(&port, recorder, std::move(runTime), this))
{
    connect(m_controls.connect, &QPushButton::clicked, this, &ConnectionPanel::connectChosenPort);
    connect(m_controls.disconnect, &QPushButton::clicked, this, &ConnectionPanel::disconnectPort);
    connect(m_controls.exit, &QPushButton::clicked, this, &ConnectionPanel::exitConsole);
    for (int port = 1; port <= PortMap::kPortCount; ++port)
        connect(m_controls.portOptions[port - 1], &QRadioButton::clicked, this,
            [this, port] { portChosen(port); });
    connect(&m_port, &MSComm::connectionLost, this, &ConnectionPanel::reportLostDevice);
    connect(m_reconnector, &PortReconnector::statusChanged, this,
        &ConnectionPanel::showReconnectStatus);
    connect(m_reconnector, &PortReconnector::logEntry, this, &ConnectionPanel::logEntry);
    connect(m_reconnector, &PortReconnector::stateChanged, this,
        &ConnectionPanel::reconnectStateChanged);
    offerReconnectCheck();
}

void ConnectionPanel::describePortDevices()
{
    for (int port = 1; port <= PortMap::kPortCount; ++port) {
        const QString device = m_port.DeviceDescription(port);
        m_controls.portOptions[port - 1]->setToolTip(
            device.isEmpty() ? tr("没有对应的设备") : device);
    }
}

void ConnectionPanel::readReconnectSetting(const QString &settingsFile)
{
    m_settingsFile = settingsFile;
    m_reconnector->setEnabled(ReconnectPolicy::enabledIn(settingsFile));
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

/// Pressed while waiting for a lost device, the wait and its run end before the port opens.
void ConnectionPanel::connectChosenPort()
{
    if (const std::optional<int> port = chosenPort())
        (void)m_port.setCommPort(*port);
    const int port = m_port.CommPort();
    if (m_reconnector->isWaiting()) {
        m_reconnector->closed();
        emit closed();
    }
    if (m_port.PortOpen())
        (void)m_port.setPortOpen(false);
    if (const std::optional<CommError> error = m_port.setPortOpen(true)) {
        m_status.show(tr("无法打开 COM%1：%2").arg(port).arg(error->cause), error->detail);
        showState();
        return;
    }
    m_status.show(tr("已连接..."));
    m_status.clearRecordingFailure();
    emit opened(port);
    m_reconnector->connected();
    showState();
}

void ConnectionPanel::disconnectPort()
{
    if (m_port.PortOpen())
        (void)m_port.setPortOpen(false);
    m_reconnector->closed();
    emit closed();
    m_status.show(tr("已断开..."), m_status.recordingFailure());
    showState();
}

void ConnectionPanel::exitConsole()
{
    closePort();
    emit exitRequested();
}

void ConnectionPanel::closePort()
{
    if (m_port.PortOpen())
        (void)m_port.setPortOpen(false);
    m_reconnector->closed();
}

/// The reconnector decides whether to wait, and says so.
void ConnectionPanel::reportLostDevice(const CommError &error)
{
    emit lost();
    m_reconnector->lost(error);
}

/// Another port chosen while waiting for a lost device ends the wait; the port opens on the
/// next connect, as while connected.
void ConnectionPanel::portChosen(int port)
{
    if (m_reconnector->isWaiting() && port != m_reconnector->policy().port())
        m_reconnector->giveUp();
}

/// "已重新连接" stays until the next message: the report of every received line leaves it.
void ConnectionPanel::showReconnectStatus(const QString &text, const QString &detail)
{
    if (m_reconnector->policy().state() == ReconnectPolicy::State::Reconnected)
        m_status.showStanding(text, detail);
    else
        m_status.show(text, detail);
}

/// A button taken away goes first, so that focus leaves the one pressed as it always did.
void ConnectionPanel::showState()
{
    const ReconnectPolicy &policy = m_reconnector->policy();
    const std::pair<QPushButton *, bool> offers[] = {
        {m_controls.connect, policy.mayConnect()}, {m_controls.disconnect, policy.mayDisconnect()}};
    for (const bool enabling : {false, true}) {
        for (const auto &[button, offered] : offers) {
            if (offered == enabling)
                button->setEnabled(offered);
        }
    }
}

void ConnectionPanel::reconnectStateChanged(ReconnectPolicy::State state)
{
    showState();
    if (state == ReconnectPolicy::State::Waiting || state == ReconnectPolicy::State::Reconnected)
        describePortDevices();
    if (state == ReconnectPolicy::State::Reconnected)
        emit reopened();
}

void ConnectionPanel::offerReconnectCheck()
{
    offerContextMenu(m_controls.status, [this] {
        auto *menu = new QMenu(m_controls.status);
        QAction *check = menu->addAction(ReconnectPolicy::menuText());
        check->setCheckable(true);
        check->setChecked(m_reconnector->policy().isEnabled());
        connect(check, &QAction::toggled, this, &ConnectionPanel::setReconnectEnabled);
        return menu;
    });
}

/// Takes effect at once, saved or not; a setting that could not be saved is reported.
void ConnectionPanel::setReconnectEnabled(bool enabled)
{
    m_reconnector->setEnabled(enabled);
    const QString file = SettingsLookup::forWriting(m_settingsFile);
    const ProfileWrite written = ReconnectPolicy::saveEnabled(file, enabled);
    const QString path = QDir::toNativeSeparators(file);
    if (written.outcome == ProfileWrite::Outcome::NotRegular)
        m_status.show(tr("无法写入设置文件：%1 不是普通文件").arg(path), {}, path);
    else if (written.outcome == ProfileWrite::Outcome::TooLarge)
        m_status.show(tr("无法写入设置文件：%1 超过 1 MB").arg(path), {}, path);
    else if (written.outcome == ProfileWrite::Outcome::Failed)
        m_status.show(tr("无法写入设置文件：%1").arg(path), written.reason, path);
}
