#include "law_check.h"

#include "tuning/dense_solve.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {
/// Unsaturated lines in a row with the same set point and gains; fewer tell nothing.
constexpr std::size_t kShortestStretch = 5;
constexpr int kFewestLines = 30;

/// The output and what it is regressed on: the error times P, its integral times I, the rate.
struct Regressors
{
    std::vector<double> error;
    std::vector<double> integral;
    std::vector<double> rate;
    std::vector<double> output;
};

bool sameSetting(const PlantSample &one, const PlantSample &other)
{
    return one.setPoint == other.setPoint && one.p == other.p && one.i == other.i
        && one.d == other.d;
}

/// One stretch's values, each less its mean over the stretch, which takes its constant out. The
/// rate is smoothed as the law smooths it.
void addStretch(const PlantStretch &stretch, std::size_t from, std::size_t to, double filterSeconds,
    Regressors &all)
{
    std::vector<double> error;
    std::vector<double> integral;
    std::vector<double> rate;
    std::vector<double> output;
    double sum = 0.0;
    double smoothed = 0.0;
    double previous = 0.0;
    for (std::size_t k = from; k < to; ++k) {
        const PlantSample &line = stretch[k];
        const double e = *line.setPoint - line.temperature;
        const double elapsed =
            k > from ? double(line.milliseconds - stretch[k - 1].milliseconds) / 1e3 : 0.0;
        // By the trapezoid: the line's own noise, which the controller's integral over the
        // interval hardly holds, weighs half.
        sum += (e + previous) / 2 * elapsed;
        previous = e;
        error.push_back(*line.p * e);
        integral.push_back(*line.i * sum);
        if (k > from && elapsed > 0) {
            const double change = (line.temperature - stretch[k - 1].temperature) / elapsed;
            smoothed += (change - smoothed) * std::min(1.0, elapsed / filterSeconds);
        }
        rate.push_back(smoothed);
        output.push_back(*line.output);
    }
    for (std::vector<double> *values : {&error, &integral, &rate, &output}) {
        double mean = 0.0;
        for (const double value : *values)
            mean += value / double(values->size());
        for (double &value : *values)
            value -= mean;
    }
    all.error.insert(all.error.end(), error.cbegin(), error.cend());
    all.integral.insert(all.integral.end(), integral.cbegin(), integral.cend());
    all.rate.insert(all.rate.end(), rate.cbegin(), rate.cend());
    all.output.insert(all.output.end(), output.cbegin(), output.cend());
}

Regressors unsaturatedStretches(const PlantStretch &stretch, const ControllerLaw &law)
{
    Regressors all;
    const auto usable = [&law](const PlantSample &line) {
        return line.output && *line.output > law.outputMin && *line.output < law.outputMax
            && line.setPoint && line.p && line.i;
    };
    std::size_t from = 0;
    while (from < stretch.size()) {
        if (!usable(stretch[from])) {
            ++from;
            continue;
        }
        std::size_t to = from + 1;
        while (
            to < stretch.size() && usable(stretch[to]) && sameSetting(stretch[to], stretch[from]))
            ++to;
        if (to - from >= kShortestStretch)
            addStretch(stretch, from, to, law.dFilterSeconds, all);
        from = to;
    }
    return all;
}
} // namespace

LawCheck LawCheck::of(const PlantStretch &stretch, const ControllerLaw &law)
{
    LawCheck check;
    const Regressors regressors = unsaturatedStretches(stretch, law);
    check.lines = int(regressors.output.size());
    if (check.lines < kFewestLines) {
        check.unchecked =
            tr("输出不在极限的记录只有 %1 行，无法检查 P 和 I 的刻度").arg(check.lines);
        return check;
    }
    // A gain of 0 all through leaves its column empty and its scale untold.
    const auto given = [](const std::vector<double> &column) {
        return std::any_of(column.cbegin(), column.cend(), [](double value) { return value != 0; });
    };
    std::vector<std::vector<double>> columns{regressors.rate};
    std::vector<std::optional<double> *> scales;
    for (const auto &[column, scale] : {std::pair{&regressors.error, &check.pScale},
             std::pair{&regressors.integral, &check.iScale}}) {
        if (!given(*column))
            continue;
        columns.push_back(*column);
        scales.push_back(scale);
    }
    const std::optional<std::vector<double>> fitted =
        DenseSolve::leastSquares(columns, regressors.output);
    if (!fitted || scales.empty()) {
        check.unchecked = tr("误差没有变化，无法检查 P 和 I 的刻度");
        return check;
    }
    for (std::size_t k = 0; k < scales.size(); ++k)
        *scales[k] = (*fitted)[k + 1];
    const auto agrees = [](std::optional<double> fitted, double set) {
        return fitted && std::abs(*fitted / set - 1.0) <= kAgreement;
    };
    check.pAgrees = agrees(check.pScale, law.pScale);
    check.iAgrees = agrees(check.iScale, law.iScale);
    return check;
}

QString LawCheck::summary(const ControllerLaw &law) const
{
    if (!unchecked.isEmpty())
        return unchecked + tr("；D 的刻度无法这样检查");
    QStringList parts;
    const auto describe = [&parts](const char *key, std::optional<double> fitted, double set,
                              bool agrees) {
        const QString name = QString::fromLatin1(key);
        if (!fitted)
            parts.append(tr("%1 无法检查（增益为 0）").arg(name));
        else if (agrees)
            parts.append(tr("%1 %2 与记录相符（记录给出 %3）")
                             .arg(name)
                             .arg(set, 0, 'g', 3)
                             .arg(*fitted, 0, 'g', 3));
        else
            parts.append(tr("%1 %2 与记录不符：记录给出 %3，请在 [TUNING] 中设 %1=%3")
                             .arg(name)
                             .arg(set, 0, 'g', 3)
                             .arg(*fitted, 0, 'g', 3));
    };
    describe("P_SCALE", pScale, law.pScale, pAgrees);
    describe("I_SCALE", iScale, law.iScale, iAgrees);
    return parts.join(tr("；")) + tr("；D 的刻度无法这样检查");
}
