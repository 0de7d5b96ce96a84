#include "tune_command.h"

#include <QGuiApplication>
#include <QTextStream>

#include <cstdio>

namespace {
/// The toolkit's own notes (a session without XDG_RUNTIME_DIR, as under root or a service,
/// gets one from every start) are not the tool's: scripts read its stderr for its refusals
/// alone. Only a fatal message, which ends the run, still says why.
void keepToolkitNotesOut(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", qUtf8Printable(qFormatLogMessage(type, context, message)));
}
} // namespace

int main(int argc, char *argv[])
{
    qInstallMessageHandler(keepToolkitNotesOut);
    // The report's pictures need fonts, never a screen: the tool runs the same over SSH.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream error(stderr);
    return TuneCommand::run(QCoreApplication::arguments(), out, error);
}
