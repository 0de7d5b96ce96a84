#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QTimer>

/// Waits, at no cost worth measuring, for a lost device to be back at its path: a watch on the
/// nearest folder of the path that exists, and a look at the node twice a second for what that
/// folder does not show (a node behind a link left in place). It never gives up.
class DeviceReturnWatcher : public QObject
{
    Q_OBJECT

public:
    static constexpr int kCheckInterval = 500;

    explicit DeviceReturnWatcher(QObject *parent = nullptr);

    /// Waits for the device at this path (a node or a link to one), ending any earlier wait. The
    /// first look comes with the folder's first change or after one interval, so that a device
    /// that is there but will not open is tried at most twice a second.
    void watch(const QString &devicePath);
    void stop();
    bool isWatching() const { return !m_devicePath.isEmpty(); }
    QString devicePath() const { return m_devicePath; }

    /// A character device (a serial line, a pseudo-terminal) at the path, through any links,
    /// that this user may read and write. Looks at the node only; never opens it.
    static bool isReady(const QString &devicePath);

signals:
    /// Once per wait, which ends with it.
    void deviceReturned(const QString &devicePath);

private:
    void check();
    void watchNearestFolder();

    QString m_devicePath;
    QTimer m_timer;
    QFileSystemWatcher m_folders;
};
