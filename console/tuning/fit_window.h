#pragma once

#include "tuning/plant_sample.h"

#include <QCoreApplication>
#include <QString>

#include <cstddef>
#include <limits>
#include <optional>

/// The lines of a stretch that a fit holds: at most kLeadLines before the output first changes
/// and kMostLines in all. The response to the change is what tells the time constant and the
/// dead time; the days a loop may then hold its set point tell only the gain again, while the fit
/// would hold and work through every line of them. Fed a line at a time, the window never holds
/// more than that, however long the stretch.
class FitWindow
{
    Q_DECLARE_TR_FUNCTIONS(FitWindow)

public:
    /// An output change this large, about 5 % of the range, excites the plant.
    static constexpr double kExcitingChange = 13.0;
    static constexpr std::size_t kLeadLines = 2'400;
    static constexpr std::size_t kMostLines = 36'000;

    /// A stretch whose first line came before runStart is led in: it changes at the run's start,
    /// else where its output first moves by kExcitingChange from its first line's.
    explicit FitWindow(qint64 runStart = std::numeric_limits<qint64>::min());

    void take(const PlantSample &line);
    bool isEmpty() const { return m_lines.empty(); }
    /// The lines kept, the window left empty.
    PlantStretch release();
    /// Lines taken but not kept.
    std::size_t leftOut() const { return m_leftOut; }

    /// The window over a whole stretch, and how many of its lines it left out.
    static PlantStretch of(const PlantStretch &stretch, qint64 runStart, std::size_t &leftOut);
    /// What the windows left out, in the window's language.
    static QString note(std::size_t leftOut);

private:
    bool changesAt(const PlantSample &line);
    /// Drops the oldest lines before the change down to the lead.
    void trimLead();

    qint64 m_runStart;
    PlantStretch m_lines;
    std::optional<bool> m_ledIn;
    std::optional<double> m_firstOutput;
    bool m_changed = false;
    std::size_t m_leftOut = 0;
};
