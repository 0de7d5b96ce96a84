#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <optional>

/// The four step-response figures of a run as runs.csv holds them, to be set beside another
/// run's.
struct RunFigures
{
    std::optional<double> riseSeconds;
    std::optional<double> overshootPercent;
    std::optional<double> peakSeconds;
    std::optional<double> settlingSeconds;

    /// A row of runs.csv, its columns named by heading; a figure the row left empty stays empty.
    static RunFigures fromRow(const QStringList &heading, const QStringList &run);
    /// How this run's figures differ from the other's, this one's less the other's, for each
    /// figure both have: "上升时间 +3.0 s，超调量 −2.1 %"; empty when none can be compared.
    QString differenceFrom(const RunFigures &other) const;

    Q_DECLARE_TR_FUNCTIONS(RunFigures)
};
