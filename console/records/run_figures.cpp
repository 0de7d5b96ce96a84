#include "run_figures.h"

#include <cmath>

namespace {
std::optional<double> number(const QString &text)
{
    bool ok = false;
    const double value = text.toDouble(&ok);
    return ok ? std::optional(value) : std::nullopt;
}

/// One decimal with its sign, a true minus sign for less: "+3.0", "−2.1", "0.0".
QString signedDifference(double difference)
{
    const QString magnitude = QString::number(std::abs(difference), 'f', 1);
    if (magnitude == QLatin1String("0.0"))
        return magnitude;
    return (difference < 0 ? QStringLiteral("\u2212") : QStringLiteral("+")) + magnitude;
}
} // namespace

RunFigures RunFigures::fromRow(const QStringList &heading, const QStringList &run)
{
    const auto figure = [&](const char *column) {
        return number(run.value(heading.indexOf(QLatin1String(column))));
    };
    return {figure("rise_s"), figure("overshoot_pct"), figure("peak_s"), figure("settling_s")};
}

QString RunFigures::differenceFrom(const RunFigures &other) const
{
    QStringList parts;
    const auto compare = [&parts](const char *name, const std::optional<double> &mine,
                             const std::optional<double> &theirs, const char *unit) {
        if (mine && theirs)
            parts.append(
                tr(name) + u' ' + signedDifference(*mine - *theirs) + u' ' + QLatin1String(unit));
    };
    compare(QT_TRANSLATE_NOOP("RunFigures", "上升时间"), riseSeconds, other.riseSeconds, "s");
    compare(
        QT_TRANSLATE_NOOP("RunFigures", "超调量"), overshootPercent, other.overshootPercent, "%");
    compare(QT_TRANSLATE_NOOP("RunFigures", "峰值时间"), peakSeconds, other.peakSeconds, "s");
    compare(
        QT_TRANSLATE_NOOP("RunFigures", "调节时间"), settlingSeconds, other.settlingSeconds, "s");
    return parts.join(tr("，"));
}
