#include "port_map.h"
#include "settings_dir.h"

#include <QTest>

class tst_PortMap : public QObject
{
    Q_OBJECT

private slots:
    void ordersSystemDevices();
    void settingsNamePortsAndSystemDevicesFillTheRest();
    void deviceNamedInSettingsIsNotUsedTwice();
    void portNumbersOutsideTheRangeHaveNoDevice();
};

void tst_PortMap::ordersSystemDevices()
{
    const QStringList listed{"/dev/ttyS1", "/dev/ttyACM0", "/dev/ttyUSB10", "/dev/ttyS0",
        "/dev/ttyUSB2", "/dev/ttyAMA0", "/dev/ttyACM1"};
    const QStringList expected{"/dev/ttyUSB2", "/dev/ttyUSB10", "/dev/ttyACM0", "/dev/ttyACM1",
        "/dev/ttyAMA0", "/dev/ttyS0", "/dev/ttyS1"};
    QCOMPARE(PortMap::orderedDevices(listed), expected);
}

void tst_PortMap::settingsNamePortsAndSystemDevicesFillTheRest()
{
    const SettingsDir settings({{2, "/dev/pts/7"}, {4, "/dev/ttyS3"}});
    QVERIFY(settings.isValid());
    const PortMap map = PortMap::fromSettings(
        settings.settingsFile(), {"/dev/ttyACM0", "/dev/ttyUSB0", "/dev/ttyS0"});
    QCOMPARE(map.device(1), QStringLiteral("/dev/ttyUSB0"));
    QCOMPARE(map.device(2), QStringLiteral("/dev/pts/7"));
    QCOMPARE(map.device(3), QStringLiteral("/dev/ttyACM0"));
    QCOMPARE(map.device(4), QStringLiteral("/dev/ttyS3"));
    QCOMPARE(map.device(5), QStringLiteral("/dev/ttyS0"));
    for (int port = 6; port <= PortMap::kPortCount; ++port)
        QVERIFY2(map.device(port).isEmpty(), qPrintable(QString::number(port)));
}

void tst_PortMap::deviceNamedInSettingsIsNotUsedTwice()
{
    const SettingsDir settings({{3, "/dev/ttyUSB0"}});
    const PortMap map =
        PortMap::fromSettings(settings.settingsFile(), {"/dev/ttyUSB0", "/dev/ttyUSB1"});
    QCOMPARE(map.device(1), QStringLiteral("/dev/ttyUSB1"));
    QCOMPARE(map.device(2), QString());
    QCOMPARE(map.device(3), QStringLiteral("/dev/ttyUSB0"));
}

void tst_PortMap::portNumbersOutsideTheRangeHaveNoDevice()
{
    PortMap map =
        PortMap::fromSettings(QStringLiteral("/nonexistent/tarvex.ini"), {"/dev/ttyUSB0"});
    map.setDevice(17, QStringLiteral("/dev/ttyUSB9"));
    QCOMPARE(map.device(0), QString());
    QCOMPARE(map.device(17), QString());
    QCOMPARE(map.device(16), QString());
    QCOMPARE(map.device(1), QStringLiteral("/dev/ttyUSB0"));
}

QTEST_GUILESS_MAIN(tst_PortMap)
#include "tst_port_map.moc"
