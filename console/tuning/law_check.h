#pragma once

#include "tuning/controller_law.h"
#include "tuning/plant_sample.h"

#include <QCoreApplication>
#include <QString>

#include <optional>

/// Whether the law's P and I scales agree with what a run's lines show. Where the output is off
/// its limits, the D term the law gives (its scale and its filter on the lines' rate) is added
/// back to the output the controller reports, and the sum is regressed on the error times P and
/// its integral times I, with a constant of its own for each stretch (the integral's start and
/// the bias T). A scale is told only where the lines pin it down well enough to judge it: the
/// D scale itself cannot be told this way, a noisy, 0.1 °C-stepped rate says too little of it.
struct LawCheck
{
    Q_DECLARE_TR_FUNCTIONS(LawCheck)

public:
    /// Agreement within this share of the scale.
    static constexpr double kAgreement = 0.10;
    /// A scale whose two standard errors pass this share of it is too loosely told to judge.
    static constexpr double kLeastPrecision = 0.05;

    enum class Verdict { Untold, Agrees, Disagrees };

    /// One scale as the lines tell it.
    struct Scale
    {
        Verdict verdict = Verdict::Untold;
        /// What the lines give, and two standard errors of it, where it was told.
        std::optional<double> fitted;
        double error = 0.0;
        /// Why it could not be told.
        QString untold;
    };

    /// Why there was nothing to check at all.
    QString unchecked;
    Scale p;
    Scale i;
    int lines = 0;

    /// A scale the lines tell confidently is off.
    bool disagrees() const
    {
        return p.verdict == Verdict::Disagrees || i.verdict == Verdict::Disagrees;
    }

    /// Both scales told and agreeing, one disputed, or neither known.
    std::optional<bool> agreed() const
    {
        if (disagrees())
            return false;
        if (p.verdict == Verdict::Agrees && i.verdict == Verdict::Agrees)
            return true;
        return std::nullopt;
    }

    static LawCheck of(const PlantStretch &stretch, const ControllerLaw &law);
    /// What the check found, and the keys to set where the scales do not agree.
    QString summary(const ControllerLaw &law) const;
};
