#include "advice_output.h"

#include <QJsonObject>
#include <QTextStream>

#include <algorithm>

namespace {
QJsonValue orNull(std::optional<double> value)
{
    return value ? QJsonValue(*value) : QJsonValue(QJsonValue::Null);
}

QJsonValue secondsOrNull(std::optional<qint64> tenths)
{
    return tenths ? QJsonValue(*tenths / 10.0) : QJsonValue(QJsonValue::Null);
}

QJsonObject figuresJson(const ResponseFigures &figures)
{
    return {
        {QStringLiteral("overshoot_c"), figures.overshoot},
        {QStringLiteral("overshoot_pct"), figures.overshootPercent},
        {QStringLiteral("rise_10_90_s"), orNull(figures.rise10To90Seconds)},
        {QStringLiteral("settling_2pct_s"), orNull(figures.settling2PercentSeconds)},
        {QStringLiteral("settling_05c_s"), orNull(figures.settlingHalfDegreeSeconds)},
        {QStringLiteral("iae_c_s"), figures.absoluteErrorIntegral},
        {QStringLiteral("steady_error_c"), figures.steadyError},
        {QStringLiteral("saturated_s"), figures.saturatedSeconds},
        {QStringLiteral("oscillates"), figures.oscillates},
        {QStringLiteral("rise_s"), secondsOrNull(figures.window.riseTenths)},
        {QStringLiteral("peak_s"), secondsOrNull(figures.window.peakTenths)},
        {QStringLiteral("settling_s"), secondsOrNull(figures.window.settlingTenths)},
    };
}

/// Columns as a terminal shows them: a Chinese character takes two.
int displayWidth(const QString &text)
{
    int width = 0;
    for (const QChar character : text)
        width += character.unicode() >= 0x1100 && character.unicode() != 0x2013 ? 2 : 1;
    return width;
}

QString padded(const QString &text, int width)
{
    return QString(std::max(0, width - displayWidth(text)), u' ') + text;
}
} // namespace

QJsonArray AdviceOutput::json(const std::vector<TuningAdvice::Candidate> &candidates)
{
    QJsonArray array;
    for (const TuningAdvice::Candidate &candidate : candidates) {
        QJsonObject object{
            {QStringLiteral("name"), TuningAdvice::keyOf(candidate.kind)},
            {QStringLiteral("p"), candidate.gains.p},
            {QStringLiteral("i"), candidate.gains.i},
            {QStringLiteral("d"), candidate.gains.d},
            {QStringLiteral("predicted"), figuresJson(candidate.prediction.figures)},
            {QStringLiteral("output_activity"), candidate.outputActivity},
        };
        if (candidate.kept)
            object.insert(QStringLiteral("predicted_kept"), figuresJson(candidate.kept->figures));
        array.append(object);
    }
    return array;
}

void AdviceOutput::printTable(
    const std::vector<TuningAdvice::Candidate> &candidates, QTextStream &out)
{
    std::vector<QStringList> rows{TuningAdvice::headings() + QStringList{tr("候选")}};
    for (const TuningAdvice::Candidate &candidate : candidates)
        rows.push_back(
            TuningAdvice::cells(candidate) + QStringList{TuningAdvice::nameOf(candidate.kind)});
    std::vector<int> widths(rows.front().size(), 0);
    for (const QStringList &row : rows) {
        for (int column = 0; column < row.size(); ++column)
            widths[column] = std::max(widths[column], displayWidth(row[column]));
    }
    for (const QStringList &row : rows) {
        QStringList line;
        for (int column = 0; column + 1 < row.size(); ++column)
            line << padded(row[column], widths[column]);
        line << row.back();
        out << line.join(QStringLiteral("  ")) << Qt::endl;
    }
}
