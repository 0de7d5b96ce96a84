#include "chart_time_axis.h"
#include "offline_console.h"
#include "uc_histogram.h"
#include "window_timer.h"

#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>

namespace {
const QByteArray kLine("st=0600 pv=0585 out= 128 pid= 010, 005, 002\r\n");
} // namespace

/// Trend sampling, the run-time counter, the clock, pause, reset and the highest-temperature
/// clear, driven tick by tick.
class tst_FrmMainTimers : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void nothingMovesBeforeTheFirstLine();
    void runTimeCountsTicks();
    void runTimeGoesPastThe16BitLimit();
    void trendTakesOneSamplePerTick();
    void pauseStopsOnlyTheTrend();
    void pausedTrendIsNotRestartedByALine();
    void resetRestartsTheRunAndTheFigures();
    void lineBeforeTheNextTickBelongsToTheNewRun_data();
    void lineBeforeTheNextTickBelongsToTheNewRun();
    void clockShowsDateAndWeekday_data();
    void clockShowsDateAndWeekday();
    void clickingACaptionClearsTheHighestTemperature();
    void figuresAreStampedWithTheRunTime();
    void viewButtonsMoveTheScaleNotTheSamples();

private:
    void ticks(int count) { m_console->time().advance(100 * count); }
    void click(const char *name) { m_console->control<QPushButton>(name)->click(); }
    QString text(const char *name) const { return m_console->text(name); }
    const ucHistogram *chart() const { return m_console->control<ucHistogram>("ucHistogram1"); }

    std::unique_ptr<OfflineConsole> m_console;
};

void tst_FrmMainTimers::init()
{
    m_console = std::make_unique<OfflineConsole>();
    m_console->connectPort();
}

void tst_FrmMainTimers::cleanup()
{
    m_console.reset();
    QLocale::setDefault(QLocale::system());
}

void tst_FrmMainTimers::viewButtonsMoveTheScaleNotTheSamples()
{
    const auto scale = [this] { return QStringList{text("Y_T_2"), text("Y_T_1"), text("Y_T_0")}; };
    const auto *axis = m_console->window().findChild<ChartTimeAxis *>();
    m_console->receive(kLine);
    ticks(1990);
    QVERIFY(axis->isHidden());
    QVERIFY(chart()->viewCaption().isEmpty());
    click("zoom_out");
    QCOMPARE(scale(), (QStringList{"90", "60", "30"}));
    // The newest 1,700 samples, taken from 0.0 s on, marked every 30 s; they move on with
    // every new sample.
    QCOMPARE(chart()->viewCaption(), QStringLiteral("缩放 29.0–198.9 s · 复 位 返回实时"));
    QVERIFY(!axis->isHidden());
    QCOMPARE(axis->ticks().front().stamp, 300);
    ticks(10);
    QCOMPARE(chart()->viewCaption(), QStringLiteral("缩放 30.0–199.9 s · 复 位 返回实时"));
    QVERIFY(axis->ticks().size() >= 5);
    QCOMPARE(axis->ticks().front(), (TimeTicks::Tick{0, 300}));
    QCOMPARE(ChartTimeAxis::label(axis->ticks()[1]), QStringLiteral("60 s"));
    click("move_down");
    QCOMPARE(scale(), (QStringList{"75", "45", "15"}));
    click("shorten");
    QCOMPARE(chart()->view().across(), 2000);
    click("enlarge");
    click("enlarge");
    QCOMPARE(chart()->view().across(), 500);
    click("move_left");
    QVERIFY(!chart()->view().isFollowing());
    QVERIFY(chart()->viewCaption().startsWith(QStringLiteral("历史 ")));
    QCOMPARE(chart()->pointBuffer().filled(), 1700);
    click("reset");
    QCOMPARE(scale(), (QStringList{"120", "60", "0"}));
    QVERIFY(chart()->view().isLive());
    QVERIFY(axis->isHidden());
    QVERIFY(chart()->viewCaption().isEmpty());

    // Zooms keep the middle, however the span was rounded.
    for (int n = 0; n < 4; ++n)
        click("zoom_out");
    QCOMPARE(scale(), (QStringList{"63.7", "60", "56.2"}));
    click("reset");

    // A new run starts a new history, and the live chart with it: nothing older is left to
    // show or to move back to.
    click("runtimeclear");
    ticks(100);
    click("move_left");
    QVERIFY(chart()->view().isLive());
    QCOMPARE(chart()->history()->count(), 100);
    QCOMPARE(chart()->pointBuffer().filled(), 100);
}

void tst_FrmMainTimers::nothingMovesBeforeTheFirstLine()
{
    ticks(30);
    QCOMPARE(text("run"), QStringLiteral("0"));
    QCOMPARE(chart()->pointBuffer().filled(), 0);
}

void tst_FrmMainTimers::runTimeCountsTicks()
{
    m_console->receive(kLine);
    ticks(1);
    QCOMPARE(text("run"), QStringLiteral("0.1"));
    ticks(9);
    QCOMPARE(text("run"), QStringLiteral("1.0"));
    ticks(115);
    QCOMPARE(text("run"), QStringLiteral("12.5"));
}

void tst_FrmMainTimers::runTimeGoesPastThe16BitLimit()
{
    m_console->receive(kLine);
    ticks(327680);
    QCOMPARE(text("run"), QStringLiteral("32768.0"));
    QCOMPARE(m_console->window().session().run().RunSeconds, 32768);
}

void tst_FrmMainTimers::trendTakesOneSamplePerTick()
{
    m_console->receive(kLine);
    ticks(50);
    QCOMPARE(chart()->pointBuffer().filled(), 50);
    QCOMPARE(chart()->pointBuffer().slot(50), 585);
}

void tst_FrmMainTimers::pauseStopsOnlyTheTrend()
{
    m_console->receive(kLine);
    ticks(10);
    click("stoporrun");
    QCOMPARE(text("stoporrun"), QStringLiteral("开始"));
    QCOMPARE(m_console->control<QPushButton>("stoporrun")->palette().color(QPalette::Button),
        QColor(255, 128, 255));
    ticks(10);
    QCOMPARE(chart()->pointBuffer().filled(), 10);
    QCOMPARE(text("run"), QStringLiteral("2.0"));

    click("stoporrun");
    QCOMPARE(text("stoporrun"), QStringLiteral("暂停"));
    QCOMPARE(m_console->control<QPushButton>("stoporrun")->palette().color(QPalette::Button),
        QColor(128, 255, 255));
    ticks(1);
    QCOMPARE(chart()->pointBuffer().filled(), 11);
}

void tst_FrmMainTimers::pausedTrendIsNotRestartedByALine()
{
    click("stoporrun");
    m_console->receive(kLine);
    QVERIFY(!m_console->timer("Timer2")->Enabled());
    QVERIFY(m_console->timer("Timer4")->Enabled());
    m_console->receive(kLine);
    QVERIFY(!m_console->timer("Timer2")->Enabled());
}

void tst_FrmMainTimers::resetRestartsTheRunAndTheFigures()
{
    m_console->receive("st=0600 pv=0650\r\n");
    ticks(42);
    QCOMPARE(text("Label8_0"), QStringLiteral("8.33%"));
    click("runtimeclear");
    for (const char *box : {"perfor_index_0", "perfor_index_1", "perfor_index_2", "perfor_index_3"})
        QCOMPARE(text(box), QStringLiteral("0"));
    QCOMPARE(text("run"), QStringLiteral("4.2"));
    QCOMPARE(text("Text2_1"), QStringLiteral("65"));
    QCOMPARE(text("Label8_0"), QStringLiteral("8.33%"));
    ticks(1);
    QCOMPARE(text("run"), QStringLiteral("0.1"));
    m_console->receive("st=0600 pv=0600\r\n");
    QCOMPARE(text("Text2_1"), QStringLiteral("60"));
    QCOMPARE(text("perfor_index_1"), QStringLiteral("0.00%"));
    QCOMPARE(text("perfor_index_0"), QStringLiteral("0.1s"));
    QCOMPARE(text("perfor_index_2"), QStringLiteral("0.1s"));
    QCOMPARE(text("Label8_3"), QStringLiteral("0.1s"));
    QCOMPARE(text("perfor_index_3"), QStringLiteral("0"));
}

void tst_FrmMainTimers::lineBeforeTheNextTickBelongsToTheNewRun_data()
{
    QTest::addColumn<bool>("stepTest");
    QTest::newRow("时间清零") << false;
    QTest::newRow("a step test's 开始") << true;
}

/// The restart happens in the same moment: the next line is the new run's, at its start, though
/// the box shows the old run time until the next tick.
void tst_FrmMainTimers::lineBeforeTheNextTickBelongsToTheNewRun()
{
    QFETCH(bool, stepTest);
    m_console->receive("st=0600 pv=0585\r\n");
    ticks(50);
    if (stepTest) {
        click("stepTest");
        QVERIFY(m_console->type(QStringLiteral("target"), QStringLiteral("60")));
        QVERIFY(m_console->click(QStringLiteral("start")));
    } else {
        click("runtimeclear");
    }
    QCOMPARE(text("run"), QStringLiteral("5.0"));
    m_console->receive("st=0600 pv=0600\r\n");
    QCOMPARE(text("perfor_index_0"), QStringLiteral("0s"));
    QCOMPARE(text("perfor_index_2"), QStringLiteral("0s"));
    ticks(1);
    QCOMPARE(text("run"), QStringLiteral("0.1"));
}

void tst_FrmMainTimers::clockShowsDateAndWeekday_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("sunday");
    QTest::newRow("Chinese") << QLocale(QLocale::Chinese, QLocale::China) << "2026/12/6";
    QTest::newRow("English") << QLocale(QLocale::English, QLocale::UnitedStates) << "12/6/26";
    QTest::newRow("no regional settings reads Chinese") << QLocale::c() << "2026/12/6";
}

void tst_FrmMainTimers::clockShowsDateAndWeekday()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, sunday);
    QLocale::setDefault(locale);
    m_console = std::make_unique<OfflineConsole>();
    m_console->time().setNow(QDateTime(QDate(2026, 12, 6), QTime(14, 30)));
    ticks(2);
    QCOMPARE(text("Label13_0"), sunday + QString(7, u' ') + QStringLiteral("星期日"));
    m_console->time().setNow(QDateTime(QDate(2026, 12, 9), QTime(9, 0)));
    ticks(2);
    QVERIFY(text("Label13_0").endsWith(QString(7, u' ') + QStringLiteral("星期三")));

    // The whole date and the whole weekday, one under the other, legibly.
    const auto *clock = m_console->control<QLabel>("Label13_0");
    const QFontMetrics metrics(clock->font());
    QVERIFY(clock->wordWrap());
    QVERIFY(clock->font().pointSizeF() >= 7);
    QVERIFY(metrics.horizontalAdvance(sunday) <= clock->contentsRect().width());
    QVERIFY(metrics.horizontalAdvance(QStringLiteral("星期三")) <= clock->contentsRect().width());
    QVERIFY(2 * metrics.lineSpacing() <= clock->contentsRect().height());
}

void tst_FrmMainTimers::clickingACaptionClearsTheHighestTemperature()
{
    m_console->receive("st=0600 pv=0612\r\n");
    QCOMPARE(text("Text2_1"), QStringLiteral("61.2"));
    QWidget *degrees = m_console->control("Label5_1");
    QTest::mouseClick(degrees, Qt::LeftButton);
    QCOMPARE(text("Text2_1"), QString());
    m_console->receive("st=0600 pv=0612\r\n"); // equal to the highest: not higher
    QCOMPARE(text("Text2_1"), QString());
    m_console->receive("st=0600 pv=0605\r\n");
    QCOMPARE(text("Text2_1"), QString());
    m_console->receive("st=0600 pv=0613\r\n");
    QCOMPARE(text("Text2_1"), QStringLiteral("61.3"));
    QTest::mouseClick(m_console->control("Label5_2"), Qt::LeftButton);
    QCOMPARE(text("Text2_1"), QString());
}

void tst_FrmMainTimers::figuresAreStampedWithTheRunTime()
{
    m_console->receive("st=0600 pv=0500\r\n");
    QCOMPARE(text("perfor_index_3"), QStringLiteral("0s"));
    QCOMPARE(text("Label8_2"), QStringLiteral("0s"));
    ticks(35);
    m_console->receive("st=0600 pv=0600\r\n");
    QCOMPARE(text("perfor_index_0"), QStringLiteral("3.5s"));
    ticks(10);
    m_console->receive("st=0600 pv=0636\r\n");
    QCOMPARE(text("perfor_index_1"), QStringLiteral("6.00%"));
    QCOMPARE(text("perfor_index_2"), QStringLiteral("4.5s"));
    QCOMPARE(text("perfor_index_3"), QStringLiteral("4.5s"));
    QCOMPARE(text("Label8_1"), QStringLiteral("4.5s"));
    QVERIFY(!m_console->window().session().run().ReachPending);
}

QTEST_MAIN(tst_FrmMainTimers)
#include "tst_frm_main_timers.moc"
