#pragma once

#include <QString>

/// Reads one key of a private-profile (INI) file: section and key matched without regard to case,
/// the value trimmed and unquoted, ';' lines ignored, the first matching key wins, the result cut
/// to 254 characters; a missing file, section or key gives the empty text. Never writes.
/// Anything but a regular file reads as a missing one, without being opened.
/// Only the file's first mebibyte is read: a settings file is never that big, and a huge one
/// would stall the window.
QString readProfileString(const QString &section, const QString &key, const QString &path);
/// The same lookup in a settings file's bytes (as read, at most its first mebibyte), so that the
/// rule can be exercised without a file.
QString parseProfileString(const QString &section, const QString &key, const QByteArray &contents);

inline constexpr qint64 kLargestProfile = 1024 * 1024;

/// Whether a settings file can be read whole: a missing file is fine (every key reads empty);
/// anything but a regular file (a folder, a FIFO, a device) is never opened and reads empty.
struct ProfileFileCheck
{
    enum class Outcome { Readable, Missing, NotRegular, Unreadable, TooLarge };
    Outcome outcome = Outcome::Missing;
    /// The system's reason when unreadable, in the window's language.
    QString reason;
};
ProfileFileCheck checkProfileFile(const QString &path);
