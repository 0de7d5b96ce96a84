#include "controller_simulator.h"

#include <QStringList>
#include <QTest>

/// The simulated controller: its heater loop and what it puts on the line.
class tst_SimController : public QObject
{
    Q_OBJECT

private slots:
    void loopSettlesAtTheSetPoint();
    void sendsOneLinePerPeriod();
    void acceptedCommandBringsSettingModeOnLinesOfTheirOwn();
    void malformedCommandChangesNothing();
    void deafControllerIgnoresCommandsUntilItHearsAgain();
    void garbageAndUnterminatedRunsEndWithALineEnd();
    void floodSendsLinesBackToBack();

private:
    static ControllerSimulator quietSimulator(QStringList *log = nullptr, int periodMs = 500);
    static QStringList lines(const std::string &bytes);
};

ControllerSimulator tst_SimController::quietSimulator(QStringList *log, int periodMs)
{
    ControllerSimulator::Options options;
    options.noise = false;
    options.periodMs = periodMs;
    return ControllerSimulator(options, [log](const std::string &message) {
        if (log)
            log->append(QString::fromStdString(message));
    });
}

QStringList tst_SimController::lines(const std::string &bytes)
{
    QStringList pieces =
        QString::fromLatin1(bytes.data(), qsizetype(bytes.size())).split(QStringLiteral("\r\n"));
    if (pieces.last().isEmpty())
        pieces.removeLast();
    return pieces;
}

void tst_SimController::loopSettlesAtTheSetPoint()
{
    ControllerSimulator simulator = quietSimulator();
    double reachedAt = -1;
    double peak = 0;
    for (double now = 0; now <= 600; now += 0.5) {
        simulator.advance(now);
        peak = std::max(peak, simulator.temperature());
        if (reachedAt < 0 && simulator.temperature() >= 60.0)
            reachedAt = now;
    }
    QVERIFY2(reachedAt >= 40 && reachedAt <= 150, qPrintable(QString::number(reachedAt)));
    const double overshoot = (peak - 60.0) / 60.0 * 100;
    QVERIFY2(overshoot >= 1 && overshoot <= 8, qPrintable(QString::number(overshoot)));
    QVERIFY2(qAbs(simulator.temperature() - 60.0) < 0.2,
        qPrintable(QString::number(simulator.temperature())));
    QCOMPARE(simulator.currentSample().currentTenths, 600);
}

void tst_SimController::sendsOneLinePerPeriod()
{
    ControllerSimulator simulator = quietSimulator(nullptr, 200);
    for (double now = 0; now < 2.01; now += 0.01)
        simulator.advance(now);
    const QStringList sent = lines(simulator.outbox());
    QCOMPARE(sent.size(), 10);
    QCOMPARE(sent.first().size(), 43);
    QVERIFY(sent.first().startsWith(QLatin1String("st=0600 pv=0250")));
}

void tst_SimController::acceptedCommandBringsSettingModeOnLinesOfTheirOwn()
{
    QStringList log;
    ControllerSimulator simulator = quietSimulator(&log);
    double now = 0;
    const auto runFor = [&](double seconds) {
        for (const double end = now + seconds; now < end; now += 0.01)
            simulator.advance(now);
    };
    runFor(1.0);
    simulator.receive("s0450 P009 ", now);
    simulator.receive("I004 D002 T040", now + 0.05);
    runFor(1.0);
    QCOMPARE(simulator.settings().setTenths, 450);
    QCOMPARE(simulator.settings().p, 9);
    QCOMPARE(simulator.settings().compensation, 40);
    QVERIFY(log.contains(QStringLiteral("received 25 bytes: 73 30 34 35 30 20 50 30 30 39 20 49 30 "
                                        "30 34 20 44 30 30 32 20 54 30 34 30")));
    runFor(4.0);
    const QStringList sent = lines(simulator.outbox());
    const qsizetype on = sent.indexOf(QStringLiteral("O"));
    const qsizetype off = sent.indexOf(QStringLiteral("N"));
    QVERIFY(on > 0);
    QVERIFY(off > on + 4);
    for (const QString &line : sent)
        QVERIFY2(line == QLatin1String("O") || line == QLatin1String("N") || line.size() == 43,
            qPrintable(line));
    QVERIFY(sent.last().startsWith(QLatin1String("st=0450")));
    QVERIFY(sent.last().endsWith(QLatin1String("pid= 009, 004, 002")));
}

void tst_SimController::malformedCommandChangesNothing()
{
    QStringList log;
    ControllerSimulator simulator = quietSimulator(&log);
    simulator.advance(0);
    simulator.receive("S0450 Q001", 0.1);
    simulator.advance(0.5);
    QCOMPARE(simulator.settings().setTenths, 600);
    QVERIFY(log.last().startsWith(QLatin1String("ignored malformed command")));
    simulator.advance(5);
    QVERIFY(!lines(simulator.outbox()).contains(QStringLiteral("O")));
}

void tst_SimController::deafControllerIgnoresCommandsUntilItHearsAgain()
{
    QStringList log;
    ControllerSimulator simulator = quietSimulator(&log);
    simulator.advance(0);
    simulator.setDeaf(true);
    simulator.receive("S0450 P009", 0.1);
    simulator.advance(5);
    QCOMPARE(simulator.settings().setTenths, 600);
    QCOMPARE(simulator.settings().p, 10);
    QVERIFY(!lines(simulator.outbox()).contains(QStringLiteral("O")));
    QVERIFY(
        log.contains(QStringLiteral("deaf: discarded 10 bytes: 53 30 34 35 30 20 50 30 30 39")));
    simulator.setDeaf(false);
    simulator.receive("S0450 P009", 5.1);
    simulator.advance(6);
    QCOMPARE(simulator.settings().setTenths, 450);
    QCOMPARE(simulator.settings().p, 9);
    QVERIFY(lines(simulator.outbox()).contains(QStringLiteral("O")));
}

void tst_SimController::garbageAndUnterminatedRunsEndWithALineEnd()
{
    ControllerSimulator simulator = quietSimulator();
    simulator.advance(0);
    simulator.injectUnterminated(10000);
    simulator.injectGarbage(5000);
    std::string sent;
    for (double now = 0.01; sent.size() < 15004; now += 0.01) {
        simulator.advance(now);
        sent += simulator.outbox();
        simulator.outbox().clear();
    }
    const std::string run = sent.substr(0, 10000);
    QVERIFY(run.find_first_of("\r\nON") == std::string::npos);
    QCOMPARE(sent.substr(10000, 2), std::string("\r\n"));
    QCOMPARE(sent.substr(15002, 2), std::string("\r\n"));
    QCOMPARE(sent.size(), std::size_t(15004));
    simulator.advance(10);
    QVERIFY(simulator.outbox().rfind("st=0600", 0) == 0);
}

void tst_SimController::floodSendsLinesBackToBack()
{
    ControllerSimulator simulator = quietSimulator();
    simulator.advance(0);
    simulator.startFlood(1000, 0);
    std::string sent;
    for (double now = 0.001; sent.size() < 45000; now += 0.001) {
        simulator.advance(now);
        sent += simulator.outbox();
        simulator.outbox().clear();
    }
    QCOMPARE(lines(sent).size(), 1000);
    QVERIFY(lines(sent)
                .filter(QRegularExpression(QStringLiteral("^st=\\d{4} pv=\\d{4} out= \\d{3} ")))
                .size()
        == 1000);
}

QTEST_GUILESS_MAIN(tst_SimController)
#include "tst_sim_controller.moc"
