#pragma once

#include <QString>

/// The look every process that shows the console shares: its name and version, its style and
/// the CJK fonts behind the design's font names. Call once the application object exists.
void setUpConsoleApplication();

/// The application's name and version, for its folders and --version.
void setUpApplicationIdentity();

/// The interface language: the command line's, else [UI] LANG of the settings file, else
/// Chinese, whatever the system's locale.
QString chosenLanguage(const QString &commandLineLanguage, const QString &settingsFile);

/// Puts the window's texts into the language ("zh" needs nothing); false when its translation
/// cannot be loaded. Call once the application object exists.
bool installLanguage(const QString &language);
