#include "csv_format.h"

#include <algorithm>
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

bool isControl(QChar character)
{
    const char16_t code = character.unicode();
    return code < 0x20 || (code >= 0x7f && code <= 0x9f);
}

bool needsEscape(QChar character)
{
    return isControl(character) || character == u'\\';
}

bool startsFormula(const QString &text)
{
    return !text.isEmpty() && QStringView(u"=+-@").contains(text.front());
}

void appendEscaped(QString &out, QChar character)
{
    switch (character.unicode()) {
    case u'\\':
        out += QLatin1String("\\\\");
        break;
    case u'\t':
        out += QLatin1String("\\t");
        break;
    case u'\n':
        out += QLatin1String("\\n");
        break;
    case u'\r':
        out += QLatin1String("\\r");
        break;
    default:
        if (isControl(character))
            out += QStringLiteral("\\x%1").arg(uint(character.unicode()), 2, 16, QLatin1Char('0'));
        else
            out += character;
    }
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

QString CsvFormat::inertText(const QString &text)
{
    const bool formula = startsFormula(text);
    if (!formula && std::none_of(text.cbegin(), text.cend(), needsEscape))
        return text;
    QString inert;
    inert.reserve(text.size() + 8);
    if (formula)
        inert += u'\'';
    for (const QChar character : text)
        appendEscaped(inert, character);
    return inert;
}
