#include "app/application_setup.h"
#include "app/command_line.h"
#include "frm_main.h"
#include "serial_comm.h"
#include "settings_lookup.h"
#include "system_clock.h"
#include "termination_signals.h"

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
    // Before the window, so that a signal while it is being built waits for the event loop.
    const TerminationSignals termination;
    setUpConsoleApplication();
    const QString settingsFile = command.settingsFile().isEmpty()
        ? SettingsLookup::find(SettingsLookup::candidates(QCoreApplication::applicationDirPath()))
        : command.settingsFile();
    installLanguage(chosenLanguage(command.language(), settingsFile));
    frmMain window(std::make_unique<SerialComm>(PortMap::forThisSystem(settingsFile)),
        std::make_shared<SystemClock>(), settingsFile);
    if (!window.missingControls().isEmpty()) {
        QTextStream(stderr) << QCoreApplication::translate("main", "termiva：窗口设计缺少控件 %1")
                                   .arg(window.missingControls().join(QStringLiteral(", ")))
                            << Qt::endl;
        return 1;
    }
    // Ctrl+C, kill and a closed terminal close the window as its exit button does, so that the
    // record and the run's row are written; the exit code says which signal it was.
    QObject::connect(&termination, &TerminationSignals::received, &window, [&window](int number) {
        window.close();
        QCoreApplication::exit(128 + number);
    });
    window.show();
    return app.exec();
}
