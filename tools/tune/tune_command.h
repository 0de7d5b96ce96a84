#pragma once

#include <QCoreApplication>
#include <QStringList>

class QTextStream;

/// termiva-tune: the plant of a recorded run fitted and printed, as text or as JSON, with the
/// controller's law checked against the run; in the console's language.
class TuneCommand
{
    Q_DECLARE_TR_FUNCTIONS(TuneCommand)

public:
    enum ExitCode { Fitted = 0, UsageOrUnreadable = 2, Refused = 3 };

    /// Runs with the program's arguments, its name first; the application object must exist.
    static int run(const QStringList &arguments, QTextStream &out, QTextStream &error);
};
