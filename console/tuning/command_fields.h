#pragma once

#include <QString>
#include <QStringView>

#include <optional>

/// The fields of a parameter command as the controller takes them: S in tenths of a degree, P,
/// I and D, and T, the output bias. Also what the controller's lines show of the same fields.
struct CommandFields
{
    std::optional<qint16> setTenths;
    std::optional<qint16> p;
    std::optional<qint16> i;
    std::optional<qint16> d;
    std::optional<qint16> t;

    /// The fields of text sent to the controller, read as the controller reads them: letters S,
    /// P, I, D and T in either case, each at most once, in any order, each followed by its
    /// digits (up to 4 for S, 3 for the others) and separated by blanks or line breaks. Anything
    /// else (free text, band digits, a malformed field) is no parameter command and gives none.
    static std::optional<CommandFields> read(QStringView text);

    /// The fields given, in the controller's form with the digits zero-padded: "S0600 P010".
    QString commandText() const;
    /// Whether any of S, P, I and D is given: those are the ones a telemetry line shows.
    bool hasShownField() const;

    bool operator==(const CommandFields &other) const;
    bool operator!=(const CommandFields &other) const { return !(*this == other); }
};
