#pragma once

#include "ms_comm.h"
#include "port_map.h"

#include <QByteArray>

#include <bitset>

/// The serial component with an in-memory line behind it: what is fed in arrives as received
/// bytes, what is written out is kept. For running the window without a device.
class MemoryComm final : public MSComm
{
    Q_OBJECT

public:
    explicit MemoryComm(QObject *parent = nullptr);

    /// Ports start present; an absent port fails to open as a port without a device.
    void setPresent(int port, bool present);
    /// Queues bytes from the far end; while the port is open they are delivered at once.
    void feed(const QByteArray &bytes);
    /// Runs the event loop until what was fed in has been delivered, or until no more goes (the
    /// port is closed or nobody takes the characters).
    void deliverFed();
    /// The far end disappears: the open port fails as a pulled cable does.
    void vanish();
    /// Every byte written to the port since construction.
    QByteArray sent() const { return m_sent; }

    QString DeviceName(int port) const override;

protected:
    std::optional<CommError> openDevice(int port) override;
    void closeDevice() override;
    bool isDeviceOpen() const override { return m_open; }
    std::optional<CommError> writeDevice(const QByteArray &bytes) override;
    QByteArray readDevice() override;

private:
    std::bitset<PortMap::kPortCount> m_absent;
    bool m_open = false;
    QByteArray m_incoming;
    QByteArray m_sent;
};
