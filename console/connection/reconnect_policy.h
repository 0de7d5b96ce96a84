#pragma once

#include "comm_error.h"
#include "profile_writer.h"

#include <QCoreApplication>
#include <QString>

/// Whether the connection waits for a lost device to come back, and what the status line and
/// the log say meanwhile. Only a device lost under an open port is waited for; the operator's
/// 断开, another port or a failed open never start a wait and end one in progress.
class ReconnectPolicy
{
    Q_DECLARE_TR_FUNCTIONS(ReconnectPolicy)

public:
    enum class State { Idle, Connected, Waiting, Reconnected };

    /// What to show after an event; each part empty when there is nothing new to show.
    struct Report
    {
        QString status;
        /// Behind the status, in its tooltip.
        QString detail;
        QString logEntry;
    };

    /// [PORTS] RECONNECT=0 turns reconnecting off; anything else leaves it on.
    static bool enabledIn(const QString &settingsFile);
    /// The status line's menu check writes the key, the settings file's one written key.
    static ProfileWrite saveEnabled(const QString &settingsFile, bool enabled);
    static QString menuText() { return tr("断线后自动重连"); }

    explicit ReconnectPolicy(bool enabled = true);

    bool isEnabled() const { return m_enabled; }
    /// Turned off while waiting, the wait ends and the loss reads as it does without one.
    Report setEnabled(bool enabled);
    State state() const { return m_state; }
    bool isWaiting() const { return m_state == State::Waiting; }
    int port() const { return m_port; }

    /// The operator's connect opened the port.
    void opened(int port);
    /// 断开, exit, connect pressed, or the operator's open failed: nothing more to say.
    void closed();
    /// Another port chosen while waiting: the wait ends and the loss reads as it does without one.
    Report giveUp();
    /// The device failed under the open port, at a moment in milliseconds of a steady clock.
    Report lost(const CommError &error, qint64 atMs);
    /// The device came back but would not open: the wait goes on, and says why.
    Report reopenFailed(const CommError &error) const;
    /// The same port opened again after the device came back, at the node given; the node it
    /// had before the loss is named too when they differ.
    Report reopened(qint64 atMs, const QString &formerNode, const QString &node);

    /// "连接" stays offered while waiting: the operator may connect at once, ending the wait.
    bool mayConnect() const { return m_state == State::Idle || m_state == State::Waiting; }
    /// "断开" ends a connection or a wait.
    bool mayDisconnect() const { return m_state != State::Idle; }

private:
    bool isOpen() const { return m_state == State::Connected || m_state == State::Reconnected; }
    Report lostWithoutWaiting() const;

    bool m_enabled = true;
    State m_state = State::Idle;
    int m_port = 0;
    CommError m_loss;
    qint64 m_lostAt = 0;
};
