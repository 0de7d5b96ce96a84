#include "frm_main.h"

#include "application_setup.h"
#include "chart_time_axis.h"
#include "clock.h"
#include "control_array.h"
#include "design_colours.h"
#include "display_format.h"
#include "font_fitting.h"
#include "morph_display.h"
#include "ms_comm.h"
#include "ole_color.h"
#include "parameter_ranges.h"
#include "profile_reader.h"
#include "run_recorder.h"
#include "runs_dialog.h"
#include "step_response.h"
#include "step_response_picture.h"
#include "stored_design.h"
#include "telemetry_line.h"
#include "telemetry_receiver.h"
#include "trend_samples.h"
#include "uc_histogram.h"
#include "ui_frm_main.h"
#include "window_timer.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHelpEvent>
#include <QLocale>
#include <QMenu>
#include <QMouseEvent>
#include <QSaveFile>
#include <QStandardPaths>
#include <QToolTip>
#include <QUrl>

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace {
constexpr int kTimer1Interval = 1000;
constexpr int kTrendInterval = 100;
constexpr int kClockInterval = 200;
constexpr int kRunTimeInterval = 100;
constexpr int kBandRepeat = 11;

const QColor kLampLit(255, 0, 0);
const QColor kLampOff(255, 255, 255);
// The mark that nothing is recorded: right of the status line in its frame, clear of the port
// options above and the connect buttons below.
const QRect kNotRecordingPlace(216, 88, 62, 16);
const QColor kNotRecordingColour(192, 0, 0);

QString modeText(ModeWord mode)
{
    switch (mode) {
    case ModeWord::Ok:
        return QStringLiteral("OK");
    case ModeWord::Exit:
        return QStringLiteral("EXIT");
    case ModeWord::None:
        break;
    }
    return QString();
}
const char *const kSetTemperatureCaption = QT_TRANSLATE_NOOP("frmMain", "设定温度：");
const char *const kCurrentTemperatureCaption = QT_TRANSLATE_NOOP("frmMain", "当前温度：");
const QString kSampleCommand = QStringLiteral("S0450 P009 I004 D002 T040");
const char *const kPauseCaption = QT_TRANSLATE_NOOP("frmMain", "暂停");
const char *const kStartCaption = QT_TRANSLATE_NOOP("frmMain", "开始");
const QColor kPauseBack(128, 255, 255);
const QColor kStartBack(255, 128, 255);
// Below this the clock would no longer be legible.
constexpr qreal kSmallestClockPoints = 7.0;
// The smallest type a status text may take to be shown whole.
constexpr qreal kSmallestStatusPoints = 8.0;
// The chart's scale in the live view, bottom to top; a zoomed view shows its own values.
const std::array<QString, 3> kLiveAxisCaptions{
    QStringLiteral("0"), QStringLiteral("60"), QStringLiteral("120")};
// The narrowest temperature window a zoom reaches, in tenths.
constexpr qint32 kNarrowestViewTenths = 20;
constexpr qreal kSmallestAxisPoints = 5.0;

void light(ShapeControl *lamp, bool lit)
{
    lamp->setFillColor(lit ? kLampLit : kLampOff);
}

/// Sets a caption or a box's text only when it changes, so that repeated updates cost a
/// comparison.
template <typename Control> void setCaption(Control *control, const QString &text)
{
    if (control->text() != text)
        control->setText(text);
}

void setSliderValue(QScrollBar *slider, std::optional<qint16> accepted)
{
    if (accepted)
        slider->setValue(*accepted);
}

/// The name as chosen, with the suffix added unless it already ends in it.
QString withSuffix(const QString &path, const QString &suffix)
{
    const QString ending = u'.' + suffix;
    return path.endsWith(ending, Qt::CaseInsensitive) ? path : path + ending;
}

QString defaultRecordsDir()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation)
        + QLatin1String("/records");
}

bool marksPortUnusable(const std::optional<CommError> &error)
{
    return error
        && (error->code == CommCode::DeviceUnavailable || error->code == CommCode::InvalidPortNumber
            || error->code == CommCode::PortNotOpen);
}

void setRole(QWidget *widget, QPalette::ColorRole role, OleColor colour)
{
    QPalette palette = widget->palette();
    palette.setColor(role, OleTranslateColor(colour).value_or(QColor()));
    widget->setPalette(palette);
}

struct DesignFont
{
    const char *control;
    const char *family;
    qreal points;
    bool bold;
};

// Point sizes the form file cannot hold (it keeps whole points only).
constexpr DesignFont kFractionalFonts[] = {
    {"Label1_0", "宋体", 15.75, true},
    {"Label5_1", "黑体", 26.25, true},
    {"receive_label", "宋体", 10.5, false},
    {"rece_quantity", "宋体", 10.5, false},
};
} // namespace

frmMain::frmMain(std::unique_ptr<MSComm> comPort, std::shared_ptr<const Clock> clock,
    const QString &settingsFile, const QString &defaultRecordsDir, QWidget *parent)
    : QWidget(parent)
    , m_ui(std::make_unique<Ui::frmMain>())
    , m_comPort(comPort.release())
    , m_clock(std::move(clock))
    , m_settingsFile(settingsFile)
    , m_setTemperatureCaption(tr(kSetTemperatureCaption))
    , m_currentTemperatureCaption(tr(kCurrentTemperatureCaption))
    , m_defaultRecordsDir(defaultRecordsDir.isEmpty() ? ::defaultRecordsDir() : defaultRecordsDir)
    , m_recorder(new RunRecorder(m_clock, this))
{
    m_comPort->setParent(this);
    m_comPort->setObjectName(QStringLiteral("ComPort"));
    m_ui->setupUi(this);
    createTimers();
    bindControlArrays();
    applyDesignDetails();
    markControlsThatPaintWhole();
    prepareLog();
    connectHandlers();
    connectContextMenus();
    connectChartView();
    describePortDevices();
    Form_Load();
}

frmMain::~frmMain() = default;

QString frmMain::GetFromINI(const QString &section, const QString &key, const QString &path) const
{
    return readProfileString(section, key, path);
}

void frmMain::createTimers()
{
    Timer1 = new WindowTimer(QStringLiteral("Timer1"), kTimer1Interval, true, this);
    Timer2 = new WindowTimer(QStringLiteral("Timer2"), kTrendInterval, false, this);
    Timer3 = new WindowTimer(QStringLiteral("Timer3"), kClockInterval, true, this);
    Timer4 = new WindowTimer(QStringLiteral("Timer4"), kRunTimeInterval, false, this);
}

void frmMain::bindControlArrays()
{
    optComPort = controlArray<QRadioButton, kPortCount>(*this, "optComPort");
    HScroll1 = controlArray<QScrollBar, 6>(*this, "HScroll1");
    Text2 = controlArray<QLineEdit, 3>(*this, "Text2");
    Label1 = controlArray<QLabel, 7>(*this, "Label1");
    Label5 = controlArray<QLabel, 3>(*this, "Label5");
    Label6 = controlArray<QLabel, 4>(*this, "Label6");
    Label7 = controlArray<QLabel, 6>(*this, "Label7");
    Label8 = controlArray<QLabel, 4>(*this, "Label8");
    Label12 = controlArray<QLabel, 3>(*this, "Label12");
    Label13 = controlArray<QLabel, 1>(*this, "Label13");
    Y_T = controlArray<QLabel, 3>(*this, "Y_T");
    perfor_index = controlArray<QLineEdit, 4>(*this, "perfor_index");
    Shape4 = controlArray<ShapeControl, 9>(*this, "Shape4");
    ShapeDot = controlArray<ShapeControl, 2>(*this, "ShapeDot");
    fraFrames = controlArray<QGroupBox, 3>(*this, "fraFrames");
    bandButtons = {m_ui->CommandA, m_ui->CommandB, m_ui->CommandC, m_ui->CommandD, m_ui->CommandE,
        m_ui->CommandF, m_ui->CommandG, m_ui->CommandH, m_ui->CommandI};
}

/// What the form file does not carry: the controls' colours, the custom controls' stored
/// properties and fractional point sizes.
void frmMain::applyDesignDetails()
{
    applyDesignColours(*this);
    m_ui->ucHistogram1->ReadProperties(StoredDesign::ucHistogram1());
    m_ui->ucHistogram1->setHistoryEnabled(true);
    m_ui->ucHistogram1->setMinimumViewSpan(kNarrowestViewTenths);
    static_assert(ParameterRanges::kSliders.size() == std::tuple_size_v<decltype(HScroll1)>);
    for (std::size_t index = 0; index < HScroll1.size(); ++index)
        HScroll1[index]->setRange(
            ParameterRanges::kSliders[index].minimum, ParameterRanges::kSliders[index].maximum);
    m_axisFont = Y_T[0]->font();
    m_statusFont = m_ui->lblStatus->font();
    m_ui->Mo->ReadProperties(StoredDesign::Mo());
    m_ui->Image2->setPixmap(stepResponsePicture());
    Label13[0]->setWordWrap(true);
    m_clockFont = Label13[0]->font();
    for (const DesignFont &design : kFractionalFonts) {
        QFont font(QString::fromUtf8(design.family));
        font.setPointSizeF(design.points);
        font.setBold(design.bold);
        findChild<QWidget *>(QLatin1String(design.control))->setFont(font);
    }
    // The Song-style substitute's thin strokes read as disabled when smoothed; drawn without
    // smoothing the boxes' digits are crisp and black.
    for (QLineEdit *box : findChildren<QLineEdit *>()) {
        QFont font = box->font();
        font.setStyleStrategy(QFont::NoAntialias);
        box->setFont(font);
    }
}

/// Controls that repaint often and cover every pixel of their own, so that a change of theirs
/// leaves the frame and neighbours under them alone.
void frmMain::markControlsThatPaintWhole()
{
    // Boxes that change ten times a second or with every line, each over nothing but its
    // frame's plain colour: painting themselves whole, with that colour in their corners, they
    // spare the frame and their neighbours a repaint each time. The lower two figures are left
    // out: their top corners show the edge of the box above.
    for (QLineEdit *box :
        {m_ui->run, m_ui->Text2_1, m_ui->Text2_2, perfor_index[0], perfor_index[1]})
        box->setAttribute(Qt::WA_OpaquePaintEvent);
    // Likewise the line count, the current temperature and the receive lamp, filled with their
    // frame's colour.
    const std::array<QWidget *, 3> filled{m_ui->rece_quantity, m_ui->Label1_0, ShapeDot[1]};
    for (QWidget *control : filled)
        control->setAutoFillBackground(true);
    // The sliders paint every pixel of their own; marked so, the drawing recoloured under them
    // on every character leaves them alone.
    // The style clears the mark when it polishes a scroll bar, so it is set after that.
    for (QScrollBar *slider : HScroll1) {
        slider->ensurePolished();
        slider->setAttribute(Qt::WA_OpaquePaintEvent);
    }
}

void frmMain::prepareLog()
{
    m_ui->receive->setMaximumBlockCount(kLogEntries);
    m_logFlush.setSingleShot(true);
    m_logFlush.setInterval(0);
    connect(&m_logFlush, &QTimer::timeout, this, &frmMain::flushLog);
}

void frmMain::connectHandlers()
{
    connect(m_ui->cmdConnect, &QPushButton::clicked, this, &frmMain::cmdConnect_Click);
    connect(m_ui->cmdDisconnect, &QPushButton::clicked, this, &frmMain::cmdDisconnect_Click);
    connect(m_ui->cmdExit, &QPushButton::clicked, this, &frmMain::cmdExit_Click);
    connect(m_comPort, &MSComm::connectionLost, this, &frmMain::ComPort_ConnectionLost);
    connect(m_comPort, &MSComm::OnComm, this, &frmMain::ComPort_OnComm);
    // The one figure the operator may type into: what the box then shows is what a new
    // overshoot must exceed.
    connect(perfor_index[1], &QLineEdit::textEdited, this,
        [this](const QString &text) { m_state.Figures.setShownOvershoot(text); });
    for (int index = 0; index < int(HScroll1.size()); ++index)
        connect(HScroll1[index], &QScrollBar::valueChanged, this,
            [this, index] { HScroll1_Change(index); });
    connect(m_ui->comm_send, &QPushButton::clicked, this, &frmMain::comm_send_Click);
    connect(m_ui->send_model, &QPushButton::clicked, this, &frmMain::send_model_Click);
    connect(m_ui->clearbox, &QPushButton::clicked, this, &frmMain::clearbox_Click);
    for (int band = 0; band < kBandCount; ++band)
        connect(
            bandButtons[band], &QPushButton::clicked, this, [this, band] { Command_Click(band); });
    m_ui->set_v->setMouseTracking(true);
    m_ui->set_v->installEventFilter(this);
    connect(Timer2, &WindowTimer::Timer, this, &frmMain::Timer2_Timer);
    connect(Timer3, &WindowTimer::Timer, this, &frmMain::Timer3_Timer);
    connect(Timer4, &WindowTimer::Timer, this, &frmMain::Timer4_Timer);
    connect(m_ui->stoporrun, &QPushButton::clicked, this, &frmMain::stoporrun_Click);
    connect(m_ui->runtimeclear, &QPushButton::clicked, this, &frmMain::runtimeclear_Click);
    for (QLabel *caption : Label5)
        caption->installEventFilter(this);
    m_ui->lblStatus->installEventFilter(this);
    connect(m_recorder, &RunRecorder::recordingFailed, this, &frmMain::reportRecordingFailure);
    connect(m_recorder, &RunRecorder::recordRestarted, this, &frmMain::reportRecordRestarted);
}

/// The buttons beside the chart act on its view, never on its samples.
void frmMain::connectChartView()
{
    ucHistogram *chart = m_ui->ucHistogram1;
    const std::pair<QPushButton *, void (ucHistogram::*)()> actions[] = {
        {m_ui->reset, &ucHistogram::resetView},
        {m_ui->zoom_out, &ucHistogram::zoomIn},
        {m_ui->zoom_in, &ucHistogram::zoomOut},
        {m_ui->move_up, &ucHistogram::moveUp},
        {m_ui->move_down, &ucHistogram::moveDown},
        {m_ui->move_left, &ucHistogram::moveLeft},
        {m_ui->move_right, &ucHistogram::moveRight},
        {m_ui->enlarge, &ucHistogram::stretch},
        {m_ui->shorten, &ucHistogram::compress},
    };
    for (const auto &[button, action] : actions)
        connect(button, &QPushButton::clicked, chart, action);
    connect(chart, &ucHistogram::viewChanged, this, &frmMain::showAxisCaptions);
    chart->installEventFilter(this);
    // Run time, not the clock: it is what the run-time box, the figures and the exported
    // samples give, so a place on the chart compares with them as it reads.
    chart->setViewCaptions(
        tr("缩放 %1–%2 s · 复 位 返回实时"), tr("历史 %1–%2 s · 复 位 返回实时"));
    // The axis lies under the chart's face, in the frame's margin; while live it is hidden and
    // the window looks as it always did.
    m_timeAxis = new ChartTimeAxis(this);
    const QRect face = chart->contentsRect().translated(chart->pos());
    m_timeAxis->setGeometry(face.left(), chart->geometry().bottom() + 1, face.width(),
        m_timeAxis->fontMetrics().height() + 4);
    m_timeAxis->hide();
}

/// What is kept of each run is reached from the place that shows it.
void frmMain::connectContextMenus()
{
    const auto offer = [this](QWidget *widget, auto populate) {
        widget->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(widget, &QWidget::customContextMenuRequested, this,
            [this, widget, populate](const QPoint &position) {
                QMenu *menu = populate();
                menu->setAttribute(Qt::WA_DeleteOnClose);
                menu->popup(widget->mapToGlobal(position));
            });
    };
    offer(m_ui->Frame8, [this] {
        auto *menu = new QMenu(this);
        menu->addAction(tr("运行记录…"), this, &frmMain::showRunsDialog);
        return menu;
    });
    for (QLineEdit *box : perfor_index) {
        offer(box, [this, box] {
            QMenu *menu = box->createStandardContextMenu();
            menu->addSeparator();
            menu->addAction(tr("运行记录…"), this, &frmMain::showRunsDialog);
            return menu;
        });
    }
    offer(m_ui->receive, [this] {
        QMenu *menu = m_ui->receive->createStandardContextMenu();
        menu->addSeparator();
        menu->addAction(tr("打开记录文件夹"), this, &frmMain::openRecordsFolder);
        return menu;
    });
    offer(m_ui->ucHistogram1, [this] {
        auto *menu = new QMenu(this);
        menu->addAction(tr("保存曲线图片…"), this, &frmMain::chooseChartImageFile);
        menu->addAction(tr("导出曲线数据…"), this, &frmMain::chooseChartDataFile);
        return menu;
    });
}

void frmMain::describePortDevices()
{
    for (int port = 1; port <= kPortCount; ++port) {
        const QString device = m_comPort->DeviceName(port);
        optComPort[port - 1]->setToolTip(device.isEmpty() ? tr("没有对应的设备") : device);
    }
}

void frmMain::Form_Load()
{
    m_state.IniFile = m_settingsFile;
    m_ui->txtBarcode->setText(QStringLiteral("0"));
    m_state.FollowCurrentTemp = 1;
    m_state.TrendRunning = true;
    m_state.ReachPending = true;
    m_state.RunClockArmed = true;
    m_state.StoredSetTemp =
        GetFromINI(QStringLiteral("TEMP"), QStringLiteral("SETTEMP"), m_state.IniFile);
    m_storedSetTempKey.emplace(QStringLiteral("TEMP"), QStringLiteral("SETTEMP"), m_state.IniFile);
    m_recorder->setSettings(RecordSettings::read(m_state.IniFile, m_defaultRecordsDir));
    showRecordingMark();
    probePorts();
    m_comPort->setInputLen(1);
    m_comPort->setRThreshold(1);
    reportSettingsFile();
}

/// A settings file that is there but cannot be read whole would otherwise pass unnoticed.
void frmMain::reportSettingsFile()
{
    const ProfileFileCheck check = checkProfileFile(m_state.IniFile);
    const QString path = QDir::toNativeSeparators(m_state.IniFile);
    if (check.outcome == ProfileFileCheck::Outcome::NotRegular)
        showStatus(tr("无法读取设置文件：%1 不是普通文件").arg(path), {}, path);
    else if (check.outcome == ProfileFileCheck::Outcome::Unreadable)
        showStatus(tr("无法读取设置文件：%1").arg(path), check.reason, path);
    else if (check.outcome == ProfileFileCheck::Outcome::TooLarge)
        showStatus(tr("设置文件超过 1 MB，只读取了开头：%1").arg(path), {}, path);
}

/// Opens and closes every port once; the ones that are not there are greyed out for good.
void frmMain::probePorts()
{
    for (int port = 1; port <= kPortCount; ++port) {
        const auto markOnAbsence = [this, port](const std::optional<CommError> &error) {
            if (marksPortUnusable(error))
                markPortUnusable(port);
        };
        markOnAbsence(m_comPort->setCommPort(port));
        if (m_comPort->PortOpen())
            markOnAbsence(m_comPort->setPortOpen(false));
        markOnAbsence(m_comPort->setPortOpen(true));
        markOnAbsence(m_comPort->setPortOpen(false));
    }
}

void frmMain::markPortUnusable(int port)
{
    QRadioButton *option = optComPort[port - 1];
    option->setEnabled(false);
    setRole(option, option->backgroundRole(), SystemColor::ButtonFace);
}

std::optional<int> frmMain::chosenPort() const
{
    const auto chosen = std::find_if(optComPort.cbegin(), optComPort.cend(),
        [](const QRadioButton *option) { return option->isChecked(); });
    if (chosen == optComPort.cend())
        return std::nullopt;
    return int(chosen - optComPort.cbegin()) + 1;
}

void frmMain::cmdConnect_Click()
{
    if (const std::optional<int> port = chosenPort())
        (void)m_comPort->setCommPort(*port);
    const int port = m_comPort->CommPort();
    if (m_comPort->PortOpen())
        (void)m_comPort->setPortOpen(false);
    if (const std::optional<CommError> error = m_comPort->setPortOpen(true)) {
        showStatus(tr("无法打开 COM%1：%2").arg(port).arg(error->cause), error->detail);
        return;
    }
    showStatus(tr("已连接..."));
    m_recordingFailure.clear();
    showRecordingMark();
    m_recorder->connectionOpened(port);
    m_state.Mode = ModeWord::Exit;
    setCaption(m_ui->Text1, modeText(m_state.Mode));
    m_ui->cmdConnect->setEnabled(false);
    m_ui->cmdDisconnect->setEnabled(true);
}

void frmMain::cmdDisconnect_Click()
{
    if (m_comPort->PortOpen())
        (void)m_comPort->setPortOpen(false);
    m_recorder->connectionClosed();
    showStatus(tr("已断开..."), m_recordingFailure);
    m_ui->cmdDisconnect->setEnabled(false);
    m_ui->cmdConnect->setEnabled(true);
}

void frmMain::cmdExit_Click()
{
    if (m_comPort->PortOpen())
        (void)m_comPort->setPortOpen(false);
    close();
    QCoreApplication::exit(0);
}

void frmMain::ComPort_ConnectionLost(const CommError &error)
{
    m_recorder->connectionClosed();
    showStatus(
        tr("连接已中断：COM%1 %2").arg(m_comPort->CommPort()).arg(error.cause), error.detail);
    m_ui->cmdDisconnect->setEnabled(false);
    m_ui->cmdConnect->setEnabled(true);
}

void frmMain::showStatus(const QString &shortText, const QString &detail, const QString &cuttable)
{
    const QString whole = detail.isEmpty() ? shortText : shortText + u'\n' + detail;
    // Every received line reports again; an unchanged status costs one comparison.
    if (whole == m_status)
        return;
    m_status = whole;
    QLabel *label = m_ui->lblStatus;
    label->setToolTip(whole);
    const FittedLine fitted = fitOneLine(
        m_statusFont, shortText, label->contentsRect().width(), kSmallestStatusPoints, cuttable);
    if (label->font() != fitted.font)
        label->setFont(fitted.font);
    label->setText(fitted.text);
}

/// The status in full, which settings file the console read and what in it was not understood.
void frmMain::showStatusToolTip(const QPoint &position)
{
    const QString path = QDir::toNativeSeparators(m_state.IniFile);
    const QFileInfo file(m_state.IniFile);
    QStringList lines{m_status};
    if (file.isFile())
        lines.append(tr("设置文件：%1").arg(path));
    else if (file.exists())
        lines.append(tr("无法读取设置文件：%1 不是普通文件").arg(path));
    else
        lines.append(tr("没有找到设置文件 %1，按默认设置运行").arg(path));
    const QString language = languageSetting(m_state.IniFile).unknown;
    if (!language.isEmpty())
        lines.append(
            tr("设置文件中的 [UI] LANG=%1 不是可用的语言（zh 或 en），已忽略").arg(language));
    lines.removeAll(QString());
    QToolTip::showText(position, lines.join(u'\n'), m_ui->lblStatus);
}

/// Also on standard error: a failure while the window closes would otherwise go unseen.
void frmMain::reportRecordingFailure(const QString &reason)
{
    m_recordingFailure = tr("记录失败：") + reason;
    qWarning("%s", qUtf8Printable(m_recordingFailure));
    showStatus(m_recordingFailure);
    showRecordingMark();
}

void frmMain::reportRecordRestarted(const QString &fileName)
{
    showStatus(tr("记录文件已不在原处，改记到新文件：%1").arg(fileName));
}

/// A lasting mark beside the status line while nothing is recorded, its tooltip saying why;
/// made the first time it is needed.
void frmMain::showRecordingMark()
{
    const QString reason = m_recorder->settings().enabled
        ? m_recordingFailure
        : tr("记录已关闭：设置文件中 [RECORD] ENABLED=0");
    if (reason.isEmpty() && !m_notRecording)
        return;
    if (!m_notRecording) {
        QLabel *status = m_ui->lblStatus;
        m_notRecording = new QLabel(tr("未记录"), status->parentWidget());
        m_notRecording->setObjectName(QStringLiteral("notRecording"));
        m_notRecording->setAlignment(Qt::AlignRight | Qt::AlignTop);
        QPalette palette = m_notRecording->palette();
        palette.setColor(QPalette::WindowText, kNotRecordingColour);
        m_notRecording->setPalette(palette);
        m_notRecording->setGeometry(kNotRecordingPlace);
    }
    m_notRecording->setToolTip(reason);
    m_notRecording->setVisible(!reason.isEmpty());
}

void frmMain::recordLine(const CompletedLine &line)
{
    const TelemetryLine &values = line.values;
    RecordedValues recorded{values.setTenths, values.currentTenths, std::nullopt, line.accepted.p,
        line.accepted.i, line.accepted.d};
    if (values.outputLevel)
        recorded.outputPercent = DisplayFormat::outputPercent(*values.outputLevel);
    const StepResponseUpdate &stamped = line.figures;
    StampedFigures figures{stamped.riseTime, std::nullopt, stamped.peakTime, stamped.settlingTime};
    if (stamped.overshoot)
        figures.overshoot = StepResponse::shownPercentage(*stamped.overshoot);
    m_recorder->lineCompleted(m_state.RunTimeText, recorded, figures, line.text.chopped(2));
}

QString frmMain::recordsDirectory() const
{
    return m_recorder->settings().directory;
}

void frmMain::showRunsDialog()
{
    auto *dialog =
        new RunsDialog(QDir(recordsDirectory()).filePath(RunRecorder::runsFileName()), this);
    dialog->setRunInProgress([recorder = m_recorder] { return recorder->runInProgress(); });
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}

void frmMain::openRecordsFolder()
{
    if (!QDir().mkpath(recordsDirectory())
        || !QDesktopServices::openUrl(QUrl::fromLocalFile(recordsDirectory())))
        showStatus(tr("无法打开记录文件夹：%1").arg(QDir::toNativeSeparators(recordsDirectory())));
}

void frmMain::chooseChartImageFile()
{
    QFileDialog *dialog = chartFileDialog(tr("保存曲线图片"), tr("PNG 图片 (*.png)"),
        QStringLiteral("png"), QStandardPaths::PicturesLocation);
    connect(dialog, &QFileDialog::fileSelected, this, [this](const QString &chosen) {
        const QString path = withSuffix(chosen, QStringLiteral("png"));
        if (!saveChartImage(path))
            showStatus(tr("无法保存曲线图片：%1").arg(QDir::toNativeSeparators(path)));
    });
    dialog->open();
}

void frmMain::chooseChartDataFile()
{
    QFileDialog *dialog = chartFileDialog(tr("导出曲线数据"), tr("CSV 文件 (*.csv)"),
        QStringLiteral("csv"), QStandardPaths::DocumentsLocation);
    connect(dialog, &QFileDialog::fileSelected, this, [this](const QString &chosen) {
        const QString path = withSuffix(chosen, QStringLiteral("csv"));
        if (!exportChartData(path))
            showStatus(tr("无法导出曲线数据：%1").arg(QDir::toNativeSeparators(path)));
    });
    dialog->open();
}

/// A save dialog in the records folder, or where the system keeps such files when there is
/// none yet, suggesting a name after the run's start as the records are named.
QFileDialog *frmMain::chartFileDialog(const QString &title, const QString &filter,
    const QString &suffix, QStandardPaths::StandardLocation elsewhere)
{
    QString folder = recordsDirectory();
    if (!QFileInfo(folder).isDir())
        folder = QStandardPaths::writableLocation(elsewhere);
    if (folder.isEmpty())
        folder = QDir::homePath();
    const QDateTime start = m_chartStart.isValid() ? m_chartStart : m_clock->now();
    auto *dialog = new QFileDialog(this, title, folder, filter);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    // Added by the dialog before it asks about overwriting, where it can.
    dialog->setDefaultSuffix(suffix);
    dialog->selectFile(start.toLocalTime().toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss"))
        + QStringLiteral("_chart.") + suffix);
    return dialog;
}

bool frmMain::saveChartImage(const QString &path)
{
    QRect area = m_ui->ucHistogram1->geometry();
    for (const QLabel *caption : Y_T)
        area |= QRect(caption->mapTo(this, QPoint()), caption->size());
    if (m_timeAxis->isVisible())
        area |= m_timeAxis->geometry();
    return grab(area).save(path, "PNG");
}

bool frmMain::exportChartData(const QString &path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    TrendSamples table(file);
    const ucHistogram *chart = m_ui->ucHistogram1;
    if (const SampleHistory *history = chart->history()) {
        const ChartView::Recorded shown = chart->shownSamples();
        for (qint64 index = shown.first; index < shown.end; ++index) {
            const HistorySample sample = history->at(index);
            table.append(index + 1, DisplayFormat::runTime(sample.stamp), sample.value);
        }
    }
    return table.finish() && file.commit();
}

void frmMain::Form_QueryUnload()
{
    if (m_comPort->PortOpen())
        (void)m_comPort->setPortOpen(false);
    m_recorder->connectionClosed();
}

/// Unloading: the port is closed and the window's timers stop with it.
void frmMain::closeEvent(QCloseEvent *event)
{
    Form_QueryUnload();
    for (WindowTimer *timer : {Timer1, Timer2, Timer3, Timer4})
        timer->setEnabled(false);
    event->accept();
}

bool frmMain::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_ui->ucHistogram1 && event->type() == QEvent::ToolTip) {
        showSampleToolTip(*static_cast<QHelpEvent *>(event));
        return true;
    }
    if (watched == m_ui->lblStatus && event->type() == QEvent::ToolTip) {
        showStatusToolTip(static_cast<QHelpEvent *>(event)->globalPos());
        return true;
    }
    if (watched == m_ui->set_v && event->type() == QEvent::MouseMove)
        set_v_MouseMove();
    const auto caption = std::find(Label5.cbegin(), Label5.cend(), watched);
    if (caption != Label5.cend() && event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
        Label5_Click(int(caption - Label5.cbegin()));
    return QWidget::eventFilter(watched, event);
}

void frmMain::ComPort_OnComm()
{
    if (m_comPort->CommEvent() != MSComm::comEvReceive)
        return;
    const CommInput input = m_comPort->Input();
    if (input.error)
        return;
    const ReceiverChanges changes = TelemetryReceiver::receive(m_state, input.text);
    if (changes.modeSignal)
        m_recorder->modeSignalled(m_state.RunTimeText, m_state.RxChunk);
    showMode(changes.modeSignal);
    recolourDrawing();
    if (changes.line) {
        recordLine(*changes.line);
        showCompletedLine(*changes.line);
    } else if (changes.droppedLength) {
        m_recorder->lineDropped(m_state.RunTimeText, *changes.droppedLength);
        logDroppedLine(*changes.droppedLength);
    }
}

/// The mode word is shown on every character, the normal lamp only when a signal changed it.
void frmMain::showMode(bool signalArrived)
{
    if (signalArrived) {
        setCaption(m_ui->Text1, modeText(m_state.Mode));
        light(m_ui->Shape3, m_state.Lamps.normal);
    }
    if (m_state.Mode != ModeWord::None)
        setCaption(Label1[0],
            m_state.Mode == ModeWord::Ok ? m_setTemperatureCaption : m_currentTemperatureCaption);
}

void frmMain::recolourDrawing()
{
    const auto component = [this] { return int(std::nearbyint(m_random.next() * 255)); };
    const int red = component();
    const int green = component();
    const int blue = component();
    m_ui->Label11->setForeColor(QColor(red, green, blue));
}

void frmMain::showCompletedLine(const CompletedLine &line)
{
    startTimersOnFirstLine();
    showLineCount();
    logLine(line.text);
    if (m_state.OutputLevel && line.values.outputLevel)
        setCaption(Text2[2],
            DisplayFormat::percentage(DisplayFormat::outputPercent(*m_state.OutputLevel)));
    showParameters(line.accepted);
    moveSetPointMarker();
    showSetTemperature(line.accepted.targetDegrees);
    showHighestTemperature();
    showStepResponse(line.figures);
    showLamps();
    showCurrentTemperature();
    reportConnected();
}

void frmMain::startTimersOnFirstLine()
{
    if (m_state.TrendRunning && !Timer2->Enabled())
        Timer2->setEnabled(true);
    if (m_state.RunClockArmed && !Timer4->Enabled())
        Timer4->setEnabled(true);
}

void frmMain::showLineCount()
{
    m_ui->rece_quantity->setText(QString::number(m_state.FrameCount));
}

/// Entries are written to the log once per turn of the event loop, so that a burst of lines
/// costs one append and one scroll rather than one of each per line.
void frmMain::logLine(const QString &line)
{
    // The log's own line break stands for the line's CR LF.
    appendLogEntry(logStamp(m_clock->now()) + line.chopped(2));
}

/// An overlong line is not counted or read; the log says it was dropped.
void frmMain::logDroppedLine(qsizetype length)
{
    appendLogEntry(logStamp(m_clock->now()) + tr("(过长的一行，已丢弃 %1 个字符)").arg(length));
}

void frmMain::appendLogEntry(const QString &entry)
{
    if (!m_pendingLog.isEmpty())
        m_pendingLog += u'\n';
    m_pendingLog += entry;
    m_logFlush.start();
}

/// " date time " in the system's short formats, formatted once per second.
QString frmMain::logStamp(const QDateTime &now)
{
    const qint64 second = now.toSecsSinceEpoch();
    if (second != m_stampSecond || m_stamp.isEmpty()) {
        const QLocale locale = DisplayFormat::dateTimeLocale();
        m_stampSecond = second;
        m_stamp = u' ' + locale.toString(now.date(), QLocale::ShortFormat) + u' '
            + locale.toString(now.time(), QLocale::ShortFormat) + u' ';
    }
    return m_stamp;
}

void frmMain::flushLog()
{
    m_ui->receive->appendPlainText(m_pendingLog);
    m_ui->receive->moveCursor(QTextCursor::End);
    m_pendingLog.clear();
}

void frmMain::showParameters(const AcceptedParameters &accepted)
{
    setSliderValue(HScroll1[3], accepted.p);
    setSliderValue(HScroll1[4], accepted.i);
    setSliderValue(HScroll1[5], accepted.d);
}

/// Puts the marker's middle at the set temperature's height beside the chart.
void frmMain::moveSetPointMarker()
{
    const ucHistogram *chart = m_ui->ucHistogram1;
    QPushButton *marker = m_ui->set_v;
    if (chart->Max() == 0)
        return;
    // The chart and the marker's frame share the window as their container.
    const int chartTop = marker->parentWidget()->mapFromParent(chart->pos()).y();
    const double top = chartTop
        + (1.0 - double(m_state.SetTempTenths) / chart->Max()) * chart->height()
        - marker->height() / 2.0;
    if (std::abs(top) < 1e6)
        marker->move(marker->x(), int(std::nearbyint(top)));
}

void frmMain::showSetTemperature(std::optional<qint16> targetDegrees)
{
    setCaption(Text2[0], DisplayFormat::tenthsAsDegrees(m_state.SetTempTenths));
    setSliderValue(HScroll1[0], targetDegrees);
}

void frmMain::showHighestTemperature()
{
    if (m_state.ShownMaxTempTenths)
        setCaption(Text2[1], DisplayFormat::tenthsAsDegrees(*m_state.ShownMaxTempTenths));
}

void frmMain::showStepResponse(const StepResponseUpdate &figures)
{
    const auto show = [](const std::optional<QString> &text, QLineEdit *box, QLabel *copy) {
        if (!text)
            return;
        setCaption(box, *text);
        setCaption(copy, *text);
    };
    show(figures.overshoot, perfor_index[1], Label8[0]);
    show(figures.peakTime, perfor_index[2], Label8[1]);
    show(figures.riseTime, perfor_index[0], Label8[3]);
    show(figures.settlingTime, perfor_index[3], Label8[2]);
}

void frmMain::showLamps()
{
    light(m_ui->Shape1, m_state.Lamps.setting);
    light(m_ui->Shape2, m_state.Lamps.alarm);
    light(m_ui->Shape3, m_state.Lamps.normal);
}

void frmMain::showCurrentTemperature()
{
    const QString current = QString::number(m_state.CurTempTenths);
    setCaption(m_ui->txtBarcode, current);
    if (m_state.FollowCurrentTemp == 1)
        m_ui->Mo->setValue(current);
}

void frmMain::reportConnected()
{
    showStatus(tr("连接温度控制器成功！"), m_recordingFailure);
    m_state.StoredSetTemp = m_storedSetTempKey->value();
}

void frmMain::HScroll1_Change(int index)
{
    Label7[index]->setText(QString::number(HScroll1[index]->value()));
}

/// Nothing goes out on a closed port; the operator is told so and loses nothing.
bool frmMain::portOpenForSending()
{
    if (m_comPort->PortOpen())
        return true;
    showStatus(tr("串口未打开，未发送"));
    return false;
}

bool frmMain::sendText(const QString &text)
{
    if (const std::optional<CommError> error = m_comPort->setOutput(text)) {
        showStatus(tr("发送失败：%1").arg(error->cause), error->detail);
        return false;
    }
    return true;
}

void frmMain::comm_send_Click()
{
    if (!portOpenForSending())
        return;
    // A line break typed into the box is a carriage return and line feed on the line.
    const QString text = m_ui->send->toPlainText().replace(u'\n', QLatin1String("\r\n"));
    if (sendText(text))
        m_recorder->commandSent(m_state.RunTimeText, text);
}

void frmMain::send_model_Click()
{
    m_ui->send->setPlainText(kSampleCommand);
}

void frmMain::Command_Click(int band)
{
    if (!portOpenForSending())
        return;
    for (ShapeControl *lamp : Shape4)
        light(lamp, false);
    light(Shape4[band], true);
    const QString digit = QString::number(band + 1);
    int sent = 0;
    for (int repeat = 0; repeat < kBandRepeat; ++repeat)
        sent += sendText(digit) ? 1 : 0;
    if (sent > 0)
        m_recorder->commandSent(m_state.RunTimeText, digit.repeated(sent));
}

void frmMain::clearbox_Click()
{
    m_logFlush.stop();
    m_pendingLog.clear();
    m_ui->receive->clear();
}

void frmMain::set_v_MouseMove()
{
    m_ui->set_v->setToolTip(tr("温度设定值 ")
        + DisplayFormat::tenthsAsDegrees(m_state.SetTempTenths) + QStringLiteral("℃"));
}

/// The scale shows the top, middle and bottom of the temperatures in view, in a smaller type
/// where a value is too wide for its place.
void frmMain::showAxisCaptions()
{
    const ChartView &view = m_ui->ucHistogram1->view();
    const auto degrees = [](qint64 tenths) {
        return DisplayFormat::tenthsAsDegrees(int(std::clamp<qint64>(
            tenths, std::numeric_limits<int>::min(), std::numeric_limits<int>::max())));
    };
    const std::array<QString, 3> captions = view.isLive()
        ? kLiveAxisCaptions
        : std::array<QString, 3>{
            degrees(view.bottom()), degrees(view.middle()), degrees(view.top())};
    for (std::size_t place = 0; place < captions.size(); ++place) {
        QLabel *caption = Y_T[place];
        setCaption(caption, captions[place]);
        caption->setFont(fontFittingLines(
            m_axisFont, {captions[place]}, caption->contentsRect().size(), kSmallestAxisPoints));
    }
    showTimeAxis();
}

void frmMain::showTimeAxis()
{
    const ucHistogram *chart = m_ui->ucHistogram1;
    const bool shown = !chart->view().isLive();
    if (shown)
        m_timeAxis->setTicks(chart->timeTicks(m_timeAxis->minimumGap()));
    m_timeAxis->setVisible(shown);
}

void frmMain::showSampleToolTip(const QHelpEvent &event)
{
    const std::optional<HistorySample> sample = m_ui->ucHistogram1->sampleAt(event.pos());
    if (!sample) {
        QToolTip::hideText();
        return;
    }
    QToolTip::showText(event.globalPos(),
        tr("运行时间 %1 s，温度 %2 ℃")
            .arg(DisplayFormat::runTime(sample->stamp),
                DisplayFormat::tenthsAsDegrees(sample->value)),
        m_ui->ucHistogram1);
}

/// Trend sampling: the current temperature in tenths becomes the chart's newest sample, stamped
/// with the run time in tenths of a second.
void frmMain::Timer2_Timer()
{
    ucHistogram *chart = m_ui->ucHistogram1;
    if (const SampleHistory *history = chart->history(); history && history->count() == 0)
        m_chartStart = m_clock->now();
    if (chart->NextPoint(m_state.CurTempTenths, m_state.runTimeTenths()) && !chart->view().isLive())
        showTimeAxis();
}

void frmMain::Timer3_Timer()
{
    const QString caption = DisplayFormat::clockCaption(m_clock->now().date());
    if (m_clockCaption == caption)
        return;
    m_clockCaption = caption;
    Label13[0]->setText(caption);
    fitClockFont(caption);
}

/// The date and the weekday each take a line of their own, in the design's font or, where that
/// is too wide for the label, the largest smaller size that fits.
void frmMain::fitClockFont(const QString &caption)
{
    QLabel *clock = Label13[0];
    const QStringList lines = caption.split(DisplayFormat::clockGap());
    clock->setFont(
        fontFittingLines(m_clockFont, lines, clock->contentsRect().size(), kSmallestClockPoints));
}

/// The run time counts delivered ticks, not the clock.
void frmMain::Timer4_Timer()
{
    if (++m_state.RunTenths == 10) {
        m_state.RunTenths = 0;
        ++m_state.RunSeconds;
    }
    m_state.RunTimeText = DisplayFormat::runTime(m_state.runTimeTenths());
    m_ui->run->setText(m_state.RunTimeText);
}

void frmMain::stoporrun_Click()
{
    QPushButton *button = m_ui->stoporrun;
    const bool resuming = !m_state.TrendRunning;
    m_state.TrendRunning = resuming;
    Timer2->setEnabled(resuming);
    button->setText(resuming ? tr(kPauseCaption) : tr(kStartCaption));
    QPalette palette = button->palette();
    palette.setColor(QPalette::Button, resuming ? kPauseBack : kStartBack);
    button->setPalette(palette);
}

void frmMain::runtimeclear_Click()
{
    m_recorder->runTimeCleared();
    m_ui->ucHistogram1->clearHistory();
    m_chartStart = QDateTime();
    m_state.RunTenths = 0;
    m_state.RunSeconds = 0;
    m_state.MaxTempTenths = 0;
    m_state.Figures = {};
    for (QLineEdit *box : perfor_index)
        box->setText(QStringLiteral("0"));
    m_state.ReachPending = true;
}

void frmMain::Label5_Click(int)
{
    m_state.ShownMaxTempTenths.reset();
    Text2[1]->clear();
}
