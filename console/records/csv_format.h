#pragma once

#include <QList>
#include <QString>
#include <QStringList>

/// Comma-separated values as spreadsheets read them: a field holding a comma, a quote or a line
/// break is quoted, its quotes doubled; rows end with CR LF.
namespace CsvFormat {
QString field(const QString &text);
QString row(const QStringList &fields);
/// Text a spreadsheet shows as it is: control characters as C escapes (\r, \x00), a backslash
/// doubled, and an apostrophe before a leading =, +, - or @ so that it is never run as a formula.
QString inertText(const QString &text);
/// Every row of a whole file; a final row without its line end counts as well.
QList<QStringList> parse(const QString &text);
} // namespace CsvFormat
