#pragma once

#include "port_map.h"

#include <array>

class CharacterDrawing;
class ControlLookup;
class MorphDisplay;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QWidget;
class ShapeControl;
class ucHistogram;

// The window's controls by what they show. The design's object names stay in the form and in
// bindWindowControls(); each member's comment gives the name it is bound to.

struct ConnectionControls
{
    std::array<QRadioButton *, PortMap::kPortCount> portOptions{}; // optComPort_0 … _15
    QPushButton *connect = nullptr; // cmdConnect
    QPushButton *disconnect = nullptr; // cmdDisconnect
    QPushButton *exit = nullptr; // cmdExit
    QLabel *status = nullptr; // lblStatus
};

struct ReadoutControls
{
    MorphDisplay *display = nullptr; // Mo
    /// "当前温度：" or, while the controller is in setting mode, "设定温度：".
    QLabel *temperatureCaption = nullptr; // Label1_0
    QLineEdit *setTemperature = nullptr; // Text2_0
    QLineEdit *highestTemperature = nullptr; // Text2_1
    QLineEdit *outputLevel = nullptr; // Text2_2
    /// "设定温度：", "℃" and "最高温度：": a click on any clears the highest temperature.
    std::array<QLabel *, 3> highestCaptions{}; // Label5_0 … _2
    /// The yellow dot under the readout standing for its decimal point; nothing changes it.
    ShapeControl *decimalPoint = nullptr; // ShapeDot_1
    /// Hidden boxes that hold values for the code: the current temperature in tenths and the
    /// controller's mode word.
    QLineEdit *currentTemperatureText = nullptr; // txtBarcode
    QLineEdit *modeWord = nullptr; // Text1
};

struct LampControls
{
    ShapeControl *normal = nullptr; // Shape3, "正常"
    ShapeControl *setting = nullptr; // Shape1, "设置"
    ShapeControl *alarm = nullptr; // Shape2, "报警"
};

struct ParameterControls
{
    /// Target, dead and alarm value, P, I and D, in that order.
    std::array<QScrollBar *, 6> sliders{}; // HScroll1_0 … _5
    std::array<QLabel *, 6> sliderValues{}; // Label7_0 … _5
    CharacterDrawing *drawing = nullptr; // Label11
};

struct ReceiveLogControls
{
    QPlainTextEdit *log = nullptr; // receive
    QLabel *lineCount = nullptr; // rece_quantity
    QPushButton *clear = nullptr; // clearbox
};

struct CommandControls
{
    QPlainTextEdit *sendBox = nullptr; // send
    QPushButton *send = nullptr; // comm_send, "发送数据"
    QPushButton *sample = nullptr; // send_model, "发送样本"
    std::array<QPushButton *, 9> bandButtons{}; // CommandA … CommandI
    std::array<ShapeControl *, 9> bandLamps{}; // Shape4_0 … _8
};

struct ChartControls
{
    ucHistogram *chart = nullptr; // ucHistogram1
    /// The scale beside the chart, bottom to top.
    std::array<QLabel *, 3> scaleCaptions{}; // Y_T_0 … _2
    QPushButton *setPointMarker = nullptr; // set_v
    QPushButton *resetView = nullptr; // reset, "复 位"
    // The design's names of the zoom buttons say the opposite of their captions.
    QPushButton *zoomIn = nullptr; // zoom_out, "放 大"
    QPushButton *zoomOut = nullptr; // zoom_in, "缩 小"
    QPushButton *moveUp = nullptr; // move_up
    QPushButton *moveDown = nullptr; // move_down
    QPushButton *moveLeft = nullptr; // move_left
    QPushButton *moveRight = nullptr; // move_right
    QPushButton *stretch = nullptr; // enlarge, "←　→"
    QPushButton *compress = nullptr; // shorten, "→　←"
};

struct RunTimeControls
{
    QLineEdit *runTime = nullptr; // run
    QPushButton *pauseTrend = nullptr; // stoporrun, "暂停" / "开始"
    QPushButton *restartRun = nullptr; // runtimeclear, "时间清零"
};

/// A step-response figure: its box and its copy on the picture.
struct FigureControls
{
    QLineEdit *box = nullptr;
    QLabel *copy = nullptr;
};

struct StepResponseControls
{
    QGroupBox *frame = nullptr; // Frame8
    QLabel *picture = nullptr; // Image2
    FigureControls riseTime; // perfor_index_0, Label8_3
    FigureControls overshoot; // perfor_index_1, Label8_0
    FigureControls peakTime; // perfor_index_2, Label8_1
    FigureControls settlingTime; // perfor_index_3, Label8_2
    std::array<QLineEdit *, 4> boxes() const
    {
        return {riseTime.box, overshoot.box, peakTime.box, settlingTime.box};
    }
};

struct WindowControls
{
    ConnectionControls connection;
    ReadoutControls readout;
    LampControls lamps;
    ParameterControls parameters;
    ReceiveLogControls receiveLog;
    CommandControls commands;
    ChartControls chart;
    RunTimeControls runTime;
    StepResponseControls stepResponse;
    QLabel *clock = nullptr; // Label13_0
};

/// Binds the design's controls by role; the ones it cannot find are left null and named in
/// the lookup's missing list.
WindowControls bindWindowControls(ControlLookup &lookup);
