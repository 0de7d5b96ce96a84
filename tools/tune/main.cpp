#include "tune_command.h"

#include <QGuiApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    // The report's pictures need fonts, never a screen: the tool runs the same over SSH.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream error(stderr);
    return TuneCommand::run(QCoreApplication::arguments(), out, error);
}
