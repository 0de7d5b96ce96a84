#include "port_map.h"
#include "settings_dir.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {
/// A fake device folder and a fake stable-name folder beside it, as udev lays them out: the
/// links are relative ("../dev/ttyUSB0").
class FakeDevices
{
public:
    FakeDevices()
    {
        QDir(m_dir.path()).mkpath(QStringLiteral("dev"));
        QDir(m_dir.path()).mkpath(QStringLiteral("by-id"));
    }

    bool isValid() const { return m_dir.isValid(); }
    /// A path inside the folder from one relative to it; empty stays empty.
    QString path(const QString &relative) const
    {
        return relative.isEmpty() ? QString() : m_dir.filePath(relative);
    }
    QString stableFolder() const { return path(QStringLiteral("by-id")); }

    bool addNode(const QString &name)
    {
        QFile node(path(QStringLiteral("dev/") + name));
        return node.open(QIODevice::WriteOnly);
    }
    /// "NAME NODE": a link NAME in the stable-name folder to dev/NODE.
    bool addLink(const QString &entry)
    {
        const QStringList parts = entry.split(u' ');
        const QString link = path(QStringLiteral("by-id/") + parts[0]);
        QFile::remove(link);
        return QFile::link(QStringLiteral("../dev/") + parts[1], link);
    }

private:
    QTemporaryDir m_dir;
};
} // namespace

class tst_PortMap : public QObject
{
    Q_OBJECT

private slots:
    void ordersSystemDevices();
    void settingsNamePortsAndSystemDevicesFillTheRest();
    void deviceNamedInSettingsIsNotUsedTwice();
    void portNumbersOutsideTheRangeHaveNoDevice();
    void adaptersAreHeldByTheirStableNames_data();
    void adaptersAreHeldByTheirStableNames();
    void replugKeepsThePortNumber();
    void describesStableNameAndCurrentNode();
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

void tst_PortMap::adaptersAreHeldByTheirStableNames_data()
{
    // Nodes and links live in a fake folder; "NAME NODE" links by-id/NAME to dev/NODE. Settings
    // rows "n=PATH" name port n's device by a path in that folder.
    QTest::addColumn<QStringList>("nodes");
    QTest::addColumn<QStringList>("links");
    QTest::addColumn<QStringList>("listed");
    QTest::addColumn<QStringList>("settings");
    QTest::addColumn<QStringList>("expected");

    const QString a = QStringLiteral("usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0");
    const QString z = QStringLiteral("usb-Prolific_Technology_Inc._USB-Serial_Z1-if00-port0");
    QTest::newRow("adapter by its stable name, a device without one by its path")
        << QStringList{"ttyUSB0", "ttyS0"} << QStringList{a + " ttyUSB0"}
        << QStringList{"dev/ttyS0", "dev/ttyUSB0"} << QStringList{}
        << QStringList{"by-id/" + a, "dev/ttyS0"};
    QTest::newRow("numbered in the order of their nodes, not of their names")
        << QStringList{"ttyUSB0", "ttyUSB1", "ttyACM0"}
        << QStringList{a + " ttyUSB1", z + " ttyUSB0"}
        << QStringList{"dev/ttyACM0", "dev/ttyUSB1", "dev/ttyUSB0"} << QStringList{}
        << QStringList{"by-id/" + z, "by-id/" + a, "dev/ttyACM0"};
    QTest::newRow("a key naming the node holds the adapter by its stable name")
        << QStringList{"ttyUSB0", "ttyUSB1"} << QStringList{a + " ttyUSB0"}
        << QStringList{"dev/ttyUSB0", "dev/ttyUSB1"} << QStringList{"3=dev/ttyUSB0"}
        << QStringList{"dev/ttyUSB1", "", "by-id/" + a};
    QTest::newRow("a key naming the stable name is kept, the adapter not used twice")
        << QStringList{"ttyUSB0", "ttyUSB1"} << QStringList{a + " ttyUSB1"}
        << QStringList{"dev/ttyUSB0", "dev/ttyUSB1"} << QStringList{"2=by-id/" + a}
        << QStringList{"dev/ttyUSB0", "by-id/" + a};
    QTest::newRow("a key naming a device that is not there is kept as written")
        << QStringList{"ttyUSB0"} << QStringList{a + " ttyUSB0"} << QStringList{"dev/ttyUSB0"}
        << QStringList{"1=dev/ttyUSB7"} << QStringList{"dev/ttyUSB7", "by-id/" + a};
    QTest::newRow("a link to nothing is no stable name")
        << QStringList{"ttyUSB0"} << QStringList{a + " ttyUSB5"} << QStringList{"dev/ttyUSB0"}
        << QStringList{} << QStringList{"dev/ttyUSB0"};
}

void tst_PortMap::adaptersAreHeldByTheirStableNames()
{
    QFETCH(QStringList, nodes);
    QFETCH(QStringList, links);
    QFETCH(QStringList, listed);
    QFETCH(QStringList, settings);
    QFETCH(QStringList, expected);
    FakeDevices devices;
    QVERIFY(devices.isValid());
    for (const QString &node : nodes)
        QVERIFY(devices.addNode(node));
    for (const QString &link : links)
        QVERIFY(devices.addLink(link));
    QMap<int, QString> keys;
    for (const QString &key : settings)
        keys.insert(key.section(u'=', 0, 0).toInt(), devices.path(key.section(u'=', 1)));
    const SettingsDir settingsDir(keys);
    QStringList system;
    for (const QString &device : listed)
        system.append(devices.path(device));

    const PortMap map =
        PortMap::fromSettings(settingsDir.settingsFile(), system, devices.stableFolder());
    for (int port = 1; port <= PortMap::kPortCount; ++port)
        QVERIFY2(map.device(port) == devices.path(expected.value(port - 1)),
            qPrintable(QStringLiteral("COM%1: %2").arg(port).arg(map.device(port))));
}

/// The adapter comes back as another node: its port number names the same adapter, which now
/// resolves to the new node, and a device without a stable name stays where it was.
void tst_PortMap::replugKeepsThePortNumber()
{
    const QString a = QStringLiteral("usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0");
    FakeDevices devices;
    QVERIFY(devices.addNode(QStringLiteral("ttyUSB0")));
    QVERIFY(devices.addNode(QStringLiteral("ttyACM0")));
    QVERIFY(devices.addLink(a + QStringLiteral(" ttyUSB0")));
    const PortMap map = PortMap::fromSettings(QStringLiteral("/nonexistent/tarvex.ini"),
        {devices.path("dev/ttyUSB0"), devices.path("dev/ttyACM0")}, devices.stableFolder());
    QCOMPARE(map.currentNode(1), devices.path("dev/ttyUSB0"));
    QCOMPARE(map.stableName(1), a);

    QVERIFY(QFile::remove(devices.path("dev/ttyUSB0")));
    QVERIFY(QFile::remove(devices.path("by-id/" + a)));
    QCOMPARE(map.currentNode(1), QString());
    QVERIFY(devices.addNode(QStringLiteral("ttyUSB1")));
    QVERIFY(devices.addLink(a + QStringLiteral(" ttyUSB1")));

    QCOMPARE(map.device(1), devices.path("by-id/" + a));
    QCOMPARE(map.currentNode(1), devices.path("dev/ttyUSB1"));
    QCOMPARE(map.device(2), devices.path("dev/ttyACM0"));
    QCOMPARE(map.stableName(2), QString());
    QCOMPARE(map.currentNode(2), devices.path("dev/ttyACM0"));
}

void tst_PortMap::describesStableNameAndCurrentNode()
{
    const QString a = QStringLiteral("usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0");
    FakeDevices devices;
    QVERIFY(devices.addNode(QStringLiteral("ttyUSB1")));
    QVERIFY(devices.addNode(QStringLiteral("ttyS0")));
    QVERIFY(devices.addLink(a + QStringLiteral(" ttyUSB1")));
    const PortMap map = PortMap::fromSettings(QStringLiteral("/nonexistent/tarvex.ini"),
        {devices.path("dev/ttyUSB1"), devices.path("dev/ttyS0")}, devices.stableFolder());
    QCOMPARE(map.description(1),
        devices.path("by-id/" + a) + QStringLiteral("\n当前设备：") + devices.path("dev/ttyUSB1"));
    QCOMPARE(map.description(2), devices.path("dev/ttyS0"));
    QCOMPARE(map.description(3), QString());
    QVERIFY(QFile::remove(devices.path("by-id/" + a)));
    QCOMPARE(map.description(1), devices.path("by-id/" + a) + QStringLiteral("\n当前设备：未接入"));
}

QTEST_GUILESS_MAIN(tst_PortMap)
#include "tst_port_map.moc"
