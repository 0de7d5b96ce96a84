#include "application_setup.h"
#include "frm_main.h"
#include "serial_comm.h"
#include "system_clock.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    setUpConsoleApplication();
    const QString applicationDir = QCoreApplication::applicationDirPath();
    frmMain window(
        std::make_unique<SerialComm>(PortMap::forThisSystem(frmMain::settingsFile(applicationDir))),
        std::make_shared<SystemClock>(), applicationDir);
    window.show();
    return app.exec();
}
