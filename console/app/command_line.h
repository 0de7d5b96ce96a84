#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>

class QTextStream;

/// What the console's command line asks for, read before any window exists so that --help and
/// --version work without a display.
class CommandLine
{
    Q_DECLARE_TR_FUNCTIONS(CommandLine)

public:
    enum class Action { Run, ShowHelp, ShowVersion, Refuse };
    static constexpr int kRefusedExitCode = 2;

    /// arguments[0] is the program.
    static CommandLine parse(const QStringList &arguments);

    Action action() const { return m_action; }
    /// Empty unless --settings named one.
    QString settingsFile() const { return m_settingsFile; }
    /// "zh", "en", or empty when not given.
    QString language() const { return m_language; }
    /// Refuses a settings file named on the command line that is missing or cannot be read,
    /// without opening anything but a regular file.
    void checkSettingsFile();
    /// Why the command line was refused, in the language installed when asked.
    QString problem() const;

    /// Prints the help, the version or the problem; the exit code for anything but Run.
    int report(QTextStream &out, QTextStream &error) const;

private:
    enum class Problem {
        None,
        UnknownOption,
        MissingValue,
        UnexpectedValue,
        ExtraArgument,
        UnknownLanguage,
        SettingsFileMissing,
        SettingsFileNotRegular,
        SettingsFileUnreadable,
        Other
    };

    void setProblem(Problem kind, const QString &subject);

    Action m_action = Action::Run;
    Problem m_problemKind = Problem::None;
    /// The option, argument or parser message the problem is about.
    QString m_problemSubject;
    /// The system's reason, where it gave one.
    QString m_problemReason;
    QString m_program;
    QString m_settingsFile;
    QString m_language;
};
