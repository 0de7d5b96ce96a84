#include "text_number.h"

#include <QString>

#include <charconv>
#include <limits>
#include <string>

namespace {
struct Decimal
{
    bool negative = false;
    QStringView whole;
    QStringView fraction;
};

bool isDigits(QStringView text)
{
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

bool isZero(QStringView digits)
{
    for (const QChar c : digits) {
        if (c != u'0')
            return false;
    }
    return true;
}

/// Only blanks around a number are ignored; a carriage return or line feed spoils it.
QStringView withoutBlanks(QStringView text)
{
    while (text.startsWith(u' '))
        text = text.mid(1);
    while (text.endsWith(u' '))
        text.chop(1);
    return text;
}

std::optional<Decimal> splitDecimal(QStringView text)
{
    text = withoutBlanks(text);
    Decimal decimal;
    if (!text.isEmpty() && (text.front() == u'+' || text.front() == u'-')) {
        decimal.negative = text.front() == u'-';
        text = text.mid(1);
    }
    const qsizetype point = text.indexOf(u'.');
    decimal.whole = point < 0 ? text : text.left(point);
    decimal.fraction = point < 0 ? QStringView() : text.mid(point + 1);
    if ((decimal.whole.isEmpty() && decimal.fraction.isEmpty()) || !isDigits(decimal.whole)
        || !isDigits(decimal.fraction))
        return std::nullopt;
    return decimal;
}

/// Whether the fraction rounds the magnitude up: above one half, or exactly one half with an
/// odd whole part.
bool roundsUp(QStringView fraction, bool wholeIsOdd)
{
    if (fraction.isEmpty() || fraction.front() < u'5')
        return false;
    if (fraction.front() > u'5')
        return true;
    for (const QChar c : fraction.mid(1)) {
        if (c != u'0')
            return true;
    }
    return wholeIsOdd;
}

template <typename Integer> std::optional<Integer> toInteger(QStringView text)
{
    const std::optional<Decimal> decimal = splitDecimal(text);
    if (!decimal)
        return std::nullopt;
    constexpr qint64 kLimit = qint64(std::numeric_limits<Integer>::max()) + 1;
    qint64 magnitude = 0;
    for (const QChar digit : decimal->whole) {
        magnitude = magnitude * 10 + (digit.unicode() - u'0');
        if (magnitude > kLimit)
            return std::nullopt;
    }
    if (roundsUp(decimal->fraction, magnitude % 2 == 1))
        ++magnitude;
    const qint64 value = decimal->negative ? -magnitude : magnitude;
    if (value < std::numeric_limits<Integer>::min() || value > std::numeric_limits<Integer>::max())
        return std::nullopt;
    return Integer(value);
}
} // namespace

/// Built in a plain character buffer: a field's few digits need no allocation, and from_chars
/// does not follow the system's decimal separator.
std::optional<double> TextNumber::toDouble(QStringView text)
{
    const std::optional<Decimal> decimal = splitDecimal(text);
    if (!decimal)
        return std::nullopt;
    std::string plain;
    plain.reserve(std::size_t(decimal->whole.size() + decimal->fraction.size()) + 2);
    plain += '0';
    for (const QChar digit : decimal->whole)
        plain += char(digit.unicode());
    plain += '.';
    for (const QChar digit : decimal->fraction)
        plain += char(digit.unicode());
    double magnitude = 0;
    const std::from_chars_result result =
        std::from_chars(plain.data(), plain.data() + plain.size(), magnitude);
    if (result.ec == std::errc::result_out_of_range)
        magnitude = isZero(decimal->whole) ? 0.0 : std::numeric_limits<double>::infinity();
    return decimal->negative && magnitude != 0 ? -magnitude : magnitude;
}

std::optional<qint16> TextNumber::toInt16(QStringView text)
{
    return toInteger<qint16>(text);
}

std::optional<qint32> TextNumber::toInt32(QStringView text)
{
    return toInteger<qint32>(text);
}
