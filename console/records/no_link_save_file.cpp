#include "no_link_save_file.h"

#include "system_error.h"

#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr int kFreshNameTries = 100;

/// Six letters or digits, as mkstemp gives, for a name nobody could have planted beforehand.
QByteArray randomSuffix()
{
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QByteArray suffix(".", 1);
    for (int at = 0; at < 6; ++at)
        suffix += kLetters[QRandomGenerator::global()->bounded(int(sizeof(kLetters) - 1))];
    return suffix;
}
} // namespace

NoLinkSaveFile::NoLinkSaveFile(const QString &path)
    : m_path(path)
{
}

NoLinkSaveFile::~NoLinkSaveFile()
{
    discard();
}

bool NoLinkSaveFile::isLink(const QString &path)
{
    struct stat info = {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 && S_ISLNK(info.st_mode);
}

QString NoLinkSaveFile::linkRefused()
{
    return tr("此处是符号链接，未经它写入");
}

/// O_EXCL never opens what is already there, a planted link included; the mode is the one a
/// new file gets, or the replaced file's own.
bool NoLinkSaveFile::open()
{
    if (isLink(m_path)) {
        m_error = linkRefused();
        return false;
    }
    const QByteArray name = QFile::encodeName(m_path);
    int descriptor = -1;
    for (int tries = 0; descriptor < 0 && tries < kFreshNameTries; ++tries) {
        m_fresh = name + randomSuffix();
        descriptor =
            ::open(m_fresh.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (descriptor < 0 && errno != EEXIST) {
            m_fresh.clear();
            return fail(errno);
        }
    }
    if (descriptor < 0) {
        m_fresh.clear();
        return fail(EEXIST);
    }
    struct stat replaced = {};
    if (::lstat(name.constData(), &replaced) == 0 && S_ISREG(replaced.st_mode))
        ::fchmod(descriptor, replaced.st_mode & 07777);
    if (!m_file.open(descriptor, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
        ::close(descriptor);
        return fail(EIO);
    }
    return true;
}

/// The link is looked for once more just before the rename: a rename replaces a link planted
/// since without following it, so the look only decides whether to say no.
bool NoLinkSaveFile::commit()
{
    if (m_fresh.isEmpty())
        return false;
    if (!m_file.flush()) {
        const QString reason = m_file.errorString();
        discard();
        m_error = reason;
        return false;
    }
    if (::fsync(m_file.handle()) != 0)
        return fail(errno);
    m_file.close();
    if (isLink(m_path)) {
        discard();
        m_error = linkRefused();
        return false;
    }
    if (::rename(m_fresh.constData(), QFile::encodeName(m_path).constData()) != 0)
        return fail(errno);
    m_fresh.clear();
    return true;
}

bool NoLinkSaveFile::fail(int error)
{
    m_error = SystemError::text(error);
    discard();
    return false;
}

void NoLinkSaveFile::discard()
{
    m_file.close();
    if (!m_fresh.isEmpty())
        ::unlink(m_fresh.constData());
    m_fresh.clear();
}
