#include "application_setup.h"

#include "console_style.h"
#include "font_substitutes.h"
#include "profile_reader.h"

#include <QApplication>
#include <QTranslator>

#include <memory>

namespace {
const QString kSourceLanguage = QStringLiteral("zh");
} // namespace

void setUpApplicationIdentity()
{
    // Names the user's folders for the application, where records are kept.
    QCoreApplication::setApplicationName(QStringLiteral("Termiva"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TERMIVA_VERSION));
}

void setUpConsoleApplication()
{
    setUpApplicationIdentity();
    // Lets a Wayland desktop match the window to termiva.desktop and so to its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("termiva"));
    QApplication::setStyle(new ConsoleStyle); // the application takes ownership
    installFontSubstitutes();
}

QString chosenLanguage(const QString &commandLineLanguage, const QString &settingsFile)
{
    if (!commandLineLanguage.isEmpty())
        return commandLineLanguage;
    const QString configured =
        readProfileString(QStringLiteral("UI"), QStringLiteral("LANG"), settingsFile).trimmed();
    return configured == QLatin1String("en") ? configured : kSourceLanguage;
}

bool installLanguage(const QString &language)
{
    if (language == kSourceLanguage)
        return true;
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QStringLiteral(":/i18n/termiva_%1.qm").arg(language)))
        return false;
    translator->setParent(QCoreApplication::instance());
    return QCoreApplication::installTranslator(translator.release());
}
