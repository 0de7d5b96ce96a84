#include "report_charts.h"

#include "tuning/plant_model.h"
#include "tuning/response_figures.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace {
constexpr int kLeftMargin = 64;
constexpr int kRightMargin = 64;
constexpr int kLegendWidth = 210;
constexpr int kTopMargin = 30;
constexpr int kBottomMargin = 40;
constexpr int kGap = 14;
constexpr int kFontPixels = 12;
constexpr int kTimeTicks = 8;
constexpr int kValueTicks = 6;
// The residual's strip, as a share of the height drawn in.
constexpr double kResidualShare = 0.26;
// The residual's scale never narrows below the record's own step of 0.1 °C, twice over.
constexpr double kLeastResidualScale = 0.2;
constexpr double kLeastTemperatureSpan = 1.0;
constexpr double kBand = ResponseFigures::kAbsoluteBand;

const QColor kTextColour(40, 40, 40);
const QColor kFrameColour(150, 150, 150);
const QColor kGridColour(228, 228, 228);
const QColor kSetPointColour(30, 30, 30);
const QColor kRecordColour(110, 110, 110);
const QColor kModelColour(0, 90, 200);
const QColor kOutputColour(245, 180, 110);
const QColor kResidualColour(200, 40, 40);
const QColor kBandColour(60, 170, 80, 45);
const std::vector<QColor> kCandidateColours{QColor(0, 90, 200), QColor(210, 100, 0),
    QColor(30, 150, 60), QColor(170, 40, 170), QColor(200, 40, 40), QColor(0, 150, 160),
    QColor(120, 90, 40), QColor(90, 90, 90)};

struct Range
{
    double low = 0.0;
    double high = 1.0;

    double span() const { return std::max(high - low, 1e-9); }
    void take(double value)
    {
        low = std::min(low, value);
        high = std::max(high, value);
    }
    static Range empty()
    {
        return {std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity()};
    }
    /// Widened to at least the least span, with a margin so that no curve runs along the frame.
    Range padded(double leastSpan) const
    {
        const double middle = (low + high) / 2;
        const double half = std::max(high - low, leastSpan) / 2;
        const double margin = half * 0.08;
        return {middle - half - margin, middle + half + margin};
    }
};

/// Maps seconds and a value to a rectangle of the picture.
struct Scale
{
    QRectF area;
    Range x;
    Range y;

    double xAt(double seconds) const
    {
        return area.left() + (seconds - x.low) / x.span() * area.width();
    }
    double yAt(double value) const
    {
        return area.bottom() - (value - y.low) / y.span() * area.height();
    }
    QPointF at(QPointF point) const { return {xAt(point.x()), yAt(point.y())}; }
};

/// Round steps, 1, 2 or 5 times a power of ten, about count of them across the range.
double tickStep(const Range &range, int count)
{
    const double raw = range.span() / std::max(count, 1);
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double factor : {1.0, 2.0, 5.0}) {
        if (factor * power >= raw)
            return factor * power;
    }
    return 10 * power;
}

std::vector<double> ticksOf(const Range &range, double step)
{
    // A record's stray value must not make the axis count ticks without end.
    constexpr int kMostTicks = 50;
    std::vector<double> ticks;
    if (!std::isfinite(range.low) || !std::isfinite(range.high) || !(step > 0))
        return ticks;
    const double first = std::ceil(range.low / step - 1e-9);
    for (int at = 0; at < kMostTicks; ++at) {
        const double tick = (first + at) * step;
        if (tick > range.high + 1e-9 * step)
            break;
        ticks.push_back(std::abs(tick) < step * 1e-9 ? 0.0 : tick);
    }
    return ticks;
}

int placesOf(double step)
{
    return std::max(0, int(-std::floor(std::log10(step) + 1e-9)));
}

QImage blankPicture()
{
    QImage picture(ReportCharts::kWidth, ReportCharts::kHeight, QImage::Format_RGB32);
    picture.fill(Qt::white);
    return picture;
}

void prepare(QPainter &painter)
{
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    QFont font = painter.font();
    font.setPixelSize(kFontPixels);
    painter.setFont(font);
}

QImage nothingToDraw(const QString &why)
{
    QImage picture = blankPicture();
    QPainter painter(&picture);
    prepare(painter);
    painter.setPen(kTextColour);
    painter.drawText(picture.rect(), Qt::AlignCenter, why);
    return picture;
}

void drawGrid(QPainter &painter, const Scale &scale, double timeStep, double valueStep)
{
    painter.setPen(QPen(kGridColour, 1));
    for (const double seconds : ticksOf(scale.x, timeStep))
        painter.drawLine(QPointF(scale.xAt(seconds), scale.area.top()),
            QPointF(scale.xAt(seconds), scale.area.bottom()));
    for (const double value : ticksOf(scale.y, valueStep))
        painter.drawLine(QPointF(scale.area.left(), scale.yAt(value)),
            QPointF(scale.area.right(), scale.yAt(value)));
    painter.setPen(QPen(kFrameColour, 1));
    painter.drawRect(scale.area);
}

void drawTimeLabels(QPainter &painter, const Scale &scale, double step, const QString &title)
{
    painter.setPen(kTextColour);
    const QFontMetricsF metrics(painter.font());
    const double top = scale.area.bottom() + 3;
    for (const double seconds : ticksOf(scale.x, step)) {
        const QString text = QString::number(seconds, 'f', placesOf(step));
        const double width = metrics.horizontalAdvance(text);
        painter.drawText(QPointF(scale.xAt(seconds) - width / 2, top + metrics.ascent()), text);
    }
    painter.drawText(
        QRectF(scale.area.left(), top + metrics.height(), scale.area.width(), metrics.height()),
        Qt::AlignCenter, title);
}

/// Tick labels beside the frame, on its left or its right.
void drawValueLabels(QPainter &painter, const Scale &scale, double step, bool right)
{
    const QFontMetricsF metrics(painter.font());
    for (const double value : ticksOf(scale.y, step)) {
        const QString text = QString::number(value, 'f', placesOf(step));
        const double y = scale.yAt(value) - metrics.height() / 2;
        const QRectF box = right
            ? QRectF(scale.area.right() + 4, y, kRightMargin - 6, metrics.height())
            : QRectF(scale.area.left() - kLeftMargin, y, kLeftMargin - 4, metrics.height());
        painter.drawText(box, (right ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter, text);
    }
}

void drawValueAxis(QPainter &painter, const Scale &scale, bool right, const QColor &colour)
{
    painter.setPen(colour);
    drawValueLabels(painter, scale, tickStep(scale.y, kValueTicks), right);
}

QPainterPath pathOf(const std::vector<QPointF> &points, const Scale &scale)
{
    QPainterPath path;
    if (points.empty())
        return path;
    path.moveTo(scale.at(points.front()));
    for (const QPointF &point : points)
        path.lineTo(scale.at(point));
    return path;
}

void drawCurve(
    QPainter &painter, const std::vector<QPointF> &points, const Scale &scale, const QPen &pen)
{
    painter.save();
    painter.setClipRect(scale.area);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(pathOf(points, scale));
    painter.restore();
}

/// A legend entry: a short stroke in the curve's pen and its name; returns the width taken.
double drawLegendEntry(
    QPainter &painter, QPointF at, const QPen &pen, const QString &name, double widest)
{
    constexpr double kStroke = 22;
    const QFontMetricsF metrics(painter.font());
    painter.setPen(pen);
    painter.drawLine(at, at + QPointF(kStroke, 0));
    painter.setPen(kTextColour);
    const QString text =
        metrics.elidedText(name, Qt::ElideRight, std::max(0.0, widest - kStroke - 5));
    painter.drawText(at + QPointF(kStroke + 5, metrics.ascent() / 2 - 1), text);
    return kStroke + 5 + metrics.horizontalAdvance(text) + 16;
}

QPen dashed(const QColor &colour, double width)
{
    QPen pen(colour, width);
    pen.setStyle(Qt::DashLine);
    return pen;
}

double secondsFrom(qint64 start, const PlantSample &line)
{
    return double(line.milliseconds - start) / 1000.0;
}

/// The set point held from line to line, as the controller holds it.
std::vector<QPointF> setPointSteps(const PlantStretch &lines)
{
    std::vector<QPointF> steps;
    const qint64 start = lines.front().milliseconds;
    for (const PlantSample &line : lines) {
        if (!line.setPoint)
            continue;
        const double seconds = secondsFrom(start, line);
        if (!steps.empty() && steps.back().y() != *line.setPoint)
            steps.emplace_back(seconds, steps.back().y());
        steps.emplace_back(seconds, *line.setPoint);
    }
    return steps;
}

/// The run's curves as points of seconds from its first line.
struct RunPoints
{
    std::vector<QPointF> recorded;
    std::vector<QPointF> model;
    std::vector<QPointF> setPoint;
    std::vector<QPointF> output;
    std::vector<QPointF> residual;

    static RunPoints of(const RecordedPlant &plant)
    {
        RunPoints points;
        const PlantStretch &lines = plant.fitted;
        const qint64 start = lines.front().milliseconds;
        const std::vector<double> model =
            plant.model ? plant.model->predicted(lines) : std::vector<double>();
        for (std::size_t at = 0; at < lines.size(); ++at) {
            const double seconds = secondsFrom(start, lines[at]);
            points.recorded.emplace_back(seconds, lines[at].temperature);
            if (lines[at].output)
                points.output.emplace_back(seconds, *lines[at].output);
            if (at < model.size()) {
                points.model.emplace_back(seconds, model[at]);
                points.residual.emplace_back(seconds, lines[at].temperature - model[at]);
            }
        }
        points.setPoint = setPointSteps(lines);
        return points;
    }

    Range temperatures() const
    {
        Range range = Range::empty();
        for (const std::vector<QPointF> *curve : {&recorded, &model, &setPoint}) {
            for (const QPointF &point : *curve)
                range.take(point.y());
        }
        return range.padded(kLeastTemperatureSpan);
    }
    Range residuals() const
    {
        double widest = kLeastResidualScale;
        for (const QPointF &point : residual)
            widest = std::max(widest, std::abs(point.y()));
        return {-widest * 1.1, widest * 1.1};
    }
};

void drawResidualStrip(
    QPainter &painter, const RunPoints &points, const Scale &scale, double timeStep)
{
    const double valueStep = tickStep(scale.y, 4);
    drawGrid(painter, scale, timeStep, valueStep);
    painter.setPen(QPen(kFrameColour, 1));
    painter.drawLine(
        QPointF(scale.area.left(), scale.yAt(0)), QPointF(scale.area.right(), scale.yAt(0)));
    drawCurve(painter, points.residual, scale, QPen(kResidualColour, 1));
    painter.setPen(kTextColour);
    drawValueLabels(painter, scale, valueStep, false);
    const QString title = ReportCharts::tr("记录减模型 ℃");
    const QFontMetricsF metrics(painter.font());
    const QRectF titleBox(scale.area.left() + 1, scale.area.top() + 1,
        metrics.horizontalAdvance(title) + 10, metrics.height() + 2);
    painter.fillRect(titleBox, Qt::white);
    painter.drawText(titleBox, Qt::AlignCenter, title);
}

void drawRunLegend(QPainter &painter, bool withModel)
{
    std::vector<std::pair<QPen, QString>> entries{
        {dashed(kSetPointColour, 1.5), ReportCharts::tr("设定值")},
        {QPen(kRecordColour, 2), ReportCharts::tr("记录温度")}};
    if (withModel)
        entries.emplace_back(QPen(kModelColour, 1.5), ReportCharts::tr("模型"));
    entries.emplace_back(QPen(kOutputColour, 2), ReportCharts::tr("输出（右轴 0–255）"));
    const double right = ReportCharts::kWidth - kRightMargin;
    QPointF at(kLeftMargin + 20, kTopMargin / 2.0);
    for (const auto &[pen, name] : entries)
        at.rx() += drawLegendEntry(painter, at, pen, name, right - at.x());
}

/// Each candidate's predicted lines, starting from the step's start at time 0.
std::vector<std::vector<QPointF>> candidatePoints(const TuningAdvice &advice, const StepPlan &plan)
{
    std::vector<std::vector<QPointF>> curves;
    for (const TuningAdvice::Candidate &candidate : advice.candidates) {
        std::vector<QPointF> curve{QPointF(0, plan.from)};
        for (const PlantSample &line : candidate.prediction.lines)
            curve.emplace_back(line.milliseconds / 1000.0, line.temperature);
        curves.push_back(std::move(curve));
    }
    return curves;
}

QPen candidatePen(std::size_t index, std::optional<std::size_t> chosen)
{
    QColor colour = kCandidateColours[index % kCandidateColours.size()];
    if (!chosen)
        return QPen(colour, 1.5);
    if (*chosen == index)
        return QPen(colour, 3.5);
    colour.setAlpha(130);
    return QPen(colour, 1.2);
}
} // namespace

QImage ReportCharts::runCurves(const RecordedPlant &plant)
{
    if (plant.fitted.empty())
        return nothingToDraw(tr("没有拟合的行可画"));
    const RunPoints points = RunPoints::of(plant);
    const bool withModel = !points.model.empty();
    QImage picture = blankPicture();
    QPainter painter(&picture);
    prepare(painter);

    const QRectF inner(kLeftMargin, kTopMargin, kWidth - kLeftMargin - kRightMargin,
        kHeight - kTopMargin - kBottomMargin);
    const double residualHeight = withModel ? (inner.height() - kGap) * kResidualShare : 0.0;
    const QRectF curves(inner.left(), inner.top(), inner.width(),
        inner.height() - (withModel ? kGap + residualHeight : 0.0));
    const Range time{0.0, std::max(points.recorded.back().x(), 1.0)};
    const Scale temperature{curves, time, points.temperatures()};
    const Scale output{curves, time, {0.0, PlantModel::kFullOutput}};
    const double timeStep = tickStep(time, kTimeTicks);

    drawGrid(painter, temperature, timeStep, tickStep(temperature.y, kValueTicks));
    drawCurve(painter, points.output, output, QPen(kOutputColour, 1.5));
    drawCurve(painter, points.setPoint, temperature, dashed(kSetPointColour, 1.5));
    drawCurve(painter, points.recorded, temperature, QPen(kRecordColour, 2));
    drawCurve(painter, points.model, temperature, QPen(kModelColour, 1.5));
    drawValueAxis(painter, temperature, false, kTextColour);
    drawValueAxis(painter, output, true, kOutputColour.darker(140));
    painter.setPen(kTextColour);
    painter.drawText(
        QRectF(0, 0, kLeftMargin - 4, kTopMargin), Qt::AlignRight | Qt::AlignVCenter, tr("℃"));
    painter.drawText(QRectF(curves.right() + 4, 0, kRightMargin - 4, kTopMargin),
        Qt::AlignLeft | Qt::AlignVCenter, tr("输出"));
    drawRunLegend(painter, withModel);

    Scale bottom = temperature;
    if (withModel) {
        bottom = Scale{QRectF(inner.left(), curves.bottom() + kGap, inner.width(), residualHeight),
            time, points.residuals()};
        drawResidualStrip(painter, points, bottom, timeStep);
    }
    drawTimeLabels(painter, bottom, timeStep, tr("自第一行起的时间 s"));
    return picture;
}

QImage ReportCharts::candidateCurves(
    const TuningAdvice &advice, std::optional<std::size_t> chosen, const StepPlan &plan)
{
    const std::vector<std::vector<QPointF>> curves = candidatePoints(advice, plan);
    Range time{0.0, std::max(plan.horizonSeconds, 1.0)};
    Range temperature{std::min(plan.from, plan.to - kBand), std::max(plan.from, plan.to + kBand)};
    bool anyLine = false;
    for (const std::vector<QPointF> &curve : curves) {
        anyLine = anyLine || curve.size() > 1;
        for (const QPointF &point : curve) {
            time.take(point.x());
            temperature.take(point.y());
        }
    }
    if (!anyLine)
        return nothingToDraw(tr("没有候选参数的预测可画"));
    QImage picture = blankPicture();
    QPainter painter(&picture);
    prepare(painter);

    const QRectF area(kLeftMargin, kTopMargin, kWidth - kLeftMargin - kLegendWidth - 12,
        kHeight - kTopMargin - kBottomMargin);
    const Scale scale{area, time, temperature.padded(kLeastTemperatureSpan)};
    const double timeStep = tickStep(time, kTimeTicks);
    drawGrid(painter, scale, timeStep, tickStep(scale.y, kValueTicks));
    painter.fillRect(QRectF(QPointF(area.left(), scale.yAt(plan.to + kBand)),
                         QPointF(area.right(), scale.yAt(plan.to - kBand))),
        kBandColour);
    drawCurve(painter, {QPointF(time.low, plan.to), QPointF(time.high, plan.to)}, scale,
        dashed(kSetPointColour, 1.5));
    for (std::size_t index = 0; index < curves.size(); ++index) {
        if (index != chosen)
            drawCurve(painter, curves[index], scale, candidatePen(index, chosen));
    }
    if (chosen && *chosen < curves.size())
        drawCurve(painter, curves[*chosen], scale, candidatePen(*chosen, chosen));

    drawValueAxis(painter, scale, false, kTextColour);
    painter.setPen(kTextColour);
    painter.drawText(
        QRectF(0, 0, kLeftMargin - 4, kTopMargin), Qt::AlignRight | Qt::AlignVCenter, tr("℃"));
    drawTimeLabels(painter, scale, timeStep, tr("自阶跃起的时间 s"));

    const double legendLeft = area.right() + 16;
    const double rowHeight = QFontMetricsF(painter.font()).height() + 8;
    QPointF at(legendLeft, area.top() + rowHeight / 2);
    drawLegendEntry(
        painter, at, dashed(kSetPointColour, 1.5), tr("目标（带：±0.5 ℃）"), kLegendWidth);
    for (std::size_t index = 0; index < advice.candidates.size(); ++index) {
        at.ry() += rowHeight;
        QString name = TuningAdvice::nameOf(advice.candidates[index].kind);
        if (index == chosen)
            name = tr("%1（已选）").arg(name);
        drawLegendEntry(painter, at, candidatePen(index, chosen), name, kLegendWidth);
    }
    return picture;
}
