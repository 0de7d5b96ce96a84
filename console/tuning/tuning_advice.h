#pragma once

#include "tuning/controller_law.h"
#include "tuning/gain_search.h"
#include "tuning/gain_set.h"
#include "tuning/loop_prediction.h"
#include "tuning/plant_model.h"
#include "tuning/step_plan.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>

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
        /// Applied with the step, from the loop resting under the plan's gains.
        LoopPrediction prediction;
        /// Kept for a later step of the same size, from the loop resting under these gains;
        /// none where only one use was asked for.
        std::optional<LoopPrediction> kept;
        /// The output's swing at rest from line to line, rms in counts.
        double outputActivity = 0.0;

        /// The higher overshoot of the two uses.
        double worseOvershoot() const;
    };
    struct Request
    {
        PlantModel model;
        ControllerLaw law;
        std::optional<GainSet> current;
        StepPlan plan;
        double overshootLimit = kDefaultOvershootLimit;
        /// Both uses are predicted: applied from the plan's resting gains and kept.
        bool alsoKept = true;
        /// The law check found the scales off and the operator has not confirmed them: the
        /// candidates are predicted, nothing is recommended.
        bool lawDisputed = false;
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
    /// A candidate's row as the table, the tool and the report show it: its gains, both uses'
    /// overshoot and the output's swing, then the rest of its applied step's figures.
    static QStringList headings();
    static QStringList cells(const Candidate &candidate);
    /// For each heading, whether a table short of room shows it: the gains, both uses'
    /// overshoot, the swing, the rise, settling to ±0.5 °C, IAE, time at a limit, oscillation.
    static std::vector<bool> essentialColumns();
    /// What a gain set is predicted to do, in both uses where asked.
    static Candidate predicted(Kind kind, const GainSet &gains, const Request &request);
    /// Why the plan's step cannot be made on this plant, or nothing: an end the heater cannot
    /// hold at either output limit.
    static std::optional<QString> unreachable(const Request &request);

private:
    static QString weighedText(const Request &request, const GainSearch::Outcome &outcome);
    static QString nearMissText(const GainSearch::NearMiss &miss);
};
