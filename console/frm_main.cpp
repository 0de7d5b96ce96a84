#include "frm_main.h"

#include "dialogs/runs_dialog.h"
#include "dialogs/tuning_advice_dialog.h"
#include "form/design_details.h"
#include "ms_comm.h"
#include "panels/chart_panel.h"
#include "panels/command_panel.h"
#include "panels/connection_panel.h"
#include "panels/controller_panel.h"
#include "panels/date_clock.h"
#include "panels/receive_log.h"
#include "panels/run_time_column.h"
#include "panels/status_line.h"
#include "panels/step_response_panel.h"
#include "panels/step_test_launcher.h"
#include "records/run_recorder.h"
#include "session/console_session.h"
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
    , m_clock(std::move(clock))
    , m_settingsFile(settingsFile)
    , m_session(new ConsoleSession(std::move(comPort), m_clock, settingsFile,
          defaultRecordsDir.isEmpty() ? ::defaultRecordsDir() : defaultRecordsDir, this))
{
    m_ui->setupUi(this);
    m_missingControls = bindDesignedControls(*this, m_controls);
    if (!m_missingControls.isEmpty())
        return;
    createTimers();
    markControlsThatPaintWhole(m_controls);
    createPanels();
    connectSession();
    loadWindow();
}

frmMain::~frmMain() = default;

void frmMain::createTimers()
{
    m_trendTimer = new WindowTimer(QStringLiteral("Timer2"), kTrendInterval, false, this);
    m_clockTimer = new WindowTimer(QStringLiteral("Timer3"), kClockInterval, true, this);
    m_runTimeTimer = new WindowTimer(QStringLiteral("Timer4"), kRunTimeInterval, false, this);
}

void frmMain::createPanels()
{
    ConsoleSession &session = *m_session;
    m_status = new StatusLine(m_controls.connection.status, m_settingsFile, this);
    m_chart =
        new ChartPanel(m_controls.chart, *this, *m_trendTimer, session, *m_status, m_clock, this);
    m_connection = new ConnectionPanel(m_controls.connection, session, *m_status, this);
    m_controller = new ControllerPanel(
        m_controls.readout, m_controls.lamps, m_controls.parameters, session, this);
    m_receiveLog = new ReceiveLog(m_controls.receiveLog, m_clock, this);
    new CommandPanel(m_controls.commands, session, this);
    m_runTime =
        new RunTimeColumn(m_controls.runTime, session, *m_runTimeTimer, *m_trendTimer, this);
    m_stepResponse = new StepResponsePanel(m_controls.stepResponse, session, this);
    m_stepTest = new StepTestLauncher(m_controls.runTime, session, this);
    new DateClock(m_controls.clock, *m_clockTimer, m_clock, this);
}

/// What the session says goes to the panels that show it; what the operator asks of the window
/// itself stays here.
void frmMain::connectSession()
{
    m_session->setEachCharacter(
        [controller = m_controller] { controller->showCharacterArrived(); });
    const ConsoleSession *session = m_session;
    connect(session, &ConsoleSession::modeChanged, m_controller, &ControllerPanel::showMode);
    connect(session, &ConsoleSession::lineCompleted, this, &frmMain::showLine);
    connect(session, &ConsoleSession::lineDropped, m_receiveLog, &ReceiveLog::logDroppedLine);
    connect(session, &ConsoleSession::commandSent, m_status, &StatusLine::clearStanding);
    connect(session, &ConsoleSession::sendRefused, m_status,
        [status = m_status](const ConsoleSession::Refusal &refusal) {
            status->show(refusal.text, refusal.detail);
        });
    connect(session, &ConsoleSession::verdict, this, &frmMain::reportVerdict);
    connect(session, &ConsoleSession::linkOpened, m_connection, &ConnectionPanel::showOpened);
    for (const auto reported : {&ConsoleSession::linkLost, &ConsoleSession::linkWaiting,
             &ConsoleSession::linkReconnected, &ConsoleSession::linkClosed})
        connect(session, reported, m_connection, &ConnectionPanel::showLinkReport);
    connect(session, &ConsoleSession::linkReconnected, m_receiveLog,
        [log = m_receiveLog](
            const ReconnectPolicy::Report &report) { log->logEvent(report.logEntry); });
    connect(session, &ConsoleSession::runRestarted, m_chart, &ChartPanel::clearHistory);
    connect(session, &ConsoleSession::runPredicted, m_chart, &ChartPanel::showPrediction);
    connect(
        session, &ConsoleSession::runRestarted, m_stepResponse, &StepResponsePanel::showRestarted);
    connect(
        session, &ConsoleSession::recordingFailed, m_status, &StatusLine::reportRecordingFailure);
    connect(
        session, &ConsoleSession::recordRestarted, m_status, &StatusLine::reportRecordRestarted);

    connect(m_connection, &ConnectionPanel::exitRequested, this, &frmMain::closeAndQuit);
    connect(
        m_stepResponse, &StepResponsePanel::runHistoryRequested, this, &frmMain::showRunHistory);
    connect(m_stepResponse, &StepResponsePanel::tuningAdviceRequested, this,
        [this] { showTuningAdvice(std::nullopt); });
    connect(
        m_receiveLog, &ReceiveLog::openRecordsFolderRequested, this, &frmMain::openRecordsFolder);
}

void frmMain::loadWindow()
{
    m_controls.readout.currentTemperatureText->setText(QStringLiteral("0"));
    m_chart->setRecordsDirectory(recordsDirectory());
    m_status->setRecordingEnabled(m_session->recordSettings().enabled);
    m_connection->describePortDevices();
    m_connection->probePorts();
    m_status->reportSettingsFile();
}

void frmMain::showLine(const CompletedLine &line)
{
    const ControllerState &controller = m_session->controller();
    m_runTime->startTimers();
    m_receiveLog->showLineCount(controller.FrameCount);
    m_receiveLog->logLine(line.text);
    m_controller->showLine(line);
    m_chart->moveSetPointMarker(controller.SetTempTenths);
    m_stepResponse->show(line.figures);
    m_status->showRoutine(tr("连接温度控制器成功！"), m_status->recordingFailure());
}

/// The verdict stands in the status line until the next command, connection change or failure.
void frmMain::reportVerdict(const CommandVerdict &verdict)
{
    m_status->showStanding(verdict.text);
    m_receiveLog->logEvent(u'(' + verdict.text + u')');
}

QString frmMain::recordsDirectory() const
{
    return m_session->recordSettings().directory;
}

void frmMain::showRunHistory()
{
    auto *dialog =
        new RunsDialog(QDir(recordsDirectory()).filePath(RunRecorder::runsFileName()), this);
    dialog->setRunInProgress([session = m_session] { return session->runInProgress(); });
    dialog->setCurrentRun(m_session->runInProgress());
    dialog->setControllerLaw(m_session->controllerLaw());
    connect(dialog, &RunsDialog::compareOnChart, m_chart, &ChartPanel::compareRuns);
    connect(dialog, &RunsDialog::tuningAdviceRequested, this,
        [this](const QStringList &run) { showTuningAdvice(run); });
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}

void frmMain::showTuningAdvice(const std::optional<QStringList> &run)
{
    const std::optional<QStringList> chosen = run ? run : m_session->runInProgress();
    if (!chosen) {
        m_status->show(tr("还没有运行：连接并收到数据后才能给出整定建议"));
        return;
    }
    auto *dialog = new TuningAdviceDialog(recordsDirectory(), RunRecorder::runColumns(), *chosen,
        m_session->controllerLaw(), m_session->adviceStart(), this);
    connect(dialog, &TuningAdviceDialog::applyRequested, this,
        [this, dialog](const AppliedPrediction &prediction) {
            dialog->close();
            m_stepTest->openPredictedStep(prediction);
        });
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

void frmMain::closeAndQuit()
{
    close();
    QCoreApplication::exit(0);
}

/// Unloading: the port is closed, the record written out and the window's timers stop.
void frmMain::closeEvent(QCloseEvent *event)
{
    if (m_missingControls.isEmpty()) {
        m_session->shutDown();
        for (WindowTimer *timer : {m_trendTimer, m_clockTimer, m_runTimeTimer})
            timer->setEnabled(false);
    }
    event->accept();
}
