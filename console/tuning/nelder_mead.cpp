#include "nelder_mead.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <numeric>

namespace {
struct Vertex
{
    std::vector<double> point;
    double value;
};

std::vector<double> along(const std::vector<double> &from, const std::vector<double> &to, double t)
{
    std::vector<double> point(from.size());
    for (std::size_t k = 0; k < from.size(); ++k)
        point[k] = from[k] + t * (to[k] - from[k]);
    return point;
}
} // namespace

NelderMead::Result NelderMead::minimize(
    const std::function<double(const std::vector<double> &)> &function,
    const std::vector<double> &start, const std::vector<double> &steps, double tolerance,
    int maxEvaluations, const std::function<bool(int evaluations)> &progress)
{
    int evaluations = 0;
    const auto evaluate = [&](std::vector<double> point) {
        ++evaluations;
        const double value = function(point);
        return Vertex{std::move(point), std::isfinite(value) ? value : HUGE_VAL};
    };
    const std::size_t n = start.size();
    std::vector<Vertex> simplex{evaluate(start)};
    for (std::size_t k = 0; k < n; ++k) {
        std::vector<double> point = start;
        point[k] += steps[k];
        simplex.push_back(evaluate(point));
    }
    const auto byValue = [](const Vertex &one, const Vertex &other) {
        return one.value < other.value;
    };
    while (evaluations < maxEvaluations) {
        std::sort(simplex.begin(), simplex.end(), byValue);
        const double spread = simplex.back().value - simplex.front().value;
        if (spread <= tolerance * (std::abs(simplex.front().value) + tolerance))
            break;
        if (progress && !progress(evaluations))
            break;
        std::vector<double> centroid(n, 0.0);
        for (std::size_t v = 0; v < n; ++v) {
            for (std::size_t k = 0; k < n; ++k)
                centroid[k] += simplex[v].point[k] / double(n);
        }
        Vertex &worst = simplex.back();
        const Vertex reflected = evaluate(along(worst.point, centroid, 2.0));
        if (reflected.value < simplex.front().value) {
            const Vertex expanded = evaluate(along(worst.point, centroid, 3.0));
            worst = expanded.value < reflected.value ? expanded : reflected;
        } else if (reflected.value < simplex[n - 1].value) {
            worst = reflected;
        } else {
            const bool outside = reflected.value < worst.value;
            const Vertex contracted = evaluate(along(worst.point, centroid, outside ? 1.5 : 0.5));
            if (contracted.value < std::min(reflected.value, worst.value)) {
                worst = contracted;
            } else {
                for (std::size_t v = 1; v <= n; ++v)
                    simplex[v] = evaluate(along(simplex.front().point, simplex[v].point, 0.5));
            }
        }
    }
    std::sort(simplex.begin(), simplex.end(), byValue);
    return {simplex.front().point, simplex.front().value, evaluations};
}
