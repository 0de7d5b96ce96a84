#include "leading_number.h"

#include <QString>

namespace {
bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

/// Collects the number's characters without blanks, in C notation.
class NumberScanner
{
public:
    explicit NumberScanner(QStringView text)
        : m_text(text)
    {
    }

    QString scan()
    {
        takeSign(m_mantissa);
        takeDigits(m_mantissa);
        if (peek() == u'.') {
            m_mantissa += u'.';
            advance();
            takeDigits(m_mantissa);
        }
        if (m_digits > 0 && (peek() == u'E' || peek() == u'e' || peek() == u'D' || peek() == u'd'))
            takeExponent();
        return m_digits > 0 ? m_mantissa + m_exponent : QString();
    }

private:
    QChar peek()
    {
        while (m_at < m_text.size() && isBlank(m_text[m_at]))
            ++m_at;
        return m_at < m_text.size() ? m_text[m_at] : QChar();
    }
    void advance() { ++m_at; }

    void takeSign(QString &out)
    {
        if (peek() == u'-' || peek() == u'+') {
            out += peek();
            advance();
        }
    }

    int takeDigits(QString &out)
    {
        int count = 0;
        while (isDigit(peek())) {
            out += peek();
            advance();
            ++count;
        }
        m_digits += count;
        return count;
    }

    void takeExponent()
    {
        QString exponent = QStringLiteral("e");
        advance();
        takeSign(exponent);
        const int before = m_digits;
        takeDigits(exponent);
        if (m_digits > before)
            m_exponent = exponent;
    }

    QStringView m_text;
    qsizetype m_at = 0;
    int m_digits = 0;
    QString m_mantissa;
    QString m_exponent;
};
} // namespace

double leadingNumber(QStringView text)
{
    const QString number = NumberScanner(text).scan();
    // An exponent beyond double's range still reads with its sign (as infinity).
    return number.isEmpty() ? 0.0 : number.toDouble();
}
