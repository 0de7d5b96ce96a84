#include "port_map.h"

#include "profile_reader.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QSerialPortInfo>

#include <algorithm>
#include <tuple>

namespace {
int deviceGroup(const QString &name)
{
    if (name.startsWith(QLatin1String("ttyUSB")))
        return 0;
    if (name.startsWith(QLatin1String("ttyACM")))
        return 1;
    return 2;
}

/// Group, stem and number, so that ttyUSB2 sorts before ttyUSB10.
auto deviceOrderKey(const QString &device)
{
    static const QRegularExpression trailingNumber(QStringLiteral("^(.*?)(\\d*)$"));
    const QString name = QFileInfo(device).fileName();
    const QRegularExpressionMatch match = trailingNumber.match(name);
    return std::make_tuple(
        deviceGroup(name), match.captured(1), match.captured(2).toLongLong(), device);
}
} // namespace

PortMap PortMap::fromSettings(const QString &settingsFile, const QStringList &systemDevices)
{
    PortMap map;
    for (int port = 1; port <= kPortCount; ++port)
        map.setDevice(port,
            readProfileString(
                QStringLiteral("PORTS"), QStringLiteral("COM%1").arg(port), settingsFile));

    QStringList unnamed = orderedDevices(systemDevices);
    unnamed.removeIf([&map](const QString &device) {
        return std::find(map.m_devices.cbegin(), map.m_devices.cend(), device)
            != map.m_devices.cend();
    });
    auto next = unnamed.cbegin();
    for (QString &device : map.m_devices) {
        if (device.isEmpty() && next != unnamed.cend())
            device = *next++;
    }
    return map;
}

PortMap PortMap::forThisSystem(const QString &settingsFile)
{
#ifdef Q_OS_WIN
    Q_UNUSED(settingsFile);
    PortMap map;
    for (int port = 1; port <= kPortCount; ++port)
        map.setDevice(port, QStringLiteral("COM%1").arg(port));
    return map;
#else
    QStringList devices;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts())
        devices.append(info.systemLocation());
    return fromSettings(settingsFile, devices);
#endif
}

QStringList PortMap::orderedDevices(QStringList devices)
{
    std::sort(devices.begin(), devices.end(),
        [](const QString &a, const QString &b) { return deviceOrderKey(a) < deviceOrderKey(b); });
    return devices;
}

QString PortMap::device(int port) const
{
    if (port < 1 || port > kPortCount)
        return QString();
    return m_devices[static_cast<std::size_t>(port - 1)];
}

void PortMap::setDevice(int port, const QString &device)
{
    if (port >= 1 && port <= kPortCount)
        m_devices[static_cast<std::size_t>(port - 1)] = device;
}
