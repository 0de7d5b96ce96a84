#include "text_lines.h"

#include "records/read_progress.h"
#include "records/regular_file.h"

#include <QByteArray>

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace {
constexpr qsizetype kBlock = 1024 * 1024;

QByteArrayView withoutReturn(QByteArrayView line)
{
    return line.endsWith('\r') ? line.chopped(1) : line;
}

/// Reads up to count bytes; 0 at the end, -1 with errno on failure.
qint64 readSome(int descriptor, char *into, qint64 count)
{
    for (;;) {
        const ssize_t read = ::read(descriptor, into, size_t(count));
        if (read >= 0 || errno != EINTR)
            return read;
    }
}
} // namespace

TextLines::Outcome TextLines::read(const RegularFile &file, const ReadProgress &progress,
    const std::function<bool(QByteArrayView line)> &take)
{
    Outcome outcome;
    QByteArray block(kBlock, Qt::Uninitialized);
    // The start of a line that a block ended in.
    QByteArray held;
    bool skipping = false;
    qint64 done = 0;
    while (done < file.size()) {
        if (progress.isCancelled()) {
            outcome.cancelled = true;
            return outcome;
        }
        const qint64 count =
            readSome(file.descriptor(), block.data(), std::min<qint64>(kBlock, file.size() - done));
        if (count < 0) {
            outcome.error = errno;
            return outcome;
        }
        if (count == 0)
            break;
        done += count;
        const char *data = block.constData();
        qsizetype from = 0;
        while (from < count) {
            const auto *newline =
                static_cast<const char *>(std::memchr(data + from, '\n', size_t(count - from)));
            const qsizetype end = newline ? newline - data : count;
            const QByteArrayView piece(data + from, end - from);
            from = end + 1;
            if (skipping) {
                skipping = !newline;
                continue;
            }
            if (!newline || !held.isEmpty()) {
                held.append(piece);
                if (held.size() > kLongestLine) {
                    ++outcome.overlong;
                    held.clear();
                    skipping = !newline;
                    continue;
                }
                if (!newline)
                    continue;
            }
            const QByteArrayView line = held.isEmpty() ? piece : QByteArrayView(held);
            if (line.size() > kLongestLine) {
                ++outcome.overlong;
            } else if (!take(withoutReturn(line))) {
                return outcome;
            }
            held.clear();
        }
        progress.reached(done, file.size());
    }
    outcome.cut = !held.isEmpty();
    return outcome;
}
