#include "date_clock.h"

#include "clock.h"
#include "panels/font_fitting.h"
#include "telemetry/display_format.h"
#include "window_timer.h"

#include <QDateTime>
#include <QLabel>

namespace {
// Below this the clock would no longer be legible.
constexpr qreal kSmallestClockPoints = 7.0;
} // namespace

DateClock::DateClock(
    QLabel *caption, WindowTimer &timer, std::shared_ptr<const Clock> clock, QObject *parent)
    : QObject(parent)
    , m_caption(caption)
    , m_clock(std::move(clock))
{
    m_caption->setWordWrap(true);
    m_designFont = m_caption->font();
    connect(&timer, &WindowTimer::Timer, this, &DateClock::showClock);
}

void DateClock::showClock()
{
    const QString caption = DisplayFormat::clockCaption(m_clock->now().date());
    if (m_shown == caption)
        return;
    m_shown = caption;
    m_caption->setText(caption);
    fitFont(caption);
}

/// The date and the weekday each take a line of their own, in the design's font or, where that
/// is too wide for the label, the largest smaller size that fits.
void DateClock::fitFont(const QString &caption)
{
    const QStringList lines = caption.split(DisplayFormat::clockGap());
    m_caption->setFont(fontFittingLines(
        m_designFont, lines, m_caption->contentsRect().size(), kSmallestClockPoints));
}
