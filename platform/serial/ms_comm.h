#pragma once

#include "comm_error.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

#include <optional>

/// Text taken from the receive buffer, or why nothing could be taken.
struct CommInput
{
    QString text;
    std::optional<CommError> error;
};

/// The console's one seam to the serial line: port number, open state, input length, receive
/// threshold, text in and out, event code and the receive event. Failures come back as the
/// component's numeric codes; nothing throws. Subclasses supply only the transport.
class MSComm : public QObject
{
    Q_OBJECT

public:
    static constexpr int comEvReceive = 2;
    static constexpr int kReceiveBufferSize = 1024;

    ~MSComm() override;

    int CommPort() const { return m_commPort; }
    [[nodiscard]] std::optional<CommError> setCommPort(int port);

    bool PortOpen() const;
    [[nodiscard]] std::optional<CommError> setPortOpen(bool open);

    int InputLen() const { return m_inputLen; }
    void setInputLen(int length);
    int RThreshold() const { return m_rThreshold; }
    void setRThreshold(int threshold);

    /// Removes and returns up to InputLen waiting characters (all of them when InputLen is 0).
    CommInput Input();
    /// Writes the text's characters as single bytes, in order, with nothing added.
    [[nodiscard]] std::optional<CommError> setOutput(const QString &text);

    int CommEvent() const { return m_commEvent; }
    /// Characters received and not yet taken by Input.
    int InBufferCount() const { return int(waitingCount()); }

    /// The system device behind a port number, empty when there is none.
    virtual QString DeviceName(int port) const = 0;
    /// For the port option's tooltip: the device, and where it has a stable name also the node
    /// it is now; empty when there is none.
    virtual QString DeviceDescription(int port) const { return DeviceName(port); }

signals:
    /// Raised once per waiting character while RThreshold is 1.
    void OnComm();
    /// The open device failed underneath us (cable pulled); the port is already closed.
    void connectionLost(const CommError &error);

protected:
    explicit MSComm(QObject *parent = nullptr);

    virtual std::optional<CommError> openDevice(int port) = 0;
    virtual void closeDevice() = 0;
    virtual bool isDeviceOpen() const = 0;
    virtual std::optional<CommError> writeDevice(const QByteArray &bytes) = 0;
    /// Takes what the device has received so far, at most a receive buffer's worth.
    virtual QByteArray readDevice() = 0;

    /// Transports call this when new bytes can be read.
    void deviceDataArrived();
    /// Transports call this when the open device fails; closes the port once and reports it.
    void deviceLost(const CommError &error);

private:
    qsizetype waitingCount() const { return m_waiting.size() - m_readPosition; }
    void refillWaiting();
    void discardWaiting();
    void deliverReceiveEvents();

    int m_commPort = 1;
    int m_inputLen = 0;
    int m_rThreshold = 0;
    int m_commEvent = 0;
    QByteArray m_waiting;
    qsizetype m_readPosition = 0;
    bool m_delivering = false;
    QTimer m_deliveryTimer;
};
