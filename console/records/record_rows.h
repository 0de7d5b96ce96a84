#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QStringList>

#include <optional>
#include <vector>

/// The columns of a record a reader needs, found by name in its heading.
class RecordColumns
{
public:
    RecordColumns(const QStringList &heading, const std::vector<const char *> &names);

    /// Whether the heading has the column of this index into the names.
    bool has(std::size_t column) const { return m_at[column] >= 0; }
    qsizetype at(std::size_t column) const { return m_at[column]; }
    /// The rightmost column needed.
    qsizetype last() const;

private:
    std::vector<qsizetype> m_at;
};

/// The fields of a record row a reader needs, found without making a string of every field: a
/// record holds millions of rows. A quoted field is unquoted into a buffer of its own.
class RowFields
{
public:
    explicit RowFields(const RecordColumns &columns);

    /// False when the row has fewer fields than the columns need.
    bool split(QByteArrayView line);
    /// The field of a column (an index into the names); empty when the heading lacks it.
    QByteArrayView operator[](std::size_t column) const;

private:
    qsizetype plain(QByteArrayView line, qsizetype from, std::size_t field);
    qsizetype quoted(QByteArrayView line, qsizetype from, std::size_t field);

    const RecordColumns &m_columns;
    std::vector<QByteArrayView> m_fields;
    std::vector<QByteArray> m_unquoted;
};

/// The record's times in milliseconds since the epoch, each second's text read as a moment once:
/// rows come ten a second and more, and only their milliseconds differ within it.
class RecordTimes
{
public:
    /// A moment as records write it: ISO 8601 local time with milliseconds and the offset from
    /// UTC, 2026-12-08T10:38:11.250+08:00.
    static QString text(const QDateTime &moment);
    std::optional<qint64> at(QByteArrayView text);

private:
    static std::optional<qint64> whole(QByteArrayView text);

    QByteArray m_second;
    std::optional<qint64> m_secondStart;
};
