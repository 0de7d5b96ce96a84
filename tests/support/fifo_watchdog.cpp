#include "fifo_watchdog.h"

#include <QFile>

#include <chrono>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

FifoWatchdog::FifoWatchdog(const QString &path)
    : m_path(path)
    , m_made(::mkfifo(QFile::encodeName(path).constData(), 0600) == 0)
    , m_pipeAction(std::signal(SIGPIPE, SIG_IGN))
    , m_thread([this] { watch(); })
{
}

FifoWatchdog::~FifoWatchdog()
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_stopped.notify_all();
    m_thread.join();
    std::signal(SIGPIPE, m_pipeAction);
}

void FifoWatchdog::watch()
{
    const QByteArray name = QFile::encodeName(m_path);
    std::unique_lock<std::mutex> lock(m_mutex);
    if (m_stopped.wait_for(lock, std::chrono::milliseconds(kPatienceMs), [this] { return m_stop; }))
        return;
    while (!m_stop) {
        m_barked = true;
        for (const int access : {O_RDONLY, O_WRONLY}) {
            const int end = ::open(name.constData(), access | O_NONBLOCK | O_CLOEXEC);
            if (end >= 0)
                ::close(end);
        }
        m_stopped.wait_for(lock, std::chrono::milliseconds(50), [this] { return m_stop; });
    }
}
