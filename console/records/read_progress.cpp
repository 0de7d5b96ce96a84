#include "read_progress.h"

#include <algorithm>

ReadProgress::ReadProgress(Report report, std::shared_ptr<const std::atomic_bool> cancelled)
    : m_report(std::move(report))
    , m_cancelled(std::move(cancelled))
{
}

void ReadProgress::reached(qint64 done, qint64 total) const
{
    if (!m_report)
        return;
    const qint64 whole = m_total >= 0 ? m_total : total;
    const qint64 soFar = m_total >= 0 ? m_before + done : done;
    m_report(whole > 0 ? int(std::clamp<qint64>(soFar * 1000 / whole, 0, 1000)) : 0);
}

ReadProgress ReadProgress::part(qint64 before, qint64 total) const
{
    ReadProgress part = *this;
    part.m_before = m_total >= 0 ? m_before + before : before;
    part.m_total = m_total >= 0 ? m_total : total;
    return part;
}

ReadProgress ReadProgress::stage(int fromPermille, int toPermille) const
{
    ReadProgress stage;
    stage.m_cancelled = m_cancelled;
    if (m_report) {
        stage.m_report = [report = m_report, fromPermille, toPermille](int permille) {
            report(fromPermille + permille * (toPermille - fromPermille) / 1000);
        };
    }
    return stage;
}
