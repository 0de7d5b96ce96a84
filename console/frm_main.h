#pragma once

#include "form/window_controls.h"
#include "port_map.h"
#include "telemetry/window_state.h"

#include <QStringList>
#include <QWidget>

#include <memory>
#include <optional>

class ChartPanel;
class Clock;
class CommandConfirmation;
class CommandPanel;
class ConnectionPanel;
class DateClock;
class MSComm;
class ReadoutPanel;
class ReceiveLog;
class RunRecorder;
class RunTimeColumn;
class StatusLine;
class StepResponsePanel;
class StepTestPanel;
class WindowTimer;
struct CommandVerdict;
struct CompletedLine;

namespace Ui {
class frmMain;
}

/// The console's one window: port choice and connection, the controller's telemetry and the
/// operator's commands. It owns the serial component and reaches the line only through it; its
/// panels show the state that the controller's characters leave, and it wires them together.
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

    /// The design's controls the form lacks; while any is missing the window stays empty and
    /// inert, and the application is not to start.
    const QStringList &missingControls() const { return m_missingControls; }

    const WindowState &state() const { return m_state; }
    MSComm &ComPort() const { return *m_comPort; }
    QString recordsDirectory() const;

    /// The chart with its axis captions as a picture; false when it cannot be written.
    bool saveChartImage(const QString &path);
    /// The samples of the chart's view as a table: index, run time, temperature.
    bool exportChartData(const QString &path);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    bool bindControls();
    void createTimers();
    void createPanels();
    void connectPanels();
    void connectRecorder();
    void connectTuning();

    // Form_Load
    void loadWindow();
    // Form_QueryUnload
    void closePortAndRecord();
    void exitConsole();

    void markConnected(int port);
    void markLinkOpened();
    void dropPartLine();
    // ComPort_OnComm
    void receiveCharacters();
    void showCompletedLine(const CompletedLine &line);
    void startTimersOnFirstLine();
    void reportConnected();
    void recordLine(const CompletedLine &line);
    void restartRun();
    void commandSent(const QString &text);
    void reportVerdict(const CommandVerdict &verdict);
    std::optional<QString> startStepTest(const QString &command);
    void showRunHistory();
    void openRecordsFolder();

    std::unique_ptr<Ui::frmMain> m_ui;
    MSComm *m_comPort;
    std::shared_ptr<const Clock> m_clock;
    const QString m_settingsFile;
    const QString m_defaultRecordsDir;
    WindowControls m_controls;
    QStringList m_missingControls;
    WindowState m_state;
    RunRecorder *m_recorder;
    CommandConfirmation *m_confirmation;

    WindowTimer *m_trendTimer = nullptr; // Timer2
    WindowTimer *m_clockTimer = nullptr; // Timer3
    WindowTimer *m_runTimeTimer = nullptr; // Timer4

    StatusLine *m_status = nullptr;
    ConnectionPanel *m_connection = nullptr;
    ReadoutPanel *m_readout = nullptr;
    ReceiveLog *m_receiveLog = nullptr;
    CommandPanel *m_commands = nullptr;
    ChartPanel *m_chart = nullptr;
    RunTimeColumn *m_runTime = nullptr;
    StepResponsePanel *m_stepResponse = nullptr;
    StepTestPanel *m_stepTest = nullptr;
    DateClock *m_dateClock = nullptr;
};
