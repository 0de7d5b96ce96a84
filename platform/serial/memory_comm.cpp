#include "memory_comm.h"

#include <QCoreApplication>

MemoryComm::MemoryComm(QObject *parent)
    : MSComm(parent)
{
}

void MemoryComm::setPresent(int port, bool present)
{
    if (port >= 1 && port <= PortMap::kPortCount)
        m_absent.set(static_cast<std::size_t>(port - 1), !present);
}

void MemoryComm::feed(const QByteArray &bytes)
{
    m_incoming.append(bytes);
    if (m_open)
        deviceDataArrived();
}

void MemoryComm::deliverFed()
{
    qsizetype before = -1;
    qsizetype waiting = m_incoming.size() + InBufferCount();
    while (waiting != before) {
        before = waiting;
        QCoreApplication::processEvents();
        waiting = m_incoming.size() + InBufferCount();
    }
}

void MemoryComm::vanish()
{
    deviceLost({CommCode::DeviceUnavailable, tr("设备已断开"),
        tr("%1 已移除").arg(DeviceName(CommPort()))});
}

QString MemoryComm::DeviceName(int port) const
{
    if (port < 1 || port > PortMap::kPortCount || m_absent.test(static_cast<std::size_t>(port - 1)))
        return QString();
    return QStringLiteral("memory:COM%1").arg(port);
}

std::optional<CommError> MemoryComm::openDevice(int port)
{
    if (m_absent.test(static_cast<std::size_t>(port - 1)))
        return CommError{
            CommCode::InvalidPortNumber, tr("没有对应的设备"), QStringLiteral("COM%1").arg(port)};
    m_open = true;
    m_incoming.clear();
    return std::nullopt;
}

void MemoryComm::closeDevice()
{
    m_open = false;
}

std::optional<CommError> MemoryComm::writeDevice(const QByteArray &bytes)
{
    m_sent.append(bytes);
    return std::nullopt;
}

QByteArray MemoryComm::readDevice()
{
    QByteArray chunk = m_incoming.left(kReceiveBufferSize);
    m_incoming.remove(0, chunk.size());
    return chunk;
}
