#pragma once

#include <QString>

#include <atomic>
#include <condition_variable>
#include <csignal>
#include <mutex>
#include <thread>

/// Makes a FIFO that nothing should open, and after a few seconds stands in for its other end,
/// again and again, so that a test of a guard that regressed fails instead of hanging: a reader
/// blocked in open gets a writer and the end of the file, a writer gets a reader that is gone.
class FifoWatchdog
{
public:
    static constexpr int kPatienceMs = 3000;

    explicit FifoWatchdog(const QString &path);
    ~FifoWatchdog();
    FifoWatchdog(const FifoWatchdog &) = delete;
    FifoWatchdog &operator=(const FifoWatchdog &) = delete;

    bool isMade() const { return m_made; }
    /// Whether it had to stand in for the other end: something opened the FIFO.
    bool barked() const { return m_barked; }

private:
    void watch();

    QString m_path;
    bool m_made = false;
    std::atomic_bool m_barked = false;
    bool m_stop = false;
    std::mutex m_mutex;
    std::condition_variable m_stopped;
    // A writer woken this way would otherwise be killed by SIGPIPE.
    void (*m_pipeAction)(int) = SIG_DFL;
    std::thread m_thread;
};
