#include "simulator_process.h"

SimulatorProcess::SimulatorProcess(
    const QString &binary, const QString &link, const QStringList &options)
    : m_binary(binary)
    , m_link(link)
    , m_options(options)
{
}

SimulatorProcess::~SimulatorProcess()
{
    m_process.terminate();
    m_process.waitForFinished(10000);
}

bool SimulatorProcess::start()
{
    m_process.start(m_binary, QStringList{QStringLiteral("--link"), m_link} + m_options);
    return m_process.waitForStarted() && m_process.waitForReadyRead(10000)
        && m_process.readLine().startsWith("/dev/");
}

void SimulatorProcess::command(const QString &line)
{
    m_process.write(line.toUtf8() + '\n');
    m_process.waitForBytesWritten(5000);
}

QString SimulatorProcess::log()
{
    m_log += QString::fromLocal8Bit(m_process.readAllStandardError());
    return m_log;
}
