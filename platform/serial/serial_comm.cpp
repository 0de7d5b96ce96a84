#include "serial_comm.h"

#include "device_access.h"
#include "line_check.h"

#include <QFileInfo>

SerialComm::SerialComm(PortMap ports, QObject *parent)
    : MSComm(parent)
    , m_ports(std::move(ports))
{
    m_port.setReadBufferSize(kReceiveBufferSize);
    connect(&m_port, &QSerialPort::readyRead, this, &SerialComm::deviceDataArrived);
    connect(&m_port, &QSerialPort::errorOccurred, this, &SerialComm::handleError);
}

SerialComm::~SerialComm()
{
    m_port.close();
}

QString SerialComm::DeviceName(int port) const
{
    return m_ports.device(port);
}

QString SerialComm::DeviceDescription(int port) const
{
    return m_ports.description(port);
}

std::optional<CommError> SerialComm::openDevice(int port)
{
    const QString device = m_ports.device(port);
    if (device.isEmpty())
        return CommError{
            CommCode::InvalidPortNumber, tr("没有对应的设备"), QStringLiteral("COM%1").arg(port)};
    // The port's lock is named after the path; a link must not give the device a second lock.
    // Resolved at every open: a replugged adapter's stable link leads to its new node.
    const QString canonical = QFileInfo(device).canonicalFilePath();
    m_devicePath = canonical.isEmpty() ? device : canonical;
    m_port.setPortName(m_devicePath);
    m_port.setBaudRate(QSerialPort::Baud9600);
    m_port.setDataBits(QSerialPort::Data8);
    m_port.setParity(QSerialPort::NoParity);
    m_port.setStopBits(QSerialPort::OneStop);
    m_port.setFlowControl(QSerialPort::NoFlowControl);
    if (m_port.open(QIODevice::ReadWrite))
        return std::nullopt;
    return openFailure();
}

CommError SerialComm::openFailure() const
{
    const QString detail = withDevice(m_port.errorString());
    switch (m_port.error()) {
    case QSerialPort::DeviceNotFoundError:
        return {CommCode::DeviceUnavailable, tr("设备不存在"), detail};
    case QSerialPort::PermissionError: {
        const QFileInfo node(m_devicePath);
        if (!node.isReadable() || !node.isWritable())
            return noAccess(detail);
        return {CommCode::PortAlreadyOpen, tr("已被其他程序占用"), detail};
    }
    default:
        return {CommCode::DeviceUnavailable, tr("设备不可用"), detail};
    }
}

/// The cause stays short for the status line; what the user can do about it goes behind it.
CommError SerialComm::noAccess(const QString &detail) const
{
    return {CommCode::PortAlreadyOpen, tr("没有访问权限"),
        detail + u'\n' + DeviceAccess::of(m_devicePath).advice()};
}

QString SerialComm::withDevice(const QString &reason) const
{
    return QStringLiteral("%1: %2").arg(m_devicePath, reason);
}

void SerialComm::closeDevice()
{
    m_port.close();
}

bool SerialComm::isDeviceOpen() const
{
    return m_port.isOpen();
}

std::optional<CommError> SerialComm::writeDevice(const QByteArray &bytes)
{
    if (m_port.write(bytes) == bytes.size())
        return std::nullopt;
    return CommError{CommCode::DeviceUnavailable, tr("写入失败"), withDevice(m_port.errorString())};
}

QByteArray SerialComm::readDevice()
{
    // readAll also re-arms the port's read notifier once its bounded buffer has filled up.
    return m_port.readAll();
}

void SerialComm::handleError(QSerialPort::SerialPortError error)
{
    const bool transferFailed = error == QSerialPort::ReadError || error == QSerialPort::WriteError
        || error == QSerialPort::ResourceError;
    if (!transferFailed || !m_port.isOpen())
        return;
    if (const std::optional<QString> failure = lineFailure(m_port, m_devicePath)) {
        // Left open, a vanished device repeats the read error at full speed; close at the first.
        deviceLost({CommCode::DeviceUnavailable, tr("设备已断开"), withDevice(*failure)});
        return;
    }
    // Another reader of the device took the bytes first: QSerialPort calls the empty read an
    // error (and stops reading after a resource error); reading on re-arms it.
    m_port.clearError();
    deviceDataArrived();
}
