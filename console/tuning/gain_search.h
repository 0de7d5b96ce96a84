#pragma once

#include "tuning/controller_law.h"
#include "tuning/gain_set.h"
#include "tuning/plant_model.h"
#include "tuning/step_plan.h"

#include <functional>
#include <optional>
#include <vector>

/// The recommended gains: of the whole-number gain sets, the one with the least integral of
/// absolute error on the step whose predicted overshoot stays within the limit, that still keeps
/// within twice the limit on a plant 20 % stronger and 30 % slower to answer, and that brings the
/// temperature back within 3 time constants after a load that needs 20 % more output. A grid
/// over gain and integral and derivative times about the SIMC gains, then single steps from
/// the best until none improves.
class GainSearch
{
public:
    static constexpr double kGainMargin = 1.2;
    static constexpr double kDeadTimeMargin = 1.3;
    static constexpr double kLoadShare = 0.2;
    static constexpr double kRecoverySpans = 3.0;

    struct Request
    {
        PlantModel model;
        ControllerLaw law;
        StepPlan plan;
        double overshootLimit = 0.5;
        /// Sets tried first, so that a good one bounds the search early.
        std::vector<GainSet> seeds;
    };
    struct Outcome
    {
        std::optional<GainSet> best;
        int tried = 0;
        bool cancelled = false;
        /// No room above the output that holds the target for a load's 20 %: not weighed.
        bool loadWeighed = true;
    };
    /// Told the share done in parts per thousand; returns false to stop.
    using Progress = std::function<bool(int permille)>;

    static Outcome search(const Request &request, const Progress &progress = {});

private:
    explicit GainSearch(const Request &request);

    /// The step's integral of absolute error when every condition holds, else nothing; a step
    /// that passes the bound is given up early.
    std::optional<double> judge(const GainSet &gains, double bound);
    std::optional<double> stepErrorWithin(const GainSet &gains, double bound) const;
    bool robustWithin(const GainSet &gains) const;
    bool recoversFromLoad(const GainSet &gains) const;
    std::vector<GainSet> grid() const;
    void consider(const GainSet &gains);
    bool refine(const Progress &progress);

    Request m_request;
    StepPlan m_plan;
    PlantModel m_robustModel;
    double m_load = 0.0;
    Outcome m_outcome;
    double m_bestError = 0.0;
};
