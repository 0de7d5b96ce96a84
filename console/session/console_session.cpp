#include "console_session.h"

#include "clock.h"
#include "connection/port_reconnector.h"
#include "ms_comm.h"
#include "port_map.h"
#include "records/run_recorder.h"
#include "settings_lookup.h"
#include "telemetry/step_response.h"
#include "tuning/command_confirmation.h"

#include <QStandardPaths>

#include <cmath>

namespace {
static_assert(GainSet::kLargest == ParameterRanges::kCommandGain.maximum,
    "the gains in use are what the lines report");

QString recordsDirectoryOr(const QString &defaultRecordsDir)
{
    if (!defaultRecordsDir.isEmpty())
        return defaultRecordsDir;
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation)
        + QLatin1String("/records");
}

bool marksPortUnusable(const std::optional<CommError> &error)
{
    return error
        && (error->code == CommCode::DeviceUnavailable || error->code == CommCode::InvalidPortNumber
            || error->code == CommCode::PortNotOpen);
}
} // namespace

ConsoleSession::ConsoleSession(std::unique_ptr<MSComm> port, std::shared_ptr<const Clock> clock,
    const QString &settingsFile, const QString &defaultRecordsDir, QObject *parent)
    : QObject(parent)
    , m_port(port.release())
    , m_clock(std::move(clock))
    , m_settingsFile(settingsFile)
    , m_recorder(new RunRecorder(m_clock, this))
    , m_confirmation(new CommandConfirmation(m_clock, this))
    , m_reconnector(new PortReconnector(m_port, this))
{
    m_port->setParent(this);
    m_port->setObjectName(QStringLiteral("ComPort"));
    m_recorder->setSettings(
        RecordSettings::read(settingsFile, recordsDirectoryOr(defaultRecordsDir)));
    m_reconnector->setEnabled(ReconnectPolicy::enabledIn(settingsFile));
    // One receive event per character, as the receiver takes them.
    m_port->setInputLen(1);
    m_port->setRThreshold(1);

    connect(m_port, &MSComm::OnComm, this, &ConsoleSession::receiveCharacters);
    connect(m_port, &MSComm::connectionLost, this, &ConsoleSession::handleLoss);
    connect(m_recorder, &RunRecorder::recordingFailed, this, &ConsoleSession::recordingFailed);
    connect(m_recorder, &RunRecorder::recordRestarted, this, &ConsoleSession::recordRestarted);
    connect(m_recorder, &RunRecorder::runsFileElsewhere, this, &ConsoleSession::runsFileElsewhere);
    connect(
        m_confirmation, &CommandConfirmation::decided, this, [this](const CommandVerdict &decided) {
            m_recorder->commandChecked(m_run.runTimeTenths(), decided);
            emit verdict(decided);
        });
    connect(m_reconnector, &PortReconnector::waiting, this, &ConsoleSession::keepWaitingRecord);
    connect(m_reconnector, &PortReconnector::retrying, this, &ConsoleSession::linkWaiting);
    connect(
        m_reconnector, &PortReconnector::reconnected, this, &ConsoleSession::keepReconnectedRecord);
    connect(m_reconnector, &PortReconnector::ended, this, &ConsoleSession::endLinkWithoutOperator);
}

ConsoleSession::~ConsoleSession() = default;

int ConsoleSession::portNumber() const
{
    return m_port->CommPort();
}

const ReconnectPolicy &ConsoleSession::link() const
{
    return m_reconnector->policy();
}

const RecordSettings &ConsoleSession::recordSettings() const
{
    return m_recorder->settings();
}

ControllerLaw ConsoleSession::controllerLaw() const
{
    return ControllerLaw::read(m_settingsFile);
}

std::optional<QStringList> ConsoleSession::runInProgress() const
{
    return m_recorder->runInProgress();
}

CommandFields ConsoleSession::latestFields() const
{
    return m_confirmation->latest();
}

QList<int> ConsoleSession::probePorts()
{
    QList<int> absent;
    for (int port = 1; port <= PortMap::kPortCount; ++port) {
        bool unusable = marksPortUnusable(m_port->setCommPort(port));
        if (m_port->PortOpen())
            unusable = marksPortUnusable(m_port->setPortOpen(false)) || unusable;
        unusable = marksPortUnusable(m_port->setPortOpen(true)) || unusable;
        unusable = marksPortUnusable(m_port->setPortOpen(false)) || unusable;
        if (unusable)
            absent.append(port);
    }
    return absent;
}

QString ConsoleSession::deviceDescription(int port) const
{
    return m_port->DeviceDescription(port);
}

std::optional<CommError> ConsoleSession::openPort(std::optional<int> chosen)
{
    if (chosen)
        (void)m_port->setCommPort(*chosen);
    if (m_reconnector->isWaiting()) {
        m_reconnector->stop();
        endConnection();
    }
    if (m_port->PortOpen())
        (void)m_port->setPortOpen(false);
    if (std::optional<CommError> error = m_port->setPortOpen(true))
        return error;
    const int port = m_port->CommPort();
    emit linkOpened(port);
    m_recorder->connectionOpened(port);
    // A connection starts a run of its own, whatever the boxes still show of the one before.
    m_run.ThisRun = {};
    markLinkOpened();
    m_confirmation->cancel();
    m_reconnector->follow();
    return std::nullopt;
}

void ConsoleSession::closePort()
{
    if (m_port->PortOpen())
        (void)m_port->setPortOpen(false);
    m_reconnector->stop();
    endConnection();
}

void ConsoleSession::choosePort(int port)
{
    if (m_reconnector->isWaiting() && port != m_reconnector->policy().port())
        m_reconnector->giveUp();
}

void ConsoleSession::shutDown()
{
    closePort();
}

std::pair<ProfileWrite, QString> ConsoleSession::setReconnectEnabled(bool enabled)
{
    m_reconnector->setEnabled(enabled);
    const QString file = SettingsLookup::forWriting(m_settingsFile);
    return {ReconnectPolicy::saveEnabled(file, enabled), file};
}

std::optional<ConsoleSession::Refusal> ConsoleSession::sendText(const QString &text)
{
    std::optional<Refusal> refusal = refusalWhileClosed();
    if (!refusal)
        refusal = send(text);
    if (refusal) {
        emit sendRefused(*refusal);
        return refusal;
    }
    commandWent(text);
    return std::nullopt;
}

std::optional<ConsoleSession::Refusal> ConsoleSession::sendRepeated(const QString &text, int times)
{
    if (std::optional<Refusal> refusal = refusalWhileClosed()) {
        emit sendRefused(*refusal);
        return refusal;
    }
    std::optional<Refusal> failure;
    int sentCount = 0;
    for (int time = 0; time < times; ++time) {
        if (std::optional<Refusal> refusal = send(text))
            failure = refusal;
        else
            ++sentCount;
    }
    if (failure)
        emit sendRefused(*failure);
    if (sentCount > 0)
        commandWent(text.repeated(sentCount));
    return failure;
}

std::optional<ConsoleSession::Refusal> ConsoleSession::refusalWhileClosed() const
{
    if (m_port->PortOpen())
        return std::nullopt;
    return Refusal{tr("串口未打开，未发送"), {}, true};
}

AdviceStart ConsoleSession::adviceStart() const
{
    AdviceStart start =
        AdviceStart::between(m_controller.CurTempTenths / 10.0, m_controller.SetTempTenths / 10.0);
    start.fromRun = !m_port->PortOpen();
    const CommandFields shown = latestFields();
    if (shown.p && shown.i && shown.d)
        start.current = GainSet{*shown.p, *shown.i, *shown.d};
    return start;
}

std::optional<ConsoleSession::Refusal> ConsoleSession::startStepTest(
    const QString &command, const AppliedPrediction *prediction)
{
    // Where the loop stands as the step leaves it, before anything the send brings.
    const bool fromItsStart = prediction && predictionStart(*prediction).holds();
    if (std::optional<Refusal> refusal = sendText(command))
        return refusal;
    restartRun();
    const std::optional<CommandFields> step = CommandFields::read(command);
    if (step)
        m_run.StepPendingTenths = step->setTenths;
    if (step && fromItsStart && sendsWhatWasPredicted(*step, *prediction)) {
        m_recorder->runPredicted(*prediction);
        emit runPredicted(*prediction);
    }
    return std::nullopt;
}

PredictionStart ConsoleSession::predictionStart(const AppliedPrediction &prediction) const
{
    return PredictionStart(prediction.plan, temperatureNow());
}

std::optional<AppliedPrediction> ConsoleSession::predictedFromHere(
    const AppliedPrediction &prediction) const
{
    const std::optional<double> now = temperatureNow();
    const ControllerLaw law = controllerLaw();
    if (!now || law.refusal())
        return std::nullopt;
    return PredictionStart::from(prediction, *now, law);
}

/// The current temperature the last line left; none before the first line.
std::optional<double> ConsoleSession::temperatureNow() const
{
    if (m_controller.FrameCount == 0)
        return std::nullopt;
    return m_controller.CurTempTenths / 10.0;
}

/// The operator may have changed the step's fields after the prefill: a prediction holds only
/// for the target and gains it was made for.
bool ConsoleSession::sendsWhatWasPredicted(
    const CommandFields &step, const AppliedPrediction &prediction)
{
    const GainSet &gains = prediction.gains;
    return step.setTenths == qint16(std::lround(prediction.plan.to * 10)) && step.p == gains.p
        && step.i == gains.i && step.d == gains.d;
}

void ConsoleSession::restartRun()
{
    m_recorder->runTimeCleared();
    m_run = RunState{};
    m_controller.MaxTempTenths = 0;
    emit runRestarted();
}

/// The run time counts delivered ticks, not the clock.
void ConsoleSession::tickRunClock()
{
    if (++m_run.RunTenths == 10) {
        m_run.RunTenths = 0;
        ++m_run.RunSeconds;
    }
}

void ConsoleSession::clearHighestTemperature()
{
    m_controller.ShownMaxTempTenths.reset();
}

void ConsoleSession::typeOvershoot(const QString &text)
{
    m_run.Figures.overshootPercent = StepResponse::shownPercentage(text);
}

void ConsoleSession::receiveCharacters()
{
    if (m_port->CommEvent() != MSComm::comEvReceive)
        return;
    const CommInput input = m_port->Input();
    if (input.error)
        return;
    const ReceiverChanges changes = m_receiver.receive(input.text, m_controller, m_run);
    if (changes.modeSignal) {
        m_recorder->modeSignalled(m_run.runTimeTenths(), input.text);
        emit modeChanged();
    }
    if (m_eachCharacter)
        m_eachCharacter();
    if (changes.line) {
        const CompletedLine &line = *changes.line;
        m_recorder->lineCompleted(line);
        emit lineCompleted(line);
        // The gains as the controller reports them, over the command's range: one the sliders
        // cannot show is still what the controller holds.
        const ReportedGains &gains = line.gains;
        m_confirmation->lineCompleted(
            CommandFields{line.values.setTenths, gains.p, gains.i, gains.d, {}});
    } else if (changes.droppedLength) {
        m_recorder->lineDropped(m_run.runTimeTenths(), *changes.droppedLength);
        emit lineDropped(*changes.droppedLength);
    }
}

/// The reconnector decides whether to wait; a command being checked is dropped either way.
void ConsoleSession::handleLoss(const CommError &error)
{
    m_receiver.dropPartLine();
    m_confirmation->cancel();
    m_reconnector->handleLoss(error);
}

/// Opened, or back after a loss: the mode word starts over, the controller perhaps reset while
/// away, and what came before the break never joins the first line after it.
void ConsoleSession::markLinkOpened()
{
    m_receiver.dropPartLine();
    m_controller.Mode = ModeWord::Exit;
    emit modeChanged();
}

/// The run ends with its record's connection; a command being checked is dropped.
void ConsoleSession::endConnection()
{
    m_recorder->connectionClosed();
    m_confirmation->cancel();
}

void ConsoleSession::endLinkWithoutOperator(const ReconnectPolicy::Report &report)
{
    m_recorder->connectionClosed();
    emit linkClosed(report);
}

/// The record and the run stay open across the gap, the rows so far on disk.
void ConsoleSession::keepWaitingRecord(const ReconnectPolicy::Report &report, const QString &reason)
{
    m_recorder->linkLost(m_run.runTimeTenths(), reason);
    emit linkLost(report);
}

void ConsoleSession::keepReconnectedRecord(
    const ReconnectPolicy::Report &report, const QString &node)
{
    m_recorder->reconnected(m_run.runTimeTenths(), node);
    markLinkOpened();
    emit linkReconnected(report);
}

/// Every text that went out is recorded and starts the check of a parameter command.
void ConsoleSession::commandWent(const QString &text)
{
    m_recorder->commandSent(m_run.runTimeTenths(), text);
    emit commandSent(text);
    m_confirmation->commandSent(text);
}

std::optional<ConsoleSession::Refusal> ConsoleSession::send(const QString &text)
{
    const std::optional<CommError> error = m_port->setOutput(text);
    if (!error)
        return std::nullopt;
    // A failed send drops the check of the command before it.
    m_confirmation->cancel();
    return Refusal{tr("发送失败：%1").arg(error->cause), error->detail, false};
}
