#include "frm_main.h"

#include "dialogs/runs_dialog.h"
#include "form/design_details.h"
#include "ms_comm.h"
#include "panels/chart_panel.h"
#include "panels/command_panel.h"
#include "panels/connection_panel.h"
#include "panels/date_clock.h"
#include "panels/readout_panel.h"
#include "panels/receive_log.h"
#include "panels/run_time_column.h"
#include "panels/status_line.h"
#include "panels/step_response_panel.h"
#include "panels/step_test_panel.h"
#include "records/run_recorder.h"
#include "telemetry/display_format.h"
#include "telemetry/step_response.h"
#include "telemetry/telemetry_line.h"
#include "telemetry/telemetry_receiver.h"
#include "tuning/command_confirmation.h"
#include "ui_frm_main.h"
#include "window_timer.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QLineEdit>
#include <QStandardPaths>
#include <QUrl>

namespace {
constexpr int kTrendInterval = 100;
constexpr int kClockInterval = 200;
constexpr int kRunTimeInterval = 100;

QString defaultRecordsDir()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation)
        + QLatin1String("/records");
}
} // namespace

frmMain::frmMain(std::unique_ptr<MSComm> comPort, std::shared_ptr<const Clock> clock,
    const QString &settingsFile, const QString &defaultRecordsDir, QWidget *parent)
    : QWidget(parent)
    , m_ui(std::make_unique<Ui::frmMain>())
    , m_comPort(comPort.release())
    , m_clock(std::move(clock))
    , m_settingsFile(settingsFile)
    , m_defaultRecordsDir(defaultRecordsDir.isEmpty() ? ::defaultRecordsDir() : defaultRecordsDir)
    , m_recorder(new RunRecorder(m_clock, this))
    , m_confirmation(new CommandConfirmation(m_clock, this))
{
    m_comPort->setParent(this);
    m_comPort->setObjectName(QStringLiteral("ComPort"));
    m_ui->setupUi(this);
    if (!bindControls())
        return;
    createTimers();
    markControlsThatPaintWhole(m_controls);
    createPanels();
    connectPanels();
    connectRecorder();
    connectTuning();
    m_connection->describePortDevices();
    loadWindow();
}

frmMain::~frmMain() = default;

/// Every control by role, with what the form file does not carry; false, naming what is
/// missing, when the form lacks any the console uses.
bool frmMain::bindControls()
{
    m_missingControls = bindDesignedControls(*this, m_controls);
    return m_missingControls.isEmpty();
}

void frmMain::createTimers()
{
    m_trendTimer = new WindowTimer(QStringLiteral("Timer2"), kTrendInterval, false, this);
    m_clockTimer = new WindowTimer(QStringLiteral("Timer3"), kClockInterval, true, this);
    m_runTimeTimer = new WindowTimer(QStringLiteral("Timer4"), kRunTimeInterval, false, this);
}

void frmMain::createPanels()
{
    m_status = new StatusLine(m_controls.connection.status, m_settingsFile, this);
    m_chart =
        new ChartPanel(m_controls.chart, *this, *m_trendTimer, m_state, *m_status, m_clock, this);
    m_connection = new ConnectionPanel(
        m_controls.connection, *m_comPort, *m_status, m_recorder,
        [this] { return m_state.RunTimeText; }, this);
    m_readout = new ReadoutPanel(
        m_controls.readout, m_controls.lamps, m_controls.parameters, m_state, this);
    m_receiveLog = new ReceiveLog(m_controls.receiveLog, m_clock, this);
    m_commands = new CommandPanel(m_controls.commands, *m_comPort, *m_status, this);
    m_runTime =
        new RunTimeColumn(m_controls.runTime, m_state, *m_runTimeTimer, *m_trendTimer, this);
    m_stepResponse = new StepResponsePanel(m_controls.stepResponse, this);
    m_dateClock = new DateClock(m_controls.clock, *m_clockTimer, m_clock, this);
    m_stepTest = new StepTestPanel(
        m_controls.runTime, [confirmation = m_confirmation] { return confirmation->latest(); },
        [this](const QString &command) { return startStepTest(command); }, this);
}

void frmMain::connectPanels()
{
    connect(m_comPort, &MSComm::OnComm, this, &frmMain::receiveCharacters);
    connect(m_connection, &ConnectionPanel::opened, this, &frmMain::markConnected);
    connect(m_connection, &ConnectionPanel::closed, m_recorder, &RunRecorder::connectionClosed);
    connect(m_connection, &ConnectionPanel::reopened, this, &frmMain::markLinkOpened);
    connect(m_connection, &ConnectionPanel::lost, this, &frmMain::dropPartLine);
    connect(m_connection, &ConnectionPanel::logEntry, m_receiveLog, &ReceiveLog::logEvent);
    connect(m_connection, &ConnectionPanel::exitRequested, this, &frmMain::exitConsole);
    connect(m_commands, &CommandPanel::sent, this, &frmMain::commandSent);
    connect(m_runTime, &RunTimeColumn::runRestarted, this, &frmMain::restartRun);
    connect(
        m_stepResponse, &StepResponsePanel::runHistoryRequested, this, &frmMain::showRunHistory);
    connect(
        m_receiveLog, &ReceiveLog::openRecordsFolderRequested, this, &frmMain::openRecordsFolder);
    connect(m_stepResponse, &StepResponsePanel::overshootEdited, this,
        [this](const QString &text) { m_state.Figures.setShownOvershoot(text); });
}

void frmMain::connectRecorder()
{
    connect(
        m_recorder, &RunRecorder::recordingFailed, m_status, &StatusLine::reportRecordingFailure);
    connect(
        m_recorder, &RunRecorder::recordRestarted, m_status, &StatusLine::reportRecordRestarted);
}

/// Every parameter command is watched until the lines show it or fail to; a connection change
/// or a failed send drops the watch.
void frmMain::connectTuning()
{
    connect(m_confirmation, &CommandConfirmation::decided, this, &frmMain::reportVerdict);
    connect(m_connection, &ConnectionPanel::opened, m_confirmation, &CommandConfirmation::cancel);
    connect(m_connection, &ConnectionPanel::closed, m_confirmation, &CommandConfirmation::cancel);
    connect(m_connection, &ConnectionPanel::lost, m_confirmation, &CommandConfirmation::cancel);
    connect(m_commands, &CommandPanel::sendFailed, m_confirmation, &CommandConfirmation::cancel);
}

void frmMain::loadWindow()
{
    m_state.IniFile = m_settingsFile;
    m_controls.readout.currentTemperatureText->setText(QStringLiteral("0"));
    m_state.FollowCurrentTemp = 1;
    m_state.TrendRunning = true;
    m_state.ReachPending = true;
    m_state.RunClockArmed = true;
    m_recorder->setSettings(RecordSettings::read(m_state.IniFile, m_defaultRecordsDir));
    m_chart->setRecordsDirectory(recordsDirectory());
    m_status->setRecordingEnabled(m_recorder->settings().enabled);
    m_connection->readReconnectSetting(m_state.IniFile);
    m_connection->probePorts();
    m_comPort->setInputLen(1);
    m_comPort->setRThreshold(1);
    m_status->reportSettingsFile();
}

/// A connection starts a run of its own, whatever the boxes still show of the one before.
void frmMain::markConnected(int port)
{
    m_recorder->connectionOpened(port);
    m_state.ThisRun = {};
    markLinkOpened();
}

/// Opened, or back after a loss: the mode word starts over, the controller perhaps reset while
/// away.
void frmMain::markLinkOpened()
{
    dropPartLine();
    m_state.Mode = ModeWord::Exit;
    m_readout->showModeWord();
}

/// What came before a break in the link never joins the first line after it.
void frmMain::dropPartLine()
{
    m_state.RxLine.discard();
}

void frmMain::receiveCharacters()
{
    if (m_comPort->CommEvent() != MSComm::comEvReceive)
        return;
    const CommInput input = m_comPort->Input();
    if (input.error)
        return;
    const ReceiverChanges changes = TelemetryReceiver::receive(m_state, input.text);
    if (changes.modeSignal)
        m_recorder->modeSignalled(m_state.RunTimeText, m_state.RxChunk);
    m_readout->showMode(changes.modeSignal);
    m_readout->recolourDrawing();
    if (changes.line) {
        recordLine(*changes.line);
        showCompletedLine(*changes.line);
    } else if (changes.droppedLength) {
        m_recorder->lineDropped(m_state.RunTimeText, *changes.droppedLength);
        m_receiveLog->logDroppedLine(*changes.droppedLength);
    }
}

void frmMain::showCompletedLine(const CompletedLine &line)
{
    startTimersOnFirstLine();
    m_receiveLog->showLineCount(m_state.FrameCount);
    m_receiveLog->logLine(line.text);
    m_readout->showLine(line);
    m_chart->moveSetPointMarker(m_state.SetTempTenths);
    m_stepResponse->show(line.figures);
    // The line's own values: a gain the sliders cannot show is still what the controller holds.
    const TelemetryLine &values = line.values;
    m_confirmation->lineCompleted(
        CommandFields{values.setTenths, values.p, values.i, values.d, {}});
    reportConnected();
}

void frmMain::startTimersOnFirstLine()
{
    if (m_state.TrendRunning && !m_trendTimer->Enabled())
        m_trendTimer->setEnabled(true);
    if (m_state.RunClockArmed && !m_runTimeTimer->Enabled())
        m_runTimeTimer->setEnabled(true);
}

void frmMain::reportConnected()
{
    m_status->showRoutine(tr("连接温度控制器成功！"), m_status->recordingFailure());
}

void frmMain::recordLine(const CompletedLine &line)
{
    const TelemetryLine &values = line.values;
    RecordedValues recorded{values.setTenths, values.currentTenths, std::nullopt, line.accepted.p,
        line.accepted.i, line.accepted.d};
    if (values.outputLevel)
        recorded.outputPercent = DisplayFormat::outputPercent(*values.outputLevel);
    const StepResponseUpdate &stamped = line.runFigures;
    StampedFigures figures{stamped.riseTime, std::nullopt, stamped.peakTime, stamped.settlingTime};
    if (stamped.overshoot)
        figures.overshoot = StepResponse::shownPercentage(*stamped.overshoot);
    m_recorder->lineCompleted(m_state.RunTimeText, recorded, figures, line.text.chopped(2));
}

void frmMain::restartRun()
{
    m_recorder->runTimeCleared();
    m_chart->clearHistory();
    m_stepResponse->showRestarted();
}

void frmMain::commandSent(const QString &text)
{
    m_recorder->commandSent(m_state.RunTimeText, text);
    m_status->clearStanding();
    m_confirmation->commandSent(text);
}

/// The verdict stands in the status line until the next command, connection change or failure.
void frmMain::reportVerdict(const CommandVerdict &verdict)
{
    m_status->showStanding(verdict.text);
    m_receiveLog->logEvent(u'(' + verdict.text + u')');
    const CommandFields &shown = verdict.shown;
    m_recorder->commandChecked(m_state.RunTimeText, verdict.confirmed,
        RecordedValues{shown.setTenths, std::nullopt, std::nullopt, shown.p, shown.i, shown.d},
        verdict.sent.commandText());
}

/// The step's command goes out as "发送数据" sends, and the run restarts as "时间清零" does in
/// the same turn, so that its figures are measured from the step: from the first line that
/// shows the step's set point, as the lines before it were sent before the controller took it.
std::optional<QString> frmMain::startStepTest(const QString &command)
{
    if (std::optional<QString> refusal = m_commands->sendCommand(command))
        return refusal;
    m_runTime->restartRun();
    if (const std::optional<CommandFields> step = CommandFields::read(command))
        m_state.StepPendingTenths = step->setTenths;
    return std::nullopt;
}

QString frmMain::recordsDirectory() const
{
    return m_recorder->settings().directory;
}

void frmMain::showRunHistory()
{
    auto *dialog =
        new RunsDialog(QDir(recordsDirectory()).filePath(RunRecorder::runsFileName()), this);
    dialog->setRunInProgress([recorder = m_recorder] { return recorder->runInProgress(); });
    dialog->setCurrentRun(m_recorder->runInProgress());
    connect(dialog, &RunsDialog::compareOnChart, m_chart, &ChartPanel::compareRuns);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}

void frmMain::openRecordsFolder()
{
    if (!QDir().mkpath(recordsDirectory())
        || !QDesktopServices::openUrl(QUrl::fromLocalFile(recordsDirectory())))
        m_status->show(
            tr("无法打开记录文件夹：%1").arg(QDir::toNativeSeparators(recordsDirectory())));
}

bool frmMain::saveChartImage(const QString &path)
{
    return m_chart->saveImage(path);
}

bool frmMain::exportChartData(const QString &path)
{
    return m_chart->exportData(path);
}

void frmMain::closePortAndRecord()
{
    m_connection->closePort();
    m_recorder->connectionClosed();
}

void frmMain::exitConsole()
{
    close();
    QCoreApplication::exit(0);
}

/// Unloading: the port is closed and the window's timers stop with it.
void frmMain::closeEvent(QCloseEvent *event)
{
    if (m_missingControls.isEmpty()) {
        closePortAndRecord();
        for (WindowTimer *timer : {m_trendTimer, m_clockTimer, m_runTimeTimer})
            timer->setEnabled(false);
    }
    event->accept();
}
