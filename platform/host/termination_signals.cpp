#include "termination_signals.h"

#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {
constexpr std::array<int, 3> kSignals{SIGINT, SIGTERM, SIGHUP};

// The handler's end and the event loop's end of the pair.
int g_writeEnd = -1;
int g_readEnd = -1;
std::array<struct sigaction, kSignals.size()> g_previous{};

void handleSignal(int number)
{
    const int savedErrno = errno;
    const unsigned char byte = static_cast<unsigned char>(number);
    // A full pair means a signal is already waiting to be read; one is enough.
    (void)::write(g_writeEnd, &byte, 1);
    errno = savedErrno;
}
} // namespace

TerminationSignals::TerminationSignals(QObject *parent)
    : QObject(parent)
{
    if (g_writeEnd >= 0)
        return;
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, ends) != 0)
        return;
    g_readEnd = ends[0];
    g_writeEnd = ends[1];
    struct sigaction action = {};
    action.sa_handler = handleSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t index = 0; index < kSignals.size(); ++index)
        ::sigaction(kSignals[index], &action, &g_previous[index]);
    m_notifier = new QSocketNotifier(g_readEnd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::readSignal);
}

TerminationSignals::~TerminationSignals()
{
    if (!m_notifier)
        return;
    for (std::size_t index = 0; index < kSignals.size(); ++index)
        ::sigaction(kSignals[index], &g_previous[index], nullptr);
    delete m_notifier;
    ::close(g_readEnd);
    ::close(g_writeEnd);
    g_readEnd = g_writeEnd = -1;
}

void TerminationSignals::readSignal()
{
    unsigned char byte = 0;
    while (::read(g_readEnd, &byte, 1) == 1)
        emit received(byte);
}
