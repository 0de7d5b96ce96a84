#include "record_rows.h"

#include <QDateTime>

#include <algorithm>
#include <cstring>

namespace {
// 2026-12-08T09:30:06.125+08:00: the milliseconds after the dot at 19.
constexpr qsizetype kMillisecondsAt = 20;
constexpr qsizetype kMillisecondsEnd = 23;
} // namespace

RecordColumns::RecordColumns(const QStringList &heading, const std::vector<const char *> &names)
{
    for (const char *name : names)
        m_at.push_back(heading.indexOf(QLatin1String(name)));
}

qsizetype RecordColumns::last() const
{
    return m_at.empty() ? -1 : *std::max_element(m_at.cbegin(), m_at.cend());
}

RowFields::RowFields(const RecordColumns &columns)
    : m_columns(columns)
    , m_fields(std::size_t(columns.last() + 1))
    , m_unquoted(m_fields.size())
{
}

bool RowFields::split(QByteArrayView line)
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

QByteArrayView RowFields::operator[](std::size_t column) const
{
    return m_columns.has(column) ? m_fields[std::size_t(m_columns.at(column))] : QByteArrayView();
}

qsizetype RowFields::plain(QByteArrayView line, qsizetype from, std::size_t field)
{
    const auto *comma = static_cast<const char *>(
        std::memchr(line.data() + from, ',', std::size_t(line.size() - from)));
    const qsizetype end = comma ? comma - line.data() : line.size();
    m_fields[field] = line.sliced(from, end - from);
    return end + 1;
}

qsizetype RowFields::quoted(QByteArrayView line, qsizetype from, std::size_t field)
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
    const auto *comma = static_cast<const char *>(
        std::memchr(line.data() + at, ',', std::size_t(std::max<qsizetype>(line.size() - at, 0))));
    return comma ? comma - line.data() + 1 : line.size() + 1;
}

std::optional<qint64> RecordTimes::at(QByteArrayView text)
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
        const QDateTime second = QDateTime::fromString(QString::fromLatin1(m_second), Qt::ISODate);
        m_secondStart = second.isValid() ? std::optional(second.toMSecsSinceEpoch()) : std::nullopt;
    }
    return m_secondStart ? std::optional(*m_secondStart + milliseconds) : std::nullopt;
}

std::optional<qint64> RecordTimes::whole(QByteArrayView text)
{
    const QDateTime time = QDateTime::fromString(QString::fromLatin1(text), Qt::ISODateWithMs);
    return time.isValid() ? std::optional(time.toMSecsSinceEpoch()) : std::nullopt;
}

QString RecordTimes::text(const QDateTime &moment)
{
    const QDateTime local = moment.toLocalTime();
    const int offset = local.offsetFromUtc();
    const int minutes = std::abs(offset) / 60;
    return local.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz"))
        + QStringLiteral("%1%2:%3")
              .arg(QChar(offset < 0 ? u'-' : u'+'))
              .arg(minutes / 60, 2, 10, QLatin1Char('0'))
              .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}
