#include "device_access.h"
#include "pty_pair.h"
#include "serial_comm.h"

#include <QFile>
#include <QSerialPort>
#include <QSignalSpy>
#include <QSocketNotifier>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <memory>
#include <vector>

/// The serial component on real pseudo-terminals.
class tst_SerialComm : public QObject
{
    Q_OBJECT

private slots:
    void opensAndClosesADevice();
    void failureCodesOnOpen();
    void deviceHeldByAnotherOpen();
    void accessAdviceFollowsTheDevicesPermissions_data();
    void accessAdviceFollowsTheDevicesPermissions();
    void deviceTheUserMayNotOpenSaysHowToMendIt_data();
    void deviceTheUserMayNotOpenSaysHowToMendIt();
    void linkAndRealPathShareOneLock_data();
    void linkAndRealPathShareOneLock();
    void oneEventPerByteOfABurst();
    void outputReachesTheLineByteExact();
    void vanishedPeerClosesThePortWithoutAnErrorStorm();
    void transferErrorsCloseOnlyALostLine_data();
    void transferErrorsCloseOnlyALostLine();
    void secondReaderOnTheDeviceIsNotALostLine();
    void reopenAfterALossFindsTheAdapterAsItsNewNode();

private:
    static std::unique_ptr<SerialComm> portOn(const QString &device, int port = 1);
};

std::unique_ptr<SerialComm> tst_SerialComm::portOn(const QString &device, int port)
{
    PortMap map;
    map.setDevice(port, device);
    auto comm = std::make_unique<SerialComm>(map);
    comm->setInputLen(1);
    comm->setRThreshold(1);
    (void)comm->setCommPort(port);
    return comm;
}

void tst_SerialComm::opensAndClosesADevice()
{
    PtyPair pty;
    QVERIFY(pty.isValid());
    const auto comm = portOn(pty.devicePath(), 3);
    QCOMPARE(comm->DeviceName(3), pty.devicePath());
    QVERIFY(!comm->PortOpen());
    QVERIFY(!comm->setPortOpen(true));
    QVERIFY(comm->PortOpen());
    QVERIFY(!comm->setPortOpen(false));
    QVERIFY(!comm->PortOpen());
    QVERIFY(!comm->setPortOpen(true));
    QVERIFY(comm->PortOpen());
}

void tst_SerialComm::failureCodesOnOpen()
{
    const auto missing = portOn(QStringLiteral("/dev/termiva-no-such-device"));
    const std::optional<CommError> absent = missing->setPortOpen(true);
    QVERIFY(absent);
    QCOMPARE(absent->code, CommCode::DeviceUnavailable);
    QCOMPARE(absent->cause, QStringLiteral("设备不存在"));
    QVERIFY2(absent->detail.contains(QLatin1String("/dev/termiva-no-such-device: ")),
        qPrintable(absent->detail));
    // Closing what is not open does nothing and is no failure.
    QVERIFY(!missing->setPortOpen(false));
    QVERIFY(!missing->PortOpen());

    const auto unmapped = portOn(QString());
    QCOMPARE(unmapped->setPortOpen(true)->code, CommCode::InvalidPortNumber);
    QCOMPARE(unmapped->setCommPort(17)->code, CommCode::InvalidPortNumber);
}

void tst_SerialComm::deviceHeldByAnotherOpen()
{
    PtyPair pty;
    QVERIFY(pty.isValid());
    const auto first = portOn(pty.devicePath());
    const auto second = portOn(pty.devicePath());
    QVERIFY(!first->setPortOpen(true));
    const std::optional<CommError> held = second->setPortOpen(true);
    QVERIFY(held);
    QCOMPARE(held->code, CommCode::PortAlreadyOpen);
    QCOMPARE(held->cause, QStringLiteral("已被其他程序占用"));
    QVERIFY2(held->detail.startsWith(pty.devicePath()), qPrintable(held->detail));
    QVERIFY(!second->PortOpen());
    QVERIFY(!first->setPortOpen(false));
    QVERIFY(!second->setPortOpen(true));
}

namespace {
/// Root opens any device; to meet a refusal the test acts as nobody in no group for a while,
/// keeping root as its saved identity to come back to.
class ActingAsNobody
{
public:
    ActingAsNobody()
        : m_groups(std::max(::getgroups(0, nullptr), 0))
    {
        if (::geteuid() != 0 || ::getgroups(int(m_groups.size()), m_groups.data()) < 0)
            return;
        m_switched = ::setgroups(0, nullptr) == 0 && ::setresgid(kNobody, kNobody, 0) == 0
            && ::setresuid(kNobody, kNobody, 0) == 0;
    }
    ~ActingAsNobody()
    {
        if (!m_switched)
            return;
        (void)::setresuid(0, 0, 0);
        (void)::setresgid(0, 0, 0);
        (void)::setgroups(m_groups.size(), m_groups.data());
    }
    ActingAsNobody(const ActingAsNobody &) = delete;
    ActingAsNobody &operator=(const ActingAsNobody &) = delete;

private:
    static constexpr uid_t kNobody = 65534;
    std::vector<gid_t> m_groups;
    bool m_switched = false;
};
} // namespace

void tst_SerialComm::accessAdviceFollowsTheDevicesPermissions_data()
{
    using Remedy = DeviceAccess::Remedy;
    QTest::addColumn<QString>("group");
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("unfitToJoin");
    QTest::addColumn<bool>("listed");
    QTest::addColumn<bool>("processHasGroup");
    QTest::addColumn<Remedy>("remedy");
    QTest::newRow("dialout 660") << "dialout" << 0660 << false << false << false
                                 << Remedy::JoinGroup;
    QTest::newRow("dialout 660, joined since logging in")
        << "dialout" << 0660 << false << true << false << Remedy::LogInAgain;
    QTest::newRow("dialout 600: the group may not use it")
        << "dialout" << 0600 << false << false << false << Remedy::None;
    QTest::newRow("dialout 640: the group may only read")
        << "dialout" << 0640 << false << false << false << Remedy::None;
    QTest::newRow("dialout 620: the group may only write")
        << "dialout" << 0620 << false << false << false << Remedy::None;
    QTest::newRow("root 660") << "root" << 0660 << true << false << false << Remedy::None;
    QTest::newRow("a group with a superuser, 660")
        << "wheel" << 0660 << true << true << false << Remedy::None;
    QTest::newRow("group already held, still refused")
        << "dialout" << 0660 << false << true << true << Remedy::None;
    QTest::newRow("uucp 2660 (set-group-id)")
        << "uucp" << 02660 << false << false << false << Remedy::JoinGroup;
}

/// Joining a group is advised only where joining gives the right to read and write, and never
/// a superuser's group; otherwise the advice names owner, group and mode.
void tst_SerialComm::accessAdviceFollowsTheDevicesPermissions()
{
    QFETCH(QString, group);
    QFETCH(int, mode);
    QFETCH(bool, unfitToJoin);
    QFETCH(bool, listed);
    QFETCH(bool, processHasGroup);
    QFETCH(DeviceAccess::Remedy, remedy);
    DeviceAccess access;
    access.owner = QStringLiteral("root");
    access.group = group;
    access.mode = mode;
    access.unfitToJoin = unfitToJoin;
    access.listedInGroup = listed;
    access.processHasGroup = processHasGroup;
    QCOMPARE(access.remedy(), remedy);
    const QString advice = access.advice();
    QCOMPARE(advice.contains(QLatin1String("usermod")), remedy == DeviceAccess::Remedy::JoinGroup);
    if (remedy == DeviceAccess::Remedy::JoinGroup)
        QVERIFY2(advice.contains(QStringLiteral("sudo usermod -aG %1 $USER").arg(group)),
            qPrintable(advice));
    if (remedy == DeviceAccess::Remedy::LogInAgain)
        QVERIFY2(advice.contains(QStringLiteral("注销并重新登录")), qPrintable(advice));
    if (remedy == DeviceAccess::Remedy::None) {
        const QString facts = QStringLiteral("所有者 root，组 %1，权限 %2")
                                  .arg(group, QString::number(mode & 0777, 8));
        QVERIFY2(advice.contains(facts), qPrintable(advice));
    }
}

void tst_SerialComm::deviceTheUserMayNotOpenSaysHowToMendIt_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("rootsGroup");
    QTest::addColumn<QString>("advice");
    QTest::newRow("root:tty 000") << 0 << false << QStringLiteral("权限 000");
    QTest::newRow("root:tty 600") << 0600 << false << QStringLiteral("权限 600");
    QTest::newRow("root:root 660")
        << 0660 << true << QStringLiteral("所有者 root，组 root，权限 660");
    QTest::newRow("root:tty 660") << 0660 << false << QStringLiteral("sudo usermod -aG tty $USER");
}

/// On a real device, as a user the device refuses: a short cause, and advice that fits the
/// device's owner, group and mode behind it.
void tst_SerialComm::deviceTheUserMayNotOpenSaysHowToMendIt()
{
    QFETCH(int, mode);
    QFETCH(bool, rootsGroup);
    QFETCH(QString, advice);
    PtyPair pty;
    QVERIFY(pty.isValid());
    const QByteArray path = QFile::encodeName(pty.devicePath());
    const group *tty = ::getgrnam("tty");
    QVERIFY(tty);
    QCOMPARE(::chown(path.constData(), 0, rootsGroup ? 0 : tty->gr_gid), 0);
    QCOMPARE(::chmod(path.constData(), mode_t(mode)), 0);
    const auto comm = portOn(pty.devicePath());
    std::optional<CommError> denied;
    {
        const ActingAsNobody nobody;
        denied = comm->setPortOpen(true);
    }
    QVERIFY(denied);
    QCOMPARE(denied->code, CommCode::PortAlreadyOpen);
    QCOMPARE(denied->cause, QStringLiteral("没有访问权限"));
    QVERIFY2(denied->detail.startsWith(pty.devicePath() + QLatin1String(": ")),
        qPrintable(denied->detail));
    QVERIFY2(denied->detail.contains(advice), qPrintable(denied->detail));
    QCOMPARE(denied->detail.contains(QLatin1String("usermod -aG root")), false);
    QVERIFY(!comm->PortOpen());
}

void tst_SerialComm::linkAndRealPathShareOneLock_data()
{
    QTest::addColumn<bool>("linkFirst");
    QTest::newRow("link, then real path") << true;
    QTest::newRow("real path, then link") << false;
}

void tst_SerialComm::linkAndRealPathShareOneLock()
{
    QFETCH(bool, linkFirst);
    PtyPair pty;
    QVERIFY(pty.isValid());
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString link = dir.filePath(QStringLiteral("ttyLINK"));
    QVERIFY(QFile::link(pty.devicePath(), link));
    const auto first = portOn(linkFirst ? link : pty.devicePath());
    const auto second = portOn(linkFirst ? pty.devicePath() : link);
    QVERIFY(!first->setPortOpen(true));
    const std::optional<CommError> held = second->setPortOpen(true);
    QVERIFY(held);
    QCOMPARE(held->code, CommCode::PortAlreadyOpen);
    QCOMPARE(held->cause, QStringLiteral("已被其他程序占用"));
    QVERIFY(!first->setPortOpen(false));
    QVERIFY(!second->setPortOpen(true));
}

void tst_SerialComm::oneEventPerByteOfABurst()
{
    PtyPair pty;
    QVERIFY(pty.isValid());
    const auto comm = portOn(pty.devicePath());
    QString received;
    int events = 0;
    connect(comm.get(), &MSComm::OnComm, this, [&] {
        ++events;
        const CommInput input = comm->Input();
        QCOMPARE(input.text.size(), 1);
        received += input.text;
    });
    QVERIFY(!comm->setPortOpen(true));
    QByteArray burst;
    for (int round = 0; round < 8; ++round) {
        for (int code = 0; code < 256; ++code)
            burst.append(char(code));
    }
    QVERIFY(pty.send(burst));
    QTRY_COMPARE(received.size(), burst.size());
    QCOMPARE(events, burst.size());
    for (int i = 0; i < burst.size(); ++i)
        QCOMPARE(received.at(i).unicode(), static_cast<unsigned char>(burst.at(i)));
}

void tst_SerialComm::outputReachesTheLineByteExact()
{
    PtyPair pty;
    QVERIFY(pty.isValid());
    const auto comm = portOn(pty.devicePath());
    QVERIFY(!comm->setPortOpen(true));
    const QString command = QStringLiteral(" s0450 P009 I004 D002 T040 \r\n");
    QString everyByte;
    for (int code = 0; code < 256; ++code)
        everyByte.append(QChar(code));
    QVERIFY(!comm->setOutput(command));
    QVERIFY(!comm->setOutput(everyByte));
    QByteArray expected = command.toLatin1();
    for (int code = 0; code < 256; ++code)
        expected.append(char(code));
    QTRY_COMPARE(pty.received(), expected);
}

void tst_SerialComm::vanishedPeerClosesThePortWithoutAnErrorStorm()
{
    PtyPair pty;
    QVERIFY(pty.isValid());
    const auto comm = portOn(pty.devicePath());
    QVERIFY(!comm->setPortOpen(true));
    auto *serialPort = comm->findChild<QSerialPort *>();
    QVERIFY(serialPort);
    QSignalSpy errors(serialPort, &QSerialPort::errorOccurred);
    QSignalSpy lost(comm.get(), &MSComm::connectionLost);

    pty.vanish();
    QTRY_COMPARE(lost.count(), 1);
    QVERIFY(!comm->PortOpen());
    QTest::qWait(300);
    QCOMPARE(lost.count(), 1);
    QVERIFY2(errors.count() < 5, qPrintable(QString::number(errors.count())));
    const auto error = lost.first().first().value<CommError>();
    QCOMPARE(error.code, CommCode::DeviceUnavailable);
    QCOMPARE(error.cause, QStringLiteral("设备已断开"));
    QVERIFY2(error.detail.startsWith(pty.devicePath()), qPrintable(error.detail));
    QCOMPARE(comm->Input().error->code, CommCode::OperationNeedsOpenPort);
}

void tst_SerialComm::transferErrorsCloseOnlyALostLine_data()
{
    QTest::addColumn<QSerialPort::SerialPortError>("error");
    QTest::addColumn<bool>("cablePulled");
    QTest::newRow("read error, cable pulled") << QSerialPort::ReadError << true;
    QTest::newRow("resource error, cable pulled") << QSerialPort::ResourceError << true;
    QTest::newRow("write error, cable pulled") << QSerialPort::WriteError << true;
    QTest::newRow("read error, line fine") << QSerialPort::ReadError << false;
    QTest::newRow("resource error, line fine") << QSerialPort::ResourceError << false;
}

/// Whatever QSerialPort calls the failure, only the device's own state decides a loss.
void tst_SerialComm::transferErrorsCloseOnlyALostLine()
{
    QFETCH(QSerialPort::SerialPortError, error);
    QFETCH(bool, cablePulled);
    PtyPair pty;
    QVERIFY(pty.isValid());
    const auto comm = portOn(pty.devicePath());
    QString received;
    connect(comm.get(), &MSComm::OnComm, this, [&] { received += comm->Input().text; });
    QSignalSpy lost(comm.get(), &MSComm::connectionLost);
    QVERIFY(!comm->setPortOpen(true));
    auto *serialPort = comm->findChild<QSerialPort *>();
    QVERIFY(serialPort);

    if (cablePulled)
        pty.vanish();
    // QSerialPort stops watching the line for data before it reports a resource error.
    if (error == QSerialPort::ResourceError) {
        int switchedOff = 0;
        for (QSocketNotifier *notifier : serialPort->findChildren<QSocketNotifier *>()) {
            if (notifier->type() == QSocketNotifier::Read && notifier->isEnabled()) {
                notifier->setEnabled(false);
                ++switchedOff;
            }
        }
        QCOMPARE(switchedOff, 1);
    }
    emit serialPort->errorOccurred(error);
    QCOMPARE(lost.count(), cablePulled ? 1 : 0);
    QCOMPARE(comm->PortOpen(), !cablePulled);
    if (cablePulled) {
        QCOMPARE(lost.first().first().value<CommError>().cause, QStringLiteral("设备已断开"));
        return;
    }
    QVERIFY(pty.send("still here"));
    QTRY_COMPARE(received, QStringLiteral("still here"));
    QCOMPARE(lost.count(), 0);
}

void tst_SerialComm::secondReaderOnTheDeviceIsNotALostLine()
{
    PtyPair pty;
    QVERIFY(pty.isValid());
    // Another program reading the same device: woken by the same data, it takes the bytes first.
    const int thief =
        ::open(QFile::encodeName(pty.devicePath()).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    QVERIFY(thief >= 0);
    QByteArray stolen;
    auto notifier = std::make_unique<QSocketNotifier>(thief, QSocketNotifier::Read);
    connect(notifier.get(), &QSocketNotifier::activated, this, [&] {
        char buffer[256];
        ssize_t count = 0;
        while ((count = ::read(thief, buffer, sizeof buffer)) > 0)
            stolen.append(buffer, count);
    });
    const auto comm = portOn(pty.devicePath());
    QString received;
    connect(comm.get(), &MSComm::OnComm, this, [&] { received += comm->Input().text; });
    QSignalSpy lost(comm.get(), &MSComm::connectionLost);
    QVERIFY(!comm->setPortOpen(true));

    QTimer talker;
    connect(&talker, &QTimer::timeout, this, [&] { QVERIFY(pty.send("st=0600\r\n")); });
    talker.start(5);
    QTRY_VERIFY(stolen.size() >= 200);
    talker.stop();
    QCOMPARE(lost.count(), 0);
    QVERIFY(comm->PortOpen());

    notifier.reset();
    ::close(thief);
    received.clear();
    QVERIFY(pty.send("mine"));
    QTRY_VERIFY(received.endsWith(QLatin1String("mine")));
    QCOMPARE(lost.count(), 0);
}

/// A replugged adapter: the stable link now leads to another node, and the same port number
/// opens that one and reads what it sends.
void tst_SerialComm::reopenAfterALossFindsTheAdapterAsItsNewNode()
{
    PtyPair before;
    PtyPair after;
    QVERIFY(before.isValid() && after.isValid());
    QTemporaryDir byId;
    QVERIFY(byId.isValid());
    const QString link =
        byId.filePath(QStringLiteral("usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0"));
    QVERIFY(QFile::link(before.devicePath(), link));
    SerialComm comm(PortMap::fromSettings(
        QStringLiteral("/nonexistent/tarvex.ini"), {before.devicePath()}, byId.path()));
    comm.setInputLen(1);
    comm.setRThreshold(1);
    QCOMPARE(comm.DeviceName(1), link);
    QCOMPARE(
        comm.DeviceDescription(1), link + QStringLiteral("\n当前设备：") + before.devicePath());
    QString received;
    connect(&comm, &MSComm::OnComm, this, [&] { received += comm.Input().text; });
    QSignalSpy lost(&comm, &MSComm::connectionLost);
    QVERIFY(!comm.setPortOpen(true));
    QVERIFY(before.send("old\r\n"));
    QTRY_COMPARE(received, QStringLiteral("old\r\n"));

    before.vanish();
    QTRY_COMPARE(lost.count(), 1);
    const auto error = lost.first().first().value<CommError>();
    QCOMPARE(error.cause, QStringLiteral("设备已断开"));
    QVERIFY2(error.detail.startsWith(before.devicePath()), qPrintable(error.detail));
    QVERIFY(QFile::remove(link));
    QVERIFY(QFile::link(after.devicePath(), link));
    QCOMPARE(comm.DeviceDescription(1), link + QStringLiteral("\n当前设备：") + after.devicePath());

    QVERIFY(!comm.setPortOpen(true));
    QVERIFY(after.send("new\r\n"));
    QTRY_COMPARE(received, QStringLiteral("old\r\nnew\r\n"));
    QVERIFY(!comm.setOutput(QStringLiteral("S0450")));
    QTRY_COMPARE(after.received(), QByteArray("S0450"));
}

QTEST_GUILESS_MAIN(tst_SerialComm)
#include "tst_serial_comm.moc"
