#include "tune_command.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream error(stderr);
    return TuneCommand::run(QCoreApplication::arguments(), out, error);
}
