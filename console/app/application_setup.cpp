#include "application_setup.h"

#include "app/console_style.h"
#include "font_substitutes.h"
#include "profile_reader.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <memory>

namespace {
const QString kSourceLanguage = QStringLiteral("zh");
const QStringList kLanguages{kSourceLanguage, QStringLiteral("en")};

/// Qt's own catalogues are named after a locale, not a language.
QString qtCatalogue(const QString &language)
{
    return language == kSourceLanguage ? QStringLiteral("qt_zh_CN")
                                       : QStringLiteral("qt_") + language;
}

bool installTranslation(const QString &name, const QString &directory)
{
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(name, directory))
        return false;
    translator->setParent(QCoreApplication::instance());
    return QCoreApplication::installTranslator(translator.release());
}
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

LanguageSetting languageSetting(const QString &settingsFile)
{
    const QString configured =
        readProfileString(QStringLiteral("UI"), QStringLiteral("LANG"), settingsFile).trimmed();
    const QString language = configured.toLower();
    if (kLanguages.contains(language))
        return {language, {}};
    return {{}, configured};
}

QString chosenLanguage(const QString &commandLineLanguage, const QString &settingsFile)
{
    if (!commandLineLanguage.isEmpty())
        return commandLineLanguage.toLower();
    const QString configured = languageSetting(settingsFile).language;
    return configured.isEmpty() ? kSourceLanguage : configured;
}

bool installLanguage(const QString &language)
{
    // Qt's own texts (edit menus, file dialogs, message box buttons) follow the window's
    // language; without Qt's catalogue they stay English, which is no reason to refuse.
    installTranslation(qtCatalogue(language), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    if (language == kSourceLanguage)
        return true;
    return installTranslation(
        QStringLiteral("termiva_%1.qm").arg(language), QStringLiteral(":/i18n"));
}
