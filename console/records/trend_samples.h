#pragma once

#include <QByteArray>
#include <QString>

class QIODevice;

/// The chart's samples as a table a spreadsheet opens: index (the sample's number in the run),
/// run_s and temperature_c. Rows go to the device in pieces, so that a day of samples never
/// sits in memory as text.
class TrendSamples
{
public:
    /// Starts the table with its heading.
    explicit TrendSamples(QIODevice &device);

    /// One row: the run time as the run-time box shows it, the temperature in tenths.
    void append(qint64 number, const QString &runTime, qint32 tenths);
    /// Writes what is still held; false when any write failed.
    bool finish();

private:
    void write();

    QIODevice &m_device;
    QByteArray m_pending;
    bool m_failed = false;
};
