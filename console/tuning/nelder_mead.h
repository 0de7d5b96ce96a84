#pragma once

#include <functional>
#include <vector>

/// The Nelder–Mead simplex search for the least of a function of a few variables, needing no
/// derivatives: enough for the two shape parameters of a plant model.
namespace NelderMead {
struct Result
{
    std::vector<double> point;
    double value = 0.0;
    int evaluations = 0;
};

/// From start, with a first simplex of the given steps along each variable, until the simplex's
/// values differ by less than tolerance or maxEvaluations are spent. progress, when given, is
/// told the evaluations so far and may stop the search by returning false.
Result minimize(const std::function<double(const std::vector<double> &)> &function,
    const std::vector<double> &start, const std::vector<double> &steps, double tolerance,
    int maxEvaluations, const std::function<bool(int evaluations)> &progress = {});
} // namespace NelderMead
