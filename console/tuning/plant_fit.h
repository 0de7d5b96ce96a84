#pragma once

#include "tuning/plant_model.h"
#include "tuning/plant_sample.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class PlantSeries;

/// Fits a first-order-plus-dead-time model to a run's lines by output error: the model is
/// driven by the recorded output level and compared with the recorded temperature; for each
/// time constant and dead time the gain and offset come from linear least squares, and the
/// simplex search finds the pair with the least squared error. A run that cannot tell the plant
/// is refused with a reason, never given a model.
class PlantFit
{
    Q_DECLARE_TR_FUNCTIONS(PlantFit)

public:
    /// Lines before the output first changes that a fit needs, to know the state it starts in.
    static constexpr double kLeadSeconds = 10.0;
    /// The least temperature change a fit takes: a smaller one tells the plant too poorly.
    static constexpr double kSmallestResponse = 3.0;

    struct Outcome
    {
        std::optional<PlantModel> model;
        /// Why there is no model, in the window's language.
        QString refusal;
        /// What the model was fitted on, where it was not the whole run.
        QStringList notes;
        /// The stretch fitted, for drawing the model over it.
        PlantStretch fitted;
    };
    /// Told the share done in parts per thousand; returns false to stop.
    using Progress = std::function<bool(int permille)>;

    /// The longest stretch is fitted, split first wherever time runs backwards, and only the
    /// window of it around its change (FitWindow); a run broken by a lost link says so. A model
    /// with a figure that is not a finite number is refused.
    static Outcome fit(const std::vector<PlantStretch> &stretches, const Progress &progress = {});
    /// As fit, for a run led in by the lines before its start in milliseconds: a step test's run
    /// starts at its step, and the lines before it are the state the step started from.
    static Outcome fitRun(
        const std::vector<PlantStretch> &stretches, qint64 runStart, const Progress &progress = {});

private:
    /// A model of one stretch, or why there is none.
    struct StretchFit
    {
        std::optional<PlantModel> model;
        QString refusal;
        QStringList notes;
    };
    static StretchFit fitStretch(
        const PlantStretch &stretch, qint64 runStart, const Progress &progress);
    /// Why the lines cannot tell the plant, or nothing.
    static std::optional<QString> refusalOf(const PlantStretch &stretch, qint64 runStart);
    /// What the lines before the change were: how many, and whether the plant rested there.
    static QStringList restNotes(
        const PlantSeries &series, std::size_t change, bool ledIn, bool initialTerm);
    static std::optional<PlantModel> modelOf(const PlantSeries &series,
        const std::vector<double> &point, bool initialTerm, QString &refusal);
    /// The response to the change is what tells τ and θ: how long after it a stretch is fitted.
    static constexpr double kResponseSpans = 30.0;
    static constexpr double kLeastResponse = 600.0;
    /// The stretch cut and fitted again past the response; what was done, in the window's
    /// language.
    static std::optional<QString> keepResponse(
        Outcome &outcome, StretchFit &fitted, qint64 runStart, const Progress &progress);
    /// First lines far off the model fitted to them.
    struct Spike
    {
        std::size_t lines = 0;
        double furthest = 0.0;
        double rms = 0.0;
    };
    static std::optional<Spike> startSpike(const PlantStretch &fitted, const PlantModel &model);
    /// The stretch fitted again without the spike, its ± widened to hold the fit with it; what
    /// was done, in the window's language.
    static QString leaveOut(const Spike &spike, Outcome &outcome, StretchFit &fitted,
        qint64 runStart, const Progress &progress);
};
