#pragma once

#include "telemetry/step_response.h"
#include "telemetry/telemetry_line.h"

#include <QString>

#include <optional>

struct WindowState;

/// What the sliders take after a completed line: the set temperature in whole degrees, and the
/// line's P, I and D; each only where its range accepts it.
struct AcceptedParameters
{
    std::optional<qint16> targetDegrees;
    std::optional<qint16> p;
    std::optional<qint16> i;
    std::optional<qint16> d;
};

/// What one completed line brought: its text (CR LF included), its fields and the figures it
/// stamped. A control shows a field only when the line brought it.
struct CompletedLine
{
    QString text;
    TelemetryLine values;
    /// What the boxes take.
    StepResponseUpdate figures;
    AcceptedParameters accepted;
    /// What the line stamped for its own run, which the record keeps.
    StepResponseUpdate runFigures;
};

/// What a received chunk changed besides the state itself.
struct ReceiverChanges
{
    /// An "O" or "N" arrived on its own: the mode word and the normal lamp changed.
    bool modeSignal = false;
    std::optional<CompletedLine> line;
    /// The characters of an overlong line that was dropped, when this chunk ended one.
    std::optional<qsizetype> droppedLength;
};

/// The receiver's logic without any control: takes the received characters, with the run time
/// and the overshoot box's figure held in the state, and updates the state as every completed
/// line demands.
namespace TelemetryReceiver {
ReceiverChanges receive(WindowState &state, const QString &chunk);
} // namespace TelemetryReceiver
