#include "fit_window.h"

#include <cmath>

FitWindow::FitWindow(qint64 runStart)
    : m_runStart(runStart)
{
}

void FitWindow::take(const PlantSample &line)
{
    if (!m_ledIn)
        m_ledIn = line.milliseconds < m_runStart;
    if (!m_changed && changesAt(line)) {
        trimLead();
        m_changed = true;
    }
    if (m_lines.size() >= kMostLines) {
        ++m_leftOut;
        return;
    }
    m_lines.push_back(line);
    // Trimmed only once the lead is twice its length, so that each line moves once at most.
    if (!m_changed && m_lines.size() >= 2 * kLeadLines)
        trimLead();
}

bool FitWindow::changesAt(const PlantSample &line)
{
    if (*m_ledIn)
        return line.milliseconds >= m_runStart;
    if (!line.output)
        return false;
    if (!m_firstOutput)
        m_firstOutput = line.output;
    return std::abs(*line.output - *m_firstOutput) >= kExcitingChange;
}

void FitWindow::trimLead()
{
    if (m_lines.size() <= kLeadLines)
        return;
    const std::size_t dropped = m_lines.size() - kLeadLines;
    m_lines.erase(m_lines.begin(), m_lines.begin() + std::ptrdiff_t(dropped));
    m_leftOut += dropped;
}

PlantStretch FitWindow::release()
{
    if (!m_changed)
        trimLead();
    PlantStretch lines = std::move(m_lines);
    m_lines = {};
    return lines;
}

PlantStretch FitWindow::of(const PlantStretch &stretch, qint64 runStart, std::size_t &leftOut)
{
    FitWindow window(runStart);
    for (const PlantSample &line : stretch)
        window.take(line);
    leftOut = window.leftOut();
    return window.release();
}

QString FitWindow::note(std::size_t leftOut)
{
    return tr("运行很长：拟合只用输出变化前至多 %1 行、共至多 %2 行，其余 %3 行未用")
        .arg(kLeadLines)
        .arg(kMostLines)
        .arg(leftOut);
}
