#pragma once

#include "port_map.h"
#include "uniform_random.h"
#include "watched_profile_key.h"
#include "window_state.h"

#include <QDateTime>
#include <QFont>
#include <QStandardPaths>
#include <QTimer>
#include <QWidget>

#include <array>
#include <memory>
#include <optional>

class ChartTimeAxis;
class Clock;
class QFileDialog;
class RunRecorder;
class MSComm;
class QGroupBox;
class QHelpEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;
class ShapeControl;
class WindowTimer;
struct AcceptedParameters;
struct CommError;
struct CompletedLine;
struct StepResponseUpdate;

namespace Ui {
class frmMain;
}

/// The console's one window: port choice and connection, the controller's telemetry and the
/// operator's commands. It owns the serial component and reaches the line only through it.
class frmMain : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kPortCount = PortMap::kPortCount;

    /// With no records folder given, records go to the user's data folder for the application.
    frmMain(std::unique_ptr<MSComm> comPort, std::shared_ptr<const Clock> clock,
        const QString &settingsFile, const QString &defaultRecordsDir = {},
        QWidget *parent = nullptr);
    ~frmMain() override;

    static constexpr int kBandCount = 9;
    /// Entries the receive log keeps; older ones are dropped as new ones arrive.
    static constexpr int kLogEntries = 10000;

    /// One key of a settings file; the empty text when the file, section or key is missing.
    QString GetFromINI(const QString &section, const QString &key, const QString &path) const;

    const WindowState &state() const { return m_state; }
    MSComm &ComPort() const { return *m_comPort; }
    QString recordsDirectory() const;

    /// The chart with its axis captions as a picture; false when it cannot be written.
    bool saveChartImage(const QString &path);
    /// The samples of the chart's view as a table: index, run time, temperature; while live the
    /// newest the live chart shows, otherwise every one in the view's time range.
    bool exportChartData(const QString &path);

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createTimers();
    void bindControlArrays();
    void applyDesignDetails();
    void markControlsThatPaintWhole();
    void prepareLog();
    void connectHandlers();
    void connectContextMenus();
    void connectChartView();
    void describePortDevices();

    void Form_Load();
    void Form_QueryUnload();
    void probePorts();
    void reportSettingsFile();
    void markPortUnusable(int port);
    std::optional<int> chosenPort() const;

    void cmdConnect_Click();
    void cmdDisconnect_Click();
    void cmdExit_Click();
    void ComPort_ConnectionLost(const CommError &error);
    /// The one way onto the status line: the short text leads, whole, in a smaller type where
    /// it is too wide, with only a path within it (cuttable) shortened where even that is not
    /// enough; the tooltip holds it whole with the detail behind it.
    void showStatus(
        const QString &shortText, const QString &detail = {}, const QString &cuttable = {});
    void showStatusToolTip(const QPoint &position);
    void reportRecordingFailure(const QString &reason);
    void reportRecordRestarted(const QString &fileName);
    void showRecordingMark();
    void recordLine(const CompletedLine &line);
    void showRunsDialog();
    void openRecordsFolder();
    void chooseChartImageFile();
    void chooseChartDataFile();
    QFileDialog *chartFileDialog(const QString &title, const QString &filter, const QString &suffix,
        QStandardPaths::StandardLocation elsewhere);

    void ComPort_OnComm();
    void showMode(bool signalArrived);
    void recolourDrawing();
    void showCompletedLine(const CompletedLine &line);
    void startTimersOnFirstLine();
    void showLineCount();
    void logLine(const QString &line);
    void logDroppedLine(qsizetype length);
    void appendLogEntry(const QString &entry);
    void flushLog();
    QString logStamp(const QDateTime &now);
    void showParameters(const AcceptedParameters &accepted);
    void moveSetPointMarker();
    void showSetTemperature(std::optional<qint16> targetDegrees);
    void showHighestTemperature();
    void showStepResponse(const StepResponseUpdate &figures);
    void showLamps();
    void showCurrentTemperature();
    void reportConnected();
    void HScroll1_Change(int index);

    void showAxisCaptions();
    void showTimeAxis();
    void showSampleToolTip(const QHelpEvent &event);
    void Timer2_Timer();
    void Timer3_Timer();
    void fitClockFont(const QString &caption);
    void Timer4_Timer();
    void stoporrun_Click();
    void runtimeclear_Click();
    void Label5_Click(int index);

    bool portOpenForSending();
    bool sendText(const QString &text);
    void comm_send_Click();
    void send_model_Click();
    void Command_Click(int band);
    void clearbox_Click();
    void set_v_MouseMove();

    std::unique_ptr<Ui::frmMain> m_ui;
    MSComm *m_comPort;
    std::shared_ptr<const Clock> m_clock;
    const QString m_settingsFile;
    /// The mode captions, translated once: they are set on every received character.
    const QString m_setTemperatureCaption;
    const QString m_currentTemperatureCaption;
    const QString m_defaultRecordsDir;
    WindowState m_state;
    UniformRandom m_random;
    std::optional<WatchedProfileKey> m_storedSetTempKey;
    QString m_pendingLog;
    QTimer m_logFlush;
    qint64 m_stampSecond = 0;
    QString m_stamp;
    QFont m_clockFont;
    QFont m_axisFont;
    QString m_clockCaption;
    /// The status line's whole text, as its tooltip shows it.
    QString m_status;
    QFont m_statusFont;
    RunRecorder *m_recorder;
    /// Why this connection is not being recorded; the status tooltip keeps saying so.
    QString m_recordingFailure;
    /// "未记录" beside the status line; made when first needed.
    QLabel *m_notRecording = nullptr;
    ChartTimeAxis *m_timeAxis = nullptr;
    /// When the chart's first sample of the run was taken; its files are named after it.
    QDateTime m_chartStart;

    WindowTimer *Timer1 = nullptr;
    WindowTimer *Timer2 = nullptr;
    WindowTimer *Timer3 = nullptr;
    WindowTimer *Timer4 = nullptr;

    std::array<QRadioButton *, kPortCount> optComPort{};
    std::array<QScrollBar *, 6> HScroll1{};
    std::array<QLineEdit *, 3> Text2{};
    std::array<QLabel *, 7> Label1{};
    std::array<QLabel *, 3> Label5{};
    std::array<QLabel *, 4> Label6{};
    std::array<QLabel *, 6> Label7{};
    std::array<QLabel *, 4> Label8{};
    std::array<QLabel *, 3> Label12{};
    std::array<QLabel *, 1> Label13{};
    std::array<QLabel *, 3> Y_T{};
    std::array<QLineEdit *, 4> perfor_index{};
    std::array<ShapeControl *, 9> Shape4{};
    std::array<ShapeControl *, 2> ShapeDot{};
    std::array<QGroupBox *, 3> fraFrames{};
    std::array<QPushButton *, kBandCount> bandButtons{};
};
