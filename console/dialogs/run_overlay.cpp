#include "run_overlay.h"

#include "records/run_curve.h"
#include "records/run_recorder.h"

#include <QDateTime>

#include <cmath>

namespace {
// The dashes of a predicted curve: drawn for the first part of each period, broken for the rest.
constexpr qint64 kDashPeriodMs = 4000;
constexpr qint64 kDashDrawnMs = 2500;

QString cell(const QStringList &run, const char *column)
{
    return run.value(RunRecorder::runColumns().indexOf(QLatin1String(column)));
}
} // namespace

ChartOverlay RunOverlay::fromCurve(const RunCurve &curve, const QStringList &run)
{
    ChartOverlay overlay;
    overlay.legend = legend(run);
    overlay.samples.reserve(curve.points().size());
    for (const CurvePoint &point : curve.points())
        overlay.samples.push_back(
            {point.lost ? ChartOverlay::kGap : point.tenths, point.runTenths});
    return overlay;
}

QString RunOverlay::legend(const QStringList &run)
{
    QStringList parts;
    const QDateTime start = QDateTime::fromString(cell(run, "start"), Qt::ISODateWithMs);
    parts.append(start.isValid() ? start.toLocalTime().toString(QStringLiteral("MM-dd HH:mm:ss"))
                                 : cell(run, "start"));
    if (!cell(run, "set_c").isEmpty())
        parts.append(tr("设定 %1 ℃").arg(cell(run, "set_c")));
    QStringList gains;
    for (const char *gain : {"p", "i", "d"}) {
        if (!cell(run, gain).isEmpty())
            gains.append(QString::fromLatin1(gain).toUpper() + u' ' + cell(run, gain));
    }
    if (!gains.isEmpty())
        parts.append(gains.join(u' '));
    return parts.join(QStringLiteral(" · "));
}

ChartOverlay RunOverlay::fromPrediction(const AppliedPrediction &prediction)
{
    ChartOverlay overlay;
    const GainSet &gains = prediction.gains;
    overlay.legend = tr("预测 · P %1 I %2 D %3").arg(gains.p).arg(gains.i).arg(gains.d);
    overlay.samples.push_back({qint32(std::lround(prediction.plan.from * 10)), 0});
    for (const PlantSample &line : prediction.prediction.lines) {
        const qint64 tenths = line.milliseconds / 100;
        if (line.milliseconds % kDashPeriodMs < kDashDrawnMs)
            overlay.samples.push_back({qint32(std::lround(line.temperature * 10)), tenths});
        else if (overlay.samples.back().value != ChartOverlay::kGap)
            overlay.samples.push_back({ChartOverlay::kGap, tenths});
    }
    return overlay;
}
