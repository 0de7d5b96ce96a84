#include "telemetry/display_format.h"
#include "telemetry/step_response.h"

#include <QTest>

Q_DECLARE_METATYPE(std::optional<QString>)

/// One completed line's effect on the four figures. The overshoot box's text, stamped or typed by
/// the operator, reaches the figures through the state.
class tst_StepResponse : public QObject
{
    Q_OBJECT

private slots:
    void update_data();
    void update();
    void shownPercentage();
};

void tst_StepResponse::update_data()
{
    using Text = std::optional<QString>;
    const Text none;
    QTest::addColumn<int>("current");
    QTest::addColumn<int>("set");
    QTest::addColumn<bool>("reachPending");
    QTest::addColumn<QString>("overshootBox");
    QTest::addColumn<Text>("overshoot");
    QTest::addColumn<Text>("peakTime");
    QTest::addColumn<Text>("riseTime");
    QTest::addColumn<Text>("settlingTime");

    QTest::newRow("inside the band at its edge")
        << 570 << 600 << true << "" << none << none << none << none;
    QTest::newRow("just outside the band")
        << 569 << 600 << true << "" << none << none << none << Text("12.3s");
    QTest::newRow("crossing below without hitting")
        << 599 << 600 << true << "" << none << none << none << none;
    QTest::newRow("crossing above without hitting")
        << 601 << 600 << true << "" << Text("0.17%") << Text("12.3s") << none << none;
    QTest::newRow("after the reset, equal")
        << 600 << 600 << true << "0" << Text("0.00%") << Text("12.3s") << Text("12.3s") << none;
    QTest::newRow("reached already")
        << 600 << 600 << false << "0.00%" << none << none << none << none;
    QTest::newRow("larger overshoot replaces") << 672 << 600 << false << "9.50%" << Text("12.00%")
                                               << Text("12.3s") << none << Text("12.3s");
    QTest::newRow("smaller overshoot ignored")
        << 666 << 600 << false << "12.00%" << none << none << none << Text("12.3s");
    QTest::newRow("equal overshoot ignored")
        << 612 << 600 << false << "2.00%" << none << none << none << none;
    QTest::newRow("equal as shown, larger unrounded")
        << 605 << 600 << false << "0.83%" << none << none << none << none;
    QTest::newRow("edited box holds no percentage")
        << 605 << 600 << false << "abc%" << Text("0.83%") << Text("12.3s") << none << none;
    QTest::newRow("edited below the new overshoot")
        << 605 << 600 << false << "0.8%" << Text("0.83%") << Text("12.3s") << none << none;
    QTest::newRow("edited above the new overshoot")
        << 605 << 600 << false << " 1 %" << none << none << none << none;
    QTest::newRow("large overshoot still formed")
        << 930 << 600 << false << "12.00%" << Text("55.00%") << Text("12.3s") << none
        << Text("12.3s");
    QTest::newRow("set 0: no overshoot, settling stamped")
        << 5 << 0 << true << "" << none << none << none << Text("12.3s");
    QTest::newRow("set 0 reached at 0")
        << 0 << 0 << true << "" << none << none << Text("12.3s") << none;
    QTest::newRow("negative set: every line settles")
        << -100 << -50 << false << "" << none << none << none << Text("12.3s");
}

void tst_StepResponse::update()
{
    using Text = std::optional<QString>;
    QFETCH(int, current);
    QFETCH(int, set);
    QFETCH(bool, reachPending);
    QFETCH(QString, overshootBox);
    QFETCH(Text, overshoot);
    QFETCH(Text, peakTime);
    QFETCH(Text, riseTime);
    QFETCH(Text, settlingTime);
    const StepResponseUpdate update = StepResponse::update(
        current, set, reachPending, 123, StepResponse::shownPercentage(overshootBox));
    // As the boxes show them.
    const auto time = [](std::optional<qint64> tenths) {
        return tenths ? Text(DisplayFormat::stampedTime(*tenths)) : Text();
    };
    const StepFigures &stamped = update.stamped;
    QCOMPARE(stamped.overshootPercent ? Text(DisplayFormat::percentage(*stamped.overshootPercent))
                                      : Text(),
        overshoot);
    QCOMPARE(time(stamped.peakTenths), peakTime);
    QCOMPARE(time(stamped.riseTenths), riseTime);
    QCOMPARE(time(stamped.settlingTenths), settlingTime);
    QCOMPARE(update.reached, riseTime.has_value());
}

void tst_StepResponse::shownPercentage()
{
    QCOMPARE(StepResponse::shownPercentage(QStringLiteral("2.00%")), std::optional<double>(2.0));
    QCOMPARE(StepResponse::shownPercentage(QStringLiteral("0")), std::nullopt);
    QCOMPARE(StepResponse::shownPercentage(QString()), std::nullopt);
    QCOMPARE(StepResponse::shownPercentage(QStringLiteral("%")), std::nullopt);
    QCOMPARE(StepResponse::shownPercentage(QStringLiteral("1e2%")), std::nullopt);
}

QTEST_GUILESS_MAIN(tst_StepResponse)
#include "tst_step_response.moc"
