#pragma once

#include "chart_overlay.h"
#include "tuning/controller_law.h"

#include <QDialog>
#include <QList>

#include <functional>
#include <optional>

class BackgroundReading;
class QAbstractItemModel;
class QLabel;
class QProgressBar;
class QPushButton;
class QStandardItemModel;
class QTableView;
class RunHistoryModel;

/// The run history as a table, newest run first, sortable by any column, with the run in
/// progress on top; opens a run's record file. The runs chosen are set beside the current run,
/// their figures and how the current run's differ, and can be drawn over the chart. The history
/// and the records are read in the background, so that the window never waits for them.
class RunsDialog : public QDialog
{
    Q_OBJECT

public:
    /// The run in progress as a row of runs.csv, or none.
    using RunInProgress = std::function<std::optional<QStringList>()>;
    /// The newest runs shown; a longer history says that the older ones are left out.
    static constexpr qint64 kNewestShown = 50000;

    /// runsFile is where the runs belong; where it holds someone else's table, the console's
    /// own file beside it is read.
    explicit RunsDialog(const QString &runsFile, QWidget *parent = nullptr);
    ~RunsDialog() override;

    void setRunInProgress(RunInProgress runInProgress);
    /// The law the plant model's check holds the runs to.
    void setControllerLaw(const ControllerLaw &law) { m_law = law; }
    /// The run the chosen ones are compared with, as a row of runs.csv in
    /// RunRecorder::runColumns() order; none leaves the comparison without it.
    void setCurrentRun(const std::optional<QStringList> &run);
    /// Reads the history again, with the run in progress as it stands.
    void refresh();
    /// The history or a run's record is still being read.
    bool isReading() const;

    /// The runs in the order the table shows them.
    const QAbstractItemModel &runs() const;
    /// The current run and the chosen ones, figure by figure.
    const QStandardItemModel &comparison() const { return *m_comparison; }

signals:
    /// "在曲线上对比": the chosen runs' curves, read from their records, in the table's order;
    /// those whose record could not be read are named in the dialog and left out.
    void compareOnChart(const QList<ChartOverlay> &overlays);
    /// "整定建议…", or fitting again from a run whose measured figures strayed from its
    /// prediction: the run as a row of runs.csv in RunRecorder::runColumns() order.
    void tuningAdviceRequested(const QStringList &run);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void readHistory();
    void fitColumns();
    void showPredictionColumns();
    void openRecord();
    void chosenChanged();
    void showComparison();
    void addComparedRun(const QString &name, const QStringList &run, const QString &difference);
    void drawChosenOnChart();
    void showPlantModel();
    void askTuningAdvice();
    void showVerification();
    void drawCurves(const QList<ChartOverlay> &overlays, const QStringList &notes);
    void cancelReading();
    void showReading();
    void showNotes();
    /// The chosen runs as rows of runs.csv in RunRecorder::runColumns() order, in table order.
    QList<QStringList> chosenRuns() const;

    /// Where the runs belong; the label names the file they were read from.
    const QString m_runsFile;
    QLabel *m_fileName;
    RunInProgress m_runInProgress;
    RunHistoryModel *m_runs;
    QTableView *m_table;
    QPushButton *m_open;
    QPushButton *m_compare;
    QPushButton *m_plantModel;
    QPushButton *m_tuningAdvice;
    QWidget *m_verification;
    QLabel *m_verificationText;
    ControllerLaw m_law;
    QStandardItemModel *m_comparison;
    QTableView *m_comparisonTable;
    std::optional<QStringList> m_currentRun;
    QWidget *m_reading;
    QLabel *m_readingWhat;
    QProgressBar *m_progress;
    QLabel *m_problem;
    BackgroundReading *m_history;
    BackgroundReading *m_curves;
    /// What the history's reading left out, and what the comparison could not draw.
    QStringList m_historyNotes;
    QStringList m_curveNotes;
    bool m_fitted = false;
};
