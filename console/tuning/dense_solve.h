#pragma once

#include <optional>
#include <vector>

/// Small dense linear algebra for the fits: a handful of unknowns, solved by Gaussian
/// elimination with partial pivoting.
namespace DenseSolve {
using Matrix = std::vector<std::vector<double>>;

/// x with a x = b; none when a is singular.
std::optional<std::vector<double>> solve(Matrix a, std::vector<double> b);
/// The inverse of a square matrix; none when it is singular.
std::optional<Matrix> inverse(const Matrix &a);
/// The least-squares coefficients of y on the columns (each a regressor over the samples), by
/// the normal equations; none when the columns are dependent.
std::optional<std::vector<double>> leastSquares(
    const std::vector<std::vector<double>> &columns, const std::vector<double> &y);
} // namespace DenseSolve
