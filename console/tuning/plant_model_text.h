#pragma once

#include "tuning/plant_model.h"

#include <QCoreApplication>
#include <QString>

#include <vector>

/// The model's figures as people read them, in the window's language: each to the places its ±
/// gives it, so that no digit claims more than the run told.
class PlantModelText
{
    Q_DECLARE_TR_FUNCTIONS(PlantModelText)

public:
    struct Figure
    {
        QString name;
        QString value;
    };

    static std::vector<Figure> figures(const PlantModel &model);
    /// The model in one line: K, τ and θ with their ±, and the rms.
    static QString oneLine(const PlantModel &model);
    /// Where K or τ is known to no better than a quarter, or θ to no better than itself and a
    /// second, what that means for predictions made on it; else nothing.
    static QString looseness(const PlantModel &model);
    /// "120.3 ± 1.5": the value to the second significant digit of its error.
    static QString withError(double value, double error);
};
