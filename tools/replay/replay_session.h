#pragma once

#include <QString>

#include <memory>

class frmMain;
class ManualTime;
class MemoryComm;
class QWidget;

/// A real console window on an in-memory port and on manual time, driven by script lines:
/// connect, rx TEXT, tick N, click NAME, type NAME TEXT, move NAME VALUE, clock MOMENT, # notes.
class ReplaySession
{
public:
    explicit ReplaySession(const QString &applicationDir);
    ~ReplaySession();

    /// Runs one script line; on failure returns why.
    std::optional<QString> run(const QString &line);

    frmMain &window() const { return *m_window; }
    MemoryComm &port() const { return *m_port; }

private:
    std::optional<QString> receive(const QString &text);
    std::optional<QString> tick(const QString &count);
    std::optional<QString> click(const QString &name);
    std::optional<QString> type(const QString &arguments);
    std::optional<QString> move(const QString &arguments);
    std::optional<QString> setClock(const QString &moment);
    QWidget *control(const QString &name) const;
    void settle();

    std::shared_ptr<ManualTime> m_time;
    MemoryComm *m_port;
    std::unique_ptr<frmMain> m_window;
};
