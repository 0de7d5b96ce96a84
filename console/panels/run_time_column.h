#pragma once

#include "form/window_controls.h"

#include <QObject>

class ConsoleSession;
class WindowTimer;

/// The run-time counter with its box, and the buttons that pause the trend and restart the run;
/// it starts the trend and the run clock with the first line.
class RunTimeColumn : public QObject
{
    Q_OBJECT

public:
    RunTimeColumn(const RunTimeControls &controls, ConsoleSession &session,
        WindowTimer &runTimeTimer, WindowTimer &trendTimer, QObject *parent);

    /// A line arrived: the trend, unless paused, and the run clock run from now on.
    void startTimers();

private:
    // Timer4_Timer
    void tickRunTime();
    // stoporrun_Click
    void pauseOrResumeTrend();

    RunTimeControls m_controls;
    ConsoleSession &m_session;
    WindowTimer &m_runTimeTimer;
    WindowTimer &m_trendTimer;
    /// Plotting is not paused.
    bool m_trendRunning = true; // TrendRunning
};
