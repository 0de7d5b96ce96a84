#include "run_curve.h"

#include "records/csv_format.h"
#include "records/read_progress.h"
#include "records/regular_file.h"
#include "records/run_recorder.h"
#include "records/text_lines.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>

namespace {

QDateTime moment(const QString &text)
{
    return QDateTime::fromString(text, Qt::ISODateWithMs);
}

/// A number of the record as tenths: "58.5" gives 585.
std::optional<qint64> tenths(QByteArrayView text)
{
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value) || std::abs(value) > 1e15)
        return std::nullopt;
    return std::llround(value * 10);
}

/// The record's columns this reader needs, by their heading.
struct Columns
{
    static constexpr int kCount = 4;
    enum Column { Time, RunTime, Kind, Current };
    std::array<qsizetype, kCount> at{};

    explicit Columns(const QStringList &heading)
    {
        const std::array<QLatin1String, kCount> names{QLatin1String("time"), QLatin1String("run_s"),
            QLatin1String("kind"), QLatin1String("current_c")};
        for (int column = 0; column < kCount; ++column)
            at[column] = heading.indexOf(names[column]);
    }
    bool complete() const
    {
        return std::none_of(at.cbegin(), at.cend(), [](qsizetype index) { return index < 0; });
    }
    qsizetype last() const { return *std::max_element(at.cbegin(), at.cend()); }
};

/// The fields of a record row this reader needs, found without making a string of every field:
/// a record holds millions of rows. A quoted field is unquoted into a buffer of its own.
class RowFields
{
public:
    explicit RowFields(const Columns &columns)
        : m_columns(columns)
        , m_fields(std::size_t(columns.last() + 1))
        , m_unquoted(m_fields.size())
    {
    }

    bool split(QByteArrayView line)
    {
        qsizetype from = 0;
        for (std::size_t field = 0; field < m_fields.size(); ++field) {
            if (from > line.size())
                return false;
            from = line.sliced(from).startsWith('"') ? quoted(line, from, field)
                                                     : plain(line, from, field);
        }
        return true;
    }
    QByteArrayView operator[](Columns::Column column) const
    {
        return m_fields[std::size_t(m_columns.at[column])];
    }

private:
    qsizetype plain(QByteArrayView line, qsizetype from, std::size_t field)
    {
        const auto *comma = static_cast<const char *>(
            std::memchr(line.data() + from, ',', std::size_t(line.size() - from)));
        const qsizetype end = comma ? comma - line.data() : line.size();
        m_fields[field] = line.sliced(from, end - from);
        return end + 1;
    }
    qsizetype quoted(QByteArrayView line, qsizetype from, std::size_t field)
    {
        QByteArray &text = m_unquoted[field];
        text.resize(0);
        qsizetype at = from + 1;
        for (; at < line.size(); ++at) {
            if (line[at] != '"')
                text += line[at];
            else if (at + 1 < line.size() && line[at + 1] == '"')
                text += line[++at];
            else
                break;
        }
        m_fields[field] = text;
        const auto *comma = static_cast<const char *>(std::memchr(
            line.data() + at, ',', std::size_t(std::max<qsizetype>(line.size() - at, 0))));
        return comma ? comma - line.data() + 1 : line.size() + 1;
    }

    const Columns &m_columns;
    std::vector<QByteArrayView> m_fields;
    std::vector<QByteArray> m_unquoted;
};

/// The record's times in milliseconds since the epoch, each second's text read as a moment once:
/// rows come ten a second and more, and only their milliseconds differ within it.
class RecordTimes
{
public:
    std::optional<qint64> at(QByteArrayView text)
    {
        if (text.size() < kMillisecondsEnd || text[kMillisecondsAt - 1] != '.')
            return whole(text);
        int milliseconds = 0;
        for (qsizetype at = kMillisecondsAt; at < kMillisecondsEnd; ++at) {
            if (text[at] < '0' || text[at] > '9')
                return whole(text);
            milliseconds = milliseconds * 10 + (text[at] - '0');
        }
        const QByteArrayView before = text.first(kMillisecondsAt - 1);
        const QByteArrayView after = text.sliced(kMillisecondsEnd);
        if (m_second.size() != before.size() + after.size() || !m_second.startsWith(before)
            || !m_second.endsWith(after)) {
            m_second = before.toByteArray() + after.toByteArray();
            const QDateTime second =
                QDateTime::fromString(QString::fromLatin1(m_second), Qt::ISODate);
            m_secondStart =
                second.isValid() ? std::optional(second.toMSecsSinceEpoch()) : std::nullopt;
        }
        return m_secondStart ? std::optional(*m_secondStart + milliseconds) : std::nullopt;
    }

private:
    // 2026-12-08T09:30:06.125+08:00: the milliseconds after the dot at 19.
    static constexpr qsizetype kMillisecondsAt = 20;
    static constexpr qsizetype kMillisecondsEnd = 23;

    static std::optional<qint64> whole(QByteArrayView text)
    {
        const QDateTime time = moment(QString::fromLatin1(text));
        return time.isValid() ? std::optional(time.toMSecsSinceEpoch()) : std::nullopt;
    }

    QByteArray m_second;
    std::optional<qint64> m_secondStart;
};

/// The runs.csv row's record files, each a path in the folder, or the first name that is none.
struct RecordPaths
{
    QStringList paths;
    QString refused;
};

RecordPaths recordPaths(const QString &directory, const QString &records)
{
    RecordPaths found;
    for (const QString &name : records.split(RunRecorder::recordSeparator(), Qt::SkipEmptyParts)) {
        const std::optional<QString> path = RunRecorder::recordPath(directory, name);
        if (!path) {
            found.refused = name;
            return found;
        }
        found.paths.append(*path);
    }
    return found;
}
} // namespace

RunCurve RunCurve::read(const QString &directory, const QStringList &heading,
    const QStringList &run, const ReadProgress &progress)
{
    RunCurve curve;
    const auto cell = [&](const char *name) {
        return run.value(heading.indexOf(QLatin1String(name)));
    };
    curve.m_start = moment(cell("start"));
    const QString endText = cell("end");
    const QDateTime end = endText.isEmpty() ? QDateTime() : moment(endText);
    const RecordPaths records = recordPaths(directory, cell("record"));
    if (!curve.m_start.isValid() || (!endText.isEmpty() && !end.isValid())) {
        curve.m_problem = tr("运行记录中的时间无法读取：%1").arg(cell("start"));
        return curve;
    }
    if (!records.refused.isEmpty()) {
        curve.m_problem = tr("记录文件名不是记录文件夹中的文件，未读取：%1").arg(records.refused);
        return curve;
    }
    if (records.paths.isEmpty()) {
        curve.m_problem =
            tr("这次运行没有记录文件（开始于 %1）")
                .arg(curve.m_start.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
        return curve;
    }
    const qint64 total = recordBytes(directory, heading, run);
    qint64 before = 0;
    for (const QString &path : records.paths) {
        if (!curve.readRecord(path, end, progress.part(before, total)))
            return curve;
        before += QFileInfo(path).size();
    }
    if (curve.m_points.empty()) {
        curve.m_problem = tr("记录文件中没有这次运行的温度：%1")
                              .arg(QDir::toNativeSeparators(records.paths.front()));
        return curve;
    }
    curve.startAtZeroAfterAClear();
    return curve;
}

qint64 RunCurve::recordBytes(
    const QString &directory, const QStringList &heading, const QStringList &run)
{
    qint64 bytes = 0;
    for (const QString &path :
        recordPaths(directory, run.value(heading.indexOf(QLatin1String("record")))).paths)
        bytes += QFileInfo(path).size();
    return bytes;
}

/// Rows go one to a text line: the record writes control characters as escapes.
bool RunCurve::readRecord(const QString &path, const QDateTime &end, const ReadProgress &progress)
{
    const QString shown = QDir::toNativeSeparators(path);
    const RegularFile file(path, RegularFile::Access::Read);
    if (file.error() == ENOENT) {
        m_problem = tr("找不到记录文件：%1").arg(shown);
        return false;
    }
    if (file.isNotRegular()) {
        m_problem = tr("无法读取记录文件：%1 不是普通文件").arg(shown);
        return false;
    }
    if (!file.isOpen()) {
        m_problem = tr("无法读取记录文件：%1").arg(shown);
        return false;
    }
    std::optional<Columns> columns;
    std::optional<RowFields> fields;
    RecordTimes times;
    const qint64 from = m_start.toMSecsSinceEpoch();
    const qint64 to = end.isValid() ? end.toMSecsSinceEpoch() : std::numeric_limits<qint64>::max();
    const TextLines::Outcome outcome = TextLines::read(file, progress, [&](QByteArrayView line) {
        if (!columns) {
            columns.emplace(CsvFormat::parse(QString::fromUtf8(line)).value(0));
            if (!columns->complete())
                return false;
            fields.emplace(*columns);
            return true;
        }
        if (!fields->split(line))
            return true;
        const QByteArrayView kind = (*fields)[Columns::Kind];
        const bool lost = kind == "lost";
        if ((kind != "line" || (*fields)[Columns::Current].isEmpty()) && !lost)
            return true;
        const std::optional<qint64> at = times.at((*fields)[Columns::Time]);
        if (!at || *at < from)
            return true;
        // Rows are written in time order: the run's lines end here.
        if (*at > to)
            return false;
        const std::optional<qint64> runTime = tenths((*fields)[Columns::RunTime]);
        const std::optional<qint64> current =
            lost ? std::optional<qint64>(0) : tenths((*fields)[Columns::Current]);
        if (runTime && current)
            m_points.push_back({*runTime, qint32(*current), lost});
        return true;
    });
    if (outcome.cancelled) {
        m_cancelled = true;
        return false;
    }
    if (outcome.error != 0 || !columns || !columns->complete()) {
        m_problem = tr("无法读取记录文件：%1").arg(shown);
        return false;
    }
    if (outcome.cut)
        m_notes.append(tr("记录文件的最后一行不完整，已舍去：%1").arg(shown));
    if (outcome.overlong > 0)
        m_notes.append(tr("记录文件中有 %1 行过长，未读取：%2").arg(outcome.overlong).arg(shown));
    return true;
}

/// A line that comes after "时间清零" before the run-time box has counted its first tenth carries
/// the old run's time; the run was at 0 then, and the chart stamped it so.
void RunCurve::startAtZeroAfterAClear()
{
    // Within a run the run time never falls but there.
    const auto fall = std::adjacent_find(
        m_points.begin(), m_points.end(), [](const CurvePoint &one, const CurvePoint &next) {
            return next.runTenths < one.runTenths;
        });
    if (fall == m_points.end())
        return;
    for (auto point = m_points.begin(); point != fall + 1; ++point)
        point->runTenths = 0;
}
