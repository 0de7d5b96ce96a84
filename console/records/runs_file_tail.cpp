#include "runs_file_tail.h"

#include "records/csv_format.h"
#include "records/read_progress.h"
#include "records/run_recorder.h"
#include "records/text_lines.h"
#include "system_error.h"

#include <QDir>

#include <algorithm>
#include <cerrno>
#include <unistd.h>

namespace {
constexpr qint64 kBlock = 256 * 1024;

/// Reads count bytes at offset; false with errno set on failure.
bool readAt(int descriptor, char *into, qint64 count, qint64 offset)
{
    while (count > 0) {
        const ssize_t read = ::pread(descriptor, into, size_t(count), off_t(offset));
        if (read < 0 && errno == EINTR)
            continue;
        if (read <= 0) {
            if (read == 0)
                errno = EIO;
            return false;
        }
        into += read;
        offset += read;
        count -= read;
    }
    return true;
}

QByteArrayView withoutReturn(QByteArrayView line)
{
    return line.endsWith('\r') ? line.chopped(1) : line;
}
} // namespace

RunsFileTail::RunsFileTail(const QString &path)
    : m_path(path)
    , m_file(path, RegularFile::Access::Read)
{
    const QString shown = QDir::toNativeSeparators(path);
    if (m_file.isNotRegular())
        m_problem = tr("无法读取运行记录：%1 不是普通文件").arg(shown);
    else if (!m_file.isOpen() && m_file.error() != ENOENT)
        m_problem = tr("无法读取运行记录：%1（%2）").arg(shown, m_file.reason());
    else if (m_file.isOpen())
        readHeading();
}

void RunsFileTail::readHeading()
{
    const qint64 count = std::min<qint64>(m_file.size(), TextLines::kLongestLine + 1);
    QByteArray start(count, Qt::Uninitialized);
    if (!readAt(m_file.descriptor(), start.data(), count, 0)) {
        m_problem = tr("无法读取运行记录：%1（%2）")
                        .arg(QDir::toNativeSeparators(m_path), SystemError::text(errno));
        return;
    }
    const qsizetype end = start.indexOf('\n');
    if (end < 0 && count > TextLines::kLongestLine) {
        m_problem = tr("无法读取运行记录：%1 不是运行记录").arg(QDir::toNativeSeparators(m_path));
        return;
    }
    m_rowsFrom = end < 0 ? count : end + 1;
    m_heading =
        CsvFormat::parse(QString::fromUtf8(withoutReturn(start.first(end < 0 ? count : end))))
            .value(0);
    m_heading = RunRecorder::runsFileColumns(m_heading);
}

/// Text left before the rows taken that is more than blank lines.
bool RunsFileTail::holdsARow(QByteArrayView text)
{
    return std::any_of(text.cbegin(), text.cend(),
        [](char character) { return character != '\r' && character != '\n'; });
}

/// Blocks are read from the end back; a row whose start lies in an earlier block waits in held.
RunsFileTail::Outcome RunsFileTail::readBack(qint64 wanted, const ReadProgress &progress,
    const std::function<bool(QByteArrayView row)> &take)
{
    Outcome outcome;
    if (!m_problem.isEmpty() || !m_file.isOpen())
        return outcome;
    const qint64 size = m_file.size();
    QByteArray block(std::min(kBlock, size - m_rowsFrom), Qt::Uninitialized);
    QByteArray held;
    bool skipping = false;
    // The text after the last line end is a row cut short, if anything.
    bool last = true;
    qint64 taken = 0;
    const auto hand = [&](QByteArrayView row) {
        if (std::exchange(last, false)) {
            outcome.cut = !row.isEmpty();
            return;
        }
        if (skipping) {
            ++outcome.overlong;
            return;
        }
        row = withoutReturn(row);
        if (!row.isEmpty() && take(row))
            ++taken;
    };
    qint64 at = size;
    while (at > m_rowsFrom && taken < wanted) {
        if (progress.isCancelled()) {
            outcome.cancelled = true;
            return outcome;
        }
        const qint64 count = std::min<qint64>(block.size(), at - m_rowsFrom);
        at -= count;
        if (!readAt(m_file.descriptor(), block.data(), count, at)) {
            outcome.problem = tr("无法读取运行记录：%1（%2）")
                                  .arg(QDir::toNativeSeparators(m_path), SystemError::text(errno));
            return outcome;
        }
        qsizetype end = count;
        for (qsizetype from = count - 1; from >= 0 && taken < wanted; --from) {
            if (block[from] != '\n')
                continue;
            const QByteArrayView piece(block.constData() + from + 1, end - from - 1);
            if (held.isEmpty()) {
                hand(piece);
            } else {
                held.prepend(piece);
                hand(held);
                held.clear();
            }
            skipping = false;
            end = from;
        }
        if (taken >= wanted) {
            outcome.more = at > m_rowsFrom || holdsARow(QByteArrayView(block.constData(), end));
            return outcome;
        }
        if (!skipping)
            held.prepend(QByteArrayView(block.constData(), end));
        if (held.size() > TextLines::kLongestLine) {
            skipping = true;
            held.clear();
        }
        // Most often the rows wanted end the reading, else the file's start does.
        progress.reached(
            std::max((size - at) * 1000 / (size - m_rowsFrom), taken * 1000 / wanted), 1000);
    }
    if (at <= m_rowsFrom)
        hand(held);
    outcome.more = at > m_rowsFrom;
    return outcome;
}
