#include "response_figures.h"

#include "telemetry/step_response.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {
constexpr double kRiseFrom = 0.1;
constexpr double kRiseTo = 0.9;
constexpr double kRelativeBand = 0.02;
/// The swings of an oscillation must pass this much, so that the 0.1 °C steps of a settled
/// measurement do not count as one.
constexpr double kSwingBand = 0.2;
/// The end of the response that tells the error left.
constexpr double kSteadyShare = 0.1;

struct Point
{
    double seconds;
    double temperature;
};

/// The response from the step, starting where the plan starts.
std::vector<Point> pointsOf(const PlantStretch &lines, const StepPlan &plan)
{
    std::vector<Point> points{{0.0, plan.from}};
    points.reserve(lines.size() + 1);
    for (const PlantSample &line : lines)
        points.push_back({line.milliseconds / 1000.0, line.temperature});
    return points;
}

double interpolatedTime(
    const Point &before, const Point &after, double beforeValue, double afterValue, double level)
{
    if (afterValue == beforeValue)
        return after.seconds;
    const double share = (level - beforeValue) / (afterValue - beforeValue);
    return before.seconds + share * (after.seconds - before.seconds);
}

/// When the share of the change first reaches the level.
std::optional<double> firstReach(
    const std::vector<Point> &points, const StepPlan &plan, double level)
{
    const auto share = [&](const Point &point) {
        return (point.temperature - plan.from) / plan.change();
    };
    for (std::size_t at = 1; at < points.size(); ++at) {
        if (share(points[at]) >= level)
            return interpolatedTime(
                points[at - 1], points[at], share(points[at - 1]), share(points[at]), level);
    }
    return std::nullopt;
}

/// When the temperature last entered the band about the target for good; empty if it ends
/// outside it.
std::optional<double> settledWithin(const std::vector<Point> &points, double target, double band)
{
    const auto distance = [&](const Point &point) { return std::abs(point.temperature - target); };
    for (std::size_t at = points.size(); at-- > 0;) {
        if (distance(points[at]) <= band)
            continue;
        if (at + 1 == points.size())
            return std::nullopt;
        return interpolatedTime(
            points[at], points[at + 1], distance(points[at]), distance(points[at + 1]), band);
    }
    return 0.0;
}

double integralOfAbsoluteError(const std::vector<Point> &points, double target)
{
    double sum = 0.0;
    for (std::size_t at = 1; at < points.size(); ++at) {
        const double before = std::abs(points[at - 1].temperature - target);
        const double after = std::abs(points[at].temperature - target);
        sum += (before + after) / 2 * (points[at].seconds - points[at - 1].seconds);
    }
    return sum;
}

double errorLeft(const std::vector<Point> &points, double target)
{
    const double from = points.back().seconds * (1.0 - kSteadyShare);
    double sum = 0.0;
    int count = 0;
    for (const Point &point : points) {
        if (point.seconds >= from) {
            sum += point.temperature;
            ++count;
        }
    }
    return target - sum / count;
}

bool keepsSwinging(const std::vector<Point> &points, const StepPlan &plan)
{
    const double band = std::max(kSwingBand, kRelativeBand * std::abs(plan.change()));
    int lastSide = plan.change() > 0 ? -1 : 1;
    int swings = 0;
    for (const Point &point : points) {
        const double error = point.temperature - plan.to;
        const int side = error > band ? 1 : (error < -band ? -1 : 0);
        if (side != 0 && side != lastSide) {
            ++swings;
            lastSide = side;
        }
    }
    return swings >= ResponseFigures::kOscillatingSwings;
}

StepFigures windowFigures(const PlantStretch &lines, const StepPlan &plan)
{
    StepFigures figures;
    bool reachPending = true;
    for (const PlantSample &line : lines) {
        const int setTenths = int(std::lround(line.setPoint.value_or(plan.to) * 10));
        const StepResponseUpdate update =
            StepResponse::update(int(std::lround(line.temperature * 10)), setTenths, reachPending,
                line.milliseconds / 100, figures.overshootPercent);
        figures.take(update.stamped);
        reachPending = reachPending && !update.reached;
    }
    return figures;
}

double secondsAtALimit(const PlantStretch &lines, const ControllerLaw &law)
{
    double seconds = 0.0;
    qint64 before = 0;
    for (const PlantSample &line : lines) {
        if (line.output && (*line.output <= law.outputMin || *line.output >= law.outputMax))
            seconds += (line.milliseconds - before) / 1000.0;
        before = line.milliseconds;
    }
    return seconds;
}
} // namespace

ResponseFigures ResponseFigures::of(
    const PlantStretch &lines, const StepPlan &plan, const ControllerLaw &law)
{
    ResponseFigures figures;
    figures.window = windowFigures(lines, plan);
    figures.saturatedSeconds = secondsAtALimit(lines, law);
    const std::vector<Point> points = pointsOf(lines, plan);
    const double direction = plan.change() >= 0 ? 1.0 : -1.0;
    for (const Point &point : points)
        figures.overshoot = std::max(figures.overshoot, direction * (point.temperature - plan.to));
    figures.absoluteErrorIntegral = integralOfAbsoluteError(points, plan.to);
    figures.steadyError = errorLeft(points, plan.to);
    figures.settlingHalfDegreeSeconds = settledWithin(points, plan.to, kAbsoluteBand);
    if (plan.change() == 0)
        return figures;
    figures.overshootPercent = figures.overshoot / std::abs(plan.change()) * 100.0;
    const std::optional<double> riseStart = firstReach(points, plan, kRiseFrom);
    const std::optional<double> riseEnd = firstReach(points, plan, kRiseTo);
    if (riseStart && riseEnd)
        figures.rise10To90Seconds = *riseEnd - *riseStart;
    figures.settling2PercentSeconds =
        settledWithin(points, plan.to, kRelativeBand * std::abs(plan.change()));
    figures.oscillates = keepsSwinging(points, plan);
    return figures;
}
