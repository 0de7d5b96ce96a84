#include "law_check.h"

#include "tuning/dense_solve.h"
#include "tuning/law_regressors.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace {
constexpr int kFewestLines = 30;
/// The error's swing that rounding may make up, at most.
constexpr double kMostRoundingShare = 0.5;
/// Neighbouring residuals correlate at most this much in the standard errors' correction.
constexpr double kMostCorrelation = 0.95;

/// How much more the residuals vary over a stretch than independent ones would: neighbours
/// alike (the integral's and the derivative's errors last) tell less than their number.
double correlationFactor(
    const std::vector<double> &residuals, const std::vector<std::size_t> &starts)
{
    double together = 0.0;
    double alone = 0.0;
    for (std::size_t k = 0; k < residuals.size(); ++k) {
        alone += residuals[k] * residuals[k];
        if (k > 0 && !std::binary_search(starts.cbegin(), starts.cend(), k))
            together += residuals[k] * residuals[k - 1];
    }
    const double correlation = alone > 0 ? std::clamp(together / alone, 0.0, kMostCorrelation) : 0;
    return (1 + correlation) / (1 - correlation);
}

struct Regression
{
    std::vector<double> coefficients;
    std::vector<double> errors;
};

/// Least squares of the output on the columns, with two standard errors of each coefficient.
std::optional<Regression> regress(
    const std::vector<const std::vector<double> *> &columns, const LawRegressors &regressors)
{
    const std::size_t n = columns.size();
    DenseSolve::Matrix normal(n, std::vector<double>(n, 0.0));
    std::vector<double> right(n, 0.0);
    const std::vector<double> &y = regressors.output;
    for (std::size_t a = 0; a < n; ++a) {
        for (std::size_t b = 0; b < n; ++b) {
            for (std::size_t k = 0; k < y.size(); ++k)
                normal[a][b] += (*columns[a])[k] * (*columns[b])[k];
        }
        for (std::size_t k = 0; k < y.size(); ++k)
            right[a] += (*columns[a])[k] * y[k];
    }
    if (columns.front() == &regressors.error) {
        // Rounding alone must not make the error's swing: what is left must stay clear of it.
        if (regressors.errorRounding > kMostRoundingShare * normal[0][0])
            return std::nullopt;
        normal[0][0] -= regressors.errorRounding;
        right[0] -= regressors.errorShared;
    }
    if (columns.back() == &regressors.integral)
        right.back() -= regressors.integralShared;
    const std::optional<std::vector<double>> solved = DenseSolve::solve(normal, right);
    const std::optional<DenseSolve::Matrix> inverse = DenseSolve::inverse(normal);
    if (!solved || !inverse)
        return std::nullopt;
    std::vector<double> residuals(y);
    double squares = 0.0;
    for (std::size_t k = 0; k < y.size(); ++k) {
        for (std::size_t a = 0; a < n; ++a)
            residuals[k] -= (*solved)[a] * (*columns[a])[k];
        squares += residuals[k] * residuals[k];
    }
    // Each stretch's mean took one degree of freedom.
    const double freedom = double(y.size() - regressors.starts.size() - n);
    if (freedom < 1)
        return std::nullopt;
    const double variance = squares / freedom * correlationFactor(residuals, regressors.starts);
    Regression regression{*solved, {}};
    for (std::size_t a = 0; a < n; ++a)
        regression.errors.push_back(2.0 * std::sqrt(std::max(0.0, (*inverse)[a][a] * variance)));
    return regression;
}

/// A scale told as the coefficient times the set scale, judged against the set scale.
LawCheck::Scale judged(double coefficient, double error, double set)
{
    LawCheck::Scale scale;
    const double fitted = coefficient * set;
    const double spread = error * set;
    if (!std::isfinite(fitted) || !std::isfinite(spread) || fitted <= 0) {
        scale.untold = LawCheck::tr("记录给出的刻度不是正数，看不出它");
        return scale;
    }
    if (spread > LawCheck::kLeastPrecision * fitted) {
        scale.untold = LawCheck::tr("记录只能把它定在 %1 ± %2 %，不足以判断")
                           .arg(fitted, 0, 'g', 3)
                           .arg(qRound(std::min(spread / fitted, 9.99) * 100));
        return scale;
    }
    scale.fitted = fitted;
    scale.error = spread;
    scale.verdict = std::abs(fitted / set - 1.0) <= LawCheck::kAgreement
        ? LawCheck::Verdict::Agrees
        : LawCheck::Verdict::Disagrees;
    return scale;
}
} // namespace

LawCheck LawCheck::of(const PlantStretch &stretch, const ControllerLaw &law)
{
    LawCheck check;
    if (const std::optional<QString> refusal = law.refusal()) {
        check.unchecked = *refusal;
        return check;
    }
    const LawRegressors regressors = LawRegressors::of(stretch, law);
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
    std::vector<const std::vector<double> *> columns;
    std::vector<std::pair<Scale *, double>> scales;
    for (const auto &[column, scale, set] : {std::tuple{&regressors.error, &check.p, law.pScale},
             std::tuple{&regressors.integral, &check.i, law.iScale}}) {
        if (given(*column)) {
            columns.push_back(column);
            scales.emplace_back(scale, set);
        } else {
            scale->untold = tr("增益为 0");
        }
    }
    const std::optional<Regression> fitted =
        columns.empty() ? std::nullopt : regress(columns, regressors);
    if (!fitted) {
        check.unchecked = tr("误差没有变化，无法检查 P 和 I 的刻度");
        return check;
    }
    for (std::size_t k = 0; k < scales.size(); ++k)
        *scales[k].first = judged(fitted->coefficients[k], fitted->errors[k], scales[k].second);
    return check;
}

QString LawCheck::summary(const ControllerLaw &law) const
{
    if (!unchecked.isEmpty())
        return unchecked + tr("；D 的刻度无法这样检查");
    QStringList parts;
    const auto describe = [&parts](const char *key, const Scale &scale, double set) {
        const QString name = QString::fromLatin1(key);
        switch (scale.verdict) {
        case Verdict::Untold:
            parts.append(tr("%1 无法检查（%2）").arg(name, scale.untold));
            break;
        case Verdict::Agrees:
            parts.append(tr("%1 %2 与记录相符（记录给出 %3）")
                             .arg(name)
                             .arg(set, 0, 'g', 3)
                             .arg(*scale.fitted, 0, 'g', 3));
            break;
        case Verdict::Disagrees:
            parts.append(tr("%1 %2 与记录不符：记录给出 %3，请在 [TUNING] 中设 %1=%3")
                             .arg(name)
                             .arg(set, 0, 'g', 3)
                             .arg(*scale.fitted, 0, 'g', 3));
            break;
        }
    };
    describe("P_SCALE", p, law.pScale);
    describe("I_SCALE", i, law.iScale);
    return parts.join(tr("；")) + tr("；D 的刻度无法这样检查");
}
