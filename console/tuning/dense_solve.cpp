#include "dense_solve.h"

#include <cmath>
#include <cstddef>
#include <utility>

namespace {
/// A pivot this much smaller than the matrix's largest entry counts as zero.
constexpr double kSingular = 1e-13;

double largestEntry(const DenseSolve::Matrix &a)
{
    double largest = 0.0;
    for (const std::vector<double> &row : a) {
        for (const double value : row)
            largest = std::max(largest, std::abs(value));
    }
    return largest;
}
} // namespace

std::optional<std::vector<double>> DenseSolve::solve(Matrix a, std::vector<double> b)
{
    const std::size_t n = b.size();
    const double scale = largestEntry(a);
    if (scale == 0.0)
        return std::nullopt;
    for (std::size_t column = 0; column < n; ++column) {
        std::size_t pivot = column;
        for (std::size_t row = column + 1; row < n; ++row) {
            if (std::abs(a[row][column]) > std::abs(a[pivot][column]))
                pivot = row;
        }
        if (std::abs(a[pivot][column]) <= kSingular * scale)
            return std::nullopt;
        std::swap(a[pivot], a[column]);
        std::swap(b[pivot], b[column]);
        for (std::size_t row = column + 1; row < n; ++row) {
            const double factor = a[row][column] / a[column][column];
            for (std::size_t k = column; k < n; ++k)
                a[row][k] -= factor * a[column][k];
            b[row] -= factor * b[column];
        }
    }
    std::vector<double> x(n);
    for (std::size_t row = n; row-- > 0;) {
        double sum = b[row];
        for (std::size_t k = row + 1; k < n; ++k)
            sum -= a[row][k] * x[k];
        x[row] = sum / a[row][row];
    }
    return x;
}

std::optional<DenseSolve::Matrix> DenseSolve::inverse(const Matrix &a)
{
    const std::size_t n = a.size();
    Matrix result(n, std::vector<double>(n));
    for (std::size_t column = 0; column < n; ++column) {
        std::vector<double> unit(n, 0.0);
        unit[column] = 1.0;
        const std::optional<std::vector<double>> x = solve(a, unit);
        if (!x)
            return std::nullopt;
        for (std::size_t row = 0; row < n; ++row)
            result[row][column] = (*x)[row];
    }
    return result;
}

std::optional<std::vector<double>> DenseSolve::leastSquares(
    const std::vector<std::vector<double>> &columns, const std::vector<double> &y)
{
    const std::size_t n = columns.size();
    Matrix normal(n, std::vector<double>(n, 0.0));
    std::vector<double> right(n, 0.0);
    for (std::size_t i = 0; i < n; ++i) {
        for (std::size_t j = i; j < n; ++j) {
            double sum = 0.0;
            for (std::size_t k = 0; k < y.size(); ++k)
                sum += columns[i][k] * columns[j][k];
            normal[i][j] = normal[j][i] = sum;
        }
        double sum = 0.0;
        for (std::size_t k = 0; k < y.size(); ++k)
            sum += columns[i][k] * y[k];
        right[i] = sum;
    }
    return solve(normal, right);
}
