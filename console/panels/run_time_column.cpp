#include "run_time_column.h"

#include "telemetry/display_format.h"
#include "telemetry/window_state.h"
#include "window_timer.h"

#include <QLineEdit>
#include <QPushButton>

namespace {
const char *const kPauseCaption = QT_TRANSLATE_NOOP("RunTimeColumn", "暂停");
const char *const kResumeCaption = QT_TRANSLATE_NOOP("RunTimeColumn", "开始");
const QColor kPauseBack(128, 255, 255);
const QColor kResumeBack(255, 128, 255);
} // namespace

RunTimeColumn::RunTimeColumn(const RunTimeControls &controls, WindowState &state,
    WindowTimer &runTimeTimer, WindowTimer &trendTimer, QObject *parent)
    : QObject(parent)
    , m_controls(controls)
    , m_state(state)
    , m_trendTimer(trendTimer)
{
    connect(&runTimeTimer, &WindowTimer::Timer, this, &RunTimeColumn::tickRunTime);
    connect(m_controls.pauseTrend, &QPushButton::clicked, this, &RunTimeColumn::pauseOrResumeTrend);
    connect(m_controls.restartRun, &QPushButton::clicked, this, &RunTimeColumn::restartRun);
}

/// The run time counts delivered ticks, not the clock.
void RunTimeColumn::tickRunTime()
{
    if (++m_state.RunTenths == 10) {
        m_state.RunTenths = 0;
        ++m_state.RunSeconds;
    }
    m_state.RunTimeText = DisplayFormat::runTime(m_state.runTimeTenths());
    m_controls.runTime->setText(m_state.RunTimeText);
}

void RunTimeColumn::pauseOrResumeTrend()
{
    QPushButton *button = m_controls.pauseTrend;
    const bool resuming = !m_state.TrendRunning;
    m_state.TrendRunning = resuming;
    m_trendTimer.setEnabled(resuming);
    button->setText(resuming ? tr(kPauseCaption) : tr(kResumeCaption));
    QPalette palette = button->palette();
    palette.setColor(QPalette::Button, resuming ? kPauseBack : kResumeBack);
    button->setPalette(palette);
}

void RunTimeColumn::restartRun()
{
    emit runRestarted();
    m_state.RunTenths = 0;
    m_state.RunSeconds = 0;
    // The box keeps its text until the next tick, but a line before it belongs to the new run,
    // at its start as the first run's first line is.
    m_state.RunTimeText = QStringLiteral("0");
    m_state.MaxTempTenths = 0;
    m_state.Figures = {};
    m_state.ReachPending = true;
    m_state.ThisRun = {};
    m_state.StepPendingTenths.reset();
}
