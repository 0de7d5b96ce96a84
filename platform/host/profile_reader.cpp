#include "profile_reader.h"

#include "system_error.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {
// The reader fills a 255-character buffer, the last of which holds the terminating NUL.
constexpr qsizetype kLongestValue = 254;

bool sameName(QStringView a, QStringView b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QStringView sectionName(QStringView header)
{
    const qsizetype close = header.indexOf(u']');
    return header.mid(1, close < 0 ? -1 : close - 1).trimmed();
}

QString unquoted(QStringView value)
{
    if (value.size() >= 2 && value.front() == value.back()
        && (value.front() == u'"' || value.front() == u'\''))
        value = value.mid(1, value.size() - 2);
    return value.toString();
}
} // namespace

QString readProfileString(const QString &section, const QString &key, const QString &path)
{
    // Opening a FIFO or a device would block until someone writes to it.
    if (!QFileInfo(path).isFile())
        return QString();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return parseProfileString(section, key, file.read(kLargestProfile));
}

QString parseProfileString(const QString &section, const QString &key, const QByteArray &contents)
{
    QString text = QString::fromLocal8Bit(contents.left(kLargestProfile));
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);

    bool inSection = false;
    for (QStringView line : QStringView(text).split(u'\n')) {
        line = line.trimmed();
        if (line.isEmpty() || line.front() == u';')
            continue;
        if (line.front() == u'[') {
            inSection = sameName(sectionName(line), section);
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (!inSection || equals < 0 || !sameName(line.left(equals).trimmed(), key))
            continue;
        return unquoted(line.mid(equals + 1).trimmed()).left(kLongestValue);
    }
    return QString();
}

ProfileFileCheck checkProfileFile(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return {ProfileFileCheck::Outcome::Missing, {}};
    if (!info.isFile())
        return {ProfileFileCheck::Outcome::NotRegular, {}};
    // Opened as the reader opens it, the reason in the console's own words; never waits, should
    // the file have become a FIFO since.
    const int descriptor =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0)
        return {ProfileFileCheck::Outcome::Unreadable, SystemError::text(errno)};
    ::close(descriptor);
    if (info.size() > kLargestProfile)
        return {ProfileFileCheck::Outcome::TooLarge, {}};
    return {ProfileFileCheck::Outcome::Readable, {}};
}
