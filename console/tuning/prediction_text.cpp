#include "prediction_text.h"

#include <cmath>
#include <optional>

namespace {
const QString kNever = QStringLiteral("—");

QString seconds(std::optional<double> value)
{
    return value ? QString::number(*value, 'f', 1) : kNever;
}

/// Without a minus sign on what rounds to nothing.
QString degrees(double value)
{
    const double rounded = std::round(value * 100) / 100;
    return QString::number(rounded == 0 ? 0.0 : rounded, 'f', 2);
}

QString tenths(std::optional<qint64> value)
{
    return value ? QString::number(*value / 10.0, 'f', 1) : kNever;
}
} // namespace

QStringList PredictionText::headings()
{
    return {tr("超调 ℃"), tr("超调 %"), tr("上升 10–90 % s"), tr("调节 ±2 % s"),
        tr("调节 ±0.5 ℃ s"), tr("IAE ℃·s"), tr("稳态误差 ℃"), tr("饱和 s"), tr("振荡"),
        tr("上升时间 s"), tr("峰值时间 s"), tr("调节时间 s")};
}

QStringList PredictionText::cells(const ResponseFigures &figures)
{
    return {QString::number(figures.overshoot, 'f', 2),
        QString::number(figures.overshootPercent, 'f', 1), seconds(figures.rise10To90Seconds),
        seconds(figures.settling2PercentSeconds), seconds(figures.settlingHalfDegreeSeconds),
        QString::number(figures.absoluteErrorIntegral, 'f', 0), degrees(figures.steadyError),
        QString::number(figures.saturatedSeconds, 'f', 1), figures.oscillates ? tr("是") : tr("否"),
        tenths(figures.window.riseTenths), tenths(figures.window.peakTenths),
        tenths(figures.window.settlingTenths)};
}

QString PredictionText::summary(const ResponseFigures &figures)
{
    return tr("超调 %1 ℃，调节（±0.5 ℃）%2 s，IAE %3 ℃·s")
        .arg(QString::number(figures.overshoot, 'f', 2), seconds(figures.settlingHalfDegreeSeconds),
            QString::number(figures.absoluteErrorIntegral, 'f', 0));
}
