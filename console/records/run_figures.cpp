#include "run_figures.h"

#include "telemetry/text_number.h"

#include <QCoreApplication>

#include <cmath>

namespace {
QString translated(const char *text)
{
    return QCoreApplication::translate("RunFigures", text);
}

/// One decimal with its sign, a true minus sign for less: "+3.0", "−2.1", "0.0".
QString signedDifference(double difference)
{
    const QString magnitude = QString::number(std::abs(difference), 'f', 1);
    if (magnitude == QLatin1String("0.0"))
        return magnitude;
    return (difference < 0 ? QStringLiteral("\u2212") : QStringLiteral("+")) + magnitude;
}

std::optional<double> seconds(std::optional<qint64> tenths)
{
    return tenths ? std::optional(*tenths / 10.0) : std::nullopt;
}
} // namespace

StepFigures RunFigures::fromRow(const QStringList &heading, const QStringList &run)
{
    const auto figure = [&](const char *column) {
        return TextNumber::toDouble(run.value(heading.indexOf(QLatin1String(column))));
    };
    const auto tenths = [&](const char *column) -> std::optional<qint64> {
        const std::optional<double> value = figure(column);
        return value ? std::optional(qint64(std::llround(*value * 10))) : std::nullopt;
    };
    return {tenths("rise_s"), figure("overshoot_pct"), tenths("peak_s"), tenths("settling_s")};
}

QString RunFigures::difference(const StepFigures &one, const StepFigures &other)
{
    QStringList parts;
    const auto compare = [&parts](const char *name, const std::optional<double> &mine,
                             const std::optional<double> &theirs, const char *unit) {
        if (mine && theirs)
            parts.append(translated(name) + u' ' + signedDifference(*mine - *theirs) + u' '
                + QLatin1String(unit));
    };
    compare(QT_TRANSLATE_NOOP("RunFigures", "上升时间"), seconds(one.riseTenths),
        seconds(other.riseTenths), "s");
    compare(QT_TRANSLATE_NOOP("RunFigures", "超调量"), one.overshootPercent, other.overshootPercent,
        "%");
    compare(QT_TRANSLATE_NOOP("RunFigures", "峰值时间"), seconds(one.peakTenths),
        seconds(other.peakTenths), "s");
    compare(QT_TRANSLATE_NOOP("RunFigures", "调节时间"), seconds(one.settlingTenths),
        seconds(other.settlingTenths), "s");
    return parts.join(translated(QT_TRANSLATE_NOOP("RunFigures", "，")));
}
