#include "law_regressors.h"

#include "tuning/closed_loop.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <optional>
#include <utility>

namespace {
/// Unsaturated lines in a row with the same set point and gains; fewer tell nothing.
constexpr std::size_t kShortestStretch = 5;
/// Lines further apart than this many usual intervals have a gap between them: the integral
/// the controller kept over the gap is unknown.
constexpr qint64 kGapIntervals = 3;
/// The controller reports temperatures in tenths: its own measurement, rounded.
constexpr double kResolution = 0.1;
constexpr double kRoundingVariance = kResolution * kResolution / 12;
/// A line's share of the smoothed measurement below which it is forgotten.
constexpr double kForgotten = 1e-4;
constexpr double kStep = ClosedLoop::kLoopSeconds;

qint64 usualInterval(const PlantStretch &stretch)
{
    std::vector<qint64> gaps;
    for (std::size_t k = 1; k < stretch.size(); ++k)
        gaps.push_back(stretch[k].milliseconds - stretch[k - 1].milliseconds);
    if (gaps.empty())
        return 0;
    const auto middle = gaps.begin() + std::ptrdiff_t(gaps.size() / 2);
    std::nth_element(gaps.begin(), middle, gaps.end());
    return *middle;
}

bool sameSetting(const PlantSample &one, const PlantSample &other)
{
    return one.setPoint == other.setPoint && one.p == other.p && one.i == other.i
        && one.d == other.d;
}

void demean(std::vector<double> &values)
{
    double mean = 0.0;
    for (const double value : values)
        mean += value / double(values.size());
    for (double &value : values)
        value -= mean;
}

/// Builds the rows in one pass. The law's rate is its newest measurement less the ones before
/// it smoothed at every controller step, over the filter's time: share / step × (m − M).
class Builder
{
public:
    Builder(const PlantStretch &stretch, const ControllerLaw &law)
        : m_lines(stretch)
        , m_law(law)
        , m_gap(kGapIntervals * std::max<qint64>(usualInterval(stretch), 1))
    {
        if (law.dFilterSeconds > kStep) {
            m_share = kStep / law.dFilterSeconds;
            m_weight = 1.0 / law.dFilterSeconds;
        }
        m_lineVariance = lineNoiseVariance();
    }

    LawRegressors build()
    {
        for (std::size_t k = 0; k < m_lines.size(); ++k) {
            const bool joined = k > 0 && joins(k);
            const double rate = joined ? smoothRate(k) : restartSmoothing(k);
            if (joined && m_runFrom && usable(k) && sameSetting(m_lines[k], m_lines[k - 1])) {
                addRow(k, rate);
                continue;
            }
            closeRun();
            noteLimit(k);
            if (usable(k) && !integralMayBeHeld(k))
                openRun(k, rate);
        }
        closeRun();
        return std::move(m_result);
    }

private:
    struct Row
    {
        double error = 0.0;
        double integral = 0.0;
        double output = 0.0;
    };

    bool joins(std::size_t k) const
    {
        const qint64 elapsed = m_lines[k].milliseconds - m_lines[k - 1].milliseconds;
        return elapsed > 0 && elapsed <= m_gap;
    }
    bool usable(std::size_t k) const
    {
        const PlantSample &line = m_lines[k];
        return line.output && *line.output > m_law.outputMin && *line.output < m_law.outputMax
            && line.setPoint && std::isfinite(*line.setPoint) && std::isfinite(line.temperature)
            && line.p && line.i && line.d;
    }
    double seconds(std::size_t k) const
    {
        return double(m_lines[k].milliseconds - m_lines[k - 1].milliseconds) / 1e3;
    }
    double errorAt(std::size_t k) const { return *m_lines[k].setPoint - m_lines[k].temperature; }

    /// The lines' own noise, rounding included, from their second differences: a steady trend
    /// leaves them none.
    double lineNoiseVariance() const
    {
        double sum = 0.0;
        int count = 0;
        for (std::size_t k = 2; k < m_lines.size(); ++k) {
            if (!joins(k) || !joins(k - 1))
                continue;
            const double second = m_lines[k].temperature - 2 * m_lines[k - 1].temperature
                + m_lines[k - 2].temperature;
            if (!std::isfinite(second))
                continue;
            sum += second * second;
            ++count;
        }
        return count > 0 ? sum / count / 6 : kRoundingVariance;
    }

    double restartSmoothing(std::size_t k)
    {
        m_smoothed = m_lines[k].temperature;
        m_weights.assign(1, {k, 1.0});
        m_smoothedNoise = m_newestShare = 0.0;
        return 0.0;
    }

    /// The controller smoothed every measurement between the lines, which the record does not
    /// hold: they are taken on the straight line from one line to the next.
    double smoothRate(std::size_t k)
    {
        const int steps = std::max(0, int(std::lround(seconds(k) / kStep)) - 1);
        double decay = 1.0;
        double towardsNext = 0.0;
        for (int step = steps; step >= 1; --step) {
            towardsNext += m_share * decay * step / (steps + 1.0);
            decay *= 1.0 - m_share;
        }
        const double towardsPrevious = 1.0 - decay - towardsNext;
        m_smoothed = decay * m_smoothed + towardsPrevious * m_lines[k - 1].temperature
            + towardsNext * m_lines[k].temperature;
        scaleWeights(decay);
        m_weights.emplace_back(k - 1, towardsPrevious);
        m_smoothedNoise = sharedWithIntegral(k);
        m_newestShare = towardsNext;
        const double rate = m_weight * (m_lines[k].temperature - m_smoothed);
        m_smoothed += (m_lines[k].temperature - m_smoothed) * m_share;
        scaleWeights(1.0 - m_share);
        m_weights.emplace_back(k, towardsNext * (1.0 - m_share) + m_share);
        return rate;
    }

    void scaleWeights(double factor)
    {
        for (auto &[line, weight] : m_weights)
            weight *= factor;
        while (!m_weights.empty() && m_weights.front().second < kForgotten)
            m_weights.pop_front();
    }

    /// Σ over the run's earlier lines of their weight in the row's integral times their weight
    /// in the smoothed measurement the row's rate is taken from: how much line noise the two
    /// share.
    double sharedWithIntegral(std::size_t k) const
    {
        if (!m_runFrom)
            return 0.0;
        double shared = 0.0;
        for (const auto &[line, weight] : m_weights) {
            if (line < *m_runFrom || line >= k)
                continue;
            shared += integralWeight(line, k) * weight;
        }
        return shared;
    }

    /// A line's weight in row k's integral: the trapezoid over the intervals it closes, and the
    /// interval before row k held at it, all but the controller's last step.
    double integralWeight(std::size_t line, std::size_t k) const
    {
        const double before = line > *m_runFrom ? seconds(line) / 2 : 0.0;
        if (line + 1 == k)
            return before + seconds(k) - kStep;
        return before + seconds(line + 1) / 2;
    }

    /// The newest line's noise the rate holds beyond the controller's, per unit of its weight:
    /// its share of the smoothed measurement, less the rounding the rate keeps of it.
    double sharedWithNewest() const
    {
        const double noise = std::max(0.0, m_lineVariance - kRoundingVariance);
        return m_newestShare * noise - (1.0 - m_newestShare) * kRoundingVariance;
    }

    /// At a limit with the error driving it on, the controller's integral runs to its own clamp
    /// and stays there until the error turns: the lines since cannot tell its scale.
    void noteLimit(std::size_t k)
    {
        const PlantSample &line = m_lines[k];
        if (!line.output || !line.setPoint)
            return;
        if (*line.output >= m_law.outputMax)
            m_heldSign = 1;
        else if (*line.output <= m_law.outputMin)
            m_heldSign = -1;
    }
    bool integralMayBeHeld(std::size_t k)
    {
        if (m_heldSign != 0 && m_heldSign * errorAt(k) <= 0)
            m_heldSign = 0;
        return m_heldSign != 0;
    }

    void openRun(std::size_t k, double rate)
    {
        m_runFrom = k;
        m_run.clear();
        m_trapezoid = 0.0;
        m_run.push_back(rowOf(k, 0.0, rate));
    }

    /// The controller's integral holds each measurement for its own step: the newest line
    /// counts a step, the interval before it is held at the line before.
    void addRow(std::size_t k, double rate)
    {
        const double elapsed = seconds(k);
        const double previous = errorAt(k - 1);
        const double integral = m_trapezoid + (elapsed - kStep) * previous + kStep * errorAt(k);
        m_trapezoid += (previous + errorAt(k)) / 2 * elapsed;
        m_run.push_back(rowOf(k, integral, rate));
        const PlantSample &line = m_lines[k];
        m_pendingShared += *line.i * m_law.iScale * *line.d * m_law.dScale * m_weight
            * (m_smoothedNoise * m_lineVariance + kStep * sharedWithNewest());
    }

    Row rowOf(std::size_t k, double integral, double rate)
    {
        const PlantSample &line = m_lines[k];
        const double proportional = *line.p * m_law.pScale;
        const double derivative = *line.d * m_law.dScale;
        m_pendingRounding += proportional * proportional * kRoundingVariance;
        m_pendingErrorShared += proportional * derivative * m_weight * sharedWithNewest();
        return {proportional * errorAt(k), *line.i * m_law.iScale * integral,
            *line.output + derivative * rate};
    }

    void closeRun()
    {
        if (m_runFrom && m_run.size() >= kShortestStretch)
            commitRun();
        m_runFrom.reset();
        m_run.clear();
        m_pendingRounding = m_pendingErrorShared = m_pendingShared = 0.0;
    }

    void commitRun()
    {
        std::vector<double> error;
        std::vector<double> integral;
        std::vector<double> output;
        for (const Row &row : m_run) {
            error.push_back(row.error);
            integral.push_back(row.integral);
            output.push_back(row.output);
        }
        demean(error);
        demean(integral);
        demean(output);
        m_result.starts.push_back(m_result.rows());
        m_result.error.insert(m_result.error.end(), error.cbegin(), error.cend());
        m_result.integral.insert(m_result.integral.end(), integral.cbegin(), integral.cend());
        m_result.output.insert(m_result.output.end(), output.cbegin(), output.cend());
        m_result.errorRounding += m_pendingRounding;
        m_result.errorShared += m_pendingErrorShared;
        m_result.integralShared += m_pendingShared;
    }

    const PlantStretch &m_lines;
    const ControllerLaw &m_law;
    const qint64 m_gap;
    double m_share = 1.0;
    double m_weight = 1.0 / kStep;
    double m_lineVariance = 0.0;
    double m_smoothed = 0.0;
    /// Each recent line's share of the smoothed measurement.
    std::deque<std::pair<std::size_t, double>> m_weights;
    double m_smoothedNoise = 0.0;
    double m_newestShare = 0.0;
    std::optional<std::size_t> m_runFrom;
    /// The error's sign that keeps the integral at a clamp, since the output was at a limit.
    int m_heldSign = 0;
    std::vector<Row> m_run;
    double m_trapezoid = 0.0;
    double m_pendingRounding = 0.0;
    double m_pendingErrorShared = 0.0;
    double m_pendingShared = 0.0;
    LawRegressors m_result;
};
} // namespace

LawRegressors LawRegressors::of(const PlantStretch &stretch, const ControllerLaw &law)
{
    return Builder(stretch, law).build();
}
