#include "application_setup.h"
#include "command_line.h"
#include "frm_main.h"
#include "serial_comm.h"
#include "settings_lookup.h"
#include "system_clock.h"

#include <QApplication>
#include <QTextStream>

namespace {
QStringList argumentsOf(int argc, char *argv[])
{
    QStringList arguments;
    for (int index = 0; index < argc; ++index)
        arguments.append(QString::fromLocal8Bit(argv[index]));
    return arguments;
}

/// Help, version and refusals need no display.
int reportWithoutWindow(const CommandLine &command, int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    setUpApplicationIdentity();
    installLanguage(command.language().isEmpty() ? QStringLiteral("zh") : command.language());
    QTextStream out(stdout);
    QTextStream error(stderr);
    return command.report(out, error);
}
} // namespace

int main(int argc, char *argv[])
{
    CommandLine command = CommandLine::parse(argumentsOf(argc, argv));
    command.checkSettingsFile();
    if (command.action() != CommandLine::Action::Run)
        return reportWithoutWindow(command, argc, argv);

    QApplication app(argc, argv);
    setUpConsoleApplication();
    const QString settingsFile = command.settingsFile().isEmpty()
        ? SettingsLookup::find(SettingsLookup::candidates(QCoreApplication::applicationDirPath()))
        : command.settingsFile();
    installLanguage(chosenLanguage(command.language(), settingsFile));
    frmMain window(std::make_unique<SerialComm>(PortMap::forThisSystem(settingsFile)),
        std::make_shared<SystemClock>(), settingsFile);
    window.show();
    return app.exec();
}
