#pragma once

#include <QByteArray>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

/// Ends the test with the case's name when the case outlasts its bound: a FIFO opened with a
/// blocking open would otherwise hold the test silently until ctest kills it.
class HangWatchdog
{
public:
    explicit HangWatchdog(std::chrono::seconds bound = std::chrono::seconds(10));
    ~HangWatchdog();
    HangWatchdog(const HangWatchdog &) = delete;
    HangWatchdog &operator=(const HangWatchdog &) = delete;

private:
    void watch(std::chrono::seconds bound);

    QByteArray m_case;
    std::mutex m_mutex;
    std::condition_variable m_finished;
    bool m_done = false;
    std::thread m_thread;
};
