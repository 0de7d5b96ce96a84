#include "c_escapes.h"

namespace {
int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool isOctal(char c)
{
    return c >= '0' && c <= '7';
}

char simpleEscape(char c)
{
    switch (c) {
    case 'a':
        return '\a';
    case 'b':
        return '\b';
    case 'f':
        return '\f';
    case 'n':
        return '\n';
    case 'r':
        return '\r';
    case 't':
        return '\t';
    case 'v':
        return '\v';
    default:
        return c;
    }
}

/// Decodes the escape after a backslash at text[at]; returns where the text goes on.
std::size_t decodeEscape(const std::string &text, std::size_t at, std::string &out)
{
    const char first = text[at];
    if (first == 'x') {
        int value = 0;
        std::size_t next = at + 1;
        for (; next < text.size() && next < at + 3 && hexValue(text[next]) >= 0; ++next)
            value = value * 16 + hexValue(text[next]);
        out += char(value);
        return next;
    }
    if (isOctal(first)) {
        int value = 0;
        std::size_t next = at;
        for (; next < text.size() && next < at + 3 && isOctal(text[next]); ++next)
            value = value * 8 + (text[next] - '0');
        out += char(value);
        return next;
    }
    out += simpleEscape(first);
    return at + 1;
}

char hexDigit(int value)
{
    return "0123456789abcdef"[value & 0xF];
}
} // namespace

std::string decodeCEscapes(const std::string &text)
{
    std::string out;
    out.reserve(text.size());
    std::size_t at = 0;
    while (at < text.size()) {
        if (text[at] != '\\' || at + 1 == text.size()) {
            out += text[at];
            ++at;
            continue;
        }
        at = decodeEscape(text, at + 1, out);
    }
    return out;
}

std::string encodeCEscapes(const std::string &bytes)
{
    std::string out;
    for (const char byte : bytes) {
        const auto value = static_cast<unsigned char>(byte);
        switch (byte) {
        case '\r':
            out += "\\r";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '"':
            out += "\\\"";
            break;
        default:
            if (value >= 0x20 && value < 0x7F) {
                out += byte;
            } else {
                out += "\\x";
                out += hexDigit(value >> 4);
                out += hexDigit(value);
            }
        }
    }
    return out;
}
