#include "connection/reconnect_policy.h"
#include "profile_reader.h"
#include "settings_dir.h"

#include <QTest>

Q_DECLARE_METATYPE(ReconnectPolicy::State)

namespace {
const CommError kHangUp{CommCode::DeviceUnavailable, QStringLiteral("设备已断开"),
    QStringLiteral("/dev/pts/7: 输入/输出错误")};
const CommError kHeld{CommCode::PortAlreadyOpen, QStringLiteral("已被其他程序占用"),
    QStringLiteral("/dev/ttyUSB1: Permission error while locking the device")};
const QString kLostNode = QStringLiteral("/dev/ttyUSB0");
} // namespace

/// When the connection waits for a lost device and what the status line and the log say.
class tst_ReconnectPolicy : public QObject
{
    Q_OBJECT

private slots:
    void walksThroughLossAndReturn_data();
    void walksThroughLossAndReturn();
    void settingTurnsItOff_data();
    void settingTurnsItOff();
};

void tst_ReconnectPolicy::walksThroughLossAndReturn_data()
{
    // Events: "open N" (the operator's connect succeeded), "close" (断开, exit, connect or the
    // operator's failed open), "lose" (the device failed under the open port), "back MS [NODE]"
    // (the device opened again MS after the loss, at the node it had or at NODE), "held" (it
    // came back but another program holds it), "another" (another port chosen), "off", "on"
    // (the menu check). The report columns are what the last event gave.
    using State = ReconnectPolicy::State;
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<State>("state");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("detail");
    QTest::addColumn<QString>("logEntry");
    QTest::addColumn<bool>("mayConnect");
    QTest::addColumn<bool>("mayDisconnect");

    const QString waiting = QStringLiteral("连接已中断：COM1 设备已断开，等待设备重新连接…");
    const QString hangUp = kHangUp.detail;
    QTest::newRow("connected") << true << QStringList{"open 1"} << State::Connected << QString()
                               << QString() << QString() << false << true;
    QTest::newRow("a lost device is waited for")
        << true << QStringList{"open 1", "lose"} << State::Waiting << waiting << hangUp << QString()
        << true << true;
    QTest::newRow("back: reconnected, the gap logged")
        << true << QStringList{"open 1", "lose", "back 12400"} << State::Reconnected
        << QStringLiteral("已重新连接 COM1") << QString() << QStringLiteral("(连接中断 12.4 s)")
        << false << true;
    QTest::newRow("back at another node: named in the tooltip and the log")
        << true << QStringList{"open 1", "lose", "back 12400 /dev/ttyUSB1"} << State::Reconnected
        << QStringLiteral("已重新连接 COM1")
        << QStringLiteral("设备现为 /dev/ttyUSB1，断开前为 /dev/ttyUSB0")
        << QStringLiteral("(连接中断 12.4 s，设备现为 /dev/ttyUSB1，断开前为 /dev/ttyUSB0)")
        << false << true;
    QTest::newRow("back but held by another program: the wait goes on, saying why")
        << true << QStringList{"open 1", "lose", "held"} << State::Waiting
        << QStringLiteral("COM1 无法打开：已被其他程序占用，重试中…") << kHeld.detail << QString()
        << true << true;
    QTest::newRow("held, then free")
        << true << QStringList{"open 1", "lose", "held", "back 900"} << State::Reconnected
        << QStringLiteral("已重新连接 COM1") << QString() << QStringLiteral("(连接中断 0.9 s)")
        << false << true;
    QTest::newRow("a short gap") << true << QStringList{"open 5", "lose", "back 360"}
                                 << State::Reconnected << QStringLiteral("已重新连接 COM5")
                                 << QString() << QStringLiteral("(连接中断 0.4 s)") << false
                                 << true;
    QTest::newRow("lost again after a reconnect: waits again")
        << true << QStringList{"open 1", "lose", "back 900", "lose"} << State::Waiting << waiting
        << hangUp << QString() << true << true;
    QTest::newRow("turned off: the loss as it always was")
        << false << QStringList{"open 3", "lose"} << State::Idle
        << QStringLiteral("连接已中断：COM3 设备已断开") << hangUp << QString() << true << false;
    QTest::newRow("断开 during the wait ends it")
        << true << QStringList{"open 1", "lose", "close"} << State::Idle << QString() << QString()
        << QString() << true << false;
    QTest::newRow("a return after 断开 is no reconnect")
        << true << QStringList{"open 1", "lose", "close", "back 2000"} << State::Idle << QString()
        << QString() << QString() << true << false;
    QTest::newRow("turned off during the wait: the loss as it always was")
        << true << QStringList{"open 2", "lose", "off"} << State::Idle
        << QStringLiteral("连接已中断：COM2 设备已断开") << hangUp << QString() << true << false;
    QTest::newRow("turned on after a loss: no wait for that one")
        << false << QStringList{"open 2", "lose", "on"} << State::Idle << QString() << QString()
        << QString() << true << false;
    QTest::newRow("after 断开 or a failed open, no wait")
        << true << QStringList{"open 1", "close", "lose"} << State::Idle
        << QStringLiteral("连接已中断：COM1 设备已断开") << hangUp << QString() << true << false;
    QTest::newRow("another port during the wait: the loss as it always was")
        << true << QStringList{"open 4", "lose", "another"} << State::Idle
        << QStringLiteral("连接已中断：COM4 设备已断开") << hangUp << QString() << true << false;
    QTest::newRow("another port while connected changes nothing")
        << true << QStringList{"open 1", "another"} << State::Connected << QString() << QString()
        << QString() << false << true;
    QTest::newRow("a return while connected changes nothing")
        << true << QStringList{"open 1", "back 100"} << State::Connected << QString() << QString()
        << QString() << false << true;
}

void tst_ReconnectPolicy::walksThroughLossAndReturn()
{
    QFETCH(bool, enabled);
    QFETCH(QStringList, events);
    QFETCH(ReconnectPolicy::State, state);
    QFETCH(QString, status);
    QFETCH(QString, detail);
    QFETCH(QString, logEntry);
    QFETCH(bool, mayConnect);
    QFETCH(bool, mayDisconnect);

    ReconnectPolicy policy(enabled);
    constexpr qint64 kLostAt = 5000;
    ReconnectPolicy::Report report;
    for (const QString &event : events) {
        const QStringList words = event.split(u' ');
        report = {};
        if (words[0] == QLatin1String("open"))
            policy.opened(words[1].toInt());
        else if (words[0] == QLatin1String("close"))
            policy.closed();
        else if (words[0] == QLatin1String("lose"))
            report = policy.lost(kHangUp, kLostAt);
        else if (words[0] == QLatin1String("back"))
            report = policy.reopened(
                kLostAt + words[1].toLongLong(), kLostNode, words.value(2, kLostNode));
        else if (words[0] == QLatin1String("held"))
            report = policy.reopenFailed(kHeld);
        else if (words[0] == QLatin1String("another"))
            report = policy.giveUp();
        else
            report = policy.setEnabled(words[0] == QLatin1String("on"));
    }
    QCOMPARE(policy.state(), state);
    QCOMPARE(report.status, status);
    QCOMPARE(report.detail, detail);
    QCOMPARE(report.logEntry, logEntry);
    QCOMPARE(policy.mayConnect(), mayConnect);
    QCOMPARE(policy.mayDisconnect(), mayDisconnect);
}

void tst_ReconnectPolicy::settingTurnsItOff_data()
{
    QTest::addColumn<QByteArray>("settings");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("no key: on") << QByteArray() << true;
    QTest::newRow("0: off") << QByteArray("RECONNECT=0\r\n") << false;
    QTest::newRow("blanks around 0: off") << QByteArray("reconnect = 0 \r\n") << false;
    QTest::newRow("1: on") << QByteArray("RECONNECT=1\r\n") << true;
    QTest::newRow("in another section: on") << QByteArray("[RECORD]\r\nRECONNECT=0\r\n") << true;
}

/// Read as the console reads it, and written by the menu check so that it reads back.
void tst_ReconnectPolicy::settingTurnsItOff()
{
    QFETCH(QByteArray, settings);
    QFETCH(bool, enabled);
    const SettingsDir dir({{1, QStringLiteral("/dev/ttyUSB0")}}, settings);
    QVERIFY(dir.isValid());
    QCOMPARE(ReconnectPolicy::enabledIn(dir.settingsFile()), enabled);
    for (const bool turned : {!enabled, enabled}) {
        QCOMPARE(ReconnectPolicy::saveEnabled(dir.settingsFile(), turned).outcome,
            ProfileWrite::Outcome::Written);
        QCOMPARE(ReconnectPolicy::enabledIn(dir.settingsFile()), turned);
    }
    QCOMPARE(readProfileString(QStringLiteral("PORTS"), QStringLiteral("COM1"), dir.settingsFile()),
        QStringLiteral("/dev/ttyUSB0"));
}

QTEST_GUILESS_MAIN(tst_ReconnectPolicy)
#include "tst_reconnect_policy.moc"
