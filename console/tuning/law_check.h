#pragma once

#include "tuning/controller_law.h"
#include "tuning/plant_sample.h"

#include <QCoreApplication>
#include <QString>

#include <optional>

/// Whether the law's P and I scales agree with what a run's lines show: where the output is not
/// at a limit, the output the controller reports is regressed on the error, its integral over
/// each such stretch and the measurement's rate, with a constant of its own for each stretch
/// (the integral's start and the bias T). The D scale cannot be told this way: the rate of a
/// noisy, 0.1 °C-stepped measurement says too little of it.
struct LawCheck
{
    Q_DECLARE_TR_FUNCTIONS(LawCheck)

public:
    /// Agreement within this share of the scale.
    static constexpr double kAgreement = 0.10;

    /// Why there was nothing to check, when there was not.
    QString unchecked;
    /// The scales the lines give, where their gain was not zero.
    std::optional<double> pScale;
    std::optional<double> iScale;
    bool pAgrees = false;
    bool iAgrees = false;
    int lines = 0;

    static LawCheck of(const PlantStretch &stretch, const ControllerLaw &law);
    /// What the check found, and the keys to set where the scales do not agree.
    QString summary(const ControllerLaw &law) const;
};
