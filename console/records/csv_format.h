#pragma once

#include <QList>
#include <QString>
#include <QStringList>

/// Comma-separated values as spreadsheets read them: a field holding a comma, a quote or a line
/// break is quoted, its quotes doubled; rows end with CR LF.
namespace CsvFormat {
QString field(const QString &text);
QString row(const QStringList &fields);
/// Every row of a whole file; a final row without its line end counts as well.
QList<QStringList> parse(const QString &text);
} // namespace CsvFormat
