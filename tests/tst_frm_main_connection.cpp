#include "frm_main.h"
#include "ole_color.h"
#include "profile_reader.h"
#include "pty_pair.h"
#include "serial_comm.h"
#include "session/console_session.h"
#include "settings_dir.h"
#include "system_clock.h"
#include "window_timer.h"

#include <QDir>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QTemporaryDir>
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
    void pulledCableIsReportedAndConnectIsOfferedAgain_data();
    void pulledCableIsReportedAndConnectIsOfferedAgain();
    void reconnectCheckWritesTheSetting_data();
    void reconnectCheckWritesTheSetting();
    void adapterBackAsAnotherNodeIsStillItsPort();

private:
    /// The window reads the settings file written for the ports, or the one given.
    void openWindow(const QMap<int, QString> &ports, const QByteArray &settings = {},
        const QString &windowSettingsFile = {});
    QString hoverText(QWidget *widget) const;
    QString status() const { return label("lblStatus")->text(); }
    /// The status text whole, as its tooltip leads with it.
    QString wholeStatus() const { return label("lblStatus")->toolTip().section(u'\n', 0, 0); }
    /// Clicks the check of the status line's context menu; whether it was checked before.
    bool clickReconnectCheck();
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

void tst_FrmMainConnection::openWindow(
    const QMap<int, QString> &ports, const QByteArray &settings, const QString &windowSettingsFile)
{
    m_settings = std::make_unique<SettingsDir>(ports, settings);
    QVERIFY(m_settings->isValid());
    auto comm = std::make_unique<SerialComm>(PortMap::fromSettings(m_settings->settingsFile(), {}));
    m_window = std::make_unique<frmMain>(std::move(comm), std::make_shared<SystemClock>(),
        windowSettingsFile.isEmpty() ? m_settings->settingsFile() : windowSettingsFile);
}

bool tst_FrmMainConnection::clickReconnectCheck()
{
    QLabel *status = label("lblStatus");
    emit status->customContextMenuRequested(status->rect().center());
    auto *menu = status->findChild<QMenu *>();
    if (!menu || menu->actions().size() != 1)
        return false;
    QAction *check = menu->actions().front();
    const bool was = check->isChecked();
    if (!check->isCheckable() || check->text() != QStringLiteral("断线后自动重连"))
        qFatal("no reconnect check in the status line's menu");
    check->trigger();
    menu->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return was;
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
    for (int port = 1; port <= PortMap::kPortCount; ++port) {
        const bool present = port == 1 || port == 7;
        QVERIFY2(option(port)->isEnabled() == present, qPrintable(QString::number(port)));
        if (!present)
            QCOMPARE(option(port)->palette().color(option(port)->backgroundRole()), buttonFace);
    }
    QCOMPARE(option(7)->toolTip(), m_second->devicePath());
    QCOMPARE(m_window->session().port().CommPort(), 16);
    QVERIFY(!m_window->session().port().PortOpen());
    QVERIFY(option(1)->isChecked());
    QCOMPARE(m_window->session().port().InputLen(), 1);
    QCOMPARE(m_window->session().port().RThreshold(), 1);
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
    QVERIFY(!m_window->session().port().PortOpen());
    QVERIFY(connectEnabled());
    holder.reset();
    button("cmdConnect")->click();
    QVERIFY(m_window->session().port().PortOpen());
    QCOMPARE(status(), QStringLiteral("已连接..."));
}

void tst_FrmMainConnection::connectAndDisconnect()
{
    openWindow({{1, m_first->devicePath()}, {4, m_second->devicePath()}});
    auto *modeWord = m_window->findChild<QLineEdit *>(QStringLiteral("Text1"));
    QCOMPARE(modeWord->text(), QString());

    option(4)->click();
    button("cmdConnect")->click();
    QVERIFY(m_window->session().port().PortOpen());
    QCOMPARE(m_window->session().port().CommPort(), 4);
    QCOMPARE(status(), QStringLiteral("已连接..."));
    QCOMPARE(modeWord->text(), QStringLiteral("EXIT"));
    QVERIFY(!connectEnabled());
    QVERIFY(disconnectEnabled());
    QVERIFY(!m_window->session().sendText(QStringLiteral("ping")));
    QTRY_COMPARE(m_second->received(), QByteArray("ping"));

    button("cmdDisconnect")->click();
    QVERIFY(!m_window->session().port().PortOpen());
    QCOMPARE(status(), QStringLiteral("已断开..."));
    QCOMPARE(modeWord->text(), QStringLiteral("EXIT"));
    QVERIFY(connectEnabled());
    QVERIFY(!disconnectEnabled());

    modeWord->setText(QStringLiteral("OK"));
    button("cmdConnect")->click();
    QVERIFY(m_window->session().port().PortOpen());
    QCOMPARE(status(), QStringLiteral("已连接..."));
    QCOMPARE(modeWord->text(), QStringLiteral("EXIT"));
}

void tst_FrmMainConnection::connectReopensAnOpenPort()
{
    openWindow({{1, m_first->devicePath()}});
    button("cmdConnect")->click();
    QVERIFY(m_window->session().port().PortOpen());
    button("cmdConnect")->setEnabled(true);
    button("cmdConnect")->click();
    QVERIFY(m_window->session().port().PortOpen());
    QCOMPARE(status(), QStringLiteral("已连接..."));
}

void tst_FrmMainConnection::choosingAnotherPortWhileConnectedWaitsForTheNextConnect()
{
    openWindow({{1, m_first->devicePath()}, {7, m_second->devicePath()}});
    button("cmdConnect")->click();
    QCOMPARE(m_window->session().port().CommPort(), 1);
    option(7)->click();
    QCOMPARE(m_window->session().port().CommPort(), 1);
    QVERIFY(m_window->session().port().PortOpen());
    button("cmdDisconnect")->click();
    button("cmdConnect")->click();
    QCOMPARE(m_window->session().port().CommPort(), 7);
    QVERIFY(m_window->session().port().PortOpen());
}

void tst_FrmMainConnection::connectToAMissingPortSaysWhy()
{
    openWindow({{2, m_first->devicePath()}});
    QVERIFY(!option(1)->isEnabled());
    QVERIFY(option(1)->isChecked());
    button("cmdConnect")->click();
    QVERIFY(!m_window->session().port().PortOpen());
    QCOMPARE(status(), QStringLiteral("无法打开 COM1：没有对应的设备"));
    QVERIFY(connectEnabled());
    QVERIFY(!disconnectEnabled());
    QCOMPARE(m_window->findChild<QLineEdit *>(QStringLiteral("Text1"))->text(), QString());

    option(2)->click();
    button("cmdConnect")->click();
    QVERIFY(m_window->session().port().PortOpen());
    QCOMPARE(status(), QStringLiteral("已连接..."));
}

void tst_FrmMainConnection::statusLeadsWithTheCauseAndTheTooltipSaysAll_data()
{
    QTest::addColumn<QString>("failure");
    QTest::addColumn<int>("port");
    QTest::addColumn<QByteArray>("settings");
    QTest::addColumn<QString>("shortText");
    QTest::addColumn<QRect>("place");
    const QRect designed(24, 88, 190, 16);
    QTest::newRow("device missing") << QStringLiteral("missing") << 1 << QByteArray()
                                    << QStringLiteral("无法打开 COM1：设备不存在") << designed;
    QTest::newRow("held by another program")
        << QStringLiteral("held") << 1 << QByteArray()
        << QStringLiteral("无法打开 COM1：已被其他程序占用") << designed;
    QTest::newRow("held, two-digit port")
        << QStringLiteral("held") << 16 << QByteArray()
        << QStringLiteral("无法打开 COM16：已被其他程序占用") << designed;
    QTest::newRow("cable pulled, not waited for")
        << QStringLiteral("pulled") << 1 << QByteArray("RECONNECT=0\r\n")
        << QStringLiteral("连接已中断：COM1 设备已断开") << designed;
    // Too long for the line even at 8 points: it takes the free row between the port options and
    // the buttons, from the options' left edge to the frame's.
    QTest::newRow("cable pulled, waiting")
        << QStringLiteral("pulled") << 1 << QByteArray()
        << QStringLiteral("连接已中断：COM1 设备已断开，等待设备重新连接…")
        << QRect(4, 88, 274, 16);
}

void tst_FrmMainConnection::statusLeadsWithTheCauseAndTheTooltipSaysAll()
{
    QFETCH(QString, failure);
    QFETCH(int, port);
    QFETCH(QByteArray, settings);
    QFETCH(QString, shortText);
    QFETCH(QRect, place);
    const QString device = failure == QLatin1String("missing")
        ? QStringLiteral("/dev/termiva-missing-device-with-a-rather-long-name")
        : m_first->devicePath();
    PortMap held;
    held.setDevice(1, device);
    SerialComm holder(held);
    if (failure == QLatin1String("held"))
        QVERIFY(!holder.setPortOpen(true));
    openWindow({{port, device}}, settings);
    QLabel *status = label("lblStatus");
    option(port)->click();
    button("cmdConnect")->click();
    if (failure == QLatin1String("pulled")) {
        QVERIFY(m_window->session().port().PortOpen());
        m_first->vanish();
        QTRY_VERIFY(!m_window->session().port().PortOpen());
    }

    QVERIFY(!m_window->session().port().PortOpen());
    // Whole, in a smaller type where the design's is too wide, and wider only where even the
    // smallest is.
    const QString shown = status->text();
    QCOMPARE(shown, shortText);
    QVERIFY2(status->fontMetrics().horizontalAdvance(shown) <= status->contentsRect().width(),
        qPrintable(shown));
    QVERIFY(status->font().pointSizeF() >= 8.0);
    QCOMPARE(status->geometry(), place);
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
    QVERIFY(m_window->session().port().PortOpen());
    QVERIFY(m_window->close());
    QVERIFY(!m_window->session().port().PortOpen());
    for (const WindowTimer *timer : m_window->findChildren<WindowTimer *>())
        QVERIFY2(!timer->Enabled(), qPrintable(timer->objectName()));
}

void tst_FrmMainConnection::exitWhileConnectedClosesThePort()
{
    openWindow({{1, m_first->devicePath()}});
    m_window->show();
    button("cmdConnect")->click();
    button("cmdExit")->click();
    QVERIFY(!m_window->session().port().PortOpen());
    QVERIFY(m_window->isHidden());
    // The device is free again for another program.
    SerialComm other(PortMap::fromSettings(m_settings->settingsFile(), {}));
    QVERIFY(!other.setPortOpen(true));
}

void tst_FrmMainConnection::pulledCableIsReportedAndConnectIsOfferedAgain_data()
{
    QTest::addColumn<QByteArray>("settings");
    QTest::addColumn<QString>("then");
    QTest::addColumn<QString>("shortText");
    QTest::addColumn<bool>("disconnectOffered");
    const QString notAwaited = QStringLiteral("连接已中断：COM1 设备已断开");
    QTest::newRow("RECONNECT=0: not waited for")
        << QByteArray("RECONNECT=0\r\n") << QString() << notAwaited << false;
    QTest::newRow("waiting: 断开 offered")
        << QByteArray() << QString()
        << QStringLiteral("连接已中断：COM1 设备已断开，等待设备重新连接…") << true;
    QTest::newRow("断开 during the wait ends it")
        << QByteArray() << QStringLiteral("cmdDisconnect") << QStringLiteral("已断开...") << false;
    QTest::newRow("another port during the wait ends it")
        << QByteArray() << QStringLiteral("optComPort_1") << notAwaited << false;
    QTest::newRow("the menu check turned off during the wait ends it")
        << QByteArray() << QStringLiteral("menu") << notAwaited << false;
}

void tst_FrmMainConnection::pulledCableIsReportedAndConnectIsOfferedAgain()
{
    QFETCH(QByteArray, settings);
    QFETCH(QString, then);
    QFETCH(QString, shortText);
    QFETCH(bool, disconnectOffered);
    openWindow({{1, m_first->devicePath()}, {2, m_second->devicePath()}}, settings);
    button("cmdConnect")->click();
    QVERIFY(m_window->session().port().PortOpen());
    m_first->vanish();
    QTRY_VERIFY(!m_window->session().port().PortOpen());
    if (then == QLatin1String("menu"))
        QVERIFY(clickReconnectCheck());
    else if (then == QLatin1String("cmdDisconnect"))
        button("cmdDisconnect")->click();
    else if (!then.isEmpty())
        m_window->findChild<QRadioButton *>(then)->click();
    QCOMPARE(wholeStatus(), shortText);
    QVERIFY(connectEnabled());
    QCOMPARE(disconnectEnabled(), disconnectOffered);
    QVERIFY(!m_window->session().port().PortOpen());
}

void tst_FrmMainConnection::reconnectCheckWritesTheSetting_data()
{
    QTest::addColumn<QByteArray>("settings");
    QTest::addColumn<QString>("inUse");
    QTest::addColumn<bool>("checked");
    QTest::addColumn<QString>("written");
    QTest::addColumn<QString>("shortText");
    QTest::newRow("the settings file in use")
        << QByteArray("; bench 3\r\n") << QString() << true << QStringLiteral("tarvex.ini")
        << QStringLiteral("空闲");
    QTest::newRow("RECONNECT=0 leaves it unchecked")
        << QByteArray("RECONNECT=0\r\n") << QString() << false << QStringLiteral("tarvex.ini")
        << QStringLiteral("空闲");
    QTest::newRow("none found: the user's own")
        << QByteArray() << QStringLiteral("missing/tarvex.ini") << true
        << QStringLiteral("config/Termiva/tarvex.ini") << QStringLiteral("空闲");
    QTest::newRow("a folder in the way: said, and off for now")
        << QByteArray() << QStringLiteral("folder.ini") << true << QString()
        << QStringLiteral("无法写入设置文件：%1 不是普通文件");
}

/// The check turns reconnecting on or off at once and writes [PORTS] RECONNECT where the
/// console finds it the next time.
void tst_FrmMainConnection::reconnectCheckWritesTheSetting()
{
    QFETCH(QByteArray, settings);
    QFETCH(QString, inUse);
    QFETCH(bool, checked);
    QFETCH(QString, written);
    QFETCH(QString, shortText);
    QTemporaryDir home;
    QVERIFY(home.isValid());
    const QByteArray configHome = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral("config"))));
    const auto restore = qScopeGuard([&configHome] {
        if (configHome.isNull())
            qunsetenv("XDG_CONFIG_HOME");
        else
            qputenv("XDG_CONFIG_HOME", configHome);
    });
    QVERIFY(QDir(home.path()).mkdir(QStringLiteral("folder.ini")));
    openWindow(
        {{1, m_first->devicePath()}}, settings, inUse.isEmpty() ? QString() : home.filePath(inUse));
    const QString file = written == QLatin1String("tarvex.ini") ? m_settings->settingsFile()
                                                                : home.filePath(written);

    QCOMPARE(clickReconnectCheck(), checked);
    if (shortText.contains(u'%'))
        QCOMPARE(wholeStatus(), shortText.arg(QDir::toNativeSeparators(home.filePath(inUse))));
    else
        QCOMPARE(status(), shortText);
    const auto reconnect = [&file] {
        return readProfileString(QStringLiteral("PORTS"), QStringLiteral("RECONNECT"), file);
    };
    if (!written.isEmpty()) {
        QCOMPARE(reconnect(), checked ? QStringLiteral("0") : QStringLiteral("1"));
        QCOMPARE(clickReconnectCheck(), !checked);
        QCOMPARE(reconnect(), checked ? QStringLiteral("1") : QStringLiteral("0"));
        QCOMPARE(clickReconnectCheck(), checked);
    }
    if (settings.startsWith(';')) {
        QCOMPARE(readProfileString(QStringLiteral("PORTS"), QStringLiteral("COM1"), file),
            m_first->devicePath());
        QFile kept(file);
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QVERIFY(kept.readAll().contains(settings));
    }

    // Checked, then clicked: a pulled cable is not waited for.
    button("cmdConnect")->click();
    m_first->vanish();
    QTRY_VERIFY(!m_window->session().port().PortOpen());
    QCOMPARE(wholeStatus(),
        checked ? QStringLiteral("连接已中断：COM1 设备已断开")
                : QStringLiteral("连接已中断：COM1 设备已断开，等待设备重新连接…"));
}

/// Unplugged, the adapter's stable link goes; plugged in again it leads to another node, and the
/// same port number opens it by itself. The port option's tooltip follows.
void tst_FrmMainConnection::adapterBackAsAnotherNodeIsStillItsPort()
{
    QTemporaryDir byId;
    QVERIFY(byId.isValid());
    const QString link =
        byId.filePath(QStringLiteral("usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0"));
    QVERIFY(QFile::link(m_first->devicePath(), link));
    m_settings = std::make_unique<SettingsDir>(QMap<int, QString>{{1, m_first->devicePath()}});
    m_window = std::make_unique<frmMain>(std::make_unique<SerialComm>(PortMap::fromSettings(
                                             m_settings->settingsFile(), {}, byId.path())),
        std::make_shared<SystemClock>(), m_settings->settingsFile());
    const QString node = QStringLiteral("%1\n当前设备：%2");
    QCOMPARE(option(1)->toolTip(), node.arg(link, m_first->devicePath()));
    button("cmdConnect")->click();
    QVERIFY(m_window->session().port().PortOpen());

    QVERIFY(QFile::remove(link));
    m_first->vanish();
    QTRY_VERIFY(!m_window->session().port().PortOpen());
    QCOMPARE(wholeStatus(), QStringLiteral("连接已中断：COM1 设备已断开，等待设备重新连接…"));
    QCOMPARE(option(1)->toolTip(), node.arg(link, QStringLiteral("未接入")));

    // Back, but another program holds it: said, and tried again until it is free.
    SerialComm holder(PortMap::fromSettings(
        SettingsDir({{1, m_second->devicePath()}}).settingsFile(), {}, QString()));
    QVERIFY(!holder.setPortOpen(true));
    QVERIFY(QFile::link(m_second->devicePath(), link));
    QTRY_COMPARE(wholeStatus(), QStringLiteral("COM1 无法打开：已被其他程序占用，重试中…"));
    QVERIFY(!m_window->session().port().PortOpen());
    QVERIFY(!holder.setPortOpen(false));
    // Freed, it is tried again within a second, not at the next change in its folder (there is
    // none); the bound leaves room for a loaded machine.
    QTRY_VERIFY_WITH_TIMEOUT(m_window->session().port().PortOpen(), 2500);
    QCOMPARE(m_window->session().port().CommPort(), 1);
    QCOMPARE(status(), QStringLiteral("已重新连接 COM1"));
    const QString nodes = QStringLiteral("设备现为 %1，断开前为 %2")
                              .arg(m_second->devicePath(), m_first->devicePath());
    QCOMPARE(label("lblStatus")->toolTip().section(u'\n', 1), nodes);
    // The log takes its entries at the next turn of the event loop, which a loaded machine
    // may not have come to yet.
    const auto *log = m_window->findChild<QPlainTextEdit *>("receive");
    QTRY_VERIFY2(log->toPlainText().contains(nodes), qPrintable(log->toPlainText()));
    QCOMPARE(option(1)->toolTip(), node.arg(link, m_second->devicePath()));
    QVERIFY(m_second->send("st=0600 pv=0585 out= 128 pid= 010, 005, 002\r\n"));
    QTRY_COMPARE(label("rece_quantity")->text(), QStringLiteral("1"));
    QCOMPARE(status(), QStringLiteral("已重新连接 COM1"));
    QVERIFY(!connectEnabled());
    QVERIFY(disconnectEnabled());
}

QTEST_MAIN(tst_FrmMainConnection)
#include "tst_frm_main_connection.moc"
