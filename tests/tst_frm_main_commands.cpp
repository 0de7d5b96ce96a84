#include "controls/shape_control.h"
#include "offline_console.h"
#include "panels/command_panel.h"
#include "records/csv_format.h"

#include <QDir>
#include <QLabel>
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
    void controllerConfirmsOrNot_data();
    void controllerConfirmsOrNot();
    void lostDeviceLeavesTheCommandUnjudged();
    void clearingTheLogKeepsTheCount();
    void markerTooltipShowsTheSetTemperature();

private:
    void type(const QString &text)
    {
        m_console->control<QPlainTextEdit>("send")->setPlainText(text);
    }
    void click(const char *name) { m_console->control<QPushButton>(name)->click(); }
    QList<bool> bandLamps() const;
    /// Telemetry lines showing these values, a tick apart.
    void lines(int count, int set, int p, int i = 5, int d = 2);
    /// The rows of the connection's record but its lines: kind, text, set_c and p.
    QList<QStringList> recordedRows() const;
    /// The status line's whole text, as its tooltip holds it; what the line shows must be that
    /// or its beginning where it is too long.
    QString status() const;

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

void tst_FrmMainCommands::lines(int count, int set, int p, int i, int d)
{
    const QByteArray line = QStringLiteral("st=%1 pv=0585 out= 128 pid= %2, %3, %4\r\n")
                                .arg(set, 4, 10, QLatin1Char('0'))
                                .arg(p, 3, 10, QLatin1Char('0'))
                                .arg(i, 3, 10, QLatin1Char('0'))
                                .arg(d, 3, 10, QLatin1Char('0'))
                                .toLatin1();
    for (int n = 0; n < count; ++n) {
        m_console->receive(line);
        m_console->tick(5);
    }
}

QString tst_FrmMainCommands::status() const
{
    const QString whole = m_console->control<QLabel>("lblStatus")->toolTip();
    const QString shown = m_console->text("lblStatus");
    if (shown != whole && !(shown.endsWith(u'…') && whole.startsWith(shown.chopped(1))))
        return shown;
    return whole;
}

QList<QStringList> tst_FrmMainCommands::recordedRows() const
{
    const QDir folder(m_console->window().recordsDirectory());
    QFile file(folder.filePath(folder.entryList({QStringLiteral("*_COM*.csv")}).value(0)));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<QStringList> rows;
    for (const QStringList &row : CsvFormat::parse(QString::fromUtf8(file.readAll())).mid(1)) {
        if (row.value(2) != QLatin1String("line"))
            rows.append({row.value(2), row.value(9), row.value(3), row.value(6)});
    }
    return rows;
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

void tst_FrmMainCommands::controllerConfirmsOrNot_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("shownP"); // what the lines show after the send, set 60.0 °C
    QTest::addColumn<QString>("verdict");
    QTest::addColumn<QStringList>("row"); // kind, text, set_c, p
    QTest::addColumn<bool>("endedByCommand"); // else by disconnecting
    QTest::newRow("taken") << "S0600 P010 I005 D002" << 10
                           << "控制器已确认：设定 60.0 ℃，P 10，I 5，D 2"
                           << QStringList{"confirm", "S0600 P010 I005 D002", "60.0", "10"} << true;
    QTest::newRow("P kept at 10") << "S0600 P012 I005 D002" << 10
                                  << "控制器未确认：P 发送 12，仍为 10"
                                  << QStringList{"unconfirmed", "S0600 P012 I005 D002", "60.0",
                                         "10"}
                                  << false;
    // The sliders stop at 100; the controller's lines are what counts.
    QTest::newRow("a gain beyond the slider, lower case")
        << "p150 s0600" << 150 << "控制器已确认：设定 60.0 ℃，P 150"
        << QStringList{"confirm", "S0600 P150", "60.0", "150"} << false;
    QTest::newRow("free text") << "hello" << 10 << "" << QStringList{} << true;
}

/// After a parameter command the status line and the log say whether the lines showed it, once;
/// the verdict stands while lines arrive, until the next command or a connection change.
void tst_FrmMainCommands::controllerConfirmsOrNot()
{
    QFETCH(QString, typed);
    QFETCH(int, shownP);
    QFETCH(QString, verdict);
    QFETCH(QStringList, row);
    QFETCH(bool, endedByCommand);
    const QString connected = QStringLiteral("连接温度控制器成功！");
    m_console->time().setNow(QDateTime(QDate(2026, 12, 8), QTime(9, 30)));
    lines(2, 450, 9, 4);
    type(typed);
    click("comm_send");
    QCOMPARE(m_console->port().sent(), typed.toLatin1());
    lines(20, 600, shownP);
    QCOMPARE(status(), verdict.isEmpty() ? connected : verdict);
    const QString log = m_console->text("receive");
    QCOMPARE(log.count(QStringLiteral("(控制器")), verdict.isEmpty() ? 0 : 1);
    QVERIFY(verdict.isEmpty() || log.contains(QStringLiteral("(%1)").arg(verdict)));
    m_console->tick(10); // the rows reach the file
    const QList<QStringList> rows = recordedRows();
    QCOMPARE(rows.value(0), (QStringList{"sent", typed, "", ""}));
    QCOMPARE(rows.value(1), row);
    QCOMPARE(rows.size(), row.isEmpty() ? 1 : 2);

    if (endedByCommand) {
        type(QStringLiteral("x"));
        click("comm_send");
        lines(1, 600, shownP);
        QCOMPARE(status(), connected);
    } else {
        click("cmdDisconnect");
        QCOMPARE(status(), QStringLiteral("已断开..."));
        click("cmdConnect");
        lines(1, 600, shownP);
        QCOMPARE(status(), connected);
    }
}

/// The lines after a lost device say nothing of a command sent before it: no verdict, ever.
void tst_FrmMainCommands::lostDeviceLeavesTheCommandUnjudged()
{
    m_console->time().setNow(QDateTime(QDate(2026, 12, 8), QTime(9, 30)));
    lines(2, 450, 9);
    type(QStringLiteral("S0600 P012"));
    click("comm_send");
    // Five lines have come, the five seconds not yet.
    lines(5, 450, 9);
    m_console->port().vanish();
    m_console->tick(100);
    QVERIFY2(status().startsWith(QStringLiteral("连接已中断")), qPrintable(status()));
    QVERIFY(!m_console->text("receive").contains(QStringLiteral("(控制器")));
    QCOMPARE(recordedRows().value(0), (QStringList{"sent", "S0600 P012", "", ""}));
    QCOMPARE(recordedRows().value(1).value(0), QStringLiteral("lost"));
    QCOMPARE(recordedRows().size(), 2);
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
