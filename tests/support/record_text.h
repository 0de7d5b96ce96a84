#pragma once

#include "simulated_run.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>

#include <vector>

/// A step test's record as the console writes it, the run time cleared when the step's command
/// is sent and the gains on every line, and changed as a broken or hostile file would be: its
/// clock set, rows out of order, fields that are no numbers, rows cut short.
class RecordText
{
public:
    RecordText(const SimulatedRun::StepTest &run, const GainSet &gains, const QDateTime &first);

    QByteArray bytes() const;
    /// The number of its telemetry lines.
    std::size_t lines() const { return m_lineRows.size(); }
    /// The times of the lines from `from` to `to` moved, their run time as it was.
    void moveTimes(std::size_t from, std::size_t to, qint64 milliseconds);
    /// Every line's time, the run time as it was, in an order of the seed's.
    void shuffleTimes(unsigned seed);
    /// A column's field of the lines from `from` to `to` replaced by text.
    void setField(std::size_t from, std::size_t to, int column, const QByteArray &text);
    /// The lines from `from` to `to` cut after their first two fields.
    void cutShort(std::size_t from, std::size_t to);

    static constexpr int kTime = 0;
    static constexpr int kCurrent = 4;

private:
    QList<QByteArray> &fieldsOf(std::size_t line);

    std::vector<QList<QByteArray>> m_rows;
    std::vector<std::size_t> m_lineRows;
};
