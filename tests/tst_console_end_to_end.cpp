#include "control_text.h"
#include "frm_main.h"
#include "serial_comm.h"
#include "session/console_session.h"
#include "settings_lookup.h"
#include "simulator_process.h"
#include "system_clock.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

/// The whole console on the simulated controller's pseudo-terminal.
class tst_ConsoleEndToEnd : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void showsTheControllerAndChangesItsSetPoint();
    void commandsAreConfirmedOrWarnedOfOnce();

private:
    QString text(const char *name) const { return controlText(*m_window, QLatin1String(name)); }
    void send(const QString &text);
    /// The status line's whole text, which its tooltip holds.
    QString status() const { return m_window->findChild<QLabel *>("lblStatus")->toolTip(); }

    QTemporaryDir m_dir;
    std::unique_ptr<SimulatorProcess> m_simulator;
    std::unique_ptr<frmMain> m_window;
};

void tst_ConsoleEndToEnd::initTestCase()
{
    QVERIFY(m_dir.isValid());
    SimulatorProcess::Options options;
    options.periodMs = 100;
    options.speed = 20;
    options.noise = false;
    m_simulator =
        std::make_unique<SimulatorProcess>(m_dir.filePath(QStringLiteral("ttyTERMIVA")), options);
    QVERIFY(m_simulator->start());
    PortMap ports;
    ports.setDevice(1, m_simulator->link());
    m_window = std::make_unique<frmMain>(std::make_unique<SerialComm>(ports),
        std::make_shared<SystemClock>(), SettingsLookup::besideExecutable(m_dir.path()));
}

void tst_ConsoleEndToEnd::cleanupTestCase()
{
    m_window.reset();
    QVERIFY(m_simulator->stop());
}

void tst_ConsoleEndToEnd::showsTheControllerAndChangesItsSetPoint()
{
    m_window->findChild<QPushButton *>("cmdConnect")->click();
    QTRY_COMPARE_WITH_TIMEOUT(text("lblStatus"), QStringLiteral("连接温度控制器成功！"), 10000);
    QTRY_VERIFY_WITH_TIMEOUT(text("rece_quantity").toInt() >= 3, 10000);
    QCOMPARE(text("Text2_0"), QStringLiteral("60"));
    QCOMPARE(text("Label7_3"), QStringLiteral("10"));
    QTRY_VERIFY_WITH_TIMEOUT(text("txtBarcode").toInt() > 260, 10000);
    QVERIFY(text("Text2_2").endsWith(u'%'));

    m_window->findChild<QPlainTextEdit *>("send")->setPlainText(QStringLiteral("s0450 p012"));
    m_window->findChild<QPushButton *>("comm_send")->click();
    QTRY_COMPARE_WITH_TIMEOUT(text("Text2_0"), QStringLiteral("45"), 10000);
    QTRY_COMPARE_WITH_TIMEOUT(text("Label7_3"), QStringLiteral("12"), 10000);
    QTRY_COMPARE_WITH_TIMEOUT(text("Text1"), QStringLiteral("OK"), 10000);
    QTRY_COMPARE_WITH_TIMEOUT(text("Text1"), QStringLiteral("EXIT"), 10000);
    QVERIFY(m_simulator->log().contains(QStringLiteral("accepted: set 450 P 12")));
}

void tst_ConsoleEndToEnd::send(const QString &text)
{
    m_window->findChild<QPlainTextEdit *>("send")->setPlainText(text);
    m_window->findChild<QPushButton *>("comm_send")->click();
}

/// What the controller applies its lines show, and the console says so; a controller that
/// ignores commands is warned of once, naming the field it kept.
void tst_ConsoleEndToEnd::commandsAreConfirmedOrWarnedOfOnce()
{
    send(QStringLiteral("S0600 P010"));
    QTRY_COMPARE_WITH_TIMEOUT(status(), QStringLiteral("控制器已确认：设定 60.0 ℃，P 10"), 10000);

    m_simulator->command(QStringLiteral("deaf"));
    QTRY_VERIFY_WITH_TIMEOUT(m_simulator->log().contains(QStringLiteral("done: deaf")), 10000);
    const qsizetype verdictsBefore = text("receive").count(QStringLiteral("(控制器"));
    send(QStringLiteral("S0600 P012 I005 D002"));
    const QString warning = QStringLiteral("控制器未确认：P 发送 12，仍为 10");
    QTRY_COMPARE_WITH_TIMEOUT(status(), warning, 15000);
    const qint64 warnedAt = m_window->session().controller().FrameCount;
    QTRY_VERIFY_WITH_TIMEOUT(m_window->session().controller().FrameCount >= warnedAt + 20, 10000);
    QCOMPARE(status(), warning);
    QCOMPARE(text("receive").count(QStringLiteral("(") + warning + u')'), 1);
    QCOMPARE(text("receive").count(QStringLiteral("(控制器")), verdictsBefore + 1);
    QVERIFY(m_simulator->log().contains(QStringLiteral("deaf: discarded 20 bytes")));
    m_simulator->command(QStringLiteral("hear"));
}

QTEST_MAIN(tst_ConsoleEndToEnd)
#include "tst_console_end_to_end.moc"
