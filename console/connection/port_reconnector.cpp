#include "port_reconnector.h"

#include "ms_comm.h"
#include "records/run_recorder.h"

#include <QFileInfo>

#include <utility>

PortReconnector::PortReconnector(
    MSComm *port, RunRecorder *recorder, std::function<QString()> runTime, QObject *parent)
    : QObject(parent)
    , m_port(port)
    , m_recorder(recorder)
    , m_runTime(std::move(runTime))
{
    m_clock.start();
    connect(
        &m_watcher, &DeviceReturnWatcher::deviceReturned, this, &PortReconnector::deviceReturned);
}

void PortReconnector::setEnabled(bool enabled)
{
    const bool wasWaiting = m_policy.isWaiting();
    const ReconnectPolicy::Report shown = m_policy.setEnabled(enabled);
    if (wasWaiting && !m_policy.isWaiting())
        endWaitReporting(shown);
}

void PortReconnector::giveUp()
{
    if (m_policy.isWaiting())
        endWaitReporting(m_policy.giveUp());
}

/// The wait ends as a loss without one does: the run ends with the record's connection.
void PortReconnector::endWaitReporting(const ReconnectPolicy::Report &shown)
{
    m_watcher.stop();
    if (m_recorder)
        m_recorder->connectionClosed();
    report(shown);
}

void PortReconnector::connected()
{
    m_watcher.stop();
    m_policy.opened(m_port->CommPort());
    m_openNode = currentNode();
    emit stateChanged(m_policy.state());
}

void PortReconnector::closed()
{
    if (m_policy.state() == ReconnectPolicy::State::Idle)
        return;
    endWait();
}

void PortReconnector::lost(const CommError &error)
{
    const ReconnectPolicy::Report shown = m_policy.lost(error, m_clock.elapsed());
    if (m_policy.isWaiting()) {
        if (m_recorder)
            m_recorder->linkLost(m_runTime(), error.detail);
        m_watcher.watch(m_port->DeviceName(m_policy.port()));
    } else if (m_recorder) {
        m_recorder->connectionClosed();
    }
    report(shown);
}

void PortReconnector::deviceReturned()
{
    if (!m_policy.isWaiting() || m_port->PortOpen())
        return;
    const int port = m_policy.port();
    if (m_port->CommPort() != port && m_port->setCommPort(port))
        return;
    if (const std::optional<CommError> error = m_port->setPortOpen(true)) {
        // There but not yet usable (held by another program, its permissions still being set):
        // the next look comes after an interval, so a failing device costs an open twice a
        // second at most.
        const ReconnectPolicy::Report why = m_policy.reopenFailed(*error);
        emit statusChanged(why.status, why.detail);
        m_watcher.watch(m_port->DeviceName(port));
        return;
    }
    const QString node = currentNode();
    const ReconnectPolicy::Report shown =
        m_policy.reopened(m_clock.elapsed(), std::exchange(m_openNode, node), node);
    if (m_recorder)
        m_recorder->reconnected(m_runTime(), node);
    report(shown);
}

QString PortReconnector::currentNode() const
{
    const QString device = m_port->DeviceName(m_port->CommPort());
    const QString node = QFileInfo(device).canonicalFilePath();
    return node.isEmpty() ? device : node;
}

void PortReconnector::report(const ReconnectPolicy::Report &shown)
{
    if (!shown.status.isEmpty())
        emit statusChanged(shown.status, shown.detail);
    if (!shown.logEntry.isEmpty())
        emit logEntry(shown.logEntry);
    emit stateChanged(m_policy.state());
}

void PortReconnector::endWait()
{
    m_watcher.stop();
    m_policy.closed();
    emit stateChanged(m_policy.state());
}
