#include "digit_model.h"

#include "leading_number.h"

QString DigitModel::normalized(const QString &value)
{
    QString text = value.toUpper();
    if (text.startsWith(u'.'))
        text.prepend(u'0');
    return text;
}

bool DigitModel::isNegative(const QString &value)
{
    return leadingNumber(value) < 0;
}

SplitValue DigitModel::SplitExponent(const QString &text, int numDigitsExp)
{
    qsizetype at = text.indexOf(QLatin1String("E+"));
    if (at < 0)
        at = text.indexOf(QLatin1String("E-"));
    if (at < 0)
        return {text, QString(qMax(numDigitsExp, 0), u' '), false};
    const QChar sign = text.at(at + 1);
    const QString padded = QString(qMax(numDigitsExp - 1, 0), u'0') + text.mid(at + 2);
    const int kept = text.contains(u':') ? numDigitsExp : numDigitsExp - 1;
    const QString digits = kept > 0 ? padded.right(kept) : QString();
    return {
        text.left(at), (sign == u'-' ? QStringLiteral("-") : QStringLiteral(" ")) + digits, true};
}

QString DigitModel::rightAligned(const QString &text, int cells)
{
    if (cells <= 0)
        return QString();
    return (QString(cells, u' ') + text).right(cells);
}

int DigitModel::markCell(int numDigits, int position, int textLength)
{
    return numDigits + position - textLength - 1;
}

std::vector<bool> DigitModel::MarkThousands(const QString &mantissa, int numDigits, int grouping)
{
    std::vector<bool> flags(std::size_t(qMax(numDigits, 0)), false);
    if (grouping < 1 || numDigits <= 0)
        return flags;
    QString s = mantissa;
    if (!s.contains(u'.'))
        s += u'.';
    const QString t = (QString(numDigits, u'0') + s).right(numDigits);
    const qsizetype e = t.indexOf(u'.') + 1;
    qsizetype h = numDigits - s.size() + 1;
    if (h >= 1 && h <= t.size() && t.at(h - 1) == u'-')
        ++h;
    for (qsizetype o = e - grouping - 1; o >= h; o -= grouping) {
        if (o >= 0 && o < numDigits)
            flags[std::size_t(o)] = true;
    }
    return flags;
}
