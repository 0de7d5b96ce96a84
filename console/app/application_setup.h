#pragma once

#include <QString>

/// The look every process that shows the console shares: its name and version, its style and
/// the CJK fonts behind the design's font names. Call once the application object exists.
void setUpConsoleApplication();

/// The application's name and version, for its folders and --version.
void setUpApplicationIdentity();

/// [UI] LANG of a settings file, read without regard to case: the language when the console has
/// it ("zh" or "en"), otherwise the value as written (empty when there is none).
struct LanguageSetting
{
    QString language;
    QString unknown;
};
LanguageSetting languageSetting(const QString &settingsFile);

/// The interface language: the command line's, else [UI] LANG of the settings file, else
/// Chinese, whatever the system's locale.
QString chosenLanguage(const QString &commandLineLanguage, const QString &settingsFile);

/// Puts the window's texts, and Qt's own where the system has Qt's translations, into the
/// language; false when the console's own translation cannot be loaded ("zh" needs none).
/// Call once the application object exists.
bool installLanguage(const QString &language);
