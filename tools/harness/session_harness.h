#pragma once

#include "manual_time.h"
#include "memory_comm.h"
#include "session/console_session.h"

#include <QByteArray>
#include <QTemporaryDir>

#include <memory>

/// The console's session without any window, on an in-memory port and manual time: the
/// controller's bytes, the passing of time and the operator's requests, for the cases that
/// check what the session keeps and records rather than what a control shows.
class SessionHarness
{
public:
    /// The settings file beside it holds settings; its records go to a folder of its own unless
    /// they name one.
    explicit SessionHarness(const QByteArray &settings = {});
    ~SessionHarness();

    ConsoleSession &session() const { return *m_session; }
    MemoryComm &port() const { return *m_port; }
    ManualTime &time() const { return *m_time; }
    QString settingsFile() const;
    QString recordsDirectory() const { return m_session->recordSettings().directory; }

    /// "连接" on the port.
    void connectPort(int port = 1);
    /// The controller sends these bytes; returns once every one has been handled.
    void receive(const QByteArray &bytes);
    /// count steps of 100 ms pass: the session's own timers fire, and from the first line on
    /// the run clock ticks, as the window's run-time timer makes it.
    void tick(qint64 count = 1);

private:
    QTemporaryDir m_directory;
    std::shared_ptr<ManualTime> m_time;
    MemoryComm *m_port;
    std::unique_ptr<ConsoleSession> m_session;
    bool m_runClockStarted = false;
};
