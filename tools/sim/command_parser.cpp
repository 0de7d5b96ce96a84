#include "command_parser.h"

#include <cctype>

namespace {
constexpr std::size_t kBandRepeat = 11;

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::vector<std::string_view> splitOnBlanks(std::string_view text)
{
    std::vector<std::string_view> tokens;
    std::size_t start = 0;
    while (start < text.size()) {
        while (start < text.size() && isBlank(text[start]))
            ++start;
        std::size_t end = start;
        while (end < text.size() && !isBlank(text[end]))
            ++end;
        if (end > start)
            tokens.push_back(text.substr(start, end - start));
        start = end;
    }
    return tokens;
}

bool allOf(std::string_view text, int (*predicate)(int))
{
    for (const char c : text) {
        if (!predicate(static_cast<unsigned char>(c)))
            return false;
    }
    return true;
}

ParsedCommand parseBands(std::string_view digits)
{
    BandSelection selection;
    std::size_t start = 0;
    while (start < digits.size()) {
        std::size_t end = start;
        while (end < digits.size() && digits[end] == digits[start])
            ++end;
        const std::size_t run = end - start;
        if (digits[start] == '0' || run % kBandRepeat != 0)
            return MalformedCommand{"band digit '" + std::string(1, digits[start]) + "' sent "
                + std::to_string(run) + " times"};
        selection.bands.insert(selection.bands.end(), run / kBandRepeat, digits[start] - '0');
        start = end;
    }
    return selection;
}

std::optional<int> *fieldFor(ParameterCommand &command, char letter)
{
    switch (std::toupper(static_cast<unsigned char>(letter))) {
    case 'S':
        return &command.setTenths;
    case 'P':
        return &command.p;
    case 'I':
        return &command.i;
    case 'D':
        return &command.d;
    case 'T':
        return &command.compensation;
    default:
        return nullptr;
    }
}

ParsedCommand parseParameters(std::string_view text)
{
    ParameterCommand command;
    for (const std::string_view token : splitOnBlanks(text)) {
        std::optional<int> *field = fieldFor(command, token.front());
        const std::string_view digits = token.substr(1);
        const std::size_t widest =
            std::toupper(static_cast<unsigned char>(token.front())) == 'S' ? 4 : 3;
        if (!field)
            return MalformedCommand{"unknown field \"" + std::string(token) + "\""};
        if (digits.empty() || digits.size() > widest || !allOf(digits, std::isdigit))
            return MalformedCommand{"bad value in \"" + std::string(token) + "\""};
        if (field->has_value())
            return MalformedCommand{"field given twice in \"" + std::string(token) + "\""};
        *field = std::stoi(std::string(digits));
    }
    return command;
}
} // namespace

ParsedCommand parseCommand(std::string_view text)
{
    const std::vector<std::string_view> tokens = splitOnBlanks(text);
    if (tokens.empty())
        return MalformedCommand{"empty command"};
    if (tokens.size() == 1 && allOf(tokens.front(), std::isdigit))
        return parseBands(tokens.front());
    return parseParameters(text);
}
