#include "step_command.h"
#include "step_test_dialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

/// The step test's command from what the operator types, and its dialog.
class tst_StepTest : public QObject
{
    Q_OBJECT

private slots:
    void command_data();
    void command();
    void dialogShowsTheCommandAsItIsTyped();
    void dialogRefusesWhatDoesNotFit();
};

void tst_StepTest::command_data()
{
    QTest::addColumn<QStringList>("typed"); // target, P, I, D, T
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("problem");
    QTest::newRow("a step to 60 with gains")
        << QStringList{"60", "10", "5", "2", ""} << "S0600 P010 I005 D002"
        << "";
    QTest::newRow("one decimal, T given")
        << QStringList{"60.5", "14", "", "", "40"} << "S0605 P014 T040"
        << "";
    QTest::newRow("target alone") << QStringList{" 45.0 ", "", "", "", ""} << "S0450"
                                  << "";
    QTest::newRow("edges") << QStringList{"999.9", "999", "0", "000", "-0"}
                           << "S9999 P999 I000 D000 T000"
                           << "";
    QTest::newRow("zero and leading zeros") << QStringList{"0", "007", "", "", ""} << "S0000 P007"
                                            << "";
    QTest::newRow("no target") << QStringList{"", "10", "", "", ""} << ""
                               << "请填写目标温度";
    QTest::newRow("two decimals") << QStringList{"60.25", "", "", "", ""} << ""
                                  << "目标温度须为数字，最多一位小数";
    QTest::newRow("not a number") << QStringList{"sixty", "", "", "", ""} << ""
                                  << "目标温度须为数字，最多一位小数";
    QTest::newRow("above 999.9") << QStringList{"1000", "", "", "", ""} << ""
                                 << "目标温度不能高于 999.9 ℃";
    QTest::newRow("far above") << QStringList{"123456789012345", "", "", "", ""} << ""
                               << "目标温度不能高于 999.9 ℃";
    QTest::newRow("below 0") << QStringList{"-0.1", "", "", "", ""} << ""
                             << "目标温度不能低于 0 ℃";
    QTest::newRow("gain above 999") << QStringList{"60", "1000", "", "", ""} << ""
                                    << "P 不能大于 999";
    QTest::newRow("gain below 0") << QStringList{"60", "", "-1", "", ""} << ""
                                  << "I 不能小于 0";
    QTest::newRow("gain with a decimal") << QStringList{"60", "", "", "2.5", ""} << ""
                                         << "D 须为整数";
    QTest::newRow("T above 999") << QStringList{"60", "", "", "", "1000"} << ""
                                 << "T 不能大于 999";
    QTest::newRow("the first problem is named") << QStringList{"60.25", "1000", "", "", ""} << ""
                                                << "目标温度须为数字，最多一位小数";
}

void tst_StepTest::command()
{
    QFETCH(QStringList, typed);
    QFETCH(QString, command);
    QFETCH(QString, problem);
    const StepCommand step =
        StepCommand::fromText(typed[0], typed[1], typed[2], typed[3], typed[4]);
    QCOMPARE(step.text(), command);
    QCOMPARE(step.problem(), problem);
    QCOMPARE(step.isValid(), problem.isEmpty());
    if (step.isValid())
        QCOMPARE(CommandFields::read(step.text()), std::optional(step.fields()));
}

/// Prefilled from the newest values, the dialog shows the command it will send as the fields
/// change and hands it on at "开始".
void tst_StepTest::dialogShowsTheCommandAsItIsTyped()
{
    StepTestDialog dialog(CommandFields{600, 10, 5, 2, {}});
    QSignalSpy started(&dialog, &StepTestDialog::startRequested);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("阶跃测试"));
    auto *target = dialog.findChild<QLineEdit *>(QStringLiteral("target"));
    auto *p = dialog.findChild<QLineEdit *>(QStringLiteral("p"));
    auto *t = dialog.findChild<QLineEdit *>(QStringLiteral("t"));
    const auto *shown = dialog.findChild<QLabel *>(QStringLiteral("command"));
    auto *start = dialog.findChild<QPushButton *>(QStringLiteral("start"));
    QVERIFY(target && p && t && shown && start);
    QCOMPARE(target->text(), QStringLiteral("60.0"));
    QCOMPARE(t->text(), QString()); // no T sent before: none sent now
    QCOMPARE(start->text(), QStringLiteral("开始"));
    QCOMPARE(shown->text(), QStringLiteral("将发送：S0600 P010 I005 D002"));

    p->selectAll();
    QTest::keyClicks(p, QStringLiteral("14"));
    QTest::keyClicks(t, QStringLiteral("40"));
    QCOMPARE(shown->text(), QStringLiteral("将发送：S0600 P014 I005 D002 T040"));
    QTest::mouseClick(start, Qt::LeftButton);
    QCOMPARE(started.count(), 1);
    QCOMPARE(started.front().front().toString(), QStringLiteral("S0600 P014 I005 D002 T040"));
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(!dialog.isVisible());

    StepTestDialog withT(CommandFields{450, {}, {}, {}, 40});
    QSignalSpy cancelled(&withT, &StepTestDialog::startRequested);
    QCOMPARE(withT.command(), QStringLiteral("S0450 T040"));
    withT.show();
    QTest::keyClick(&withT, Qt::Key_Escape);
    QVERIFY(cancelled.isEmpty());
    QCOMPARE(withT.result(), int(QDialog::Rejected));
}

void tst_StepTest::dialogRefusesWhatDoesNotFit()
{
    StepTestDialog dialog(CommandFields{});
    QSignalSpy started(&dialog, &StepTestDialog::startRequested);
    dialog.show();
    auto *target = dialog.findChild<QLineEdit *>(QStringLiteral("target"));
    const auto *shown = dialog.findChild<QLabel *>(QStringLiteral("command"));
    auto *start = dialog.findChild<QPushButton *>(QStringLiteral("start"));
    QCOMPARE(shown->text(), QStringLiteral("请填写目标温度"));
    QVERIFY(!start->isEnabled());
    QTest::keyClicks(target, QStringLiteral("1000"));
    QCOMPARE(shown->text(), QStringLiteral("目标温度不能高于 999.9 ℃"));
    QVERIFY(!start->isEnabled());
    QTest::keyClick(target, Qt::Key_Return);
    QVERIFY(started.isEmpty());
    QVERIFY(dialog.isVisible());
    QTest::keyClick(target, Qt::Key_Backspace);
    QCOMPARE(shown->text(), QStringLiteral("将发送：S1000"));
    QTest::keyClick(target, Qt::Key_Return);
    QCOMPARE(started.count(), 1);
    QCOMPARE(started.front().front().toString(), QStringLiteral("S1000"));
}

QTEST_MAIN(tst_StepTest)
#include "tst_step_test.moc"
