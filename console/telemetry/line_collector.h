#pragma once

#include <QString>

/// The line being received: every character since the last completed line, mode signals
/// included. A line is complete when it ends with carriage return and line feed. A line that
/// outgrows the cap is dropped whole, up to and including its line end, so that a stream without
/// line ends cannot grow without bound and the next line is still read at the right positions.
class LineCollector
{
public:
    static constexpr qsizetype kCap = 4096;

    enum class Outcome { Collecting, Completed, Dropped };

    /// Appends received text. Completed when the collected text now ends with CR LF; Dropped
    /// when this text ended an overlong line, whose characters are then gone.
    Outcome append(QStringView chunk);
    const QString &text() const { return m_text; }
    /// The length of the last dropped line, without its line end.
    qsizetype droppedLength() const { return m_droppedLength; }
    void clear() { m_text.resize(0); }
    /// The link broke or opened afresh: what was collected goes, an overlong line being skipped
    /// included, so that the first line after the gap is read whole.
    void discard();

private:
    void startDropping(QStringView collected);
    Outcome skipOverlong(QStringView chunk);
    void collectRest(QStringView rest);

    QString m_text;
    bool m_overlong = false;
    bool m_afterCarriageReturn = false;
    qsizetype m_skipped = 0;
    qsizetype m_droppedLength = 0;
};
