#include "device_return_watcher.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

DeviceReturnWatcher::DeviceReturnWatcher(QObject *parent)
    : QObject(parent)
{
    m_timer.setInterval(kCheckInterval);
    connect(&m_timer, &QTimer::timeout, this, &DeviceReturnWatcher::check);
    connect(&m_folders, &QFileSystemWatcher::directoryChanged, this, [this] {
        // The folder watched may have gone, or a nearer one come.
        if (isWatching())
            watchNearestFolder();
        check();
    });
}

void DeviceReturnWatcher::watch(const QString &devicePath)
{
    stop();
    if (devicePath.isEmpty())
        return;
    m_devicePath = devicePath;
    watchNearestFolder();
    m_timer.start();
}

void DeviceReturnWatcher::stop()
{
    m_timer.stop();
    if (!m_folders.directories().isEmpty())
        m_folders.removePaths(m_folders.directories());
    m_devicePath.clear();
}

bool DeviceReturnWatcher::isReady(const QString &devicePath)
{
#ifdef Q_OS_UNIX
    const QByteArray path = QFile::encodeName(devicePath);
    struct stat node
    {
    };
    return ::stat(path.constData(), &node) == 0 && S_ISCHR(node.st_mode)
        && ::access(path.constData(), R_OK | W_OK) == 0;
#else
    return QFileInfo::exists(devicePath);
#endif
}

void DeviceReturnWatcher::check()
{
    if (!isWatching())
        return;
    if (!isReady(m_devicePath))
        return;
    const QString returned = m_devicePath;
    stop();
    emit deviceReturned(returned);
}

void DeviceReturnWatcher::watchNearestFolder()
{
    QDir folder = QFileInfo(m_devicePath).absoluteDir();
    while (!folder.exists() && !folder.isRoot())
        folder.setPath(QFileInfo(folder.path()).absolutePath());
    const QStringList watched = m_folders.directories();
    if (watched == QStringList{folder.path()})
        return;
    if (!watched.isEmpty())
        m_folders.removePaths(watched);
    m_folders.addPath(folder.path());
}
