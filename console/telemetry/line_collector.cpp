#include "line_collector.h"

LineCollector::Outcome LineCollector::append(QStringView chunk)
{
    if (!m_overlong && m_text.size() + chunk.size() > kCap)
        startDropping(m_text);
    if (m_overlong)
        return skipOverlong(chunk);
    m_text += chunk;
    return m_text.endsWith(QLatin1String("\r\n")) ? Outcome::Completed : Outcome::Collecting;
}

void LineCollector::discard()
{
    m_text.resize(0);
    m_overlong = false;
    m_afterCarriageReturn = false;
    m_skipped = 0;
}

void LineCollector::startDropping(QStringView collected)
{
    m_overlong = true;
    m_skipped = collected.size();
    m_afterCarriageReturn = collected.endsWith(u'\r');
    m_text.resize(0);
}

LineCollector::Outcome LineCollector::skipOverlong(QStringView chunk)
{
    for (qsizetype at = 0; at < chunk.size(); ++at) {
        if (m_afterCarriageReturn && chunk[at] == u'\n') {
            m_overlong = false;
            m_droppedLength = m_skipped - 1; // the carriage return belonged to the line end
            collectRest(chunk.mid(at + 1));
            return Outcome::Dropped;
        }
        m_afterCarriageReturn = chunk[at] == u'\r';
        ++m_skipped;
    }
    return Outcome::Collecting;
}

/// What follows the line end in the same chunk begins the next line.
void LineCollector::collectRest(QStringView rest)
{
    if (rest.size() > kCap)
        startDropping(rest);
    else
        m_text = rest.toString();
}
