#include "command_fields.h"

#include <QStringList>

namespace {
constexpr int kSetDigits = 4;
constexpr int kGainDigits = 3;

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

std::optional<qint16> *fieldFor(CommandFields &fields, QChar letter)
{
    switch (letter.toUpper().unicode()) {
    case u'S':
        return &fields.setTenths;
    case u'P':
        return &fields.p;
    case u'I':
        return &fields.i;
    case u'D':
        return &fields.d;
    case u'T':
        return &fields.t;
    default:
        return nullptr;
    }
}

/// Digits 0 to 9 only, at most widest of them: the controller takes no sign, blank or other
/// script's digits.
std::optional<qint16> digitsValue(QStringView digits, int widest)
{
    if (digits.isEmpty() || digits.size() > widest)
        return std::nullopt;
    int value = 0;
    for (const QChar c : digits) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
    }
    return qint16(value);
}

QString padded(qint16 value, int digits)
{
    return QStringLiteral("%1").arg(value, digits, 10, QLatin1Char('0'));
}
} // namespace

std::optional<CommandFields> CommandFields::read(QStringView text)
{
    CommandFields fields;
    bool any = false;
    qsizetype start = 0;
    while (start < text.size()) {
        while (start < text.size() && isBlank(text[start]))
            ++start;
        qsizetype end = start;
        while (end < text.size() && !isBlank(text[end]))
            ++end;
        if (end == start)
            break;
        const QStringView token = text.mid(start, end - start);
        start = end;
        std::optional<qint16> *field = fieldFor(fields, token.front());
        if (!field || field->has_value())
            return std::nullopt;
        const bool set = field == &fields.setTenths;
        *field = digitsValue(token.mid(1), set ? kSetDigits : kGainDigits);
        if (!field->has_value())
            return std::nullopt;
        any = true;
    }
    if (!any)
        return std::nullopt;
    return fields;
}

QString CommandFields::commandText() const
{
    QStringList parts;
    const auto add = [&parts](QChar letter, const std::optional<qint16> &value, int digits) {
        if (value)
            parts.append(letter + padded(*value, digits));
    };
    add(u'S', setTenths, kSetDigits);
    add(u'P', p, kGainDigits);
    add(u'I', i, kGainDigits);
    add(u'D', d, kGainDigits);
    add(u'T', t, kGainDigits);
    return parts.join(u' ');
}

bool CommandFields::hasShownField() const
{
    return setTenths || p || i || d;
}

bool CommandFields::operator==(const CommandFields &other) const
{
    return setTenths == other.setTenths && p == other.p && i == other.i && d == other.d
        && t == other.t;
}
