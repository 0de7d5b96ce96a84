#pragma once

#include <QtGlobal>

#include <atomic>
#include <functional>
#include <memory>

/// What reading in the background is told and tells: how far it came, in parts per thousand of
/// the whole, and whether it is still wanted. A default one reports nowhere and is never
/// cancelled.
class ReadProgress
{
public:
    using Report = std::function<void(int permille)>;

    ReadProgress() = default;
    ReadProgress(Report report, std::shared_ptr<const std::atomic_bool> cancelled);

    /// done of total bytes; of the part this one stands for, when it is one.
    void reached(qint64 done, qint64 total) const;
    bool isCancelled() const { return m_cancelled && *m_cancelled; }
    /// Progress of a part of the work: the bytes from before up to before + its own total, of
    /// total bytes in all.
    ReadProgress part(qint64 before, qint64 total) const;
    /// A stage of the work that reports its own progress, landing between from and to parts per
    /// thousand of the whole.
    ReadProgress stage(int fromPermille, int toPermille) const;

private:
    Report m_report;
    std::shared_ptr<const std::atomic_bool> m_cancelled;
    qint64 m_before = 0;
    qint64 m_total = -1;
};
