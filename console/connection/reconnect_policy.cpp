#include "reconnect_policy.h"

#include "profile_reader.h"

namespace {
const QString kSection = QStringLiteral("PORTS");
const QString kKey = QStringLiteral("RECONNECT");
} // namespace

bool ReconnectPolicy::enabledIn(const QString &settingsFile)
{
    return readProfileString(kSection, kKey, settingsFile).trimmed() != QLatin1String("0");
}

ProfileWrite ReconnectPolicy::saveEnabled(const QString &settingsFile, bool enabled)
{
    return writeProfileString(
        kSection, kKey, enabled ? QStringLiteral("1") : QStringLiteral("0"), settingsFile);
}

ReconnectPolicy::ReconnectPolicy(bool enabled)
    : m_enabled(enabled)
{
}

ReconnectPolicy::Report ReconnectPolicy::setEnabled(bool enabled)
{
    m_enabled = enabled;
    return enabled ? Report{} : giveUp();
}

void ReconnectPolicy::opened(int port)
{
    m_port = port;
    m_state = State::Connected;
}

void ReconnectPolicy::closed()
{
    m_state = State::Idle;
}

ReconnectPolicy::Report ReconnectPolicy::giveUp()
{
    if (m_state != State::Waiting)
        return {};
    m_state = State::Idle;
    return lostWithoutWaiting();
}

ReconnectPolicy::Report ReconnectPolicy::lost(const CommError &error, qint64 atMs)
{
    m_loss = error;
    if (!m_enabled || !isOpen()) {
        m_state = State::Idle;
        return lostWithoutWaiting();
    }
    m_state = State::Waiting;
    m_lostAt = atMs;
    return {tr("连接已中断：COM%1 %2，等待设备重新连接…").arg(m_port).arg(error.cause),
        error.detail, {}};
}

ReconnectPolicy::Report ReconnectPolicy::reopenFailed(const CommError &error) const
{
    if (m_state != State::Waiting)
        return {};
    return {tr("COM%1 无法打开：%2，重试中…").arg(m_port).arg(error.cause), error.detail, {}};
}

ReconnectPolicy::Report ReconnectPolicy::reopened(
    qint64 atMs, const QString &formerNode, const QString &node)
{
    if (m_state != State::Waiting)
        return {};
    m_state = State::Reconnected;
    const QString gap = QString::number(double(atMs - m_lostAt) / 1000.0, 'f', 1);
    const QString status = tr("已重新连接 COM%1").arg(m_port);
    if (formerNode.isEmpty() || node.isEmpty() || formerNode == node)
        return {status, {}, tr("(连接中断 %1 s)").arg(gap)};
    return {status, tr("设备现为 %1，断开前为 %2").arg(node, formerNode),
        tr("(连接中断 %1 s，设备现为 %2，断开前为 %3)").arg(gap, node, formerNode)};
}

ReconnectPolicy::Report ReconnectPolicy::lostWithoutWaiting() const
{
    return {tr("连接已中断：COM%1 %2").arg(m_port).arg(m_loss.cause), m_loss.detail, {}};
}
