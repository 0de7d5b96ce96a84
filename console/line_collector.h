#pragma once

#include <QString>

/// The line being received: every character since the last completed line, mode signals
/// included. A line is complete when it ends with carriage return and line feed. Past the cap
/// the collected text is dropped and collection starts over, so a stream without line ends
/// cannot grow without bound.
class LineCollector
{
public:
    static constexpr qsizetype kCap = 4096;

    /// Appends received text; true when the line is now complete.
    bool append(QStringView chunk);
    const QString &text() const { return m_text; }
    void clear() { m_text.resize(0); }

private:
    QString m_text;
};
