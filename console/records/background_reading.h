#pragma once

#include "records/read_progress.h"

#include <QFuture>
#include <QList>
#include <QObject>

#include <atomic>
#include <functional>
#include <memory>

/// Reading that must not hold up the window (a history of any size, a record of hundreds of
/// megabytes) done on a pool thread: its progress and its result come back to this object's
/// thread. A reading cancelled, or replaced by a new one, hands over nothing.
class BackgroundReading : public QObject
{
    Q_OBJECT

public:
    /// Run on this object's thread to hand over what was read.
    using Handover = std::function<void()>;
    /// Hands over part of the result while the work goes on, such as the newest rows first.
    using HandOverPart = std::function<void(Handover part)>;
    /// Run on a pool thread: reads, reporting to progress, and says how to hand over the result.
    using Work = std::function<Handover(const ReadProgress &progress, const HandOverPart &part)>;

    explicit BackgroundReading(QObject *parent = nullptr);
    /// Waits for the work, cancelled, to stop: it must not outlive what it hands over to.
    ~BackgroundReading() override;

    void start(Work work);
    void cancel();
    bool isReading() const { return m_cancelled != nullptr; }

signals:
    void progressed(int permille);
    /// The result has been handed over.
    void finished();

private:
    std::shared_ptr<std::atomic_bool> m_cancelled;
    /// Work cancelled may still be finishing.
    QList<QFuture<void>> m_running;
};
