#pragma once

#include <QString>

#include <deque>

/// The samples the chart shows, each with the run time it was taken at, so that they can be
/// saved as a table.
class TrendSamples
{
public:
    /// Keeps the newest capacity samples, as the chart does.
    void setCapacity(qsizetype capacity);
    void append(const QString &runTime, qint32 tenths);
    qsizetype size() const { return qsizetype(m_samples.size()); }
    /// index, run_s, temperature_c; one row per sample, oldest first.
    QString toCsv() const;

private:
    struct Sample
    {
        QString runTime;
        qint32 tenths = 0;
    };
    std::deque<Sample> m_samples;
    qsizetype m_capacity = 0;
};
