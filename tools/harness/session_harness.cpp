#include "session_harness.h"

#include "settings_lookup.h"
#include "window_timer.h"

#include <QCoreApplication>
#include <QFile>

namespace {
constexpr qint64 kTickMilliseconds = 100;
} // namespace

SessionHarness::SessionHarness(const QByteArray &settings)
    : m_time(std::make_shared<ManualTime>())
{
    QFile file(settingsFile());
    if (file.open(QIODevice::WriteOnly))
        file.write(settings);
    file.close();
    auto port = std::make_unique<MemoryComm>();
    m_port = port.get();
    m_session = std::make_unique<ConsoleSession>(
        std::move(port), m_time, settingsFile(), m_directory.filePath(QStringLiteral("records")));
    for (WindowTimer *timer : m_session->findChildren<WindowTimer *>())
        m_time->drive(timer);
    m_session->probePorts();
    QObject::connect(m_session.get(), &ConsoleSession::lineCompleted, m_session.get(),
        [this] { m_runClockStarted = m_session->run().RunClockArmed; });
}

SessionHarness::~SessionHarness() = default;

QString SessionHarness::settingsFile() const
{
    return SettingsLookup::besideExecutable(m_directory.path());
}

void SessionHarness::connectPort(int port)
{
    (void)m_session->openPort(port);
}

void SessionHarness::receive(const QByteArray &bytes)
{
    m_port->feed(bytes);
    m_port->deliverFed();
    QCoreApplication::processEvents();
}

void SessionHarness::tick(qint64 count)
{
    for (qint64 step = 0; step < count; ++step) {
        m_time->advance(kTickMilliseconds);
        if (m_runClockStarted)
            m_session->tickRunClock();
        QCoreApplication::processEvents();
    }
}
