#include "ms_comm.h"

#include "port_map.h"

#include <QElapsedTimer>
#include <QScopedValueRollback>

namespace {
// Time spent raising receive events in one turn of the event loop: long enough that a flood
// pays for repainting once per many lines, short enough that timers and input keep their pace.
constexpr qint64 kTurnMilliseconds = 10;
// Receive events between two looks at the clock.
constexpr int kEventsPerClockCheck = 32;
} // namespace

MSComm::MSComm(QObject *parent)
    : QObject(parent)
{
    m_deliveryTimer.setSingleShot(true);
    m_deliveryTimer.setInterval(0);
    connect(&m_deliveryTimer, &QTimer::timeout, this, &MSComm::deliverReceiveEvents);
}

MSComm::~MSComm() = default;

std::optional<CommError> MSComm::setCommPort(int port)
{
    if (port < 1 || port > PortMap::kPortCount)
        return CommError{CommCode::InvalidPortNumber, tr("无效的端口号"), QString::number(port)};
    m_commPort = port;
    return std::nullopt;
}

bool MSComm::PortOpen() const
{
    return isDeviceOpen();
}

std::optional<CommError> MSComm::setPortOpen(bool open)
{
    // Closing a closed port is no failure: a probe of a busy port must not read as an absent one.
    if (!open && !isDeviceOpen())
        return std::nullopt;
    if (open && isDeviceOpen())
        return CommError{CommCode::PortAlreadyOpen, tr("端口已经打开"), {}};
    discardWaiting();
    m_commEvent = 0;
    if (!open) {
        closeDevice();
        return std::nullopt;
    }
    return openDevice(m_commPort);
}

void MSComm::setInputLen(int length)
{
    m_inputLen = qMax(0, length);
}

void MSComm::setRThreshold(int threshold)
{
    m_rThreshold = qMax(0, threshold);
}

CommInput MSComm::Input()
{
    if (!isDeviceOpen())
        return {QString(),
            CommError{CommCode::OperationNeedsOpenPort, tr("端口没有打开，无法读取"), {}}};
    if (waitingCount() == 0)
        refillWaiting();
    const qsizetype count =
        m_inputLen == 0 ? waitingCount() : qMin<qsizetype>(m_inputLen, waitingCount());
    const QString text = QString::fromLatin1(m_waiting.constData() + m_readPosition, count);
    m_readPosition += count;
    return {text, std::nullopt};
}

std::optional<CommError> MSComm::setOutput(const QString &text)
{
    if (!isDeviceOpen())
        return CommError{CommCode::OperationNeedsOpenPort, tr("端口没有打开，无法发送"), {}};
    return writeDevice(text.toLatin1());
}

void MSComm::deviceDataArrived()
{
    deliverReceiveEvents();
}

void MSComm::deviceLost(const CommError &error)
{
    if (!isDeviceOpen())
        return;
    discardWaiting();
    closeDevice();
    emit connectionLost(error);
}

void MSComm::refillWaiting()
{
    m_waiting.remove(0, m_readPosition);
    m_readPosition = 0;
    m_waiting.append(readDevice());
}

void MSComm::discardWaiting()
{
    m_deliveryTimer.stop();
    m_waiting.clear();
    m_readPosition = 0;
}

void MSComm::deliverReceiveEvents()
{
    if (m_delivering)
        return;
    const QScopedValueRollback guard(m_delivering, true);
    QElapsedTimer turn;
    turn.start();
    for (int event = 1; event % kEventsPerClockCheck != 0 || !turn.hasExpired(kTurnMilliseconds);
         ++event) {
        if (!isDeviceOpen() || m_rThreshold == 0)
            return;
        if (waitingCount() < m_rThreshold)
            refillWaiting();
        const qsizetype before = waitingCount();
        if (before < m_rThreshold)
            return;
        m_commEvent = comEvReceive;
        emit OnComm();
        if (waitingCount() >= before)
            return; // the handler took nothing; wait for fresh data
    }
    m_deliveryTimer.start();
}
