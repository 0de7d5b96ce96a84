#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

/// A parameter command "Sxxxx Pxxx Ixxx Dxxx Txxx": the fields that were present.
struct ParameterCommand
{
    std::optional<int> setTenths;
    std::optional<int> p;
    std::optional<int> i;
    std::optional<int> d;
    std::optional<int> compensation;
};

/// Band digits: each run of eleven equal digits 1 to 9 selects that band.
struct BandSelection
{
    std::vector<int> bands;
};

/// Text that is neither, with the reason for the log.
struct MalformedCommand
{
    std::string reason;
};

using ParsedCommand = std::variant<ParameterCommand, BandSelection, MalformedCommand>;

/// Parses one burst of text from the console. Fields are a letter S, P, I, D or T in either
/// case followed by digits (up to 4 for S, up to 3 for the others), separated by blanks or line
/// breaks, each letter at most once.
ParsedCommand parseCommand(std::string_view text);
