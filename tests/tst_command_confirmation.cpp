#include "manual_time.h"
#include "tuning/command_confirmation.h"
#include "window_timer.h"

#include <QSignalSpy>
#include <QTest>
#include <QTranslator>

namespace {
/// A line's S, P, I and D as "600 10 5 2", "-" for a field the line did not carry.
CommandFields values(const QString &line)
{
    const QStringList words = line.split(u' ');
    const auto field = [&words](int index) -> std::optional<qint16> {
        const QString word = words.value(index);
        return word == QLatin1String("-") ? std::nullopt : std::optional(qint16(word.toInt()));
    };
    return CommandFields{field(0), field(1), field(2), field(3), {}};
}

/// The unit on manual time, its check timer driven by it.
struct Watch
{
    Watch()
        : time(std::make_shared<ManualTime>())
        , unit(time)
        , verdicts(&unit, &CommandConfirmation::decided)
    {
        time->setNow(QDateTime(QDate(2026, 12, 8), QTime(9, 30)));
        time->drive(unit.findChild<WindowTimer *>());
    }
    /// The lines arrive period ms apart, the first one period after now.
    void lines(const QStringList &shown, int period)
    {
        for (const QString &line : shown) {
            time->advance(period);
            linesSeen += verdicts.isEmpty() ? 1 : 0;
            unit.lineCompleted(values(line));
        }
    }
    QString text() const
    {
        return verdicts.isEmpty() ? QString()
                                  : verdicts.front().front().value<CommandVerdict>().text;
    }

    std::shared_ptr<ManualTime> time;
    CommandConfirmation unit;
    QSignalSpy verdicts;
    int linesSeen = 0;
};
} // namespace

/// A parameter command against the lines that follow: confirmed when they show every field sent,
/// a warning naming what differs when 5 lines and 5 s have both passed without that.
class tst_CommandConfirmation : public QObject
{
    Q_OBJECT

private slots:
    void verdictAfterTheLines_data();
    void verdictAfterTheLines();
    void silentControllerIsWarnedByTheClock();
    void newerCommandReplacesTheWatchedOne();
    void connectionChangeDropsTheWatchAndTheStandingText();
    void stepTestStartsFromTheNewestValues();
    void englishWindowGetsEnglish();
};

void tst_CommandConfirmation::verdictAfterTheLines_data()
{
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QString>("sent");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<int>("period");
    QTest::addColumn<QString>("verdict");
    // Lines counted up to the verdict, the one that brought it included; the rest come after.
    QTest::addColumn<int>("decidedAfter");

    const QStringList tenAtP10 = QStringList(12, QStringLiteral("600 10 5 2"));
    QTest::newRow("shown on the next line")
        << QStringList{"450 9 4 2"} << "S0600 P010 I005 D002" << QStringList{"600 10 5 2"} << 500
        << "控制器已确认：设定 60.0 ℃，P 10，I 5，D 2" << 1;
    QTest::newRow("taken a few lines later")
        << QStringList{"450 9 4 2"} << "s0600 p010 i005 d002"
        << QStringList{"450 9 4 2", "450 9 4 2", "600 10 5 2", "600 10 5 2"} << 500
        << "控制器已确认：设定 60.0 ℃，P 10，I 5，D 2" << 3;
    QTest::newRow("only the fields sent")
        << QStringList{} << "D002 P012 T040" << QStringList{"600 12 5 2"} << 500
        << "控制器已确认：P 12，D 2" << 1;
    QTest::newRow("kept at P 10: 5 s pass after the fifth line")
        << QStringList{} << "S0600 P012 I005 D002" << tenAtP10 << 500
        << "控制器未确认：P 发送 12，仍为 10" << 9;
    QTest::newRow("only D changed, ignored")
        << QStringList{} << "D009" << tenAtP10 << 500 << "控制器未确认：D 发送 9，仍为 2" << 9;
    QTest::newRow("only I changed, ignored")
        << QStringList{} << "I008" << tenAtP10 << 500 << "控制器未确认：I 发送 8，仍为 5" << 9;
    QTest::newRow("several differ")
        << QStringList{} << "S0600 P012" << QStringList(12, QStringLiteral("450 10 5 2")) << 500
        << "控制器未确认：设定 发送 60.0 ℃，仍为 45.0 ℃，P 发送 12，仍为 10" << 9;
    QTest::newRow("a flood: 5 lines at once, then the 5 s")
        << QStringList{} << "P012" << QStringList(60, QStringLiteral("600 10 5 2")) << 100
        << "控制器未确认：P 发送 12，仍为 10" << 49;
    QTest::newRow("slow lines: 5 s at once, then the fifth line")
        << QStringList{} << "P012" << QStringList(8, QStringLiteral("600 10 5 2")) << 2000
        << "控制器未确认：P 发送 12，仍为 10" << 5;
    QTest::newRow("a field the line lacks keeps the value shown")
        << QStringList{"600 12 5 2"} << "P012" << QStringList{"600 - 5 2"} << 500
        << "控制器已确认：P 12" << 1;
    QTest::newRow("never shown") << QStringList{} << "P012"
                                 << QStringList(12, QStringLiteral("600 - 5 2")) << 500
                                 << "控制器未确认：P 发送 12，没有读数" << 9;
    QTest::newRow("free text") << QStringList{} << "hello" << tenAtP10 << 500 << "" << 12;
    QTest::newRow("malformed command")
        << QStringList{} << "S0600 P0120" << tenAtP10 << 500 << "" << 12;
    QTest::newRow("only T, which no line shows")
        << QStringList{} << "T040" << tenAtP10 << 500 << "" << 12;
}

void tst_CommandConfirmation::verdictAfterTheLines()
{
    QFETCH(QStringList, before);
    QFETCH(QString, sent);
    QFETCH(QStringList, after);
    QFETCH(int, period);
    QFETCH(QString, verdict);
    QFETCH(int, decidedAfter);
    Watch watch;
    watch.lines(before, period);
    watch.linesSeen = 0;
    watch.unit.commandSent(sent);
    QCOMPARE(watch.unit.isWatching(), !verdict.isEmpty());
    watch.lines(after, period);
    QCOMPARE(watch.verdicts.count(), verdict.isEmpty() ? 0 : 1);
    QCOMPARE(watch.text(), verdict);
    QCOMPARE(watch.linesSeen, decidedAfter);
    QVERIFY(!watch.unit.isWatching());
    if (verdict.isEmpty())
        return;
    const CommandVerdict decided = watch.verdicts.front().front().value<CommandVerdict>();
    QCOMPARE(decided.confirmed, verdict.startsWith(QStringLiteral("控制器已确认")));
    QCOMPARE(decided.sent, *CommandFields::read(sent));
    QCOMPARE(watch.unit.standing(), std::optional(verdict));
}

/// Five lines and then nothing: the warning comes 5 s after the send all the same, once.
void tst_CommandConfirmation::silentControllerIsWarnedByTheClock()
{
    Watch watch;
    watch.unit.commandSent(QStringLiteral("P012"));
    watch.lines(QStringList(5, QStringLiteral("600 10 5 2")), 100);
    watch.time->advance(4400);
    QVERIFY(watch.verdicts.isEmpty());
    watch.time->advance(CommandConfirmation::kCheckInterval);
    QCOMPARE(watch.text(), QStringLiteral("控制器未确认：P 发送 12，仍为 10"));
    const CommandVerdict verdict = watch.verdicts.front().front().value<CommandVerdict>();
    QCOMPARE(verdict.sent.p, std::optional<qint16>(12));
    QCOMPARE(verdict.shown, (CommandFields{600, 10, 5, 2, {}}));
    watch.time->advance(10000);
    watch.lines(QStringList(10, QStringLiteral("600 10 5 2")), 500);
    QCOMPARE(watch.verdicts.count(), 1);
}

void tst_CommandConfirmation::newerCommandReplacesTheWatchedOne()
{
    Watch watch;
    watch.unit.commandSent(QStringLiteral("P012"));
    watch.lines(QStringList(4, QStringLiteral("600 10 5 2")), 500);
    watch.unit.commandSent(QStringLiteral("P014"));
    // The first one would have been warned of at 5 s.
    watch.lines(QStringList(7, QStringLiteral("600 10 5 2")), 500);
    QVERIFY(watch.verdicts.isEmpty());
    watch.lines({QStringLiteral("600 14 5 2")}, 500);
    QCOMPARE(watch.verdicts.count(), 1);
    QCOMPARE(watch.text(), QStringLiteral("控制器已确认：P 14"));
    // The verdict stands until the next text sent, whatever it is.
    QCOMPARE(watch.unit.standing(), std::optional(watch.text()));
    watch.unit.commandSent(QStringLiteral("hello"));
    QCOMPARE(watch.unit.standing(), std::nullopt);
}

void tst_CommandConfirmation::connectionChangeDropsTheWatchAndTheStandingText()
{
    Watch watch;
    watch.unit.commandSent(QStringLiteral("P012"));
    watch.lines(QStringList(3, QStringLiteral("600 10 5 2")), 500);
    watch.unit.cancel();
    QVERIFY(!watch.unit.isWatching());
    watch.lines(QStringList(20, QStringLiteral("600 10 5 2")), 500);
    QVERIFY(watch.verdicts.isEmpty());

    watch.unit.commandSent(QStringLiteral("P010"));
    watch.lines({QStringLiteral("600 10 5 2")}, 500);
    QVERIFY(watch.unit.standing());
    watch.unit.cancel();
    QCOMPARE(watch.unit.standing(), std::nullopt);
}

void tst_CommandConfirmation::stepTestStartsFromTheNewestValues()
{
    Watch watch;
    QCOMPARE(watch.unit.latest(), CommandFields{});
    watch.lines({QStringLiteral("450 9 4 2"), QStringLiteral("- 10 - 3")}, 500);
    QCOMPARE(watch.unit.latest(), (CommandFields{450, 10, 4, 3, {}}));
    watch.unit.commandSent(QStringLiteral("S0600 T040"));
    watch.unit.commandSent(QStringLiteral("P011"));
    QCOMPARE(watch.unit.latest().t, std::optional<qint16>(40));
    // What the lines show comes from the lines, never from what was sent.
    QCOMPARE(watch.unit.latest().setTenths, std::optional<qint16>(450));
}

void tst_CommandConfirmation::englishWindowGetsEnglish()
{
    QTranslator english;
    QVERIFY(english.load(QStringLiteral(":/i18n/termiva_en.qm")));
    QCoreApplication::installTranslator(&english);
    Watch watch;
    watch.unit.commandSent(QStringLiteral("S0600 P012"));
    watch.lines(QStringList(10, QStringLiteral("450 10 5 2")), 500);
    QCoreApplication::removeTranslator(&english);
    QCOMPARE(watch.text(),
        QStringLiteral("Not confirmed: set sent 60.0 ℃, still 45.0 ℃, P sent 12, still 10"));
}

QTEST_GUILESS_MAIN(tst_CommandConfirmation)
#include "tst_command_confirmation.moc"
