#pragma once

#include "tuning/controller_law.h"
#include "tuning/gain_set.h"
#include "tuning/plant_model.h"
#include "tuning/step_plan.h"

#include <functional>
#include <optional>
#include <vector>

/// The recommended gains: of the whole-number gain sets within the law's range, the one with
/// the least integral of absolute error on the step whose predicted overshoot, with what the
/// lines' noise adds to the peak they show, stays within the limit both when it is applied with the
/// step (resting under the gains in use) and when it is kept for a later step of the same size
/// (resting under itself), the worse counting; whose output at rest swings no more than the law
/// allows; that still keeps within twice the limit on a plant 20 % stronger and 30 % slower to
/// answer; and that brings the temperature back within 3 time constants after a load that needs 20
/// % more output. A grid over gain and integral and derivative times about the SIMC gains, then
/// single steps from the best until none improves.
class GainSearch
{
public:
    static constexpr double kGainMargin = 1.2;
    static constexpr double kDeadTimeMargin = 1.3;
    static constexpr double kLoadShare = 0.2;
    static constexpr double kRecoverySpans = 3.0;
    /// The lines' noise lifts the peak they show above the temperature's: the predicted
    /// overshoot keeps this many deviations of it below the limit, so that the record shows the
    /// limit kept.
    static constexpr double kReadingMargin = 2.0;

    struct Request
    {
        PlantModel model;
        ControllerLaw law;
        StepPlan plan;
        double overshootLimit = 0.5;
        /// The set is also held to the limit as kept for a later step, where the plan rests
        /// under other gains.
        bool alsoKept = true;
        /// Sets tried first, so that a good one bounds the search early.
        std::vector<GainSet> seeds;
    };
    /// The condition a set missed by the most.
    enum class Condition { Overshoot, OutputActivity, Robustness, LoadRecovery };
    /// Where no set met every condition: the one that came closest, and by what it missed.
    struct NearMiss
    {
        GainSet gains;
        Condition condition = Condition::Overshoot;
        double value = 0.0;
        double limit = 0.0;
    };
    struct Outcome
    {
        std::optional<GainSet> best;
        int tried = 0;
        bool cancelled = false;
        /// No room above the output that holds the target for a load's 20 %: not weighed.
        bool loadWeighed = true;
        std::optional<NearMiss> nearest;
    };
    /// Told the share done in parts per thousand; returns false to stop.
    using Progress = std::function<bool(int permille)>;

    static Outcome search(const Request &request, const Progress &progress = {});
    /// The plant the robustness check holds a set to: stronger and slower to answer.
    static PlantModel robustModelOf(const PlantModel &model);
    /// What the lines' noise may add to the peak they show, in °C.
    static double readingMargin(const PlantModel &model);

private:
    explicit GainSearch(const Request &request);
    static double stepLimitOf(const Request &request);

    /// The worse use's integral of absolute error when every condition holds, else nothing; a
    /// step that passes the bound is given up early.
    std::optional<double> judge(const GainSet &gains, double bound);
    std::vector<GainSet> restsFor(const GainSet &gains) const;
    std::optional<double> stepErrorWithin(
        const GainSet &gains, const GainSet &resting, double bound) const;
    /// The highest overshoot over the horizon, or the first past stopAbove.
    double overshootOf(const PlantModel &model, const GainSet &gains, const GainSet &resting,
        double stopAbove) const;
    double activityOf(const GainSet &gains) const;
    bool robustWithin(const GainSet &gains) const;
    /// The last time after the load that the temperature was outside its band.
    double recoveryOf(const GainSet &gains) const;
    std::optional<NearMiss> missWithin(const GainSet &gains, double share) const;
    std::vector<GainSet> grid() const;
    void consider(const GainSet &gains);
    bool refine(const Progress &progress);
    bool findNearest(const std::vector<GainSet> &sets, const Progress &progress);

    Request m_request;
    StepPlan m_plan;
    PlantModel m_robustModel;
    double m_stepLimit;
    double m_load = 0.0;
    Outcome m_outcome;
    double m_bestError = 0.0;
};
