#include "frm_main.h"

#include "control_array.h"
#include "ms_comm.h"
#include "ole_color.h"
#include "profile_reader.h"
#include "ui_frm_main.h"
#include "window_timer.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>

#include <algorithm>

namespace {
constexpr int kTimer1Interval = 1000;
constexpr int kTrendInterval = 100;
constexpr int kClockInterval = 200;
constexpr int kRunTimeInterval = 100;

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

QString frmMain::settingsFile(const QString &applicationDir)
{
    return QDir(applicationDir).filePath(QStringLiteral("tarvex.ini"));
}

frmMain::frmMain(std::unique_ptr<MSComm> comPort, std::shared_ptr<const Clock> clock,
    const QString &applicationDir, QWidget *parent)
    : QWidget(parent)
    , m_ui(std::make_unique<Ui::frmMain>())
    , m_comPort(comPort.release())
    , m_clock(std::move(clock))
    , m_applicationDir(applicationDir)
{
    m_comPort->setParent(this);
    m_comPort->setObjectName(QStringLiteral("ComPort"));
    m_ui->setupUi(this);
    createTimers();
    bindControlArrays();
    applyDesignDetails();
    connectHandlers();
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
}

/// What the form file cannot carry: system colours, which the platform resolves at run time,
/// and fractional point sizes.
void frmMain::applyDesignDetails()
{
    setRole(Text2[1], QPalette::Base, SystemColor::WindowFrame);
    setRole(Label1[0], QPalette::WindowText, SystemColor::Highlight);
    for (QLabel *label : {m_ui->Label2, m_ui->Label3, m_ui->Label4, m_ui->Label14})
        setRole(label, QPalette::Window, SystemColor::ButtonFace);
    for (const DesignFont &design : kFractionalFonts) {
        QFont font(QString::fromUtf8(design.family));
        font.setPointSizeF(design.points);
        font.setBold(design.bold);
        findChild<QWidget *>(QLatin1String(design.control))->setFont(font);
    }
}

void frmMain::connectHandlers()
{
    connect(m_ui->cmdConnect, &QPushButton::clicked, this, &frmMain::cmdConnect_Click);
    connect(m_ui->cmdDisconnect, &QPushButton::clicked, this, &frmMain::cmdDisconnect_Click);
    connect(m_ui->cmdExit, &QPushButton::clicked, this, &frmMain::cmdExit_Click);
    connect(m_comPort, &MSComm::connectionLost, this, &frmMain::ComPort_ConnectionLost);
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
    m_state.IniFile = settingsFile(m_applicationDir);
    m_ui->txtBarcode->setText(QStringLiteral("0"));
    m_state.FollowCurrentTemp = 1;
    m_state.TrendRunning = true;
    m_state.ReachPending = true;
    m_state.RunClockArmed = true;
    m_state.StoredSetTemp =
        GetFromINI(QStringLiteral("TEMP"), QStringLiteral("SETTEMP"), m_state.IniFile);
    probePorts();
    m_comPort->setInputLen(1);
    m_comPort->setRThreshold(1);
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
        m_ui->lblStatus->setText(tr("无法打开 COM%1：%2").arg(port).arg(error->reason));
        return;
    }
    m_ui->lblStatus->setText(tr("已连接..."));
    m_ui->Text1->setText(QStringLiteral("EXIT"));
    m_ui->cmdConnect->setEnabled(false);
    m_ui->cmdDisconnect->setEnabled(true);
}

void frmMain::cmdDisconnect_Click()
{
    std::optional<CommError> error;
    if (m_comPort->PortOpen())
        error = m_comPort->setPortOpen(false);
    m_ui->lblStatus->setText(error
            ? tr("无法关闭 COM%1：%2").arg(m_comPort->CommPort()).arg(error->reason)
            : tr("已断开..."));
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
    m_ui->lblStatus->setText(
        tr("连接已中断：COM%1 (%2)").arg(m_comPort->CommPort()).arg(error.reason));
    m_ui->cmdDisconnect->setEnabled(false);
    m_ui->cmdConnect->setEnabled(true);
}

void frmMain::Form_QueryUnload()
{
    if (m_comPort->PortOpen())
        (void)m_comPort->setPortOpen(false);
}

/// Unloading: the port is closed and the window's timers stop with it.
void frmMain::closeEvent(QCloseEvent *event)
{
    Form_QueryUnload();
    for (WindowTimer *timer : {Timer1, Timer2, Timer3, Timer4})
        timer->setEnabled(false);
    event->accept();
}
