#include "offline_console.h"
#include "panels/command_panel.h"
#include "shape_control.h"

#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

/// What the operator sends, and the neighbours of the command area.
class tst_FrmMainCommands : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void typedTextGoesOutExactly();
    void sampleCommandFillsTheBoxOnly();
    void bandButtonLightsItsLampAndSendsItsDigitElevenTimes();
    void nothingIsSentWhilePortIsClosed();
    void clearingTheLogKeepsTheCount();
    void markerTooltipShowsTheSetTemperature();

private:
    void type(const QString &text)
    {
        m_console->control<QPlainTextEdit>("send")->setPlainText(text);
    }
    void click(const char *name) { m_console->control<QPushButton>(name)->click(); }
    QList<bool> bandLamps() const;

    std::unique_ptr<OfflineConsole> m_console;
};

void tst_FrmMainCommands::init()
{
    m_console = std::make_unique<OfflineConsole>();
    m_console->connectPort();
}

void tst_FrmMainCommands::cleanup()
{
    m_console.reset();
}

QList<bool> tst_FrmMainCommands::bandLamps() const
{
    QList<bool> lamps;
    for (int band = 0; band < CommandPanel::kBandCount; ++band)
        lamps.append(m_console->lit(QStringLiteral("Shape4_%1").arg(band)));
    return lamps;
}

void tst_FrmMainCommands::typedTextGoesOutExactly()
{
    type(QStringLiteral(" s0450 p009  i004\nD002 T040 "));
    click("comm_send");
    QCOMPARE(m_console->port().sent(), QByteArray(" s0450 p009  i004\r\nD002 T040 "));
    click("comm_send");
    QCOMPARE(m_console->port().sent().size(), 2 * 29);
    QCOMPARE(m_console->text("send"), QStringLiteral(" s0450 p009  i004\nD002 T040 "));
    type(QString());
    click("comm_send");
    QCOMPARE(m_console->port().sent().size(), 2 * 29);
}

void tst_FrmMainCommands::sampleCommandFillsTheBoxOnly()
{
    type(QStringLiteral("S0600"));
    click("send_model");
    QCOMPARE(m_console->text("send"), QStringLiteral("S0450 P009 I004 D002 T040"));
    QVERIFY(m_console->port().sent().isEmpty());
    click("comm_send");
    QCOMPARE(m_console->port().sent(), QByteArray("S0450 P009 I004 D002 T040"));
}

void tst_FrmMainCommands::bandButtonLightsItsLampAndSendsItsDigitElevenTimes()
{
    QCOMPARE(bandLamps(), QList<bool>(9, false));
    click("CommandC");
    QCOMPARE(m_console->port().sent(), QByteArray(11, '3'));
    QList<bool> expected(9, false);
    expected[2] = true;
    QCOMPARE(bandLamps(), expected);
    click("CommandC");
    QCOMPARE(m_console->port().sent(), QByteArray(22, '3'));
    QCOMPARE(bandLamps(), expected);
    click("CommandI");
    QCOMPARE(m_console->port().sent(), QByteArray(22, '3') + QByteArray(11, '9'));
    expected[2] = false;
    expected[8] = true;
    QCOMPARE(bandLamps(), expected);
    click("CommandA");
    QVERIFY(m_console->port().sent().endsWith(QByteArray(11, '1')));
}

void tst_FrmMainCommands::nothingIsSentWhilePortIsClosed()
{
    click("CommandE");
    click("cmdDisconnect");
    type(QStringLiteral("S0600 P010"));
    const QByteArray sentBefore = m_console->port().sent();
    click("comm_send");
    QCOMPARE(m_console->text("lblStatus"), QStringLiteral("串口未打开，未发送"));
    click("CommandB");
    QCOMPARE(m_console->port().sent(), sentBefore);
    QCOMPARE(m_console->text("send"), QStringLiteral("S0600 P010"));
    QVERIFY(m_console->lit("Shape4_4"));
    QVERIFY(!m_console->lit("Shape4_1"));

    click("cmdConnect");
    m_console->port().vanish();
    click("comm_send");
    QCOMPARE(m_console->text("lblStatus"), QStringLiteral("串口未打开，未发送"));
    QCOMPARE(m_console->port().sent(), sentBefore);
}

void tst_FrmMainCommands::clearingTheLogKeepsTheCount()
{
    m_console->receive("st=0600 pv=0585\r\n\r\n");
    click("clearbox");
    QCOMPARE(m_console->text("receive"), QString());
    QCOMPARE(m_console->text("rece_quantity"), QStringLiteral("2"));
    m_console->receive("\r\n");
    QCOMPARE(m_console->text("rece_quantity"), QStringLiteral("3"));
}

void tst_FrmMainCommands::markerTooltipShowsTheSetTemperature()
{
    auto *marker = m_console->control<QPushButton>("set_v");
    const auto hover = [marker] {
        QMouseEvent move(QEvent::MouseMove, QPointF(3, 3), marker->mapToGlobal(QPointF(3, 3)),
            Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(marker, &move);
        return marker->toolTip();
    };
    QCOMPARE(hover(), QStringLiteral("温度设定值 0℃"));
    m_console->receive("st=0450\r\n");
    QCOMPARE(hover(), QStringLiteral("温度设定值 45℃"));
    m_console->receive("st=0455\r\n");
    QCOMPARE(hover(), QStringLiteral("温度设定值 45.5℃"));
}

QTEST_MAIN(tst_FrmMainCommands)
#include "tst_frm_main_commands.moc"
