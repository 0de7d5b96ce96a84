#include "run_time_column.h"

#include "session/console_session.h"
#include "telemetry/display_format.h"
#include "window_timer.h"

#include <QLineEdit>
#include <QPushButton>

namespace {
const char *const kPauseCaption = QT_TRANSLATE_NOOP("RunTimeColumn", "暂停");
const char *const kResumeCaption = QT_TRANSLATE_NOOP("RunTimeColumn", "开始");
const QColor kPauseBack(128, 255, 255);
const QColor kResumeBack(255, 128, 255);
} // namespace

RunTimeColumn::RunTimeColumn(const RunTimeControls &controls, ConsoleSession &session,
    WindowTimer &runTimeTimer, WindowTimer &trendTimer, QObject *parent)
    : QObject(parent)
    , m_controls(controls)
    , m_session(session)
    , m_runTimeTimer(runTimeTimer)
    , m_trendTimer(trendTimer)
{
    connect(&runTimeTimer, &WindowTimer::Timer, this, &RunTimeColumn::tickRunTime);
    connect(m_controls.pauseTrend, &QPushButton::clicked, this, &RunTimeColumn::pauseOrResumeTrend);
    connect(m_controls.restartRun, &QPushButton::clicked, &session, &ConsoleSession::restartRun);
}

void RunTimeColumn::startTimers()
{
    if (m_trendRunning && !m_trendTimer.Enabled())
        m_trendTimer.setEnabled(true);
    if (m_session.run().RunClockArmed && !m_runTimeTimer.Enabled())
        m_runTimeTimer.setEnabled(true);
}

/// The run time counts delivered ticks, not the clock.
void RunTimeColumn::tickRunTime()
{
    m_session.tickRunClock();
    m_controls.runTime->setText(DisplayFormat::runClock(m_session.run().runTimeTenths()));
}

void RunTimeColumn::pauseOrResumeTrend()
{
    QPushButton *button = m_controls.pauseTrend;
    const bool resuming = !m_trendRunning;
    m_trendRunning = resuming;
    m_trendTimer.setEnabled(resuming);
    button->setText(resuming ? tr(kPauseCaption) : tr(kResumeCaption));
    QPalette palette = button->palette();
    palette.setColor(QPalette::Button, resuming ? kPauseBack : kResumeBack);
    button->setPalette(palette);
}
