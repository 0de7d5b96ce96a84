#include "record_file.h"

#include "records/regular_file.h"
#include "system_error.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
const QLatin1String kExtension(".csv");

/// mkdir -p that keeps the reason: 0, or the error that stopped it.
int makePath(const QByteArray &path)
{
    if (::mkdir(path.constData(), 0777) == 0)
        return 0;
    if (errno == EEXIST) {
        struct stat info = {};
        return ::stat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode) ? 0 : ENOTDIR;
    }
    if (errno != ENOENT)
        return errno;
    const qsizetype slash = path.lastIndexOf('/');
    if (slash <= 0)
        return ENOENT;
    if (const int error = makePath(path.left(slash)))
        return error;
    return ::mkdir(path.constData(), 0777) == 0 || errno == EEXIST ? 0 : errno;
}

/// The reason first: a status line too narrow for the path still shows it whole.
QString failure(const QString &path, const QString &reason)
{
    return RecordFile::tr("%1：%2").arg(reason, QDir::toNativeSeparators(path));
}

QString failure(const QString &path, int error)
{
    return failure(path, SystemError::text(error));
}

/// Writes all of bytes; 0, or the error that stopped it with written telling how far it came.
int writeAll(int descriptor, const QByteArray &bytes, qint64 &written)
{
    written = 0;
    while (written < bytes.size()) {
        const ssize_t count =
            ::write(descriptor, bytes.constData() + written, size_t(bytes.size() - written));
        if (count > 0)
            written += count;
        else if (count == 0)
            return EIO;
        else if (errno != EINTR)
            return errno;
    }
    return 0;
}
} // namespace

RecordFile::RecordFile(
    const QString &directory, const QString &portName, const QString &header, qint64 rolloverBytes)
    : m_directory(QDir::cleanPath(QFileInfo(directory).absoluteFilePath()))
    , m_portName(portName)
    , m_header(header.toUtf8())
    , m_rolloverBytes(rolloverBytes)
{
}

RecordFile::~RecordFile()
{
    close();
}

std::optional<QString> RecordFile::open(const QDateTime &moment)
{
    if (std::optional<QString> error = makeDirectory(m_directory))
        return error;
    return startFile(moment);
}

void RecordFile::append(const QString &row)
{
    m_pending += row.toUtf8();
}

RecordFile::Flushed RecordFile::flush(const QDateTime &moment)
{
    Flushed flushed;
    if (m_pending.isEmpty())
        return flushed;
    if (!stillInPlace()) {
        flushed.restarted = true;
        flushed.error = makeDirectory(m_directory);
        if (!flushed.error)
            flushed.error = startFile(moment);
    } else if (m_size + m_pending.size() > m_rolloverBytes && m_size > m_header.size()) {
        flushed.error = create(nextPart());
    }
    if (!flushed.error)
        flushed.error = write(m_pending);
    m_pending.clear();
    return flushed;
}

QString RecordFile::fileName() const
{
    return QFileInfo(m_path).fileName();
}

std::optional<QString> RecordFile::appendRows(
    const QString &path, const QString &header, const QString &rows)
{
    if (std::optional<QString> error = makeDirectory(QFileInfo(path).absolutePath()))
        return error;
    const RegularFile file(path, RegularFile::Access::Append);
    if (!file.isOpen())
        return failure(path, file.reason());
    const qint64 before = file.size();
    const QByteArray bytes = ((before == 0 ? header : QString()) + rows).toUtf8();
    qint64 written = 0;
    const int error = writeAll(file.descriptor(), bytes, written);
    if (error != 0 && written > 0)
        (void)::ftruncate(file.descriptor(), before);
    return error != 0 ? std::optional<QString>(failure(path, error)) : std::nullopt;
}

std::optional<QString> RecordFile::makeDirectory(const QString &directory)
{
    const QString path = QDir::cleanPath(QFileInfo(directory).absoluteFilePath());
    if (const int error = makePath(QFile::encodeName(path)))
        return failure(path, tr("无法创建文件夹，%1").arg(SystemError::text(error)));
    return std::nullopt;
}

/// A file of its own for the moment: a second connection within the same second gets a
/// numbered name.
std::optional<QString> RecordFile::startFile(const QDateTime &moment)
{
    const QString stem =
        QDir(m_directory)
            .filePath(
                moment.toLocalTime().toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss_")) + m_portName);
    const QString path = unusedPath(stem);
    m_stem = path.chopped(kExtension.size());
    m_part = 1;
    return create(path);
}

std::optional<QString> RecordFile::create(const QString &path)
{
    close();
    m_path = path;
    const QByteArray name = QFile::encodeName(path);
    m_descriptor = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (m_descriptor < 0)
        return failure(path, errno);
    if (std::optional<QString> error = write(m_header)) {
        // A file without its heading would be taken for an empty record.
        close();
        ::unlink(name.constData());
        return error;
    }
    return std::nullopt;
}

/// The file is still the one its name gives in the folder: not deleted, not moved away.
bool RecordFile::stillInPlace() const
{
    struct stat opened = {};
    struct stat named = {};
    return ::fstat(m_descriptor, &opened) == 0 && opened.st_nlink > 0
        && ::stat(QFile::encodeName(m_path).constData(), &named) == 0
        && named.st_dev == opened.st_dev && named.st_ino == opened.st_ino;
}

/// On a short write the file is cut back to the last row it took whole.
std::optional<QString> RecordFile::write(const QByteArray &bytes)
{
    qint64 written = 0;
    if (const int error = writeAll(m_descriptor, bytes, written)) {
        const qsizetype lastRowEnd = written < 2 ? -1 : bytes.lastIndexOf("\r\n", written - 2);
        const qint64 whole = lastRowEnd < 0 ? 0 : lastRowEnd + 2;
        if (::ftruncate(m_descriptor, m_size + whole) == 0)
            ::lseek(m_descriptor, m_size + whole, SEEK_SET);
        m_size += whole;
        return failure(m_path, error);
    }
    m_size += written;
    return std::nullopt;
}

QString RecordFile::unusedPath(const QString &stem) const
{
    QString path = stem + kExtension;
    for (int number = 2; QFileInfo::exists(path); ++number)
        path = QStringLiteral("%1_%2%3").arg(stem).arg(number).arg(kExtension);
    return path;
}

QString RecordFile::nextPart()
{
    QString path;
    do
        path = QStringLiteral("%1_%2%3").arg(m_stem).arg(++m_part).arg(kExtension);
    while (QFileInfo::exists(path));
    return path;
}

void RecordFile::close()
{
    if (m_descriptor >= 0)
        ::close(m_descriptor);
    m_descriptor = -1;
    m_size = 0;
}
