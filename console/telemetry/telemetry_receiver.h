#pragma once

#include "telemetry/line_collector.h"
#include "telemetry/reported_gains.h"
#include "telemetry/step_figures.h"
#include "telemetry/telemetry_line.h"

#include <QString>

#include <optional>

struct ControllerState;
struct RunState;

/// What the sliders take after a completed line: the set temperature in whole degrees, and the
/// line's P, I and D; each only where its slider's range accepts it. Only the sliders go by it.
struct AcceptedParameters
{
    std::optional<qint16> targetDegrees;
    std::optional<qint16> p;
    std::optional<qint16> i;
    std::optional<qint16> d;
};

/// What one completed line brought: its text (CR LF included), its fields, the run time it
/// arrived at and the figures it stamped. A control shows a field only when the line brought it.
struct CompletedLine
{
    QString text;
    TelemetryLine values;
    AcceptedParameters accepted;
    /// The line's P, I and D as the controller holds them, a slider's range aside.
    ReportedGains gains;
    qint64 runTenths = 0;
    /// What the boxes take.
    StepFigures figures;
    /// What the line stamped for its own run, which the record keeps.
    StepFigures runFigures;
};

/// What a received chunk changed besides the states themselves.
struct ReceiverChanges
{
    /// An "O" or "N" arrived on its own: the mode word and the normal lamp changed.
    bool modeSignal = false;
    std::optional<CompletedLine> line;
    /// The characters of an overlong line that was dropped, when this chunk ended one.
    std::optional<qsizetype> droppedLength;
};

/// The receiver without any control: collects the characters as the port delivers them into
/// lines, and updates what the controller reports and the run as every completed line demands.
class TelemetryReceiver
{
public:
    ReceiverChanges receive(const QString &chunk, ControllerState &controller, RunState &run);
    /// What came before a break in the link never joins the first line after it.
    void dropPartLine() { RxLine.discard(); }
    /// The line being collected.
    const LineCollector &collected() const { return RxLine; }

private:
    CompletedLine processCompletedLine(ControllerState &controller, RunState &run);

    LineCollector RxLine;
};
