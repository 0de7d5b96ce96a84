#include "application_setup.h"

#include "console_style.h"
#include "font_substitutes.h"

#include <QApplication>

void setUpConsoleApplication()
{
    // Names the user's folders for the application, where records are kept.
    QCoreApplication::setApplicationName(QStringLiteral("Termiva"));
    // Lets a Wayland desktop match the window to termiva.desktop and so to its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("termiva"));
    QApplication::setStyle(new ConsoleStyle); // the application takes ownership
    installFontSubstitutes();
}
