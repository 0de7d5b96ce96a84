#include "controls/character_drawing.h"
#include "controls/shape_control.h"
#include "morph_display.h"
#include "offline_console.h"
#include "panels/receive_log.h"
#include "uc_histogram.h"
#include "window_timer.h"

#include <QImage>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>

namespace {
const QByteArray kSampleLine("st=0600 pv=0585 out= 128 pid= 010, 005, 002\r\n");

QByteArray line(int set, int current, int output = 128, int p = 10, int i = 5, int d = 2)
{
    return QStringLiteral("st=%1 pv=%2 out= %3 pid= %4, %5, %6\r\n")
        .arg(set, 4, 10, QLatin1Char('0'))
        .arg(current, 4, 10, QLatin1Char('0'))
        .arg(output, 3, 10, QLatin1Char('0'))
        .arg(p, 3, 10, QLatin1Char('0'))
        .arg(i, 3, 10, QLatin1Char('0'))
        .arg(d, 3, 10, QLatin1Char('0'))
        .toLatin1();
}
} // namespace

/// The telemetry receiver, driven at the serial component's interface.
class tst_FrmMainReceiver : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void sampleLineFillsTheWindow();
    void lineSplitAcrossBurstsIsOneLine();
    void partLineHeldWhenTheLinkBreaksIsDropped_data();
    void partLineHeldWhenTheLinkBreaksIsDropped();
    void onlyCarriageReturnLineFeedCompletesALine();
    void emptyLineCountsAndKeepsTheValues();
    void modeSignalsSwitchCaptionLampAndFollowing();
    void signalBeforeALineShiftsItsFields();
    void lowerCaseLettersAreNotSignals();
    void alarmAboveOneHundredFiftyTenths();
    void modeOkKeepsTheNormalLampLit();
    void fieldsThatDoNotConvertKeepTheOldValues();
    void slidersRefuseValuesOutsideTheirRange();
    void highestTemperatureOnlyRises();
    void operatorsOvershootEditDecidesTheNext_data();
    void operatorsOvershootEditDecidesTheNext();
    void setPointMarkerSitsAtTheSetTemperature();
    void operatorMovingASliderOnlyUpdatesItsLabel();
    void drawingChangesColourWithEveryCharacter();
    void colourChangeRepaintsWhereTheCharactersStand();
    void colourChangeLeavesTheSlidersOverTheDrawingAlone();
    void newFiguresLeaveTheFrameUnderThemAlone();
    void longRunWithoutLineEndIsDropped();
    void logKeepsTheNewestEntries();
    void countGoesPastThe16BitLimit();

private:
    std::unique_ptr<OfflineConsole> m_console;
};

void tst_FrmMainReceiver::init()
{
    m_console = std::make_unique<OfflineConsole>();
    m_console->connectPort();
    QVERIFY(m_console->port().PortOpen());
}

void tst_FrmMainReceiver::cleanup()
{
    m_console.reset();
    QLocale::setDefault(QLocale::system());
}

void tst_FrmMainReceiver::sampleLineFillsTheWindow()
{
    OfflineConsole &console = *m_console;
    QVERIFY(!console.timer("Timer2")->Enabled());
    QVERIFY(!console.timer("Timer4")->Enabled());
    console.time().setNow(QDateTime(QDate(2026, 12, 6), QTime(14, 30, 5)));
    QLocale::setDefault(QLocale::c()); // no regional settings: stamped in Chinese (China) form
    console.receive(kSampleLine);

    const ControllerState &state = console.window().session().controller();
    QCOMPARE(state.SetTempTenths, 600);
    QCOMPARE(state.CurTempTenths, 585);
    QCOMPARE(state.MaxTempTenths, 585);
    QCOMPARE(console.text("Text2_0"), QStringLiteral("60"));
    QCOMPARE(console.text("Text2_1"), QStringLiteral("58.5"));
    QCOMPARE(console.text("Text2_2"), QStringLiteral("50.20%"));
    QCOMPARE(console.sliderValue(0), 60);
    QCOMPARE(console.sliderValue(3), 10);
    QCOMPARE(console.sliderValue(4), 5);
    QCOMPARE(console.sliderValue(5), 2);
    QCOMPARE(console.text("Label7_0"), QStringLiteral("60"));
    QCOMPARE(console.text("Label7_3"), QStringLiteral("10"));
    QCOMPARE(console.text("Label7_5"), QStringLiteral("2"));
    QCOMPARE(console.text("txtBarcode"), QStringLiteral("585"));
    QCOMPARE(console.control<MorphDisplay>("Mo")->Value(), QStringLiteral("585"));
    QCOMPARE(console.text("rece_quantity"), QStringLiteral("1"));
    QCOMPARE(console.text("lblStatus"), QStringLiteral("连接温度控制器成功！"));
    QVERIFY(console.lit("Shape3"));
    QVERIFY(!console.lit("Shape2"));
    QVERIFY(console.timer("Timer2")->Enabled());
    QVERIFY(console.timer("Timer4")->Enabled());
    QVERIFY(console.window().session().heldLine().text().isEmpty());

    const QString expectedEntry =
        QStringLiteral(" 2026/12/6 14:30 ") + QString::fromLatin1(kSampleLine).chopped(2);
    QCOMPARE(console.text("receive"), expectedEntry);
    QCOMPARE(console.control<QPlainTextEdit>("receive")->textCursor().position(),
        console.text("receive").size());
}

void tst_FrmMainReceiver::lineSplitAcrossBurstsIsOneLine()
{
    m_console->receive(kSampleLine.left(10));
    QCOMPARE(m_console->text("rece_quantity"), QStringLiteral("0"));
    QVERIFY(!m_console->timer("Timer2")->Enabled());
    m_console->receive(kSampleLine.mid(10, 34));
    m_console->receive(kSampleLine.mid(44) + kSampleLine);
    QCOMPARE(m_console->text("rece_quantity"), QStringLiteral("2"));
    QCOMPARE(m_console->window().session().controller().CurTempTenths, 585);
}

void tst_FrmMainReceiver::partLineHeldWhenTheLinkBreaksIsDropped_data()
{
    QTest::addColumn<QString>("breakage");
    QTest::addColumn<QByteArray>("held");
    QTest::newRow("断开, then 连接") << QStringLiteral("cmdDisconnect") << kSampleLine.left(13);
    QTest::newRow("lost device, then 连接") << QStringLiteral("vanish") << kSampleLine.left(13);
    QTest::newRow("lost inside an overlong line")
        << QStringLiteral("vanish") << QByteArray(LineCollector::kCap + 10, 'x');
}

/// The first line after the gap is read whole, never joined to what came before it.
void tst_FrmMainReceiver::partLineHeldWhenTheLinkBreaksIsDropped()
{
    QFETCH(QString, breakage);
    QFETCH(QByteArray, held);
    m_console->receive(kSampleLine);
    m_console->receive(held);
    if (breakage == QLatin1String("vanish"))
        m_console->port().vanish();
    else
        QVERIFY(m_console->click(breakage));
    m_console->connectPort();
    QVERIFY(m_console->port().PortOpen());
    QVERIFY(m_console->window().session().heldLine().text().isEmpty());
    m_console->receive(line(600, 612));
    QCOMPARE(m_console->text("rece_quantity"), QStringLiteral("2"));
    QCOMPARE(m_console->window().session().controller().CurTempTenths, 612);
    const QString log = m_console->text("receive");
    QVERIFY2(log.endsWith(u' ' + QString::fromLatin1(line(600, 612)).chopped(2)), qPrintable(log));
    QVERIFY(!log.contains(QLatin1String("丢弃")));
}

void tst_FrmMainReceiver::onlyCarriageReturnLineFeedCompletesALine()
{
    m_console->receive("st=0600 pv=0585\r");
    m_console->receive("x\n\r");
    QCOMPARE(m_console->text("rece_quantity"), QStringLiteral("0"));
    m_console->receive("\n");
    QCOMPARE(m_console->text("rece_quantity"), QStringLiteral("1"));
    QCOMPARE(m_console->window().session().controller().SetTempTenths, 600);
}

void tst_FrmMainReceiver::emptyLineCountsAndKeepsTheValues()
{
    m_console->receive(kSampleLine);
    m_console->receive("\r\n");
    QCOMPARE(m_console->text("rece_quantity"), QStringLiteral("2"));
    QCOMPARE(m_console->control<QPlainTextEdit>("receive")->blockCount(), 2);
    QCOMPARE(m_console->window().session().controller().CurTempTenths, 585);
    QCOMPARE(m_console->text("Text2_2"), QStringLiteral("50.20%"));
    QCOMPARE(m_console->sliderValue(3), 10);
}

void tst_FrmMainReceiver::modeSignalsSwitchCaptionLampAndFollowing()
{
    OfflineConsole &console = *m_console;
    QCOMPARE(console.text("Text1"), QStringLiteral("EXIT"));
    console.receive(kSampleLine);
    console.receive("N");
    QCOMPARE(console.text("Text1"), QStringLiteral("EXIT"));
    QCOMPARE(console.text("Label1_0"), QStringLiteral("当前温度："));
    QVERIFY(!console.lit("Shape3"));
    QCOMPARE(console.window().session().controller().FollowCurrentTemp, 0);
    console.receive("\r\n" + line(600, 590));
    QCOMPARE(console.text("txtBarcode"), QStringLiteral("590"));
    QCOMPARE(console.control<MorphDisplay>("Mo")->Value(), QStringLiteral("585"));

    console.receive("O");
    QCOMPARE(console.text("Text1"), QStringLiteral("OK"));
    QCOMPARE(console.text("Label1_0"), QStringLiteral("设定温度："));
    QVERIFY(console.lit("Shape3"));
    QCOMPARE(console.window().session().controller().FollowCurrentTemp, 1);
    console.receive("\r\n" + line(600, 595));
    QCOMPARE(console.control<MorphDisplay>("Mo")->Value(), QStringLiteral("595"));
}

void tst_FrmMainReceiver::signalBeforeALineShiftsItsFields()
{
    m_console->receive(line(500, 480));
    m_console->receive("O" + kSampleLine);
    const ControllerState &state = m_console->window().session().controller();
    QCOMPARE(state.SetTempTenths, 500);
    QCOMPARE(state.CurTempTenths, 480);
    QCOMPARE(m_console->text("Text2_2"), QStringLiteral("4.71%")); // " 12" read one place left
    QCOMPARE(m_console->text("rece_quantity"), QStringLiteral("2"));
}

void tst_FrmMainReceiver::lowerCaseLettersAreNotSignals()
{
    m_console->receive("o");
    QCOMPARE(m_console->text("Text1"), QStringLiteral("EXIT"));
    m_console->receive("O\r\nn");
    QCOMPARE(m_console->text("Text1"), QStringLiteral("OK"));
    QCOMPARE(m_console->window().session().controller().FollowCurrentTemp, 1);
}

void tst_FrmMainReceiver::alarmAboveOneHundredFiftyTenths()
{
    m_console->receive(line(600, 750));
    QVERIFY(m_console->lit("Shape3"));
    QVERIFY(!m_console->lit("Shape2"));
    m_console->receive(line(600, 751));
    QVERIFY(!m_console->lit("Shape3"));
    QVERIFY(m_console->lit("Shape2"));
    m_console->receive(line(600, 600));
    QVERIFY(m_console->lit("Shape3"));
    QVERIFY(!m_console->lit("Shape2"));
}

void tst_FrmMainReceiver::modeOkKeepsTheNormalLampLit()
{
    m_console->control<ShapeControl>("Shape1")->setFillColor(Qt::red);
    m_console->receive("O\r\n");
    m_console->receive(line(600, 900));
    QVERIFY(m_console->lit("Shape3"));
    QVERIFY(!m_console->lit("Shape2"));
    QVERIFY(!m_console->lit("Shape1"));
}

void tst_FrmMainReceiver::fieldsThatDoNotConvertKeepTheOldValues()
{
    m_console->receive(kSampleLine);
    m_console->receive("st=x?.? pv=    out= abc pid= 0x1, -.-, ???\r\n");
    const ControllerState &state = m_console->window().session().controller();
    QCOMPARE(state.SetTempTenths, 600);
    QCOMPARE(state.CurTempTenths, 585);
    QCOMPARE(m_console->text("Text2_2"), QStringLiteral("50.20%"));
    QCOMPARE(m_console->sliderValue(3), 10);
    QCOMPARE(m_console->sliderValue(4), 5);
    QCOMPARE(m_console->sliderValue(5), 2);
    QCOMPARE(m_console->text("txtBarcode"), QStringLiteral("585"));
    QCOMPARE(m_console->text("rece_quantity"), QStringLiteral("2"));
}

void tst_FrmMainReceiver::slidersRefuseValuesOutsideTheirRange()
{
    m_console->receive(line(600, 585, 128, 10, 5, 2));
    m_console->receive(line(1015, 585, 128, 150, 101, 100));
    QCOMPARE(m_console->sliderValue(0), 60);
    QCOMPARE(m_console->sliderValue(3), 10);
    QCOMPARE(m_console->sliderValue(4), 5);
    QCOMPARE(m_console->sliderValue(5), 100);
    QCOMPARE(m_console->text("Label7_3"), QStringLiteral("10"));
    QCOMPARE(m_console->text("Text2_0"), QStringLiteral("101.5"));
    // A slider past its end stays; its tooltip says what the controller reports.
    const auto tip = [this](const char *slider) {
        return m_console->control(QLatin1String(slider))->toolTip();
    };
    QCOMPARE(tip("HScroll1_3"), QStringLiteral("控制器报告 P 150（滑块范围 0–100）"));
    QCOMPARE(tip("HScroll1_4"), QStringLiteral("控制器报告 I 101（滑块范围 0–100）"));
    QCOMPARE(tip("HScroll1_5"), QString());
    m_console->receive(line(600, 585, 128, 159, 79, 107));
    QCOMPARE((QList<int>{
                 m_console->sliderValue(3), m_console->sliderValue(4), m_console->sliderValue(5)}),
        (QList<int>{10, 79, 100}));
    QCOMPARE(m_console->text("Label7_3"), QStringLiteral("10"));
    QCOMPARE(m_console->text("Label7_5"), QStringLiteral("100"));
    QCOMPARE(tip("HScroll1_3"), QStringLiteral("控制器报告 P 159（滑块范围 0–100）"));
    QCOMPARE(tip("HScroll1_4"), QString());
    QCOMPARE(tip("HScroll1_5"), QStringLiteral("控制器报告 D 107（滑块范围 0–100）"));
    m_console->receive(line(605, 585));
    QCOMPARE(tip("HScroll1_3"), QString());
    QCOMPARE(m_console->sliderValue(0), 60);
    QCOMPARE(m_console->text("Text2_0"), QStringLiteral("60.5"));
    m_console->receive(line(615, 585));
    QCOMPARE(m_console->sliderValue(0), 62);
}

void tst_FrmMainReceiver::highestTemperatureOnlyRises()
{
    m_console->receive(line(600, 612));
    m_console->receive(line(600, 590));
    QCOMPARE(m_console->text("Text2_1"), QStringLiteral("61.2"));
    QCOMPARE(m_console->window().session().controller().MaxTempTenths, 612);
    m_console->receive(line(600, 613));
    QCOMPARE(m_console->text("Text2_1"), QStringLiteral("61.3"));
}

void tst_FrmMainReceiver::operatorsOvershootEditDecidesTheNext_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("overshoot");
    QTest::addColumn<QString>("peakTime");
    QTest::newRow("below the next overshoot") << "0.5%"
                                              << "1.00%"
                                              << "0.5s";
    QTest::newRow("no percentage") << "abc"
                                   << "1.00%"
                                   << "0.5s";
    QTest::newRow("above the next overshoot") << "5%"
                                              << "5%"
                                              << "0s";
}

/// What the operator typed over the stamped overshoot is what the next one must exceed.
void tst_FrmMainReceiver::operatorsOvershootEditDecidesTheNext()
{
    QFETCH(QString, typed);
    QFETCH(QString, overshoot);
    QFETCH(QString, peakTime);
    m_console->receive(line(600, 612));
    QCOMPARE(m_console->text("perfor_index_1"), QStringLiteral("2.00%"));
    QVERIFY(m_console->type(QStringLiteral("perfor_index_1"), typed));
    m_console->tick(5);
    m_console->receive(line(600, 606));
    QCOMPARE(m_console->text("perfor_index_1"), overshoot);
    QCOMPARE(m_console->text("perfor_index_2"), peakTime);
}

void tst_FrmMainReceiver::setPointMarkerSitsAtTheSetTemperature()
{
    const auto *chart = m_console->control<ucHistogram>("ucHistogram1");
    const auto *marker = m_console->control<QPushButton>("set_v");
    const auto markerMiddle = [&] {
        return marker->mapTo(&m_console->window(), QPoint(0, marker->height() / 2)).y();
    };
    const int startX = marker->x();
    m_console->receive(line(600, 585));
    QVERIFY(qAbs(markerMiddle() - (chart->y() + chart->height() / 2)) <= 1);
    m_console->receive(line(1200, 585));
    QVERIFY(qAbs(markerMiddle() - chart->y()) <= 1);
    m_console->receive(line(0, 585));
    QVERIFY(qAbs(markerMiddle() - (chart->y() + chart->height())) <= 1);
    QCOMPARE(marker->x(), startX);
}

void tst_FrmMainReceiver::operatorMovingASliderOnlyUpdatesItsLabel()
{
    m_console->control<QScrollBar>("HScroll1_1")->setValue(42);
    QCOMPARE(m_console->text("Label7_1"), QStringLiteral("42"));
    m_console->control<QScrollBar>("HScroll1_0")->setValue(7);
    QCOMPARE(m_console->text("Label7_0"), QStringLiteral("7"));
    QVERIFY(m_console->port().sent().isEmpty());
}

void tst_FrmMainReceiver::drawingChangesColourWithEveryCharacter()
{
    const auto *drawing = m_console->control<CharacterDrawing>("Label11");
    QList<QColor> colours{drawing->ForeColor()};
    for (const char c : QByteArray("ab\r\nO")) {
        m_console->receive(QByteArray(1, c));
        colours.append(drawing->ForeColor());
    }
    for (qsizetype n = 1; n < colours.size(); ++n)
        QVERIFY(colours[n] != colours[n - 1]);
}

void tst_FrmMainReceiver::colourChangeRepaintsWhereTheCharactersStand()
{
    auto *drawing = m_console->control<CharacterDrawing>("Label11");
    const auto render = [drawing](const QColor &colour) {
        drawing->setForeColor(colour);
        QImage image(drawing->size(), QImage::Format_RGB32);
        image.fill(Qt::white);
        drawing->render(&image, {}, {}, QWidget::DrawChildren);
        return image;
    };
    const QImage red = render(Qt::red);
    const QImage blue = render(Qt::blue);
    const QRegion inked = drawing->inkedRegion();
    int changed = 0;
    for (int y = 0; y < red.height(); ++y) {
        for (int x = 0; x < red.width(); ++x) {
            if (red.pixel(x, y) == blue.pixel(x, y))
                continue;
            ++changed;
            QVERIFY2(
                inked.contains(QPoint(x, y)), qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
        }
    }
    QVERIFY(changed > 100);
}

namespace {
/// Counts the paints of the controls it watches.
class PaintCounter : public QObject
{
public:
    int paints = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        paints += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
};
} // namespace

void tst_FrmMainReceiver::colourChangeLeavesTheSlidersOverTheDrawingAlone()
{
    OfflineConsole shown(OfflineConsole::Visibility::Shown);
    shown.connectPort();
    shown.receive("x");
    PaintCounter counter;
    for (const char *slider : {"HScroll1_0", "HScroll1_1", "HScroll1_2"})
        shown.control(slider)->installEventFilter(&counter);
    auto *drawing = shown.control<CharacterDrawing>("Label11");
    const int drawingPaints = [&] {
        PaintCounter drawingCounter;
        drawing->installEventFilter(&drawingCounter);
        shown.receive("xyz");
        drawing->removeEventFilter(&drawingCounter);
        return drawingCounter.paints;
    }();
    QVERIFY(drawingPaints > 0);
    QCOMPARE(counter.paints, 0);
}

void tst_FrmMainReceiver::newFiguresLeaveTheFrameUnderThemAlone()
{
    OfflineConsole shown(OfflineConsole::Visibility::Shown);
    shown.connectPort();
    shown.receive(kSampleLine);
    PaintCounter frame;
    shown.control("fraFrames_1")->installEventFilter(&frame);
    PaintCounter readout;
    shown.control("Mo")->installEventFilter(&readout);
    shown.receive("st=0600 pv=0591 out= 120 pid= 010, 005, 002\r\n");
    QVERIFY(readout.paints > 0);
    QCOMPARE(frame.paints, 0);
}

void tst_FrmMainReceiver::longRunWithoutLineEndIsDropped()
{
    m_console->receive(QByteArray(100000, 'x'));
    QVERIFY(m_console->window().session().heldLine().text().size() <= LineCollector::kCap);
    QCOMPARE(m_console->text("rece_quantity"), QStringLiteral("0"));
    m_console->receive("\r\n" + kSampleLine);
    QCOMPARE(m_console->window().session().controller().CurTempTenths, 585);
    QCOMPARE(m_console->text("rece_quantity"), QStringLiteral("1"));
    QTRY_VERIFY(m_console->text("receive").contains(QStringLiteral("已丢弃 100000 个字符")));
}

void tst_FrmMainReceiver::logKeepsTheNewestEntries()
{
    QByteArray lines;
    for (int n = 0; n < ReceiveLog::kLogEntries + 50; ++n)
        lines += line(600, n % 1000);
    m_console->receive(lines);
    const auto *log = m_console->control<QPlainTextEdit>("receive");
    QCOMPARE(log->blockCount(), ReceiveLog::kLogEntries);
    QVERIFY(log->document()->lastBlock().text().endsWith(
        QString::fromLatin1(line(600, 49)).chopped(2)));
    QCOMPARE(m_console->text("rece_quantity"), QString::number(ReceiveLog::kLogEntries + 50));
}

void tst_FrmMainReceiver::countGoesPastThe16BitLimit()
{
    QByteArray emptyLines;
    for (int n = 0; n < 32770; ++n)
        emptyLines += "\r\n";
    m_console->receive(emptyLines);
    QCOMPARE(m_console->text("rece_quantity"), QStringLiteral("32770"));
    QCOMPARE(m_console->window().session().controller().FrameCount, 32770);
}

QTEST_MAIN(tst_FrmMainReceiver)
#include "tst_frm_main_receiver.moc"
