#include "hang_watchdog.h"

#include <QTest>

#include <cstdio>
#include <cstdlib>

namespace {
QByteArray currentCase()
{
    const QByteArray program(QTest::currentAppName());
    const char *tag = QTest::currentDataTag();
    return program.mid(program.lastIndexOf('/') + 1) + "::" + QTest::currentTestFunction() + '('
        + (tag ? tag : "") + ')';
}
} // namespace

HangWatchdog::HangWatchdog(std::chrono::seconds bound)
    : m_case(currentCase())
    , m_thread(&HangWatchdog::watch, this, bound)
{
}

HangWatchdog::~HangWatchdog()
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_done = true;
    }
    m_finished.notify_one();
    m_thread.join();
}

void HangWatchdog::watch(std::chrono::seconds bound)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    if (m_finished.wait_for(lock, bound, [this] { return m_done; }))
        return;
    // The test's thread is stuck in a system call; nothing it would log can come out.
    std::fprintf(stderr, "FAIL!  : %s still running after %lld s: blocked on a FIFO?\n",
        m_case.constData(), static_cast<long long>(bound.count()));
    std::fflush(stderr);
    std::abort();
}
