#include "serial_comm.h"
#include "simulator_process.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

/// The console's serial component on the simulator's device: lines arrive whole, commands
/// arrive byte-exact, and the simulator leaves no link behind.
class tst_SimEndToEnd : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void linesArriveAndCommandsGoOut();
    void droppedDeviceComesBackBehindTheSameLink();

private:
    QStringList completeLines() const;

    QTemporaryDir m_dir;
    std::unique_ptr<SimulatorProcess> m_simulator;
    QString m_link;
    QString m_received;
};

void tst_SimEndToEnd::init()
{
    QVERIFY(m_dir.isValid());
    m_link = m_dir.filePath(QStringLiteral("ttyTERMIVA"));
    SimulatorProcess::Options options;
    options.periodMs = 100;
    options.speed = 10;
    options.noise = false;
    m_simulator = std::make_unique<SimulatorProcess>(m_link, options);
    QVERIFY(m_simulator->start());
    QCOMPARE(QFileInfo(m_link).symLinkTarget(), m_simulator->device());
}

void tst_SimEndToEnd::cleanup()
{
    QVERIFY(m_simulator->stop());
    QVERIFY(!QFileInfo::exists(m_link) && !QFileInfo(m_link).isSymLink());
}

QStringList tst_SimEndToEnd::completeLines() const
{
    QStringList lines = m_received.split(QStringLiteral("\r\n"));
    lines.removeLast(); // still being collected
    return lines;
}

void tst_SimEndToEnd::linesArriveAndCommandsGoOut()
{
    PortMap ports;
    ports.setDevice(1, m_link);
    SerialComm port(ports);
    port.setInputLen(1);
    port.setRThreshold(1);
    connect(&port, &MSComm::OnComm, this, [&] { m_received += port.Input().text; });
    QVERIFY(!port.setPortOpen(true));

    QTRY_VERIFY_WITH_TIMEOUT(completeLines().size() >= 5, 10000);
    const QRegularExpression telemetry(
        QStringLiteral("^st=0600 pv=\\d{4} out= \\d{3} pid= 010, 005, 002$"));
    for (const QString &line : completeLines().mid(1))
        QVERIFY2(telemetry.match(line).hasMatch(), qPrintable(line));

    const QString command = QStringLiteral("S0450 p009 I004 D002 T040");
    QVERIFY(!port.setOutput(command));
    QTRY_VERIFY_WITH_TIMEOUT(completeLines().contains(QStringLiteral("O")), 10000);
    QTRY_VERIFY_WITH_TIMEOUT(completeLines().last().startsWith(QLatin1String("st=0450")), 10000);
    QVERIFY(completeLines().last().endsWith(QLatin1String("pid= 009, 004, 002")));

    const QString log = m_simulator->log();
    QVERIFY2(
        log.contains(QStringLiteral("received 25 bytes: 53 30 34 35 30 20 70 30 30 39 20 49 30 30 "
                                    "34 20 44 30 30 32 20 54 30 34 30")),
        qPrintable(log));
}

void tst_SimEndToEnd::droppedDeviceComesBackBehindTheSameLink()
{
    PortMap ports;
    ports.setDevice(1, m_link);
    SerialComm port(ports);
    port.setInputLen(1);
    port.setRThreshold(1);
    connect(&port, &MSComm::OnComm, this, [&] { m_received += port.Input().text; });
    QSignalSpy lost(&port, &MSComm::connectionLost);
    QVERIFY(!port.setPortOpen(true));
    QTRY_VERIFY_WITH_TIMEOUT(completeLines().size() >= 2, 10000);

    m_simulator->command(QStringLiteral("drop"));
    QTRY_COMPARE_WITH_TIMEOUT(lost.count(), 1, 10000);
    QVERIFY(!port.PortOpen());
    QTRY_VERIFY(!QFileInfo(m_link).isSymLink());
    QCOMPARE(port.setPortOpen(true)->code, CommCode::DeviceUnavailable);

    m_simulator->command(QStringLiteral("restore"));
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(m_link).isSymLink(), 10000);
    m_received.clear();
    QVERIFY(!port.setPortOpen(true));
    QTRY_VERIFY_WITH_TIMEOUT(completeLines().size() >= 2, 10000);
    QVERIFY(completeLines().last().startsWith(QLatin1String("st=0600 pv=")));
}

QTEST_GUILESS_MAIN(tst_SimEndToEnd)
#include "tst_sim_end_to_end.moc"
