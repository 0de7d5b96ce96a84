#include "record_text.h"

#include <algorithm>
#include <random>

namespace {
QByteArray timeText(const QDateTime &moment)
{
    return moment.toOffsetFromUtc(8 * 3600).toString(Qt::ISODateWithMs).toUtf8();
}
} // namespace

RecordText::RecordText(
    const SimulatedRun::StepTest &run, const GainSet &gains, const QDateTime &first)
{
    m_rows.push_back(
        QByteArray("time,run_s,kind,set_c,current_c,output_pct,p,i,d,text").split(','));
    const qint64 start = run.lines.front().milliseconds;
    const auto at = [&](qint64 milliseconds) {
        return timeText(first.addMSecs(milliseconds - start));
    };
    const auto runSeconds = [&](qint64 milliseconds) {
        const qint64 from = milliseconds < run.stepMilliseconds ? start : run.stepMilliseconds;
        return QByteArray::number(double(milliseconds - from) / 1e3, 'f', 1);
    };
    bool sent = false;
    for (const PlantSample &line : run.lines) {
        if (!sent && line.milliseconds >= run.stepMilliseconds) {
            m_rows.push_back({at(run.stepMilliseconds), runSeconds(run.stepMilliseconds - 1),
                "sent", "", "", "", "", "", "", "S0600"});
            sent = true;
        }
        m_lineRows.push_back(m_rows.size());
        m_rows.push_back({at(line.milliseconds), runSeconds(line.milliseconds), "line",
            QByteArray::number(*line.setPoint, 'f', 1),
            QByteArray::number(line.temperature, 'f', 1),
            QByteArray::number(*line.output / 2.55, 'f', 2), QByteArray::number(gains.p),
            QByteArray::number(gains.i), QByteArray::number(gains.d), "st"});
    }
}

QByteArray RecordText::bytes() const
{
    QByteArray text;
    for (const QList<QByteArray> &row : m_rows)
        text += row.join(',') + "\r\n";
    return text;
}

QList<QByteArray> &RecordText::fieldsOf(std::size_t line)
{
    return m_rows[m_lineRows[line]];
}

void RecordText::moveTimes(std::size_t from, std::size_t to, qint64 milliseconds)
{
    for (std::size_t line = from; line < std::min(to, lines()); ++line) {
        QByteArray &time = fieldsOf(line)[kTime];
        time = timeText(QDateTime::fromString(QString::fromUtf8(time), Qt::ISODateWithMs)
                            .addMSecs(milliseconds));
    }
}

void RecordText::shuffleTimes(unsigned seed)
{
    std::vector<QByteArray> times;
    for (std::size_t line = 0; line < lines(); ++line)
        times.push_back(fieldsOf(line)[kTime]);
    std::mt19937 random(seed);
    std::shuffle(times.begin(), times.end(), random);
    for (std::size_t line = 0; line < lines(); ++line)
        fieldsOf(line)[kTime] = times[line];
}

void RecordText::setField(std::size_t from, std::size_t to, int column, const QByteArray &text)
{
    for (std::size_t line = from; line < std::min(to, lines()); ++line)
        fieldsOf(line)[column] = text;
}

void RecordText::cutShort(std::size_t from, std::size_t to)
{
    for (std::size_t line = from; line < std::min(to, lines()); ++line)
        fieldsOf(line) = fieldsOf(line).first(2);
}
