#include "frm_main.h"

#include "form/design_details.h"
#include "ms_comm.h"
#include "panels/chart_panel.h"
#include "panels/command_panel.h"
#include "panels/connection_panel.h"
#include "panels/controller_panel.h"
#include "panels/date_clock.h"
#include "panels/receive_log.h"
#include "panels/run_dialogs_launcher.h"
#include "panels/run_time_column.h"
#include "panels/status_line.h"
#include "panels/step_response_panel.h"
#include "panels/step_test_launcher.h"
#include "session/console_session.h"
#include "tuning/command_confirmation.h"
#include "ui_frm_main.h"
#include "window_timer.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLineEdit>

namespace {
constexpr int kTrendInterval = 100;
constexpr int kClockInterval = 200;
constexpr int kRunTimeInterval = 100;
} // namespace

frmMain::frmMain(std::unique_ptr<MSComm> comPort, std::shared_ptr<const Clock> clock,
    const QString &settingsFile, const QString &defaultRecordsDir, QWidget *parent)
    : QWidget(parent)
    , m_ui(std::make_unique<Ui::frmMain>())
    , m_clock(std::move(clock))
    , m_settingsFile(settingsFile)
    , m_session(
          new ConsoleSession(std::move(comPort), m_clock, settingsFile, defaultRecordsDir, this))
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
    m_receiveLog = new ReceiveLog(m_controls.receiveLog, session.controller(), m_clock, this);
    new CommandPanel(m_controls.commands, session, this);
    m_runTime =
        new RunTimeColumn(m_controls.runTime, session, *m_runTimeTimer, *m_trendTimer, this);
    m_stepResponse = new StepResponsePanel(m_controls.stepResponse, session, this);
    m_stepTest = new StepTestLauncher(m_controls.runTime, session, this);
    m_runDialogs = new RunDialogsLauncher(*this, session, *m_chart, *m_status, *m_stepTest);
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
    connect(session, &ConsoleSession::lineCompleted, m_runTime, &RunTimeColumn::startTimers);
    connect(session, &ConsoleSession::lineCompleted, m_receiveLog, &ReceiveLog::showLine);
    connect(session, &ConsoleSession::lineCompleted, m_controller, &ControllerPanel::showLine);
    connect(session, &ConsoleSession::lineCompleted, m_chart, &ChartPanel::moveSetPointMarker);
    connect(session, &ConsoleSession::lineCompleted, m_stepResponse, &StepResponsePanel::showLine);
    connect(session, &ConsoleSession::lineCompleted, m_status, &StatusLine::showLineReceived);
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
    connect(session, &ConsoleSession::runsFileElsewhere, m_status,
        &StatusLine::reportRunsFileElsewhere);

    connect(m_connection, &ConnectionPanel::exitRequested, this, &frmMain::closeAndQuit);
    connect(m_stepResponse, &StepResponsePanel::runHistoryRequested, m_runDialogs,
        &RunDialogsLauncher::showRunHistory);
    connect(m_stepResponse, &StepResponsePanel::tuningAdviceRequested, m_runDialogs,
        [dialogs = m_runDialogs] { dialogs->showTuningAdvice(std::nullopt); });
    connect(m_receiveLog, &ReceiveLog::openRecordsFolderRequested, m_runDialogs,
        &RunDialogsLauncher::openRecordsFolder);
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
