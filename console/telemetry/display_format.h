#pragma once

#include <QLocale>
#include <QString>

/// How the console writes numbers for the operator, always with "." as the decimal mark.
namespace DisplayFormat {
/// Tenths of a degree as degrees, without trailing zeros: 600 gives "60", 585 gives "58.5".
QString tenthsAsDegrees(int tenths);
/// A percentage with at least one integer digit and two decimals, then "%": "50.20%".
QString percentage(double value);
/// The output level, 0 to 255, as a percentage of full output.
double outputPercent(double level);
/// Run time counted in tenths of a second: 125 gives "12.5", 0 gives "0.0".
QString runTime(qint64 tenths);
/// The run clock as its box shows it and its stamps and records give it: "0" before the run's
/// first tick, then as runTime.
QString runClock(qint64 tenths);
/// A figure stamped with the run clock, as its box shows it: "12.5s".
QString stampedTime(qint64 tenths);
/// The locale for dates and times: the given one, except that a system with no regional
/// settings at all (C or POSIX) reads Chinese (China), so the window mixes in no English names.
QLocale dateTimeLocale(const QLocale &locale = QLocale());
/// The blanks between the clock's date and its weekday.
QString clockGap();
/// The clock's caption: the short date, seven blanks and the weekday.
QString clockCaption(QDate date, const QLocale &locale = dateTimeLocale());
} // namespace DisplayFormat
