#include "background_reading.h"

#include <QtConcurrent/QtConcurrentRun>

BackgroundReading::BackgroundReading(QObject *parent)
    : QObject(parent)
{
}

BackgroundReading::~BackgroundReading()
{
    cancel();
    for (QFuture<void> &running : m_running)
        running.waitForFinished();
}

void BackgroundReading::start(Work work)
{
    cancel();
    auto cancelled = std::make_shared<std::atomic_bool>(false);
    m_cancelled = cancelled;
    // Only a change of the figure is worth an event.
    auto shown = std::make_shared<std::atomic_int>(-1);
    const auto report = [this, cancelled, shown](int permille) {
        if (shown->exchange(permille) == permille)
            return;
        QMetaObject::invokeMethod(
            this,
            [this, cancelled, permille] {
                if (!*cancelled)
                    emit progressed(permille);
            },
            Qt::QueuedConnection);
    };
    const HandOverPart handOverPart = [this, cancelled](Handover part) {
        QMetaObject::invokeMethod(
            this,
            [cancelled, part = std::move(part)] {
                if (!*cancelled)
                    part();
            },
            Qt::QueuedConnection);
    };
    const ReadProgress progress(report, cancelled);
    m_running.removeIf([](const QFuture<void> &running) { return running.isFinished(); });
    m_running.append(
        QtConcurrent::run([this, work = std::move(work), progress, handOverPart, cancelled] {
            Handover handover = work(progress, handOverPart);
            QMetaObject::invokeMethod(
                this,
                [this, cancelled, handover = std::move(handover)] {
                    if (*cancelled)
                        return;
                    m_cancelled.reset();
                    if (handover)
                        handover();
                    emit finished();
                },
                Qt::QueuedConnection);
        }));
}

void BackgroundReading::cancel()
{
    if (m_cancelled)
        *m_cancelled = true;
    m_cancelled.reset();
}
