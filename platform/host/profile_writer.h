#pragma once

#include <QString>

/// What writing a key did: written, refused (no regular file in the way, or more than the
/// reader reads), or failed with the system's reason.
struct ProfileWrite
{
    enum class Outcome { Written, NotRegular, TooLarge, Failed };
    Outcome outcome = Outcome::Written;
    /// The system's reason when failed.
    QString reason;
};

/// Sets one key of a private-profile (INI) file to a value, where readProfileString would read
/// it: the first matching key of a matching section, else a new line after the last key of the
/// first matching section, else a new section at the end. Every other byte of the file stays as
/// it was (comments, order, other keys, encoding, line ends); the file and its folder are made
/// when missing, and it is replaced whole or not at all. Anything but a regular file is refused
/// unopened; a link is followed to the file it names.
ProfileWrite writeProfileString(
    const QString &section, const QString &key, const QString &value, const QString &path);
