#include "segment_patterns.h"

#include "leading_number.h"

#include <cmath>

const std::array<const char *, 18> &SegmentPatterns::table()
{
    static const std::array<const char *, 18> patterns{
        "1111110",
        "0110000",
        "1101101",
        "1111001",
        "0110011",
        "1011011",
        "1011111",
        "1110000",
        "1111111",
        "1111011",
        "0000000",
        "0000001",
        "1110111",
        "0011111",
        "1001110",
        "0111101",
        "1001111",
        "1000111",
    };
    return patterns;
}

bool SegmentPatterns::lit(int index, int segment)
{
    return table()[std::size_t(index)][segment] == '1';
}

int SegmentPatterns::PatternIndexOf(QChar character, bool showBurnIn)
{
    if (character == u' ')
        return showBurnIn ? kBlank : kNothing;
    if (character == u'-')
        return 11;
    if (character >= u'A' && character <= u'F')
        return character.unicode() - 53;
    // Anything else reads as the number it starts with: a digit as itself, the rest as 0.
    const double number = leadingNumber(QStringView(&character, 1));
    return int(std::nearbyint(number));
}
