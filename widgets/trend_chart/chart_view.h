#pragma once

#include <QtGlobal>

/// Which part of the run the chart shows. The live view is the chart as it always was: values 0
/// to Max, the newest NumberOfPoints samples. Every other view is a window onto the recorded
/// samples: a value range, a number of samples across and either the newest sample (following)
/// or a fixed one (holding) at the right edge. An action at its limit changes nothing, and one
/// that lands on the live window makes the view live again.
class ChartView
{
public:
    /// The recorded samples by index, oldest first: [first, end).
    struct Recorded
    {
        qint64 first = 0;
        qint64 end = 0;
        qint64 count() const { return end - first; }
    };

    /// Fewer samples across would leave a handful of points on the whole face.
    static constexpr qint32 kMinimumAcross = 50;
    /// The widest value range, in multiples of Max; it also bounds where the window may move.
    static constexpr qint32 kOutermostSpans = 4;

    /// The live view's window: values 0 to max, numberOfPoints samples across. With a max of 0
    /// or less there is no value range to move in and every action does nothing.
    void setLiveWindow(qint32 max, qint32 numberOfPoints);
    /// The narrowest value range zooming in reaches, at least 1.
    void setMinimumSpan(qint32 span);
    qint32 minimumSpan() const { return m_minimumSpan; }

    /// Each returns whether the view changed.
    bool reset();
    bool zoomIn();
    bool zoomOut();
    bool moveUp();
    bool moveDown();
    bool stretch();
    bool compress(const Recorded &recorded);
    bool moveLeft(const Recorded &recorded);
    bool moveRight(const Recorded &recorded);
    /// Follows the newest sample again, keeping the window's size: a held place means nothing
    /// once the samples are cleared.
    bool follow();

    bool isLive() const { return m_live; }
    qint64 bottom() const { return current().bottom(); }
    qint64 top() const { return current().top(); }
    /// The value zooming keeps in the middle; with an odd span it lies half a unit above the
    /// middle row, rounded down.
    qint64 middle() const;
    qint32 across() const { return current().across; }
    bool isFollowing() const { return current().following; }
    /// The index at the left edge: across samples before the newest shown, but never before
    /// the oldest recorded one.
    qint64 firstShown(const Recorded &recorded) const;
    /// The pixel row of a value on a canvas rows high: top on row 0, bottom on the last row.
    /// Values far outside land far outside, bounded so that the row fits an int with room.
    int rowOf(qint32 value, int rows) const;
    /// The value drawn on a row, the inverse of rowOf, bounded to 32 bits.
    qint32 valueAt(int row, int rows) const;

private:
    struct Window
    {
        /// Twice the middle value, exact, so that zooms about it never drift; the edges are
        /// rounded from it, half a unit towards lower values.
        qint64 middleTwice = 0;
        qint64 span = 0;
        qint32 across = 0;
        bool following = true;
        /// The sample at the right edge while holding.
        qint64 newest = 0;
        qint64 bottom() const;
        qint64 top() const { return bottom() + span; }
        bool operator==(const Window &other) const;
    };
    Window liveWindow() const;
    Window current() const { return m_live ? liveWindow() : m_window; }
    /// Takes the window unless it is the current one; the live window makes the view live.
    bool apply(const Window &next);
    /// The value range of the given span about the window's middle, kept inside the outermost.
    Window resized(Window window, qint64 span) const;
    Window shifted(Window window, qint64 by) const;
    /// Holds no later than needed to fill the width from the oldest sample, and follows once
    /// the newest recorded sample is reached.
    static Window settled(Window window, const Recorded &recorded);
    bool hasValueRange() const { return m_max > 0; }

    qint32 m_max = 100;
    qint32 m_livePoints = 100;
    qint32 m_minimumSpan = 1;
    bool m_live = true;
    Window m_window;
};
