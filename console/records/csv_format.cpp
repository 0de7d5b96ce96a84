#include "csv_format.h"

#include <utility>

namespace {
bool needsQuotes(const QString &text)
{
    for (const QChar character : text) {
        if (character == u',' || character == u'"' || character == u'\r' || character == u'\n')
            return true;
    }
    return false;
}
} // namespace

QString CsvFormat::field(const QString &text)
{
    if (!needsQuotes(text))
        return text;
    QString quoted = text;
    quoted.replace(u'"', QLatin1String("\"\""));
    return u'"' + quoted + u'"';
}

QString CsvFormat::row(const QStringList &fields)
{
    QStringList quoted;
    quoted.reserve(fields.size());
    for (const QString &text : fields)
        quoted.append(field(text));
    return quoted.join(u',') + QLatin1String("\r\n");
}

QList<QStringList> CsvFormat::parse(const QString &text)
{
    QList<QStringList> rows;
    QStringList fields;
    QString current;
    bool quoted = false;
    bool rowStarted = false;
    for (qsizetype at = 0; at < text.size(); ++at) {
        const QChar character = text[at];
        rowStarted = true;
        if (quoted) {
            if (character != u'"')
                current += character;
            else if (at + 1 < text.size() && text[at + 1] == u'"')
                current += text[++at];
            else
                quoted = false;
        } else if (character == u'"') {
            quoted = true;
        } else if (character == u',') {
            fields.append(std::exchange(current, {}));
        } else if (character == u'\n' || character == u'\r') {
            if (character == u'\r' && at + 1 < text.size() && text[at + 1] == u'\n')
                ++at;
            fields.append(std::exchange(current, {}));
            rows.append(std::exchange(fields, {}));
            rowStarted = false;
        } else {
            current += character;
        }
    }
    if (rowStarted) {
        fields.append(current);
        rows.append(fields);
    }
    return rows;
}
