#include "trend_samples.h"

#include "csv_format.h"

void TrendSamples::setCapacity(qsizetype capacity)
{
    m_capacity = capacity;
    while (size() > m_capacity)
        m_samples.pop_front();
}

void TrendSamples::append(const QString &runTime, qint32 tenths)
{
    if (m_capacity <= 0)
        return;
    if (size() == m_capacity)
        m_samples.pop_front();
    m_samples.push_back({runTime, tenths});
}

QString TrendSamples::toCsv() const
{
    QString table = CsvFormat::row(
        {QStringLiteral("index"), QStringLiteral("run_s"), QStringLiteral("temperature_c")});
    qsizetype index = 0;
    for (const Sample &sample : m_samples) {
        table += CsvFormat::row({QString::number(++index), sample.runTime,
            QString::number(sample.tenths / 10.0, 'f', 1)});
    }
    return table;
}
