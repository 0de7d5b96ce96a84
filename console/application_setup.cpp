#include "application_setup.h"

#include "console_style.h"
#include "font_substitutes.h"

#include <QApplication>

void setUpConsoleApplication()
{
    QApplication::setStyle(new ConsoleStyle); // the application takes ownership
    installFontSubstitutes();
}
