#include "window_controls.h"

#include "controls/character_drawing.h"
#include "controls/shape_control.h"
#include "form/control_lookup.h"
#include "morph_display.h"
#include "uc_histogram.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

namespace {
ConnectionControls bindConnection(ControlLookup &lookup)
{
    ConnectionControls controls;
    controls.portOptions = lookup.array<QRadioButton, PortMap::kPortCount>("optComPort");
    controls.connect = lookup.find<QPushButton>(QStringLiteral("cmdConnect"));
    controls.disconnect = lookup.find<QPushButton>(QStringLiteral("cmdDisconnect"));
    controls.exit = lookup.find<QPushButton>(QStringLiteral("cmdExit"));
    controls.status = lookup.find<QLabel>(QStringLiteral("lblStatus"));
    return controls;
}

ReadoutControls bindReadout(ControlLookup &lookup)
{
    ReadoutControls controls;
    controls.display = lookup.find<MorphDisplay>(QStringLiteral("Mo"));
    controls.temperatureCaption = lookup.find<QLabel>(QStringLiteral("Label1_0"));
    controls.setTemperature = lookup.find<QLineEdit>(QStringLiteral("Text2_0"));
    controls.highestTemperature = lookup.find<QLineEdit>(QStringLiteral("Text2_1"));
    controls.outputLevel = lookup.find<QLineEdit>(QStringLiteral("Text2_2"));
    controls.highestCaptions = lookup.array<QLabel, 3>("Label5");
    controls.decimalPoint = lookup.find<ShapeControl>(QStringLiteral("ShapeDot_1"));
    controls.currentTemperatureText = lookup.find<QLineEdit>(QStringLiteral("txtBarcode"));
    controls.modeWord = lookup.find<QLineEdit>(QStringLiteral("Text1"));
    return controls;
}

LampControls bindLamps(ControlLookup &lookup)
{
    LampControls controls;
    controls.normal = lookup.find<ShapeControl>(QStringLiteral("Shape3"));
    controls.setting = lookup.find<ShapeControl>(QStringLiteral("Shape1"));
    controls.alarm = lookup.find<ShapeControl>(QStringLiteral("Shape2"));
    return controls;
}

ParameterControls bindParameters(ControlLookup &lookup)
{
    ParameterControls controls;
    controls.sliders = lookup.array<QScrollBar, 6>("HScroll1");
    controls.sliderValues = lookup.array<QLabel, 6>("Label7");
    controls.drawing = lookup.find<CharacterDrawing>(QStringLiteral("Label11"));
    return controls;
}

ReceiveLogControls bindReceiveLog(ControlLookup &lookup)
{
    ReceiveLogControls controls;
    controls.log = lookup.find<QPlainTextEdit>(QStringLiteral("receive"));
    controls.lineCount = lookup.find<QLabel>(QStringLiteral("rece_quantity"));
    controls.clear = lookup.find<QPushButton>(QStringLiteral("clearbox"));
    return controls;
}

CommandControls bindCommands(ControlLookup &lookup)
{
    CommandControls controls;
    controls.sendBox = lookup.find<QPlainTextEdit>(QStringLiteral("send"));
    controls.send = lookup.find<QPushButton>(QStringLiteral("comm_send"));
    controls.sample = lookup.find<QPushButton>(QStringLiteral("send_model"));
    for (std::size_t band = 0; band < controls.bandButtons.size(); ++band)
        controls.bandButtons[band] =
            lookup.find<QPushButton>(QStringLiteral("Command") + QChar(u'A' + int(band)));
    controls.bandLamps = lookup.array<ShapeControl, 9>("Shape4");
    return controls;
}

ChartControls bindChart(ControlLookup &lookup)
{
    ChartControls controls;
    controls.chart = lookup.find<ucHistogram>(QStringLiteral("ucHistogram1"));
    controls.scaleCaptions = lookup.array<QLabel, 3>("Y_T");
    controls.setPointMarker = lookup.find<QPushButton>(QStringLiteral("set_v"));
    controls.resetView = lookup.find<QPushButton>(QStringLiteral("reset"));
    controls.zoomIn = lookup.find<QPushButton>(QStringLiteral("zoom_out"));
    controls.zoomOut = lookup.find<QPushButton>(QStringLiteral("zoom_in"));
    controls.moveUp = lookup.find<QPushButton>(QStringLiteral("move_up"));
    controls.moveDown = lookup.find<QPushButton>(QStringLiteral("move_down"));
    controls.moveLeft = lookup.find<QPushButton>(QStringLiteral("move_left"));
    controls.moveRight = lookup.find<QPushButton>(QStringLiteral("move_right"));
    controls.stretch = lookup.find<QPushButton>(QStringLiteral("enlarge"));
    controls.compress = lookup.find<QPushButton>(QStringLiteral("shorten"));
    return controls;
}

RunTimeControls bindRunTime(ControlLookup &lookup)
{
    RunTimeControls controls;
    controls.runTime = lookup.find<QLineEdit>(QStringLiteral("run"));
    controls.pauseTrend = lookup.find<QPushButton>(QStringLiteral("stoporrun"));
    controls.restartRun = lookup.find<QPushButton>(QStringLiteral("runtimeclear"));
    return controls;
}

FigureControls bindFigure(ControlLookup &lookup, int box, int copy)
{
    return {lookup.find<QLineEdit>(QStringLiteral("perfor_index_%1").arg(box)),
        lookup.find<QLabel>(QStringLiteral("Label8_%1").arg(copy))};
}

StepResponseControls bindStepResponse(ControlLookup &lookup)
{
    StepResponseControls controls;
    controls.frame = lookup.find<QGroupBox>(QStringLiteral("Frame8"));
    controls.picture = lookup.find<QLabel>(QStringLiteral("Image2"));
    controls.riseTime = bindFigure(lookup, 0, 3);
    controls.overshoot = bindFigure(lookup, 1, 0);
    controls.peakTime = bindFigure(lookup, 2, 1);
    controls.settlingTime = bindFigure(lookup, 3, 2);
    return controls;
}
} // namespace

WindowControls bindWindowControls(ControlLookup &lookup)
{
    WindowControls controls;
    controls.connection = bindConnection(lookup);
    controls.readout = bindReadout(lookup);
    controls.lamps = bindLamps(lookup);
    controls.parameters = bindParameters(lookup);
    controls.receiveLog = bindReceiveLog(lookup);
    controls.commands = bindCommands(lookup);
    controls.chart = bindChart(lookup);
    controls.runTime = bindRunTime(lookup);
    controls.stepResponse = bindStepResponse(lookup);
    controls.clock = lookup.find<QLabel>(QStringLiteral("Label13_0"));
    return controls;
}
