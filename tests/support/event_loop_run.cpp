#include "event_loop_run.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

bool runEventLoopUntil(const std::function<bool()> &done, int timeoutMs)
{
    QEventLoop loop;
    QTimer check;
    QElapsedTimer clock;
    clock.start();
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (done() || clock.hasExpired(timeoutMs))
            loop.quit();
    });
    check.start(20);
    if (!done())
        loop.exec();
    return done();
}

void runEventLoopFor(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}
