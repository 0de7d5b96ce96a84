#include "regular_file.h"

#include "records/no_link_save_file.h"
#include "system_error.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
bool isRegular(const struct stat &info)
{
    return S_ISREG(info.st_mode);
}
} // namespace

/// The path is looked at before it is opened, so that a device is never opened at all, and the
/// open itself does not wait (a FIFO swapped in between is refused by what was opened).
RegularFile::RegularFile(const QString &path, Access access)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat info = {};
    if (::stat(name.constData(), &info) == 0 && !isRegular(info)) {
        m_notRegular = true;
        return;
    }
    const int flags =
        access == Access::Read ? O_RDONLY : O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW;
    const int descriptor =
        ::open(name.constData(), flags | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, 0666);
    if (descriptor < 0) {
        m_error = errno;
        m_link = m_error == ELOOP && ::lstat(name.constData(), &info) == 0 && S_ISLNK(info.st_mode);
        return;
    }
    if (::fstat(descriptor, &info) != 0 || !isRegular(info)) {
        m_notRegular = true;
        ::close(descriptor);
        return;
    }
    ::fcntl(descriptor, F_SETFL, ::fcntl(descriptor, F_GETFL) & ~O_NONBLOCK);
    m_descriptor = descriptor;
    m_size = info.st_size;
}

RegularFile::~RegularFile()
{
    if (m_descriptor >= 0)
        ::close(m_descriptor);
}

QString RegularFile::reason() const
{
    if (m_notRegular)
        return tr("不是普通文件");
    if (m_link)
        return NoLinkSaveFile::linkRefused();
    return m_error != 0 ? SystemError::text(m_error) : QString();
}
