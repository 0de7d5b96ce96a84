#include "display_format.h"

#include <QCoreApplication>
#include <QDate>

#include <array>
#include <cstdlib>

namespace {
const QString kClockGap(7, u' ');
// Indexed from Sunday.
constexpr std::array<const char *, 7> kWeekdays{QT_TRANSLATE_NOOP("DisplayFormat", "星期日"),
    QT_TRANSLATE_NOOP("DisplayFormat", "星期一"), QT_TRANSLATE_NOOP("DisplayFormat", "星期二"),
    QT_TRANSLATE_NOOP("DisplayFormat", "星期三"), QT_TRANSLATE_NOOP("DisplayFormat", "星期四"),
    QT_TRANSLATE_NOOP("DisplayFormat", "星期五"), QT_TRANSLATE_NOOP("DisplayFormat", "星期六")};
} // namespace

QString DisplayFormat::tenthsAsDegrees(int tenths)
{
    const int magnitude = std::abs(tenths);
    QString text = QString::number(magnitude / 10);
    if (magnitude % 10 != 0)
        text += u'.' + QString::number(magnitude % 10);
    return tenths < 0 ? u'-' + text : text;
}

QString DisplayFormat::percentage(double value)
{
    return QString::number(value, 'f', 2) + u'%';
}

double DisplayFormat::outputPercent(double level)
{
    return level / 2.55;
}

QString DisplayFormat::runTime(qint64 tenths)
{
    return QStringLiteral("%1.%2").arg(tenths / 10).arg(tenths % 10);
}

QString DisplayFormat::runClock(qint64 tenths)
{
    return tenths == 0 ? QStringLiteral("0") : runTime(tenths);
}

QString DisplayFormat::stampedTime(qint64 tenths)
{
    return runClock(tenths) + u's';
}

QLocale DisplayFormat::dateTimeLocale(const QLocale &locale)
{
    if (locale.language() == QLocale::C)
        return QLocale(QLocale::Chinese, QLocale::SimplifiedChineseScript, QLocale::China);
    return locale;
}

QString DisplayFormat::clockGap()
{
    return kClockGap;
}

QString DisplayFormat::clockCaption(QDate date, const QLocale &locale)
{
    return locale.toString(date, QLocale::ShortFormat) + kClockGap
        + QCoreApplication::translate(
            "DisplayFormat", kWeekdays[std::size_t(date.dayOfWeek() % 7)]);
}
