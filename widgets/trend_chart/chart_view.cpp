#include "chart_view.h"

#include <algorithm>
#include <limits>

namespace {
/// Rounds towards minus infinity, for windows below zero.
qint64 floorDiv(qint64 numerator, qint64 denominator)
{
    const qint64 quotient = numerator / denominator;
    return quotient * denominator != numerator && (numerator < 0) != (denominator < 0)
        ? quotient - 1
        : quotient;
}

// Far enough off the canvas that a clipped stroke's slope is right to the pixel, near enough
// that its coordinates cannot overflow.
constexpr qint64 kOffCanvas = 1 << 20;
} // namespace

qint64 ChartView::Window::bottom() const
{
    return floorDiv(middleTwice - span, 2);
}

bool ChartView::Window::operator==(const Window &other) const
{
    return middleTwice == other.middleTwice && span == other.span && across == other.across
        && following == other.following && (following || newest == other.newest);
}

qint64 ChartView::middle() const
{
    return floorDiv(current().middleTwice, 2);
}

void ChartView::setLiveWindow(qint32 max, qint32 numberOfPoints)
{
    m_max = max;
    m_livePoints = numberOfPoints;
}

void ChartView::setMinimumSpan(qint32 span)
{
    m_minimumSpan = std::max(span, 1);
}

ChartView::Window ChartView::liveWindow() const
{
    Window window;
    window.middleTwice = m_max;
    window.span = m_max;
    window.across = std::max(m_livePoints, 1);
    return window;
}

bool ChartView::apply(const Window &next)
{
    if (!hasValueRange() || next == current())
        return false;
    m_live = next == liveWindow();
    m_window = next;
    return true;
}

bool ChartView::reset()
{
    const bool changed = !m_live;
    m_live = true;
    return changed;
}

ChartView::Window ChartView::resized(Window window, qint64 span) const
{
    window.span = span;
    return shifted(window, 0);
}

ChartView::Window ChartView::shifted(Window window, qint64 by) const
{
    // The outermost range is centred on the live window's middle.
    const qint64 outerBottom = floorDiv(qint64(m_max) - qint64(kOutermostSpans) * m_max, 2);
    const qint64 outerTop = outerBottom + qint64(kOutermostSpans) * m_max;
    by = std::clamp(by, outerBottom - window.bottom(), outerTop - window.top());
    window.middleTwice += 2 * by;
    return window;
}

bool ChartView::zoomIn()
{
    const Window window = current();
    const qint64 narrower = std::max<qint64>(window.span / 2, m_minimumSpan);
    return narrower < window.span && apply(resized(window, narrower));
}

bool ChartView::zoomOut()
{
    const Window window = current();
    const qint64 wider = std::min(window.span * 2, qint64(kOutermostSpans) * m_max);
    return wider > window.span && apply(resized(window, wider));
}

bool ChartView::moveUp()
{
    const Window window = current();
    return apply(shifted(window, std::max<qint64>(window.span / 4, 1)));
}

bool ChartView::moveDown()
{
    const Window window = current();
    return apply(shifted(window, -std::max<qint64>(window.span / 4, 1)));
}

ChartView::Window ChartView::settled(Window window, const Recorded &recorded)
{
    if (window.following)
        return window;
    window.newest = std::max(window.newest, recorded.first + window.across - 1);
    window.following = window.newest >= recorded.end - 1;
    return window;
}

bool ChartView::stretch()
{
    Window window = current();
    window.across = std::min(window.across, std::max(window.across / 2, kMinimumAcross));
    return apply(window);
}

bool ChartView::compress(const Recorded &recorded)
{
    Window window = current();
    const qint64 widest = std::max<qint64>(recorded.count(), m_livePoints);
    window.across =
        qint32(std::max<qint64>(window.across, std::min(qint64(window.across) * 2, widest)));
    return apply(settled(window, recorded));
}

bool ChartView::moveLeft(const Recorded &recorded)
{
    Window window = current();
    const qint64 newest = window.following ? recorded.end - 1 : window.newest;
    window.following = false;
    window.newest = newest - std::max(window.across / 2, 1);
    // Clamped to a window starting at the oldest sample; already there, nothing changes.
    return apply(settled(window, recorded));
}

bool ChartView::moveRight(const Recorded &recorded)
{
    Window window = current();
    if (window.following)
        return false;
    window.newest += std::max(window.across / 2, 1);
    return apply(settled(window, recorded));
}

bool ChartView::follow()
{
    Window window = current();
    window.following = true;
    return apply(window);
}

qint64 ChartView::firstShown(const Recorded &recorded) const
{
    const Window window = current();
    const qint64 newest = window.following ? recorded.end - 1 : window.newest;
    return std::max(recorded.first, newest - window.across + 1);
}

int ChartView::rowOf(qint32 value, int rows) const
{
    const Window window = current();
    const qint64 span = std::max<qint64>(window.span, 1);
    const qint64 scaled = (window.top() - value) * qint64(std::max(rows - 1, 0));
    const qint64 row = floorDiv(2 * scaled + span, 2 * span);
    return int(std::clamp<qint64>(row, -kOffCanvas, rows + kOffCanvas));
}

qint32 ChartView::valueAt(int row, int rows) const
{
    const Window window = current();
    const qint64 value = window.top() - floorDiv(qint64(row) * window.span, std::max(rows - 1, 1));
    return qint32(std::clamp<qint64>(
        value, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()));
}
