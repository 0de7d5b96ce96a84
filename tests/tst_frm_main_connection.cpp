#include "frm_main.h"
#include "ole_color.h"
#include "pty_pair.h"
#include "serial_comm.h"
#include "settings_dir.h"
#include "system_clock.h"
#include "window_timer.h"

#include <QDir>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolTip>

#include <functional>
#include <memory>
#include <utility>

/// Start-up probe, connect and disconnect, close and exit, on real pseudo-terminals.
class tst_FrmMainConnection : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void probeGreysOutExactlyTheMissingPorts();
    void portBusyAtStartUpStaysSelectable();
    void connectAndDisconnect();
    void connectReopensAnOpenPort();
    void choosingAnotherPortWhileConnectedWaitsForTheNextConnect();
    void connectToAMissingPortSaysWhy();
    void statusLeadsWithTheCauseAndTheTooltipSaysAll_data();
    void statusLeadsWithTheCauseAndTheTooltipSaysAll();
    void statusTooltipNamesTheSettingsFileBehindAnyMessage_data();
    void statusTooltipNamesTheSettingsFileBehindAnyMessage();
    void closingTheWindowClosesThePort();
    void exitWhileConnectedClosesThePort();
    void pulledCableIsReportedAndConnectIsOfferedAgain();

private:
    void openWindow(const QMap<int, QString> &ports, const QByteArray &settings = {});
    QString hoverText(QWidget *widget) const;
    QString status() const { return label("lblStatus")->text(); }
    QLabel *label(const char *name) const { return m_window->findChild<QLabel *>(name); }
    QPushButton *button(const char *name) const { return m_window->findChild<QPushButton *>(name); }
    QRadioButton *option(int port) const;
    bool connectEnabled() const { return button("cmdConnect")->isEnabled(); }
    bool disconnectEnabled() const { return button("cmdDisconnect")->isEnabled(); }

    std::unique_ptr<PtyPair> m_first;
    std::unique_ptr<PtyPair> m_second;
    std::unique_ptr<SettingsDir> m_settings;
    std::unique_ptr<frmMain> m_window;
};

void tst_FrmMainConnection::init()
{
    m_first = std::make_unique<PtyPair>();
    m_second = std::make_unique<PtyPair>();
    QVERIFY(m_first->isValid() && m_second->isValid());
}

void tst_FrmMainConnection::cleanup()
{
    m_window.reset();
    m_settings.reset();
    m_first.reset();
    m_second.reset();
}

void tst_FrmMainConnection::openWindow(const QMap<int, QString> &ports, const QByteArray &settings)
{
    m_settings = std::make_unique<SettingsDir>(ports, settings);
    QVERIFY(m_settings->isValid());
    auto comm = std::make_unique<SerialComm>(PortMap::fromSettings(m_settings->settingsFile(), {}));
    m_window = std::make_unique<frmMain>(
        std::move(comm), std::make_shared<SystemClock>(), m_settings->settingsFile());
}

/// What a tooltip shows when the pointer rests on the control.
QString tst_FrmMainConnection::hoverText(QWidget *widget) const
{
    const QPoint inside = widget->rect().center();
    QHelpEvent event(QEvent::ToolTip, inside, widget->mapToGlobal(inside));
    QCoreApplication::sendEvent(widget, &event);
    return QToolTip::text();
}

QRadioButton *tst_FrmMainConnection::option(int port) const
{
    return m_window->findChild<QRadioButton *>(QStringLiteral("optComPort_%1").arg(port - 1));
}

void tst_FrmMainConnection::probeGreysOutExactlyTheMissingPorts()
{
    openWindow({{1, m_first->devicePath()}, {3, QStringLiteral("/dev/termiva-missing-device")},
        {7, m_second->devicePath()}});
    const QColor buttonFace = *OleTranslateColor(SystemColor::ButtonFace);
    for (int port = 1; port <= frmMain::kPortCount; ++port) {
        const bool present = port == 1 || port == 7;
        QVERIFY2(option(port)->isEnabled() == present, qPrintable(QString::number(port)));
        if (!present)
            QCOMPARE(option(port)->palette().color(option(port)->backgroundRole()), buttonFace);
    }
    QCOMPARE(option(7)->toolTip(), m_second->devicePath());
    QCOMPARE(m_window->ComPort().CommPort(), 16);
    QVERIFY(!m_window->ComPort().PortOpen());
    QVERIFY(option(1)->isChecked());
    QCOMPARE(m_window->ComPort().InputLen(), 1);
    QCOMPARE(m_window->ComPort().RThreshold(), 1);
    QCOMPARE(status(), QStringLiteral("空闲"));
}

void tst_FrmMainConnection::portBusyAtStartUpStaysSelectable()
{
    PortMap held;
    held.setDevice(1, m_first->devicePath());
    auto holder = std::make_unique<SerialComm>(held);
    QVERIFY(!holder->setPortOpen(true));
    openWindow({{1, m_first->devicePath()}});
    QVERIFY(option(1)->isEnabled());

    button("cmdConnect")->click();
    QVERIFY(!m_window->ComPort().PortOpen());
    QVERIFY(connectEnabled());
    holder.reset();
    button("cmdConnect")->click();
    QVERIFY(m_window->ComPort().PortOpen());
    QCOMPARE(status(), QStringLiteral("已连接..."));
}

void tst_FrmMainConnection::connectAndDisconnect()
{
    openWindow({{1, m_first->devicePath()}, {4, m_second->devicePath()}});
    auto *modeWord = m_window->findChild<QLineEdit *>(QStringLiteral("Text1"));
    QCOMPARE(modeWord->text(), QString());

    option(4)->click();
    button("cmdConnect")->click();
    QVERIFY(m_window->ComPort().PortOpen());
    QCOMPARE(m_window->ComPort().CommPort(), 4);
    QCOMPARE(status(), QStringLiteral("已连接..."));
    QCOMPARE(modeWord->text(), QStringLiteral("EXIT"));
    QVERIFY(!connectEnabled());
    QVERIFY(disconnectEnabled());
    QVERIFY(!m_window->ComPort().setOutput(QStringLiteral("ping")));
    QTRY_COMPARE(m_second->received(), QByteArray("ping"));

    button("cmdDisconnect")->click();
    QVERIFY(!m_window->ComPort().PortOpen());
    QCOMPARE(status(), QStringLiteral("已断开..."));
    QCOMPARE(modeWord->text(), QStringLiteral("EXIT"));
    QVERIFY(connectEnabled());
    QVERIFY(!disconnectEnabled());

    modeWord->setText(QStringLiteral("OK"));
    button("cmdConnect")->click();
    QVERIFY(m_window->ComPort().PortOpen());
    QCOMPARE(status(), QStringLiteral("已连接..."));
    QCOMPARE(modeWord->text(), QStringLiteral("EXIT"));
}

void tst_FrmMainConnection::connectReopensAnOpenPort()
{
    openWindow({{1, m_first->devicePath()}});
    button("cmdConnect")->click();
    QVERIFY(m_window->ComPort().PortOpen());
    button("cmdConnect")->setEnabled(true);
    button("cmdConnect")->click();
    QVERIFY(m_window->ComPort().PortOpen());
    QCOMPARE(status(), QStringLiteral("已连接..."));
}

void tst_FrmMainConnection::choosingAnotherPortWhileConnectedWaitsForTheNextConnect()
{
    openWindow({{1, m_first->devicePath()}, {7, m_second->devicePath()}});
    button("cmdConnect")->click();
    QCOMPARE(m_window->ComPort().CommPort(), 1);
    option(7)->click();
    QCOMPARE(m_window->ComPort().CommPort(), 1);
    QVERIFY(m_window->ComPort().PortOpen());
    button("cmdDisconnect")->click();
    button("cmdConnect")->click();
    QCOMPARE(m_window->ComPort().CommPort(), 7);
    QVERIFY(m_window->ComPort().PortOpen());
}

void tst_FrmMainConnection::connectToAMissingPortSaysWhy()
{
    openWindow({{2, m_first->devicePath()}});
    QVERIFY(!option(1)->isEnabled());
    QVERIFY(option(1)->isChecked());
    button("cmdConnect")->click();
    QVERIFY(!m_window->ComPort().PortOpen());
    QCOMPARE(status(), QStringLiteral("无法打开 COM1：没有对应的设备"));
    QVERIFY(connectEnabled());
    QVERIFY(!disconnectEnabled());
    QCOMPARE(m_window->findChild<QLineEdit *>(QStringLiteral("Text1"))->text(), QString());

    option(2)->click();
    button("cmdConnect")->click();
    QVERIFY(m_window->ComPort().PortOpen());
    QCOMPARE(status(), QStringLiteral("已连接..."));
}

void tst_FrmMainConnection::statusLeadsWithTheCauseAndTheTooltipSaysAll_data()
{
    QTest::addColumn<QString>("failure");
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("shortText");
    QTest::newRow("device missing")
        << QStringLiteral("missing") << 1 << QStringLiteral("无法打开 COM1：设备不存在");
    QTest::newRow("held by another program")
        << QStringLiteral("held") << 1 << QStringLiteral("无法打开 COM1：已被其他程序占用");
    QTest::newRow("held, two-digit port")
        << QStringLiteral("held") << 16 << QStringLiteral("无法打开 COM16：已被其他程序占用");
    QTest::newRow("cable pulled") << QStringLiteral("pulled") << 1
                                  << QStringLiteral("连接已中断：COM1 设备已断开");
}

void tst_FrmMainConnection::statusLeadsWithTheCauseAndTheTooltipSaysAll()
{
    QFETCH(QString, failure);
    QFETCH(int, port);
    QFETCH(QString, shortText);
    const QString device = failure == QLatin1String("missing")
        ? QStringLiteral("/dev/termiva-missing-device-with-a-rather-long-name")
        : m_first->devicePath();
    PortMap held;
    held.setDevice(1, device);
    SerialComm holder(held);
    if (failure == QLatin1String("held"))
        QVERIFY(!holder.setPortOpen(true));
    openWindow({{port, device}});
    QLabel *status = label("lblStatus");
    const QRect designed = status->geometry();
    option(port)->click();
    button("cmdConnect")->click();
    if (failure == QLatin1String("pulled")) {
        QVERIFY(m_window->ComPort().PortOpen());
        m_first->vanish();
        QTRY_VERIFY(!m_window->ComPort().PortOpen());
    }

    QVERIFY(!m_window->ComPort().PortOpen());
    // Whole, in a smaller type where the design's is too wide, never cut.
    const QString shown = status->text();
    QCOMPARE(shown, shortText);
    QVERIFY2(status->fontMetrics().horizontalAdvance(shown) <= status->contentsRect().width(),
        qPrintable(shown));
    QVERIFY(status->font().pointSizeF() >= 8.0);
    QCOMPARE(status->geometry(), designed);
    QVERIFY2(status->toolTip().startsWith(shortText + u'\n'), qPrintable(status->toolTip()));
    QVERIFY2(
        status->toolTip().contains(device + QLatin1String(": ")), qPrintable(status->toolTip()));
}

void tst_FrmMainConnection::statusTooltipNamesTheSettingsFileBehindAnyMessage_data()
{
    QTest::addColumn<QByteArray>("settings");
    QTest::addColumn<QString>("note");
    QTest::newRow("plain") << QByteArray() << QString();
    QTest::newRow("language not offered")
        << QByteArray("[UI]\r\nLANG=fr\r\n") << QStringLiteral("[UI] LANG=fr 不是可用的语言");
}

/// Idle, connected or failed, the status line's tooltip says which settings file is in use, and
/// what in it was not understood.
void tst_FrmMainConnection::statusTooltipNamesTheSettingsFileBehindAnyMessage()
{
    QFETCH(QByteArray, settings);
    QFETCH(QString, note);
    openWindow({{1, m_first->devicePath()}}, settings);
    m_window->show();
    QLabel *status = label("lblStatus");
    const QString inUse =
        QStringLiteral("设置文件：%1").arg(QDir::toNativeSeparators(m_settings->settingsFile()));
    // Each step, then the status it leaves.
    const std::pair<std::function<void()>, QString> steps[] = {
        {[] {}, QStringLiteral("空闲")},
        {[this] { button("cmdConnect")->click(); }, QStringLiteral("已连接...")},
        {[this] { QVERIFY(m_first->send("st=0600 pv=0585 out= 128 pid= 010, 005, 002\r\n")); },
            QStringLiteral("连接温度控制器成功！")},
        {[this] { button("cmdDisconnect")->click(); }, QStringLiteral("已断开...")},
    };
    for (const auto &[step, message] : steps) {
        step();
        QTRY_COMPARE(status->text(), message);
        const QString shown = hoverText(status);
        QVERIFY2(shown.startsWith(status->toolTip()), qPrintable(shown));
        QVERIFY2(shown.contains(inUse), qPrintable(shown));
        QCOMPARE(shown.contains(QLatin1String("LANG=")), !note.isEmpty());
        QVERIFY2(shown.contains(note), qPrintable(shown));
    }
}

void tst_FrmMainConnection::closingTheWindowClosesThePort()
{
    openWindow({{1, m_first->devicePath()}});
    m_window->show();
    button("cmdConnect")->click();
    QVERIFY(m_window->ComPort().PortOpen());
    QVERIFY(m_window->close());
    QVERIFY(!m_window->ComPort().PortOpen());
    for (const WindowTimer *timer : m_window->findChildren<WindowTimer *>())
        QVERIFY2(!timer->Enabled(), qPrintable(timer->objectName()));
}

void tst_FrmMainConnection::exitWhileConnectedClosesThePort()
{
    openWindow({{1, m_first->devicePath()}});
    m_window->show();
    button("cmdConnect")->click();
    button("cmdExit")->click();
    QVERIFY(!m_window->ComPort().PortOpen());
    QVERIFY(m_window->isHidden());
    // The device is free again for another program.
    SerialComm other(PortMap::fromSettings(m_settings->settingsFile(), {}));
    QVERIFY(!other.setPortOpen(true));
}

void tst_FrmMainConnection::pulledCableIsReportedAndConnectIsOfferedAgain()
{
    openWindow({{1, m_first->devicePath()}});
    button("cmdConnect")->click();
    QVERIFY(m_window->ComPort().PortOpen());
    m_first->vanish();
    QTRY_VERIFY(!m_window->ComPort().PortOpen());
    QCOMPARE(status(), QStringLiteral("连接已中断：COM1 设备已断开"));
    QVERIFY(connectEnabled());
    QVERIFY(!disconnectEnabled());
}

QTEST_MAIN(tst_FrmMainConnection)
#include "tst_frm_main_connection.moc"
