#pragma once

#include "tuning/controller_law.h"
#include "tuning/gain_search.h"
#include "tuning/gain_set.h"
#include "tuning/loop_prediction.h"
#include "tuning/plant_model.h"
#include "tuning/step_plan.h"

#include <QCoreApplication>
#include <QString>

#include <optional>
#include <vector>

/// Which gains next: the gains in use, the textbook rules and the recommended set, each with
/// what it is predicted to do on the operator's step, and what the recommendation weighed.
class TuningAdvice
{
    Q_DECLARE_TR_FUNCTIONS(TuningAdvice)

public:
    static constexpr double kDefaultOvershootLimit = 0.5;

    /// Given is a set the operator names, predicted alone.
    enum class Kind {
        Current,
        SimcTight,
        SimcSmooth,
        AmigoPi,
        AmigoPid,
        RelayZieglerNichols,
        Recommended,
        Given
    };
    struct Candidate
    {
        Kind kind = Kind::Current;
        GainSet gains;
        LoopPrediction prediction;
    };
    struct Request
    {
        PlantModel model;
        ControllerLaw law;
        std::optional<GainSet> current;
        StepPlan plan;
        double overshootLimit = kDefaultOvershootLimit;
    };

    std::vector<Candidate> candidates;
    /// What the recommendation weighed, or why there is none, in the window's language.
    QString weighed;
    bool cancelled = false;

    /// Told the share done in parts per thousand; returns false to stop.
    static TuningAdvice of(const Request &request, const GainSearch::Progress &progress = {});
    const Candidate *recommended() const;

    /// The candidate's name as the window shows it.
    static QString nameOf(Kind kind);
    /// The name a program reads: "current", "simc_tight", ... "recommended".
    static QString keyOf(Kind kind);

private:
    static QString weighedText(const Request &request, const GainSearch::Outcome &outcome);
};
