#pragma once

#include "tuning/command_fields.h"

#include <QObject>
#include <QString>

#include <memory>
#include <optional>

class Clock;
class WindowTimer;

/// What became of a parameter command: the controller's lines showed every field sent, or they
/// did not in time.
struct CommandVerdict
{
    bool confirmed = false;
    /// For the status line and the log, in the window's language.
    QString text;
    CommandFields sent;
    /// The fields as the lines showed them last; T is never shown.
    CommandFields shown;
};

/// Watches the controller's lines after a parameter command until they show every field sent
/// (S, P, I and D; T is not in the lines), or until both kLines lines and kWaitMilliseconds have
/// passed without that. One verdict per command; a newer command replaces the one watched, a
/// connection change or failure drops it. Time is read from the clock, and checked by a window
/// timer of its own so that a silent line still ends the wait.
class CommandConfirmation : public QObject
{
    Q_OBJECT

public:
    static constexpr int kLines = 5;
    static constexpr qint64 kWaitMilliseconds = 5000;
    static constexpr int kCheckInterval = 500;

    explicit CommandConfirmation(std::shared_ptr<const Clock> clock, QObject *parent = nullptr);

    /// Text that went to the controller, exactly as sent. A parameter command with a field the
    /// lines show starts a watch; any other text ends what stands, starting nothing.
    void commandSent(const QString &text);
    /// The values a completed line left in the window: a field the line did not carry keeps the
    /// value shown before, as the window does.
    void lineCompleted(const CommandFields &values);
    /// The connection changed or failed: nothing is watched and nothing stands any more.
    void cancel();

    bool isWatching() const { return m_watched.has_value(); }
    /// The last verdict's text while it stands: until the next text sent, a connection change or
    /// a failure.
    std::optional<QString> standing() const { return m_standing; }
    /// The newest values the lines showed, with T from the last command that carried one: what a
    /// step test starts from.
    CommandFields latest() const { return m_latest; }

signals:
    void decided(const CommandVerdict &verdict);

private:
    struct Watched
    {
        CommandFields sent;
        qint64 sentAt = 0;
        int lines = 0;
    };

    void checkTime();
    void decide(bool confirmed);
    bool allShown() const;
    QString confirmedText() const;
    QString unconfirmedText() const;
    qint64 now() const;

    std::shared_ptr<const Clock> m_clock;
    WindowTimer *m_checkTimer;
    std::optional<Watched> m_watched;
    std::optional<QString> m_standing;
    CommandFields m_latest;
};
