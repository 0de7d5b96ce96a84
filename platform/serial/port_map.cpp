#include "port_map.h"

#include "profile_reader.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
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

/// Each node that a link of the folder leads to, and the first such link by name.
QHash<QString, QString> stableLinks(const QString &folder)
{
    QHash<QString, QString> links;
    if (folder.isEmpty())
        return links;
    const QFileInfoList entries =
        QDir(folder).entryInfoList(QDir::Files | QDir::System, QDir::Name);
    for (const QFileInfo &entry : entries) {
        const QString node = entry.canonicalFilePath();
        if (entry.isSymLink() && !node.isEmpty() && !links.contains(node))
            links.insert(node, entry.absoluteFilePath());
    }
    return links;
}

/// The device's stable link when it has one, otherwise the device as named.
QString heldBy(const QString &device, const QHash<QString, QString> &links)
{
    const QString node = QFileInfo(device).canonicalFilePath();
    return node.isEmpty() ? device : links.value(node, device);
}
} // namespace

PortMap PortMap::fromSettings(
    const QString &settingsFile, const QStringList &systemDevices, const QString &stableNameFolder)
{
    const QHash<QString, QString> links = stableLinks(stableNameFolder);
    PortMap map;
    map.m_stableNameFolder = stableNameFolder;
    for (int port = 1; port <= kPortCount; ++port) {
        const QString named = readProfileString(
            QStringLiteral("PORTS"), QStringLiteral("COM%1").arg(port), settingsFile);
        map.setDevice(port, named.isEmpty() ? named : heldBy(named, links));
    }

    // Numbered in the order of their nodes, whatever their stable names.
    QStringList unnamed = orderedDevices(systemDevices);
    for (QString &device : unnamed)
        device = heldBy(device, links);
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
    return fromSettings(settingsFile, devices, systemStableNameFolder());
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

QString PortMap::stableName(int port) const
{
    const QFileInfo link(device(port));
    if (m_stableNameFolder.isEmpty() || link.filePath().isEmpty()
        || link.absolutePath() != QDir(m_stableNameFolder).absolutePath())
        return QString();
    return link.fileName();
}

QString PortMap::currentNode(int port) const
{
    return QFileInfo(device(port)).canonicalFilePath();
}

QString PortMap::description(int port) const
{
    const QString path = device(port);
    if (stableName(port).isEmpty())
        return path;
    const QString node = currentNode(port);
    return tr("%1\n当前设备：%2").arg(path, node.isEmpty() ? tr("未接入") : node);
}
