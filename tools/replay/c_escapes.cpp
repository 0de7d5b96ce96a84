#include "c_escapes.h"

namespace {
int hexValue(QChar c)
{
    if (c >= u'0' && c <= u'9')
        return c.unicode() - u'0';
    if (c >= u'a' && c <= u'f')
        return c.unicode() - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c.unicode() - u'A' + 10;
    return -1;
}

bool isOctal(QChar c)
{
    return c >= u'0' && c <= u'7';
}

char simpleEscape(QChar c)
{
    switch (c.unicode()) {
    case u'a':
        return '\a';
    case u'b':
        return '\b';
    case u'f':
        return '\f';
    case u'n':
        return '\n';
    case u'r':
        return '\r';
    case u't':
        return '\t';
    case u'v':
        return '\v';
    default:
        return char(c.toLatin1());
    }
}

/// Decodes the escape after a backslash at text[at]; returns where the text goes on.
qsizetype decodeEscape(QStringView text, qsizetype at, QByteArray &out)
{
    const QChar first = text[at];
    if (first == u'x') {
        int value = 0;
        qsizetype next = at + 1;
        for (; next < text.size() && next < at + 3 && hexValue(text[next]) >= 0; ++next)
            value = value * 16 + hexValue(text[next]);
        out.append(char(value));
        return next;
    }
    if (isOctal(first)) {
        int value = 0;
        qsizetype next = at;
        for (; next < text.size() && next < at + 3 && isOctal(text[next]); ++next)
            value = value * 8 + (text[next].unicode() - u'0');
        out.append(char(value));
        return next;
    }
    out.append(simpleEscape(first));
    return at + 1;
}
} // namespace

QByteArray decodeCEscapes(QStringView text)
{
    QByteArray out;
    qsizetype plainStart = 0;
    qsizetype at = 0;
    while (at < text.size()) {
        if (text[at] != u'\\' || at + 1 == text.size()) {
            ++at;
            continue;
        }
        out.append(text.mid(plainStart, at - plainStart).toUtf8());
        at = decodeEscape(text, at + 1, out);
        plainStart = at;
    }
    out.append(text.mid(plainStart).toUtf8());
    return out;
}

QString encodeCEscapes(const QByteArray &bytes)
{
    QString out;
    for (const char byte : bytes) {
        const auto value = static_cast<unsigned char>(byte);
        switch (byte) {
        case '\r':
            out += QLatin1String("\\r");
            break;
        case '\n':
            out += QLatin1String("\\n");
            break;
        case '\t':
            out += QLatin1String("\\t");
            break;
        case '\\':
            out += QLatin1String("\\\\");
            break;
        case '"':
            out += QLatin1String("\\\"");
            break;
        default:
            if (value >= 0x20 && value < 0x7F)
                out += QLatin1Char(byte);
            else
                out += QStringLiteral("\\x%1").arg(value, 2, 16, QLatin1Char('0'));
        }
    }
    return out;
}
