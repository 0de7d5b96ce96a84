#pragma once

#include <QString>

/// Reads one key of a private-profile (INI) file: section and key matched without regard to case,
/// the value trimmed and unquoted, ';' lines ignored, the first matching key wins, the result cut
/// to 254 characters; a missing file, section or key gives the empty text. Never writes.
QString readProfileString(const QString &section, const QString &key, const QString &path);
