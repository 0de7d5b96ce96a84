#include "device_return_watcher.h"
#include "pty_pair.h"
#include "simulator_process.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

/// Waiting for a lost device to come back, on files, links and the simulator's pseudo-terminal.
class tst_DeviceReturnWatcher : public QObject
{
    Q_OBJECT

private slots:
    void readiness_data();
    void readiness();
    void reportsTheDeviceOnItsReturn_data();
    void reportsTheDeviceOnItsReturn();
    void stopEndsTheWait();
    void simulatorDeviceReturnsBehindItsLink();
};

void tst_DeviceReturnWatcher::readiness_data()
{
    // What stands at the path: "link:TARGET", "file", "folder" or nothing; "pty" a
    // pseudo-terminal's node.
    QTest::addColumn<QString>("entry");
    QTest::addColumn<bool>("ready");
    QTest::newRow("nothing") << QString() << false;
    QTest::newRow("link to a character device") << QStringLiteral("link:/dev/null") << true;
    QTest::newRow("pseudo-terminal") << QStringLiteral("pty") << true;
    QTest::newRow("link to nothing") << QStringLiteral("link:/nonexistent/ttyUSB0") << false;
    QTest::newRow("regular file") << QStringLiteral("file") << false;
    QTest::newRow("folder") << QStringLiteral("folder") << false;
    QTest::newRow("link to a regular file") << QStringLiteral("link:file") << false;
}

void tst_DeviceReturnWatcher::readiness()
{
    QFETCH(QString, entry);
    QFETCH(bool, ready);
    QTemporaryDir dir;
    PtyPair pty;
    QVERIFY(dir.isValid() && pty.isValid());
    QString path = dir.filePath(QStringLiteral("ttyUSB0"));
    QFile file(dir.filePath(QStringLiteral("file")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    if (entry == QLatin1String("pty"))
        path = pty.devicePath();
    else if (entry == QLatin1String("file"))
        path = file.fileName();
    else if (entry == QLatin1String("folder"))
        path = dir.path();
    else if (entry == QLatin1String("link:file"))
        QVERIFY(QFile::link(file.fileName(), path));
    else if (entry.startsWith(QLatin1String("link:")))
        QVERIFY(QFile::link(entry.mid(5), path));
    QCOMPARE(DeviceReturnWatcher::isReady(path), ready);
}

void tst_DeviceReturnWatcher::reportsTheDeviceOnItsReturn_data()
{
    // The path waited for is WAITED (relative to a temporary folder); the steps then make it
    // usable: "mkdir DIR", "rmdir DIR", "link PATH TARGET" (TARGET relative, or absolute).
    QTest::addColumn<QString>("waited");
    QTest::addColumn<QStringList>("steps");
    QTest::newRow("a link appears in the folder")
        << QStringLiteral("by-id/usb-A-port0")
        << QStringList{"mkdir by-id", "watch", "link by-id/usb-A-port0 /dev/null"};
    QTest::newRow("its folder is made after the wait began")
        << QStringLiteral("serial/by-id/usb-A-port0")
        << QStringList{"watch", "mkdir serial", "mkdir serial/by-id",
               "link serial/by-id/usb-A-port0 /dev/null"};
    QTest::newRow("its folder goes and comes back")
        << QStringLiteral("by-id/usb-A-port0")
        << QStringList{"mkdir by-id", "watch", "rmdir by-id", "mkdir by-id",
               "link by-id/usb-A-port0 /dev/null"};
    QTest::newRow("the node appears behind a link left in place, in another folder")
        << QStringLiteral("links/ttyLINK")
        << QStringList{"mkdir links", "mkdir nodes", "link links/ttyLINK nodes/ttyUSB1", "watch",
               "link nodes/ttyUSB1 /dev/null"};
    QTest::newRow("already there")
        << QStringLiteral("ttyUSB0") << QStringList{"link ttyUSB0 /dev/null", "watch"};
}

void tst_DeviceReturnWatcher::reportsTheDeviceOnItsReturn()
{
    QFETCH(QString, waited);
    QFETCH(QStringList, steps);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QDir root(dir.path());
    const QString path = root.filePath(waited);
    DeviceReturnWatcher watcher;
    QSignalSpy returned(&watcher, &DeviceReturnWatcher::deviceReturned);
    for (const QString &step : steps) {
        // Each step is seen by the watcher before the next one is taken; only the last makes
        // the device usable.
        QCoreApplication::processEvents();
        QCOMPARE(returned.count(), 0);
        const QStringList words = step.split(u' ');
        if (words[0] == QLatin1String("watch")) {
            watcher.watch(path);
        } else if (words[0] == QLatin1String("mkdir")) {
            QVERIFY(root.mkdir(words[1]));
        } else if (words[0] == QLatin1String("rmdir")) {
            QVERIFY(root.rmdir(words[1]));
        } else {
            const QString target = words[2].startsWith(u'/') ? words[2] : root.filePath(words[2]);
            QVERIFY(QFile::link(target, root.filePath(words[1])));
        }
    }
    QVERIFY(watcher.isWatching());
    QTRY_COMPARE(returned.count(), 1);
    QCOMPARE(returned.first().first().toString(), path);
    QVERIFY(!watcher.isWatching());
}

/// A stopped wait reports nothing; a second watcher on the same path is the clock that shows
/// the first had its chance.
void tst_DeviceReturnWatcher::stopEndsTheWait()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("ttyUSB0"));
    DeviceReturnWatcher stopped;
    QSignalSpy stoppedReturned(&stopped, &DeviceReturnWatcher::deviceReturned);
    stopped.watch(path);
    QVERIFY(stopped.isWatching());
    stopped.stop();
    QVERIFY(!stopped.isWatching());
    QVERIFY(QFile::link(QStringLiteral("/dev/null"), path));

    DeviceReturnWatcher clock;
    QSignalSpy clockReturned(&clock, &DeviceReturnWatcher::deviceReturned);
    clock.watch(path);
    QTRY_COMPARE(clockReturned.count(), 1);
    QCOMPARE(stoppedReturned.count(), 0);
}

/// The simulator's pulled and replugged cable: the device and its link go, then a new
/// pseudo-terminal comes behind the same link.
void tst_DeviceReturnWatcher::simulatorDeviceReturnsBehindItsLink()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    SimulatorProcess simulator(dir.filePath(QStringLiteral("ttyTERMIVA")), {});
    QVERIFY(simulator.start());
    simulator.command(QStringLiteral("drop"));
    QTRY_VERIFY(!QFileInfo(simulator.link()).isSymLink());
    DeviceReturnWatcher watcher;
    QSignalSpy returned(&watcher, &DeviceReturnWatcher::deviceReturned);
    watcher.watch(simulator.link());
    QCoreApplication::processEvents();
    QCOMPARE(returned.count(), 0);

    simulator.command(QStringLiteral("restore"));
    QTRY_COMPARE(returned.count(), 1);
    QVERIFY(DeviceReturnWatcher::isReady(simulator.link()));
    QVERIFY(simulator.stop());
}

QTEST_GUILESS_MAIN(tst_DeviceReturnWatcher)
#include "tst_device_return_watcher.moc"
