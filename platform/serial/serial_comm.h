#pragma once

#include "ms_comm.h"
#include "port_map.h"

#include <QSerialPort>

/// The serial component on a real device through QSerialPort: 9600 baud, 8N1, no flow control.
class SerialComm final : public MSComm
{
    Q_OBJECT

public:
    explicit SerialComm(PortMap ports, QObject *parent = nullptr);
    ~SerialComm() override;

    QString DeviceName(int port) const override;
    QString DeviceDescription(int port) const override;

protected:
    std::optional<CommError> openDevice(int port) override;
    void closeDevice() override;
    bool isDeviceOpen() const override;
    std::optional<CommError> writeDevice(const QByteArray &bytes) override;
    QByteArray readDevice() override;

private:
    void handleError(QSerialPort::SerialPortError error);
    CommError openFailure() const;
    CommError noAccess(const QString &detail) const;
    QString withDevice(const QString &reason) const;

    PortMap m_ports;
    /// The device as opened: the real path, so that every name of it meets the same lock.
    QString m_devicePath;
    QSerialPort m_port{this};
};
