#pragma once

#include "tuning/controller_law.h"
#include "tuning/plant_sample.h"

#include <cstddef>
#include <vector>

/// The rows a law check regresses, built from a run's lines: where the output is off its limits
/// with the same set point and gains, and no gap, the output with the law's D term added back,
/// the error times P and its integral times I, each less its mean over its stretch (which takes
/// the stretch's constant out). The controller saw every measurement, the lines only some: what
/// the lines' noise and rounding add to the sums, where both sides hold the same line's noise,
/// is kept so that the regression can take it out again.
struct LawRegressors
{
    std::vector<double> error;
    std::vector<double> integral;
    std::vector<double> output;
    /// Where each stretch starts, so that neighbours across stretches are not compared.
    std::vector<std::size_t> starts;
    /// What rounding adds to the error's sum of squares.
    double errorRounding = 0.0;
    /// What the lines' noise and rounding add to the error's and the integral's sums with the
    /// output.
    double errorShared = 0.0;
    double integralShared = 0.0;

    std::size_t rows() const { return output.size(); }

    static LawRegressors of(const PlantStretch &stretch, const ControllerLaw &law);
};
