#pragma once

#include <QObject>
#include <QStringList>

#include <optional>

class ChartPanel;
class ConsoleSession;
class QWidget;
class StatusLine;
class StepTestLauncher;

/// What the operator opens over the records: the run history, whose chosen runs go to the chart,
/// the tuning advice, whose chosen gains go to the step test, and the records folder itself.
class RunDialogsLauncher : public QObject
{
    Q_OBJECT

public:
    RunDialogsLauncher(QWidget &window, const ConsoleSession &session, ChartPanel &chart,
        StatusLine &status, StepTestLauncher &stepTest);

    void showRunHistory();
    /// "整定建议…" for a run as a row of runs.csv; none for the run in progress.
    void showTuningAdvice(const std::optional<QStringList> &run);
    void openRecordsFolder();

private:
    QString recordsDirectory() const;

    QWidget &m_window;
    const ConsoleSession &m_session;
    ChartPanel &m_chart;
    StatusLine &m_status;
    StepTestLauncher &m_stepTest;
};
