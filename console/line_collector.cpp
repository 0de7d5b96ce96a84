#include "line_collector.h"

bool LineCollector::append(QStringView chunk)
{
    if (m_text.size() + chunk.size() > kCap)
        m_text.resize(0);
    m_text += chunk;
    return m_text.endsWith(QLatin1String("\r\n"));
}
