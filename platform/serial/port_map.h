#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <array>

/// Which system device stands behind each of the port numbers 1 to 16. A USB adapter with a
/// stable name (a link in /dev/serial/by-id) is held by that name, so that it keeps its number
/// when it comes back as another node.
class PortMap
{
    Q_DECLARE_TR_FUNCTIONS(PortMap)

public:
    static constexpr int kPortCount = 16;
    static QString systemStableNameFolder() { return QStringLiteral("/dev/serial/by-id"); }

    /// Key COMn of section PORTS names port n's device; the port numbers left unnamed are filled
    /// in order with the given system devices that no key names. A device with a link in the
    /// stable-name folder, named by a key or listed, is held by that link.
    static PortMap fromSettings(const QString &settingsFile, const QStringList &systemDevices,
        const QString &stableNameFolder = QString());
    /// The map this machine uses: on Windows COMn is "COMn"; elsewhere the settings file and
    /// the serial devices the system lists now, adapters by their names in /dev/serial/by-id.
    static PortMap forThisSystem(const QString &settingsFile);
    /// USB adapters first, then ACM devices, then the rest, each group by device number.
    static QStringList orderedDevices(QStringList devices);

    /// The path to open and to watch: an adapter's stable link, otherwise the device as named.
    /// Empty when the port number has no device or lies outside 1 to 16.
    QString device(int port) const;
    void setDevice(int port, const QString &device);
    /// The name of the port's link in the stable-name folder; empty for a device without one.
    QString stableName(int port) const;
    /// The node the device resolves to now; empty while it is not there.
    QString currentNode(int port) const;
    /// For the port option's tooltip: the device, and for an adapter held by its stable name
    /// also the node it is now; empty when the port has no device.
    QString description(int port) const;

private:
    std::array<QString, kPortCount> m_devices;
    QString m_stableNameFolder;
};
