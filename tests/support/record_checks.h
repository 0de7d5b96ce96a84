#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

/// What the record tests share: the line they feed, the record files a folder holds and the form
/// of a record's times.
namespace RecordChecks {
/// A telemetry line as the controller sends it, CR LF included.
QByteArray line(int set, int current, int p = 10);
/// The record files in a folder, by name.
QStringList recordFiles(const QString &directory);
/// A moment as the records write it: ISO 8601 with milliseconds and the offset from UTC that
/// the local time zone has at that moment.
bool isRecordTime(const QString &text);
} // namespace RecordChecks
