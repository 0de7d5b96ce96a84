#pragma once

#include "tuning/response_figures.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>

/// A step's figures as the candidate table, the tool and the report show them, in the window's
/// language: one heading and one cell for each, a dash for a time never reached.
class PredictionText
{
    Q_DECLARE_TR_FUNCTIONS(PredictionText)

public:
    static QStringList headings();
    static QStringList cells(const ResponseFigures &figures);
    /// "超调 0.30 ℃，调节（±0.5 ℃）31.0 s，IAE 233 ℃·s": the three a verification compares.
    static QString summary(const ResponseFigures &figures);
};
