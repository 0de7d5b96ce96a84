#pragma once

#include "offline_console.h"

#include <QString>

#include <optional>

/// Script lines run against the offline console: connect, rx TEXT, tick N, click NAME,
/// type NAME TEXT, move NAME VALUE, menu NAME ENTRY, rows NAME ROW…, clock MOMENT, # notes.
class ReplaySession
{
public:
    explicit ReplaySession(const QString &applicationDir);

    /// Runs one script line; on failure returns why.
    std::optional<QString> run(const QString &line);

    const OfflineConsole &console() const { return m_console; }

private:
    std::optional<QString> receive(const QString &text);
    std::optional<QString> tick(const QString &count);
    std::optional<QString> click(const QString &name);
    std::optional<QString> type(const QString &arguments);
    std::optional<QString> move(const QString &arguments);
    std::optional<QString> choose(const QString &arguments);
    std::optional<QString> selectRows(const QString &arguments);
    std::optional<QString> setClock(const QString &moment);

    OfflineConsole m_console;
};
