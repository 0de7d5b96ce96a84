#pragma once

#include <optional>
#include <vector>

class PlantSeries;

/// The standard errors of a plant model's parameters (offset, gain, time constant, dead time
/// and the initial term, as PlantSeries orders them), from what its lines tell of them:
/// - the residual variance and the fit's Jacobian;
/// - the error of the output levels, each a moment's reading rather than what the controller
///   applied over the half-intervals around its line, carried through the model, with its
///   neighbours' correlation;
/// - the state the model starts from, the resting output: how well the lines before the change
///   tell their mean level, and a drift of their temperatures they cannot rule out;
/// - the line's interval itself: when within it the output changed the record does not tell, so
///   the dead time is not known better than that (a uniform spread around the middle the hold
///   takes), and the gain and time constant move with it.
namespace FitErrors {
std::optional<std::vector<double>> standardErrors(
    const PlantSeries &series, const std::vector<double> &parameters, bool initialTerm);
} // namespace FitErrors
