#include "serial_comm.h"
#include "simulator_process.h"
#include "system_clock.h"
#include "telemetry/telemetry_line.h"
#include "tuning/command_confirmation.h"

#include <QFileInfo>
#include <QProcess>
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
    void commandsAreConfirmedOrWarnedOfOnce();
    void helpNamesTheFaultCommands();

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

/// The controller's lines tell what it took: a command it applies is confirmed; told to be deaf
/// it ignores commands, and the warning comes once, naming every field it kept.
void tst_SimEndToEnd::commandsAreConfirmedOrWarnedOfOnce()
{
    PortMap ports;
    ports.setDevice(1, m_link);
    SerialComm port(ports);
    port.setInputLen(1);
    port.setRThreshold(1);
    CommandConfirmation confirmation(std::make_shared<SystemClock>());
    QSignalSpy verdicts(&confirmation, &CommandConfirmation::decided);
    qsizetype handled = 0;
    connect(&port, &MSComm::OnComm, this, [&] {
        m_received += port.Input().text;
        const QStringList lines = completeLines();
        for (; handled < lines.size(); ++handled) {
            const TelemetryLine values = TelemetryLine::parse(lines[handled]);
            confirmation.lineCompleted(
                CommandFields{values.setTenths, values.p, values.i, values.d, {}});
        }
    });
    const auto verdict = [&verdicts](qsizetype at) {
        return verdicts.value(at).value(0).value<CommandVerdict>().text;
    };
    QVERIFY(!port.setPortOpen(true));
    QTRY_VERIFY_WITH_TIMEOUT(handled >= 3, 10000);

    m_simulator->command(QStringLiteral("deaf"));
    QTRY_VERIFY_WITH_TIMEOUT(m_simulator->log().contains(QStringLiteral("done: deaf")), 10000);
    const QString command = QStringLiteral("S0450 P009 I004 D002");
    QVERIFY(!port.setOutput(command));
    confirmation.commandSent(command);
    QTRY_COMPARE_WITH_TIMEOUT(verdicts.count(), 1, 15000);
    QCOMPARE(verdict(0),
        QStringLiteral(
            "控制器未确认：设定 发送 45.0 ℃，仍为 60.0 ℃，P 发送 9，仍为 10，I 发送 4，仍为 5"));
    const qsizetype warnedAt = handled;
    QTRY_VERIFY_WITH_TIMEOUT(handled >= warnedAt + 20, 10000);
    QCOMPARE(verdicts.count(), 1);
    QVERIFY(!completeLines().contains(QStringLiteral("O")));
    QVERIFY(m_simulator->log().contains(QStringLiteral("deaf: discarded 20 bytes")));

    m_simulator->command(QStringLiteral("hear"));
    QTRY_VERIFY_WITH_TIMEOUT(m_simulator->log().contains(QStringLiteral("done: hear")), 10000);
    QVERIFY(!port.setOutput(command));
    confirmation.commandSent(command);
    QTRY_COMPARE_WITH_TIMEOUT(verdicts.count(), 2, 10000);
    QCOMPARE(verdict(1), QStringLiteral("控制器已确认：设定 45.0 ℃，P 9，I 4，D 2"));
}

void tst_SimEndToEnd::helpNamesTheFaultCommands()
{
    QProcess help;
    help.start(QStringLiteral(TERMIVA_SIM_BINARY), {QStringLiteral("--help")});
    QVERIFY(help.waitForFinished());
    QCOMPARE(help.exitCode(), 0);
    const QString usage = QString::fromUtf8(help.readAllStandardOutput());
    for (const char *command : {"garbage N", "noeol N", "flood LINES", "badfield", "raw TEXT",
             "set TENTHS", "deaf ", "hear ", "drop ", "restore ", "quit "})
        QVERIFY2(usage.contains(QLatin1String("\n  ") + QLatin1String(command)), command);
}

QTEST_GUILESS_MAIN(tst_SimEndToEnd)
#include "tst_sim_end_to_end.moc"
