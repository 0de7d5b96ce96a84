#pragma once

#include <QString>

/// Whether and where the console records: on, in the user's data folder, unless the settings
/// file says otherwise.
struct RecordSettings
{
    bool enabled = true;
    QString directory;

    /// [RECORD] ENABLED=0 turns recording off; DIR names another folder, a relative one beside
    /// the settings file, one starting "~/" in the home folder.
    static RecordSettings read(const QString &settingsFile, const QString &defaultDirectory);
};
