#include "connection/port_reconnector.h"
#include "device_return_watcher.h"
#include "named_rows.h"
#include "records/run_recorder.h"
#include "serial_comm.h"
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
/// with the serial component, the recorder and the run as the window uses them.
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
    void connectPort();
    void pullCable();
    /// Plugs the cable in again and waits until the device is back at its link.
    void plugCableIn();
    qsizetype lines() const { return m_received.count(QStringLiteral("\r\n")); }
    QStringList recordFiles() const;

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<SimulatorProcess> m_simulator;
    std::unique_ptr<SerialComm> m_port;
    RunRecorder *m_recorder = nullptr;
    std::unique_ptr<PortReconnector> m_reconnector;
    std::unique_ptr<QObject> m_owner;
    QString m_received;
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
    PortMap ports;
    ports.setDevice(1, m_simulator->link());
    m_port = std::make_unique<SerialComm>(ports);
    m_port->setInputLen(0);
    m_port->setRThreshold(1);
    m_owner = std::make_unique<QObject>();
    m_recorder = new RunRecorder(std::make_shared<SystemClock>(), m_owner.get());
    m_recorder->setSettings({true, m_dir->filePath(QStringLiteral("records"))});
    m_reconnector = std::make_unique<PortReconnector>(
        m_port.get(), m_recorder, [this] { return QString::number(lines()); });
    m_received.clear();
    m_statuses.clear();
    m_log.clear();
    connect(m_port.get(), &MSComm::OnComm, this, [this] {
        const QString text = m_port->Input().text;
        for (const QChar character : text) {
            m_received += character;
            if (m_received.endsWith(QLatin1String("\r\n")))
                m_recorder->lineCompleted(QString::number(lines()), {}, {},
                    m_received.section(QStringLiteral("\r\n"), -2, -2));
        }
    });
    connect(m_port.get(), &MSComm::connectionLost, m_reconnector.get(), &PortReconnector::lost);
    connect(m_reconnector.get(), &PortReconnector::statusChanged, this,
        [this](const QString &text) { m_statuses.append(text); });
    connect(m_reconnector.get(), &PortReconnector::logEntry, this,
        [this](const QString &text) { m_log.append(text); });
}

void tst_PortReconnector::cleanup()
{
    m_reconnector.reset();
    m_owner.reset();
    m_port.reset();
    QVERIFY(m_simulator->stop());
}

void tst_PortReconnector::connectPort()
{
    QVERIFY(!m_port->setPortOpen(true));
    m_recorder->connectionOpened(1);
    m_reconnector->connected();
    QTRY_VERIFY_WITH_TIMEOUT(lines() >= 3, 10000);
}

void tst_PortReconnector::pullCable()
{
    m_simulator->command(QStringLiteral("drop"));
    QTRY_VERIFY_WITH_TIMEOUT(!m_port->PortOpen(), 10000);
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
    QSignalSpy states(m_reconnector.get(), &PortReconnector::stateChanged);
    connectPort();
    const qsizetype before = lines();
    pullCable();
    QCOMPARE(m_reconnector->policy().state(), ReconnectPolicy::State::Waiting);
    QCOMPARE(m_statuses.last(), QStringLiteral("连接已中断：COM1 设备已断开，等待设备重新连接…"));
    QCOMPARE(m_port->setOutput(QStringLiteral("S0450"))->code, CommCode::OperationNeedsOpenPort);

    plugCableIn();
    QTRY_VERIFY_WITH_TIMEOUT(m_port->PortOpen(), 5000);
    QCOMPARE(m_reconnector->policy().state(), ReconnectPolicy::State::Reconnected);
    QCOMPARE(m_statuses.last(), QStringLiteral("已重新连接 COM1"));
    QCOMPARE(m_log.size(), 1);
    QVERIFY2(QRegularExpression(QStringLiteral("^\\(连接中断 \\d+\\.\\d s\\)$"))
                 .match(m_log.front())
                 .hasMatch(),
        qPrintable(m_log.front()));
    QTRY_VERIFY_WITH_TIMEOUT(lines() >= before + 3, 10000);
    QVERIFY2(
        !m_simulator->log().contains(QLatin1String("received")), qPrintable(m_simulator->log()));

    QVERIFY(!m_port->setPortOpen(false));
    m_reconnector->closed();
    m_recorder->connectionClosed();
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
    const QList<ReconnectPolicy::State> expected{ReconnectPolicy::State::Connected,
        ReconnectPolicy::State::Waiting, ReconnectPolicy::State::Reconnected,
        ReconnectPolicy::State::Idle};
    QList<ReconnectPolicy::State> seen;
    for (const QList<QVariant> &state : states)
        seen.append(state.first().value<ReconnectPolicy::State>());
    QCOMPARE(seen, expected);
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
    const SettingsDir settings({}, "RECONNECT=0\r\n");
    if (how == QLatin1String("settings"))
        m_reconnector->setEnabled(ReconnectPolicy::enabledIn(settings.settingsFile()));
    connectPort();
    pullCable();
    if (how == QLatin1String("disconnect")) {
        m_reconnector->closed();
        m_recorder->connectionClosed();
    } else if (how == QLatin1String("menu")) {
        m_reconnector->setEnabled(false);
    }
    QCOMPARE(m_statuses.last(), status);
    QCOMPARE(m_reconnector->policy().state(), ReconnectPolicy::State::Idle);
    QVERIFY(!m_reconnector->isWaiting());
    const QString runs = QDir(m_dir->filePath(QStringLiteral("records"))).filePath("runs.csv");
    QCOMPARE(namedRows(runs).size(), 1);

    plugCableIn();
    // The device is back, as another watcher on it says; the port stays closed.
    DeviceReturnWatcher clock;
    QSignalSpy returned(&clock, &DeviceReturnWatcher::deviceReturned);
    clock.watch(m_simulator->link());
    QTRY_COMPARE(returned.count(), 1);
    QVERIFY(!m_port->PortOpen());
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
