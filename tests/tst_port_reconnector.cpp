#include "connection/port_reconnector.h"
#include "device_return_watcher.h"
#include "named_rows.h"
#include "serial_comm.h"
#include "session/console_session.h"
#include "settings_dir.h"
#include "simulator_process.h"
#include "system_clock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(ReconnectPolicy::State)

/// The port coming back by itself after the simulator's cable is pulled and plugged in again,
/// through the session with its serial component, record and run, as the window uses it.
class tst_PortReconnector : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void reconnectsAndKeepsOneRecord();
    void waitEndsWithoutAReconnect_data();
    void waitEndsWithoutAReconnect();

private:
    /// Opens COM1 as "连接" does and waits for a few lines.
    void startSession(const QByteArray &settings);
    void connectPort();
    void pullCable();
    /// Plugs the cable in again and waits until the device is back at its link.
    void plugCableIn();
    qint64 lines() const { return m_session->controller().FrameCount; }
    const ReconnectPolicy &policy() const { return m_session->link(); }
    const MSComm &port() const { return m_session->port(); }
    QStringList recordFiles() const;

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<SimulatorProcess> m_simulator;
    std::unique_ptr<SettingsDir> m_settings;
    std::unique_ptr<ConsoleSession> m_session;
    QStringList m_statuses;
    QStringList m_log;
};

void tst_PortReconnector::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    SimulatorProcess::Options options;
    options.periodMs = 50;
    m_simulator =
        std::make_unique<SimulatorProcess>(m_dir->filePath(QStringLiteral("ttyTERMIVA")), options);
    QVERIFY(m_simulator->start());
    startSession({});
}

/// A session on the simulator as COM1 with these settings besides, its records in the folder.
void tst_PortReconnector::startSession(const QByteArray &settings)
{
    m_settings =
        std::make_unique<SettingsDir>(QMap<int, QString>{{1, m_simulator->link()}}, settings);
    m_session = std::make_unique<ConsoleSession>(
        std::make_unique<SerialComm>(PortMap::fromSettings(m_settings->settingsFile(), {}, {})),
        std::make_shared<SystemClock>(), m_settings->settingsFile(),
        m_dir->filePath(QStringLiteral("records")));
    m_statuses.clear();
    m_log.clear();
    for (const auto reported : {&ConsoleSession::linkLost, &ConsoleSession::linkWaiting,
             &ConsoleSession::linkReconnected, &ConsoleSession::linkClosed})
        connect(m_session.get(), reported, this, [this](const ReconnectPolicy::Report &report) {
            m_statuses.append(report.status);
            if (!report.logEntry.isEmpty())
                m_log.append(report.logEntry);
        });
}

void tst_PortReconnector::cleanup()
{
    m_session.reset();
    QVERIFY(m_simulator->stop());
}

void tst_PortReconnector::connectPort()
{
    QVERIFY(!m_session->openPort(1));
    QTRY_VERIFY_WITH_TIMEOUT(lines() >= 3, 10000);
}

void tst_PortReconnector::pullCable()
{
    m_simulator->command(QStringLiteral("drop"));
    QTRY_VERIFY_WITH_TIMEOUT(!port().PortOpen(), 10000);
    QTRY_VERIFY(!QFileInfo(m_simulator->link()).isSymLink());
}

void tst_PortReconnector::plugCableIn()
{
    m_simulator->command(QStringLiteral("restore"));
    QTRY_VERIFY_WITH_TIMEOUT(DeviceReturnWatcher::isReady(m_simulator->link()), 10000);
}

QStringList tst_PortReconnector::recordFiles() const
{
    return QDir(m_dir->filePath(QStringLiteral("records")))
        .entryList({QStringLiteral("*_COM1*.csv")}, QDir::Files, QDir::Name);
}

/// Lines on both sides of the gap, one record with the gap marked, one run, and a command
/// typed during the gap never sent.
void tst_PortReconnector::reconnectsAndKeepsOneRecord()
{
    connectPort();
    QCOMPARE(policy().state(), ReconnectPolicy::State::Connected);
    const qsizetype before = lines();
    pullCable();
    QCOMPARE(policy().state(), ReconnectPolicy::State::Waiting);
    QCOMPARE(m_statuses.last(), QStringLiteral("连接已中断：COM1 设备已断开，等待设备重新连接…"));
    QCOMPARE(
        m_session->sendText(QStringLiteral("S0450"))->text, QStringLiteral("串口未打开，未发送"));

    plugCableIn();
    QTRY_VERIFY_WITH_TIMEOUT(port().PortOpen(), 5000);
    QCOMPARE(policy().state(), ReconnectPolicy::State::Reconnected);
    QCOMPARE(m_statuses.last(), QStringLiteral("已重新连接 COM1"));
    QCOMPARE(m_log.size(), 1);
    // The simulator's new device may be another pseudo-terminal than the one lost.
    QVERIFY2(QRegularExpression(
                 QStringLiteral("^\\(连接中断 \\d+\\.\\d s(，设备现为 \\S+，断开前为 \\S+)?\\)$"))
                 .match(m_log.front())
                 .hasMatch(),
        qPrintable(m_log.front()));
    QTRY_VERIFY_WITH_TIMEOUT(lines() >= before + 3, 10000);
    QVERIFY2(
        !m_simulator->log().contains(QLatin1String("received")), qPrintable(m_simulator->log()));

    m_session->closePort();
    QCOMPARE(policy().state(), ReconnectPolicy::State::Idle);
    const QStringList files = recordFiles();
    QCOMPARE(files.size(), 1);
    const QList<QMap<QString, QString>> rows =
        namedRows(QDir(m_dir->filePath(QStringLiteral("records"))).filePath(files.front()));
    QStringList kinds;
    for (const QMap<QString, QString> &row : rows)
        kinds.append(row.value("kind"));
    const qsizetype lost = kinds.indexOf(QStringLiteral("lost"));
    QVERIFY2(lost >= 3 && kinds.indexOf(QStringLiteral("reconnected")) == lost + 1
            && kinds.count(QStringLiteral("line")) == kinds.size() - 2 && kinds.last() == "line",
        qPrintable(kinds.join(u',')));
    QCOMPARE(rows[lost + 1].value("text"), QFileInfo(m_simulator->link()).canonicalFilePath());
    const QList<QMap<QString, QString>> runs =
        namedRows(QDir(m_dir->filePath(QStringLiteral("records"))).filePath("runs.csv"));
    QCOMPARE(runs.size(), 1);
    QCOMPARE(runs.front().value("lines"), QString::number(kinds.size() - 2));
    QCOMPARE(runs.front().value("record"), files.front());
}

void tst_PortReconnector::waitEndsWithoutAReconnect_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("status");
    QTest::newRow("RECONNECT=0 in the settings file")
        << QStringLiteral("settings") << QStringLiteral("连接已中断：COM1 设备已断开");
    QTest::newRow("断开 during the wait") << QStringLiteral(
        "disconnect") << QStringLiteral("连接已中断：COM1 设备已断开，等待设备重新连接…");
    QTest::newRow("menu check turned off during the wait")
        << QStringLiteral("menu") << QStringLiteral("连接已中断：COM1 设备已断开");
}

/// The device comes back, but the port stays closed and the run has ended with its row.
void tst_PortReconnector::waitEndsWithoutAReconnect()
{
    QFETCH(QString, how);
    QFETCH(QString, status);
    if (how == QLatin1String("settings"))
        startSession("RECONNECT=0\r\n");
    connectPort();
    pullCable();
    if (how == QLatin1String("disconnect"))
        m_session->closePort();
    else if (how == QLatin1String("menu"))
        (void)m_session->setReconnectEnabled(false);
    QCOMPARE(m_statuses.last(), status);
    QCOMPARE(policy().state(), ReconnectPolicy::State::Idle);
    const QString runs = QDir(m_dir->filePath(QStringLiteral("records"))).filePath("runs.csv");
    QCOMPARE(namedRows(runs).size(), 1);

    plugCableIn();
    // The device is back, as another watcher on it says; the port stays closed.
    DeviceReturnWatcher clock;
    QSignalSpy returned(&clock, &DeviceReturnWatcher::deviceReturned);
    clock.watch(m_simulator->link());
    QTRY_COMPARE(returned.count(), 1);
    QVERIFY(!port().PortOpen());
    QCOMPARE(m_log, QStringList());
    const QStringList files = recordFiles();
    QCOMPARE(files.size(), 1);
    const QList<QMap<QString, QString>> rows =
        namedRows(QDir(m_dir->filePath(QStringLiteral("records"))).filePath(files.front()));
    QVERIFY(std::none_of(rows.cbegin(), rows.cend(), [](const QMap<QString, QString> &row) {
        return row.value("kind") == QLatin1String("reconnected");
    }));
}

QTEST_GUILESS_MAIN(tst_PortReconnector)
#include "tst_port_reconnector.moc"
