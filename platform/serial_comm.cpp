#include "serial_comm.h"

#include <QFile>

#include <unistd.h>

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

std::optional<CommError> SerialComm::openDevice(int port)
{
    const QString device = m_ports.device(port);
    if (device.isEmpty())
        return CommError{CommCode::InvalidPortNumber, tr("COM%1 没有对应的设备").arg(port)};
    m_port.setPortName(device);
    m_port.setBaudRate(QSerialPort::Baud9600);
    m_port.setDataBits(QSerialPort::Data8);
    m_port.setParity(QSerialPort::NoParity);
    m_port.setStopBits(QSerialPort::OneStop);
    m_port.setFlowControl(QSerialPort::NoFlowControl);
    if (m_port.open(QIODevice::ReadWrite))
        return std::nullopt;
    return openFailure(port);
}

CommError SerialComm::openFailure(int port) const
{
    const QString device = m_ports.device(port);
    const QString reason = QStringLiteral("%1: %2").arg(device, m_port.errorString());
    if (m_port.error() != QSerialPort::PermissionError)
        return {CommCode::DeviceUnavailable, tr("设备不可用 (%1)").arg(reason)};
    if (::access(QFile::encodeName(device).constData(), R_OK | W_OK) != 0)
        return {CommCode::PortAlreadyOpen, tr("没有访问权限 (%1)").arg(reason)};
    return {CommCode::PortAlreadyOpen, tr("已被其他程序占用 (%1)").arg(reason)};
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
    return CommError{CommCode::DeviceUnavailable, tr("写入失败 (%1)").arg(m_port.errorString())};
}

QByteArray SerialComm::readDevice()
{
    // readAll also re-arms the port's read notifier once its bounded buffer has filled up.
    return m_port.readAll();
}

void SerialComm::handleError(QSerialPort::SerialPortError error)
{
    const bool deviceFailed = error == QSerialPort::ReadError || error == QSerialPort::WriteError
        || error == QSerialPort::ResourceError;
    if (!deviceFailed || !m_port.isOpen())
        return;
    // Left open, a vanished device repeats the read error at full speed; close at the first.
    deviceLost({CommCode::DeviceUnavailable,
        QStringLiteral("%1: %2").arg(m_port.portName(), m_port.errorString())});
}
