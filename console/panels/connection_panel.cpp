#include "connection_panel.h"

#include "ole_color.h"
#include "panels/context_menu.h"
#include "panels/status_line.h"
#include "session/console_session.h"

#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>

ConnectionPanel::ConnectionPanel(const ConnectionControls &controls, ConsoleSession &session,
    StatusLine &status, QObject *parent)
    : QObject(parent)
    , m_controls(controls)
    , m_session(session)
    , m_status(status)
{
    connect(m_controls.connect, &QPushButton::clicked, this, &ConnectionPanel::connectChosenPort);
    connect(m_controls.disconnect, &QPushButton::clicked, this, &ConnectionPanel::disconnectPort);
    connect(m_controls.exit, &QPushButton::clicked, this, &ConnectionPanel::exitRequested);
    for (int port = 1; port <= PortMap::kPortCount; ++port)
        connect(m_controls.portOptions[port - 1], &QRadioButton::clicked, this,
            [this, port] { portChosen(port); });
    offerReconnectCheck();
}

void ConnectionPanel::describePortDevices()
{
    for (int port = 1; port <= PortMap::kPortCount; ++port) {
        const QString device = m_session.deviceDescription(port);
        m_controls.portOptions[port - 1]->setToolTip(
            device.isEmpty() ? tr("没有对应的设备") : device);
    }
}

void ConnectionPanel::probePorts()
{
    for (const int port : m_session.probePorts())
        markPortUnusable(port);
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
    if (const std::optional<CommError> error = m_session.openPort(chosenPort()))
        m_status.show(
            tr("无法打开 COM%1：%2").arg(m_session.portNumber()).arg(error->cause), error->detail);
    showState();
}

void ConnectionPanel::showOpened()
{
    m_status.show(tr("已连接..."));
    m_status.clearRecordingFailure();
}

void ConnectionPanel::disconnectPort()
{
    m_session.closePort();
    m_status.show(tr("已断开..."), m_status.recordingFailure());
    showState();
}

/// Another port chosen while waiting for a lost device ends the wait; the port opens on the
/// next connect, as while connected.
void ConnectionPanel::portChosen(int port)
{
    m_session.choosePort(port);
}

/// "已重新连接" stays until the next message: the report of every received line leaves it.
void ConnectionPanel::showLinkReport(const ReconnectPolicy::Report &report)
{
    const ReconnectPolicy::State state = m_session.link().state();
    if (!report.status.isEmpty()) {
        if (state == ReconnectPolicy::State::Reconnected)
            m_status.showStanding(report.status, report.detail);
        else
            m_status.show(report.status, report.detail);
    }
    showState();
    if (state == ReconnectPolicy::State::Waiting || state == ReconnectPolicy::State::Reconnected)
        describePortDevices();
}

/// A button taken away goes first, so that focus leaves the one pressed as it always did.
void ConnectionPanel::showState()
{
    const ReconnectPolicy &policy = m_session.link();
    const std::pair<QPushButton *, bool> offers[] = {
        {m_controls.connect, policy.mayConnect()}, {m_controls.disconnect, policy.mayDisconnect()}};
    for (const bool enabling : {false, true}) {
        for (const auto &[button, offered] : offers) {
            if (offered == enabling)
                button->setEnabled(offered);
        }
    }
}

void ConnectionPanel::offerReconnectCheck()
{
    offerContextMenu(m_controls.status, [this] {
        auto *menu = new QMenu(m_controls.status);
        QAction *check = menu->addAction(ReconnectPolicy::menuText());
        check->setCheckable(true);
        check->setChecked(m_session.link().isEnabled());
        connect(check, &QAction::toggled, this, &ConnectionPanel::setReconnectEnabled);
        return menu;
    });
}

/// Takes effect at once, saved or not; a setting that could not be saved is reported.
void ConnectionPanel::setReconnectEnabled(bool enabled)
{
    const auto [written, file] = m_session.setReconnectEnabled(enabled);
    const QString path = QDir::toNativeSeparators(file);
    if (written.outcome == ProfileWrite::Outcome::NotRegular)
        m_status.show(tr("无法写入设置文件：%1 不是普通文件").arg(path), {}, path);
    else if (written.outcome == ProfileWrite::Outcome::TooLarge)
        m_status.show(tr("无法写入设置文件：%1 超过 1 MB").arg(path), {}, path);
    else if (written.outcome == ProfileWrite::Outcome::Failed)
        m_status.show(tr("无法写入设置文件：%1").arg(path), written.reason, path);
}
