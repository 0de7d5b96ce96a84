#pragma once

#include "form/window_controls.h"

#include <QStringList>
#include <QWidget>

#include <memory>

class ChartPanel;
class Clock;
class ConnectionPanel;
class ConsoleSession;
class ControllerPanel;
class MSComm;
class ReceiveLog;
class RunDialogsLauncher;
class RunTimeColumn;
class StatusLine;
class StepResponsePanel;
class StepTestLauncher;
class WindowTimer;
struct CommandVerdict;

namespace Ui {
class frmMain;
}

/// The console's one window: builds the panels over the design's controls and connects the
/// session, which decides, to them, which render what it says.
class frmMain : public QWidget
{
    Q_OBJECT

public:
    /// With no records folder given, records go to the user's data folder for the application.
    frmMain(std::unique_ptr<MSComm> comPort, std::shared_ptr<const Clock> clock,
        const QString &settingsFile, const QString &defaultRecordsDir = {},
        QWidget *parent = nullptr);
    ~frmMain() override;

    /// The design's controls the form lacks; while any is missing the window stays empty and
    /// inert, and the application is not to start.
    const QStringList &missingControls() const { return m_missingControls; }

    const ConsoleSession &session() const { return *m_session; }
    /// For the harnesses: requests as the panels make them.
    ConsoleSession &session() { return *m_session; }
    QString recordsDirectory() const;

    /// The chart with its axis captions as a picture; false when it cannot be written.
    bool saveChartImage(const QString &path);
    /// The samples of the chart's view as a table: index, run time, temperature.
    bool exportChartData(const QString &path);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void createTimers();
    void createPanels();
    void connectSession();
    // Form_Load
    void loadWindow();

    void reportVerdict(const CommandVerdict &verdict);
    // cmdExit_Click, after the panel
    void closeAndQuit();

    std::unique_ptr<Ui::frmMain> m_ui;
    const std::shared_ptr<const Clock> m_clock;
    const QString m_settingsFile;
    ConsoleSession *m_session;
    WindowControls m_controls;
    QStringList m_missingControls;

    WindowTimer *m_trendTimer = nullptr; // Timer2
    WindowTimer *m_clockTimer = nullptr; // Timer3
    WindowTimer *m_runTimeTimer = nullptr; // Timer4

    StatusLine *m_status = nullptr;
    ConnectionPanel *m_connection = nullptr;
    ControllerPanel *m_controller = nullptr;
    ReceiveLog *m_receiveLog = nullptr;
    ChartPanel *m_chart = nullptr;
    RunTimeColumn *m_runTime = nullptr;
    StepResponsePanel *m_stepResponse = nullptr;
    StepTestLauncher *m_stepTest = nullptr;
    RunDialogsLauncher *m_runDialogs = nullptr;
};
