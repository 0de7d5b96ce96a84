#pragma once

#include "connection/reconnect_policy.h"
#include "profile_writer.h"
#include "records/record_settings.h"
#include "telemetry/controller_state.h"
#include "telemetry/run_state.h"
#include "telemetry/telemetry_receiver.h"
#include "tuning/advice_start.h"
#include "tuning/applied_prediction.h"
#include "tuning/command_fields.h"
#include "tuning/controller_law.h"
#include "tuning/prediction_start.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class Clock;
class CommandConfirmation;
class MSComm;
class PortReconnector;
class RunRecorder;
struct CommError;
struct CommandVerdict;

/// The console without its window: the serial component, what the controller reports, the run
/// and its clock, the record, the check of every parameter command and the reconnect after a
/// lost device. It takes the operator's requests and says what happened; only it changes the
/// states it holds, and the window renders what it says.
class ConsoleSession : public QObject
{
    Q_OBJECT

public:
    /// Why a text was not sent, as the status line says it, with the system's detail behind it.
    struct Refusal
    {
        QString text;
        QString detail;
        /// Nothing went out because the port is closed.
        bool portClosed = false;
    };

    /// Reads the records' and the reconnect's settings from the settings file; with no records
    /// folder given there, records go to defaultRecordsDir, and with none to the user's data
    /// folder for the application.
    ConsoleSession(std::unique_ptr<MSComm> port, std::shared_ptr<const Clock> clock,
        const QString &settingsFile, const QString &defaultRecordsDir, QObject *parent = nullptr);
    ~ConsoleSession() override;

    const ControllerState &controller() const { return m_controller; }
    const RunState &run() const { return m_run; }
    const MSComm &port() const { return *m_port; }
    /// The port number set, open or not.
    int portNumber() const;
    /// The part of a line received so far.
    const LineCollector &heldLine() const { return m_receiver.collected(); }
    const ReconnectPolicy &link() const;
    const RecordSettings &recordSettings() const;
    /// What P, I and D mean to the controller, as the settings file says now.
    ControllerLaw controllerLaw() const;
    /// The run in progress as a row of runs.csv with its end left empty; none before its first
    /// line.
    std::optional<QStringList> runInProgress() const;
    /// The newest values the lines showed, with T from the last command that carried one: what
    /// a step test starts from.
    CommandFields latestFields() const;
    /// The step tuning advice starts from: from the temperature now to the set point, and the
    /// gains the controller shows.
    AdviceStart adviceStart() const;

    /// Opens and closes every port once; the ports with no device behind them.
    QList<int> probePorts();
    /// For a port option's tooltip: the device, and an adapter's current node.
    QString deviceDescription(int port) const;

    /// "连接": the chosen port, or the one set before when none is chosen. A wait for a lost
    /// device ends first, with its run. Why it could not be opened, or nothing.
    std::optional<CommError> openPort(std::optional<int> chosen);
    /// "断开": the port closes and the run ends.
    void closePort();
    /// Another port chosen: a wait for a lost device on another one is given up.
    void choosePort(int port);
    /// The window closes: the port closes, the record and the run's row are written.
    void shutDown();
    /// The status line's check; written to the settings file in use or, with none found, to the
    /// user's own. What became of the writing, and where.
    std::pair<ProfileWrite, QString> setReconnectEnabled(bool enabled);

    /// "发送数据" and a step test's command: sent exactly as given, or refused.
    std::optional<Refusal> sendText(const QString &text);
    /// A band: its digit times times over, reported as one text sent.
    std::optional<Refusal> sendRepeated(const QString &text, int times);
    /// Nothing goes out on a closed port.
    std::optional<Refusal> refusalWhileClosed() const;
    /// The step's command goes out as "发送数据" sends, and the run restarts in the same moment,
    /// its figures measured from the first line that shows the step's set point. A prediction
    /// goes with the run when the command sends the target and gains it was made for and the
    /// loop is where it was predicted from (predictionStart).
    std::optional<Refusal> startStepTest(
        const QString &command, const AppliedPrediction *prediction = nullptr);
    /// Whether a step started now begins where the prediction does, by the temperature now.
    PredictionStart predictionStart(const AppliedPrediction &prediction) const;
    /// The prediction made again from the temperature now, under the law the settings file
    /// gives; none before a line brought a temperature.
    std::optional<AppliedPrediction> predictedFromHere(const AppliedPrediction &prediction) const;

    /// "时间清零": the run time, the highest temperature and the figures start again.
    void restartRun();
    /// The run-time timer's tick.
    void tickRunClock();
    /// A caption click: the highest-temperature box is emptied until a line raises it.
    void clearHighestTemperature();
    /// The overshoot box as the operator typed it: a new overshoot must exceed a percentage,
    /// and replaces any other text.
    void typeOvershoot(const QString &text);
    /// Called on every receive event, before what it completes is reported: the window's drawing
    /// changes colour with every character. A plain call, not a signal: it runs once a character,
    /// where a signal's dispatch would cost the receive path about a tenth of its speed.
    void setEachCharacter(std::function<void()> handler) { m_eachCharacter = std::move(handler); }

signals:
    /// A mode signal arrived, or the link opened afresh and the mode word starts over.
    void modeChanged();
    void lineCompleted(const CompletedLine &line);
    /// An overlong line of this many characters was dropped unread.
    void lineDropped(qsizetype length);
    /// What went out on the line, exactly.
    void commandSent(const QString &text);
    void sendRefused(const Refusal &refusal);
    void verdict(const CommandVerdict &verdict);
    /// The operator's connect opened the port; a new run begins with the next line.
    void linkOpened(int port);
    /// The device failed under the open port and its return is awaited.
    void linkLost(const ReconnectPolicy::Report &report);
    /// News while waiting: the device is back but cannot be opened.
    void linkWaiting(const ReconnectPolicy::Report &report);
    /// The lost device is back and the same port open again, the run going on.
    void linkReconnected(const ReconnectPolicy::Report &report);
    /// The link ended without the operator: a loss not awaited, or a wait given up.
    void linkClosed(const ReconnectPolicy::Report &report);
    void runRestarted();
    /// The run just started carries what its gains were predicted to do.
    void runPredicted(const AppliedPrediction &prediction);
    void recordingFailed(const QString &reason);
    /// The record file had gone from its folder; recording went on in a new one.
    void recordRestarted(const QString &fileName);
    /// The runs file's name holds someone else's table; the runs went to a file beside it.
    void runsFileElsewhere(const QString &foreignName, const QString &fileName);

private:
    // ComPort_OnComm
    void receiveCharacters();
    void handleLoss(const CommError &error);
    void markLinkOpened();
    void endConnection();
    void endLinkWithoutOperator(const ReconnectPolicy::Report &report);
    void keepWaitingRecord(const ReconnectPolicy::Report &report, const QString &reason);
    void keepReconnectedRecord(const ReconnectPolicy::Report &report, const QString &node);
    void commandWent(const QString &text);
    std::optional<Refusal> send(const QString &text);
    std::optional<double> temperatureNow() const;
    static bool sendsWhatWasPredicted(
        const CommandFields &step, const AppliedPrediction &prediction);

    MSComm *m_port;
    std::shared_ptr<const Clock> m_clock;
    const QString m_settingsFile;
    TelemetryReceiver m_receiver;
    ControllerState m_controller;
    RunState m_run;
    RunRecorder *m_recorder;
    CommandConfirmation *m_confirmation;
    PortReconnector *m_reconnector;
    std::function<void()> m_eachCharacter;
};
