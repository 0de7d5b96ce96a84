#include "trend_samples.h"

#include "records/csv_format.h"

#include <QIODevice>

namespace {
constexpr qsizetype kPiece = 64 * 1024;
} // namespace

TrendSamples::TrendSamples(QIODevice &device)
    : m_device(device)
{
    m_pending = CsvFormat::row(
        {QStringLiteral("index"), QStringLiteral("run_s"), QStringLiteral("temperature_c")})
                    .toUtf8();
}

void TrendSamples::append(qint64 number, const QString &runTime, qint32 tenths)
{
    // Numbers need no quoting.
    m_pending += QByteArray::number(number) + ',' + runTime.toLatin1() + ','
        + QByteArray::number(tenths / 10.0, 'f', 1) + "\r\n";
    if (m_pending.size() >= kPiece)
        write();
}

bool TrendSamples::finish()
{
    write();
    return !m_failed;
}

void TrendSamples::write()
{
    if (!m_failed && m_device.write(m_pending) != m_pending.size())
        m_failed = true;
    m_pending.clear();
}
