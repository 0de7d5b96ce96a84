#pragma once

#include "form/window_controls.h"

#include <QObject>

class WindowTimer;
struct WindowState;

/// The run-time counter with its box, and the buttons that pause the trend and restart the run.
class RunTimeColumn : public QObject
{
    Q_OBJECT

public:
    RunTimeColumn(const RunTimeControls &controls, WindowState &state, WindowTimer &runTimeTimer,
        WindowTimer &trendTimer, QObject *parent);

    // runtimeclear_Click; a step test restarts the run the same way at the moment it is sent.
    void restartRun();

signals:
    /// The run time, the highest temperature and the figures start again from zero.
    void runRestarted();

private:
    // Timer4_Timer
    void tickRunTime();
    // stoporrun_Click
    void pauseOrResumeTrend();

    RunTimeControls m_controls;
    WindowState &m_state;
    WindowTimer &m_trendTimer;
};
