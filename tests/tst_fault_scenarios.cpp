#include "control_text.h"
#include "device_return_watcher.h"
#include "event_loop_run.h"
#include "frm_main.h"
#include "named_rows.h"
#include "panels/receive_log.h"
#include "serial_comm.h"
#include "session/console_session.h"
#include "settings_lookup.h"
#include "simulator_process.h"
#include "system_clock.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

#include <memory>

namespace {
qint64 residentBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.value(1).toLongLong() * sysconf(_SC_PAGESIZE);
}

} // namespace

/// The console against the simulated controller when things go wrong: a pulled cable, garbage,
/// a run without line ends, a flood, fields that do not convert, sending with nowhere to send.
class tst_FaultScenarios : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void deviceVanishesAndComesBack_data();
    void deviceVanishesAndComesBack();
    void garbageBetweenGoodLines();
    void tenMegabytesWithoutALineEnd();
    void floodFasterThanTheLink();
    void fieldsThatDoNotConvertOrDoNotFit();
    void sendingWithNowhereToSend();

private:
    /// The simulator and the window on it, connected; its records in a folder of the test's.
    void startConsole(int periodMs, double speed = 1.0, const QByteArray &settings = {});
    void connectPort() { button("cmdConnect")->click(); }
    QPushButton *button(const char *name) const { return m_window->findChild<QPushButton *>(name); }
    QString text(const char *name) const { return controlText(*m_window, QLatin1String(name)); }
    qint64 lines() const { return m_window->session().controller().FrameCount; }
    QString wholeStatus() const;
    QString records() const { return m_dir->filePath(QStringLiteral("records")); }
    QList<QMap<QString, QString>> runs() const
    {
        return namedRows(QDir(records()).filePath(QStringLiteral("runs.csv")));
    }
    /// Waits until the window has handled at least this many lines more.
    bool waitForLines(qint64 more, int timeoutMs = 20000);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<SimulatorProcess> m_simulator;
    std::unique_ptr<frmMain> m_window;
};

void tst_FaultScenarios::startConsole(int periodMs, double speed, const QByteArray &settings)
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    const QString settingsFile = SettingsLookup::besideExecutable(m_dir->path());
    if (!settings.isEmpty()) {
        QFile file(settingsFile);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(settings) == settings.size());
    }
    SimulatorProcess::Options options;
    options.periodMs = periodMs;
    options.speed = speed;
    options.noise = false;
    m_simulator =
        std::make_unique<SimulatorProcess>(m_dir->filePath(QStringLiteral("ttyTERMIVA")), options);
    QVERIFY(m_simulator->start());
    PortMap ports;
    ports.setDevice(1, m_simulator->link());
    m_window = std::make_unique<frmMain>(std::make_unique<SerialComm>(ports),
        std::make_shared<SystemClock>(), settingsFile, records());
    connectPort();
    QVERIFY(m_window->session().port().PortOpen());
}

void tst_FaultScenarios::cleanup()
{
    m_window.reset();
    m_simulator.reset();
    m_dir.reset();
}

/// The status text whole, as its tooltip leads with it.
QString tst_FaultScenarios::wholeStatus() const
{
    return m_window->findChild<QLabel *>(QStringLiteral("lblStatus"))
        ->toolTip()
        .section(u'\n', 0, 0);
}

bool tst_FaultScenarios::waitForLines(qint64 more, int timeoutMs)
{
    const qint64 target = lines() + more;
    return runEventLoopUntil([&] { return lines() >= target; }, timeoutMs);
}

void tst_FaultScenarios::deviceVanishesAndComesBack_data()
{
    QTest::addColumn<QByteArray>("settings");
    QTest::addColumn<QString>("during");
    QTest::addColumn<bool>("reconnects");
    QTest::newRow("back by itself, one record and one run") << QByteArray() << QString() << true;
    QTest::newRow("RECONNECT=0: stays closed")
        << QByteArray("[PORTS]\r\nRECONNECT=0\r\n") << QString() << false;
    QTest::newRow("断开 during the wait ends it")
        << QByteArray() << QStringLiteral("cmdDisconnect") << false;
    QTest::newRow("连接 during the wait ends it")
        << QByteArray() << QStringLiteral("cmdConnect") << false;
}

/// The cable pulled in the middle of a line and plugged in again: reopened within a second of
/// the device's return, the lines counted on both sides of the gap, each line read whole, the
/// gap marked in the one record and the run's row written once, at its real end.
void tst_FaultScenarios::deviceVanishesAndComesBack()
{
    QFETCH(QByteArray, settings);
    QFETCH(QString, during);
    QFETCH(bool, reconnects);
    // Lines only when told, so that part of one is held when the cable goes.
    startConsole(600000, 1.0, settings);
    m_simulator->command(QStringLiteral("flood 20"));
    QVERIFY(waitForLines(20));
    m_simulator->command(QStringLiteral("raw st=0600 pv=05"));
    QTRY_COMPARE_WITH_TIMEOUT(
        m_window->session().heldLine().text(), QStringLiteral("st=0600 pv=05"), 10000);
    m_simulator->command(QStringLiteral("drop"));
    QTRY_VERIFY_WITH_TIMEOUT(!m_window->session().port().PortOpen(), 10000);
    const qint64 countBefore = lines();
    const bool waiting = !settings.contains("RECONNECT=0");
    QCOMPARE(wholeStatus(),
        waiting ? QStringLiteral("连接已中断：COM1 设备已断开，等待设备重新连接…")
                : QStringLiteral("连接已中断：COM1 设备已断开"));
    QVERIFY(button("cmdConnect")->isEnabled());
    QCOMPARE(button("cmdDisconnect")->isEnabled(), waiting);
    // A run awaiting its device has not ended.
    QCOMPARE(runs().size(), waiting ? 0 : 1);

    if (!during.isEmpty())
        button(qPrintable(during))->click();
    if (during == QLatin1String("cmdConnect")) {
        QVERIFY(!m_window->session().port().PortOpen());
        QVERIFY(text("lblStatus").startsWith(QStringLiteral("无法打开 COM1：")));
    } else if (during == QLatin1String("cmdDisconnect")) {
        QCOMPARE(text("lblStatus"), QStringLiteral("已断开..."));
    }
    QCOMPARE(runs().size(), reconnects ? 0 : 1);
    QCOMPARE(button("cmdDisconnect")->isEnabled(), reconnects);

    m_simulator->command(QStringLiteral("restore"));
    QTRY_VERIFY_WITH_TIMEOUT(DeviceReturnWatcher::isReady(m_simulator->link()), 10000);
    if (reconnects) {
        QTRY_VERIFY_WITH_TIMEOUT(m_window->session().port().PortOpen(), 1000);
    } else {
        QVERIFY(!QTest::qWaitFor([this] { return m_window->session().port().PortOpen(); }, 1500));
        connectPort();
        QVERIFY(m_window->session().port().PortOpen());
    }
    m_simulator->command(QStringLiteral("flood 20"));
    QVERIFY(waitForLines(20));
    QVERIFY(lines() > countBefore);
    QCOMPARE(text("rece_quantity"), QString::number(lines()));
    // The reconnect stays in view while the lines come in.
    QCOMPARE(text("lblStatus"),
        reconnects ? QStringLiteral("已重新连接 COM1") : QStringLiteral("连接温度控制器成功！"));
    // The simulator's new device may be another pseudo-terminal than the one lost.
    const QRegularExpression gap(
        QStringLiteral(" \\(连接中断 \\d+\\.\\d s(，设备现为 \\S+，断开前为 \\S+)?\\)\n"));
    QCOMPARE(text("receive").count(gap), reconnects ? 1 : 0);

    button("cmdDisconnect")->click();
    const QStringList files = QDir(records()).entryList({QStringLiteral("*_COM1*.csv")});
    QCOMPARE(files.size(), reconnects ? 1 : 2);
    QCOMPARE(runs().size(), reconnects ? 1 : 2);
    QStringList kinds;
    qsizetype lineRows = 0;
    const QRegularExpression whole(
        QStringLiteral("^st=\\d{4} pv=\\d{4} out= \\d{3} pid= \\d{3}, \\d{3}, \\d{3}$"));
    for (const QString &file : files) {
        for (const QMap<QString, QString> &row : namedRows(QDir(records()).filePath(file))) {
            kinds.append(row.value(QStringLiteral("kind")));
            if (kinds.last() != QLatin1String("line"))
                continue;
            ++lineRows;
            QVERIFY2(whole.match(row.value(QStringLiteral("text"))).hasMatch(),
                qPrintable(row.value(QStringLiteral("text"))));
        }
    }
    QCOMPARE(lineRows, lines());
    // The loss is marked where a wait began, the return where it ended in a reconnect.
    const qsizetype lost = kinds.indexOf(QStringLiteral("lost"));
    QCOMPARE(lost >= 0, waiting);
    QCOMPARE(kinds.indexOf(QStringLiteral("reconnected")), reconnects ? lost + 1 : -1);
    if (reconnects) {
        QCOMPARE(runs().front().value(QStringLiteral("lines")), QString::number(lines()));
        QCOMPARE(runs().front().value(QStringLiteral("record")), files.front());
    }
}

void tst_FaultScenarios::garbageBetweenGoodLines()
{
    startConsole(20, 10);
    QVERIFY(waitForLines(3));
    const qint64 residentBefore = residentBytes();
    for (int chunk = 0; chunk < 16; ++chunk) {
        m_simulator->command(QStringLiteral("garbage 65536"));
        QVERIFY(waitForLines(2));
    }
    m_simulator->command(QStringLiteral("set 450"));
    QTRY_COMPARE_WITH_TIMEOUT(text("Text2_0"), QStringLiteral("45"), 20000);
    QVERIFY(waitForLines(5));
    QCOMPARE(text("Label7_3"), QStringLiteral("10"));
    QVERIFY(m_window->session().heldLine().text().size() <= LineCollector::kCap);
    QVERIFY(
        m_window->findChild<QPlainTextEdit *>("receive")->blockCount() <= ReceiveLog::kLogEntries);
    QVERIFY2(residentBytes() - residentBefore < 64 * 1024 * 1024,
        qPrintable(QString::number(residentBytes() - residentBefore)));
}

void tst_FaultScenarios::tenMegabytesWithoutALineEnd()
{
    startConsole(50);
    QVERIFY(waitForLines(2));
    const qint64 residentBefore = residentBytes();
    m_simulator->command(QStringLiteral("noeol 10485760"));
    QTRY_VERIFY_WITH_TIMEOUT(m_simulator->log().contains(QStringLiteral("done: noeol")), 10000);
    qint64 largestLine = 0;
    const qint64 before = lines();
    // The run ends with one line end of its own; wait for that line and a good one after it.
    QVERIFY(runEventLoopUntil(
        [&] {
            largestLine =
                std::max<qint64>(largestLine, m_window->session().heldLine().text().size());
            return lines() >= before + 2;
        },
        120000));
    QVERIFY(largestLine <= LineCollector::kCap);
    m_simulator->command(QStringLiteral("set 550"));
    QTRY_COMPARE_WITH_TIMEOUT(text("Text2_0"), QStringLiteral("55"), 20000);
    QVERIFY2(residentBytes() - residentBefore < 64 * 1024 * 1024,
        qPrintable(QString::number(residentBytes() - residentBefore)));
}

void tst_FaultScenarios::floodFasterThanTheLink()
{
    startConsole(600000);
    m_simulator->command(QStringLiteral("raw st=0600 pv=0585\\r\\n"));
    // The raw line comes after any the simulator sent before it; then the line is quiet.
    QTRY_COMPARE_WITH_TIMEOUT(m_window->session().controller().CurTempTenths, 585, 20000);
    const qint64 before = lines();
    const QString runBefore = text("run");
    constexpr int kFloodLines = 60000; // 2.7 MB
    QElapsedTimer wall;
    wall.start();
    m_simulator->command(QStringLiteral("flood %1").arg(kFloodLines));
    QVERIFY(runEventLoopUntil([&] { return lines() >= before + kFloodLines; }, 120000));
    const double seconds = wall.elapsed() / 1000.0;
    QCOMPARE(lines(), before + kFloodLines);
    // The run-time counter kept ticking through the flood.
    const double ran = text("run").toDouble() - runBefore.toDouble();
    QVERIFY2(ran >= 0.5 * seconds,
        qPrintable(QStringLiteral("%1 s counted in %2 s").arg(ran).arg(seconds)));
}

void tst_FaultScenarios::fieldsThatDoNotConvertOrDoNotFit()
{
    startConsole(100);
    QVERIFY(waitForLines(2));
    const QString current = text("txtBarcode");
    m_simulator->command(QStringLiteral("raw st=0600 pv=x?.? out= abc pid= 150, 0-1, ???\\r\\n"));
    QVERIFY(waitForLines(1));
    // P 150 does not fit the slider; the last good values stay.
    m_simulator->command(QStringLiteral("raw st=0600 pv=05N5 out= 128 pid= 150, 005, 002\\r\\n"));
    QTRY_COMPARE_WITH_TIMEOUT(m_window->session().controller().FollowCurrentTemp, 0, 10000);
    QCOMPARE(text("Text1"), QStringLiteral("EXIT"));
    QCOMPARE(m_window->findChild<QScrollBar *>("HScroll1_3")->value(), 10);
    m_simulator->command(QStringLiteral("raw st=0600 pv=0O12 out= 128 pid= 010, 005, 002\\r\\n"));
    QTRY_COMPARE_WITH_TIMEOUT(text("Text1"), QStringLiteral("OK"), 10000);
    QCOMPARE(text("Label1_0"), QStringLiteral("设定温度："));
    QCOMPARE(m_window->session().controller().FollowCurrentTemp, 1);
    m_simulator->command(QStringLiteral("badfield"));
    QVERIFY(waitForLines(3));
    QVERIFY(text("txtBarcode").toInt() > 0);
    QVERIFY(!current.isEmpty());
}

void tst_FaultScenarios::sendingWithNowhereToSend()
{
    startConsole(100);
    QVERIFY(waitForLines(1));
    auto *box = m_window->findChild<QPlainTextEdit *>("send");
    box->setPlainText(QStringLiteral("S0450 P009"));
    button("cmdDisconnect")->click();
    button("comm_send")->click();
    button("CommandC")->click();
    QCOMPARE(text("lblStatus"), QStringLiteral("串口未打开，未发送"));
    QCOMPARE(box->toPlainText(), QStringLiteral("S0450 P009"));

    connectPort();
    m_simulator->command(QStringLiteral("drop"));
    QTRY_VERIFY_WITH_TIMEOUT(!m_window->session().port().PortOpen(), 10000);
    button("comm_send")->click();
    QCOMPARE(text("lblStatus"), QStringLiteral("串口未打开，未发送"));
    QCOMPARE(box->toPlainText(), QStringLiteral("S0450 P009"));
    QTest::qWait(300);
    QVERIFY(!m_simulator->log().contains(QStringLiteral("received")));

    // Plugged in again: nothing refused goes out once the port is back.
    m_simulator->command(QStringLiteral("restore"));
    QTRY_VERIFY_WITH_TIMEOUT(m_window->session().port().PortOpen(), 10000);
    QVERIFY(waitForLines(3));
    QVERIFY(!m_simulator->log().contains(QStringLiteral("received")));
    button("comm_send")->click();
    QTRY_VERIFY_WITH_TIMEOUT(
        m_simulator->log().contains(QStringLiteral("received 10 bytes")), 10000);
}

QTEST_MAIN(tst_FaultScenarios)
#include "tst_fault_scenarios.moc"
