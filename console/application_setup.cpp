#include "application_setup.h"

#include "font_substitutes.h"

#include <QApplication>
#include <QStyleFactory>

void setUpConsoleApplication()
{
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    installFontSubstitutes();
}
