#include "port_reconnector.h"

#include "ms_comm.h"

#include <QFileInfo>

#include <utility>

PortReconnector::PortReconnector(MSComm *port, QObject *parent)
    : QObject(parent)
    , m_port(port)
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
        endWait(shown);
}

void PortReconnector::giveUp()
{
    if (m_policy.isWaiting())
        endWait(m_policy.giveUp());
}

void PortReconnector::endWait(const ReconnectPolicy::Report &shown)
{
    m_watcher.stop();
    emit ended(shown);
}

void PortReconnector::follow()
{
    m_watcher.stop();
    m_policy.opened(m_port->CommPort());
    m_openNode = currentNode();
}

void PortReconnector::stop()
{
    m_watcher.stop();
    m_policy.closed();
}

void PortReconnector::handleLoss(const CommError &error)
{
    const ReconnectPolicy::Report shown = m_policy.lost(error, m_clock.elapsed());
    if (!m_policy.isWaiting()) {
        emit ended(shown);
        return;
    }
    m_watcher.watch(m_port->DeviceName(m_policy.port()));
    emit waiting(shown, error.detail);
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
        m_watcher.watch(m_port->DeviceName(port));
        emit retrying(m_policy.reopenFailed(*error));
        return;
    }
    const QString node = currentNode();
    const ReconnectPolicy::Report shown =
        m_policy.reopened(m_clock.elapsed(), std::exchange(m_openNode, node), node);
    emit reconnected(shown, node);
}

QString PortReconnector::currentNode() const
{
    const QString device = m_port->DeviceName(m_port->CommPort());
    const QString node = QFileInfo(device).canonicalFilePath();
    return node.isEmpty() ? device : node;
}
