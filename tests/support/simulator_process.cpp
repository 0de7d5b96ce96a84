#include "simulator_process.h"

namespace {
constexpr int kStartTimeoutMs = 10000;
constexpr int kStopTimeoutMs = 10000;
constexpr int kWriteTimeoutMs = 5000;
} // namespace

SimulatorProcess::SimulatorProcess(const QString &link, const Options &options)
    : m_link(link)
    , m_options(options)
{
}

SimulatorProcess::~SimulatorProcess()
{
    if (m_process.state() != QProcess::NotRunning)
        (void)stop();
}

bool SimulatorProcess::start()
{
    m_process.start(QStringLiteral(TERMIVA_SIM_BINARY), arguments());
    if (!m_process.waitForStarted() || !m_process.waitForReadyRead(kStartTimeoutMs))
        return false;
    m_device = QString::fromLocal8Bit(m_process.readLine()).trimmed();
    return m_device.startsWith(QLatin1String("/dev/"));
}

bool SimulatorProcess::stop()
{
    m_process.terminate();
    return m_process.waitForFinished(kStopTimeoutMs)
        && m_process.exitStatus() == QProcess::NormalExit && m_process.exitCode() == 0;
}

void SimulatorProcess::command(const QString &line)
{
    m_process.write(line.toUtf8() + '\n');
    m_process.waitForBytesWritten(kWriteTimeoutMs);
}

QString SimulatorProcess::log()
{
    m_log += QString::fromLocal8Bit(m_process.readAllStandardError());
    return m_log;
}

QStringList SimulatorProcess::arguments() const
{
    QStringList arguments{QStringLiteral("--link"), m_link, QStringLiteral("--period-ms"),
        QString::number(m_options.periodMs), QStringLiteral("--speed"),
        QString::number(m_options.speed), QStringLiteral("--seed"), QString::number(m_options.seed),
        QStringLiteral("--set"), QString::number(m_options.setTenths)};
    if (!m_options.noise)
        arguments << QStringLiteral("--no-noise");
    return arguments;
}
