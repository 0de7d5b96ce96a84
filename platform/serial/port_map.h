#pragma once

#include <QString>
#include <QStringList>

#include <array>

/// Which system device stands behind each of the port numbers 1 to 16.
class PortMap
{
public:
    static constexpr int kPortCount = 16;

    /// Key COMn of section PORTS names port n's device; the port numbers left unnamed are filled
    /// in order with the given system devices that no key names.
    static PortMap fromSettings(const QString &settingsFile, const QStringList &systemDevices);
    /// The map this machine uses: on Windows COMn is "COMn"; elsewhere the settings file and
    /// the serial devices the system lists now.
    static PortMap forThisSystem(const QString &settingsFile);
    /// USB adapters first, then ACM devices, then the rest, each group by device number.
    static QStringList orderedDevices(QStringList devices);

    /// Empty when the port number has no device or lies outside 1 to 16.
    QString device(int port) const;
    void setDevice(int port, const QString &device);

private:
    std::array<QString, kPortCount> m_devices;
};
