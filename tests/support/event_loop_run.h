#pragma once

#include <functional>

/// Runs the event loop as the application does (QTest's waits sleep between turns, which would
/// throttle a flood) until done says so or the time is up; returns done's last answer.
bool runEventLoopUntil(const std::function<bool()> &done, int timeoutMs);
/// Runs the event loop as the application does for this long.
void runEventLoopFor(int milliseconds);
