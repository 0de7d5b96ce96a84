#include "manual_time.h"
#include "window_timer.h"

#include <QTest>

class tst_ManualTime : public QObject
{
    Q_OBJECT

private slots:
    void timersFireInTimeOrder();
    void disabledTimersDoNotFire();
    void enablingStartsAFullPeriodFromNow();
    void dateAndTimeMoveWithTheTicks();
};

void tst_ManualTime::timersFireInTimeOrder()
{
    QObject owner;
    ManualTime time;
    WindowTimer fast(QStringLiteral("fast"), 100, true, &owner);
    WindowTimer slow(QStringLiteral("slow"), 250, true, &owner);
    time.drive(&fast);
    time.drive(&slow);
    QStringList fired;
    connect(&fast, &WindowTimer::Timer, this,
        [&] { fired << QStringLiteral("fast@%1").arg(time.elapsed()); });
    connect(&slow, &WindowTimer::Timer, this,
        [&] { fired << QStringLiteral("slow@%1").arg(time.elapsed()); });
    time.advance(500);
    const QStringList expected{
        "fast@100", "fast@200", "slow@250", "fast@300", "fast@400", "fast@500", "slow@500"};
    QCOMPARE(fired, expected);
    QCOMPARE(time.elapsed(), 500);
}

void tst_ManualTime::disabledTimersDoNotFire()
{
    QObject owner;
    ManualTime time;
    WindowTimer timer(QStringLiteral("t"), 100, false, &owner);
    WindowTimer zero(QStringLiteral("zero"), 0, true, &owner);
    time.drive(&timer);
    time.drive(&zero);
    int ticks = 0;
    connect(&timer, &WindowTimer::Timer, this, [&] { ++ticks; });
    connect(&zero, &WindowTimer::Timer, this, [&] { ++ticks; });
    time.advance(1000);
    QCOMPARE(ticks, 0);
}

void tst_ManualTime::enablingStartsAFullPeriodFromNow()
{
    QObject owner;
    ManualTime time;
    WindowTimer starter(QStringLiteral("starter"), 150, true, &owner);
    WindowTimer started(QStringLiteral("started"), 100, false, &owner);
    time.drive(&starter);
    time.drive(&started);
    QList<qint64> startedAt;
    connect(&starter, &WindowTimer::Timer, this, [&] { started.setEnabled(true); });
    connect(&started, &WindowTimer::Timer, this, [&] { startedAt << time.elapsed(); });
    time.advance(400);
    QCOMPARE(startedAt, (QList<qint64>{250, 350}));
}

void tst_ManualTime::dateAndTimeMoveWithTheTicks()
{
    ManualTime time;
    const QDateTime moment(QDate(2026, 12, 6), QTime(14, 30));
    time.advance(700);
    time.setNow(moment);
    QCOMPARE(time.now(), moment);
    time.advance(1500);
    QCOMPARE(time.now(), moment.addMSecs(1500));
}

QTEST_GUILESS_MAIN(tst_ManualTime)
#include "tst_manual_time.moc"
