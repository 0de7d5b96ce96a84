#pragma once

#include "records/recorded_plant.h"
#include "report/tuning_report_content.h"
#include "tuning/advice_start.h"
#include "tuning/applied_prediction.h"
#include "tuning/tuning_advice.h"

#include <QDialog>

#include <optional>

class AdvicePlot;
class BackgroundReading;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;

/// "整定建议": the plant of a run fitted from its record, then every candidate's step predicted
/// on it under the controller's law, on a pool thread with progress and a way to stop; the
/// model in one line, the candidates' table, the chosen set's predicted curve, and the chosen
/// gains handed on to a step test.
class TuningAdviceDialog : public QDialog
{
    Q_OBJECT

public:
    /// The run as a row of runs.csv, its columns named by heading, its records in the folder.
    TuningAdviceDialog(const QString &directory, const QStringList &heading, const QStringList &run,
        const ControllerLaw &law, const AdviceStart &start, QWidget *parent = nullptr);
    ~TuningAdviceDialog() override;

    bool isWorking() const;
    const std::optional<RecordedPlant> &plant() const { return m_plant; }
    const std::optional<TuningAdvice> &advice() const { return m_advice; }
    /// The candidate chosen in the table, if any.
    const TuningAdvice::Candidate *chosen() const;
    /// "导出整定报告…" to a file chosen: the HTML report there and its PDF beside it. Why it
    /// could not be written, or nothing.
    std::optional<QString> exportReport(const QString &htmlPath);

signals:
    /// "应用并阶跃测试" with the chosen gains.
    void applyRequested(const AppliedPrediction &applied);

private:
    QWidget *stepRow();
    void setUpCandidateColumns();
    QWidget *lawWarningRow();
    void fitAndAdvise(const QString &directory, const QStringList &heading, const QStringList &run);
    void recalculate();
    void confirmLaw();
    void showPlant(RecordedPlant plant);
    void showLawCheck(const RecordedPlant &plant);
    void showStep(const AdviceStart &start);
    void showAdvice(TuningAdvice advice, const TuningAdvice::Request &request);
    void fitCandidates();
    void growToContents();
    void showChosen();
    void apply();
    void chooseReportFile();
    std::optional<TuningReportContent> reportContent() const;
    void stop();
    void showNotice(const QString &notice);
    void clearNotice();
    std::optional<TuningAdvice::Request> requestFromFields();
    /// The record disputes the law's scales and the operator has not confirmed them.
    bool lawDisputed(const RecordedPlant &plant) const;

    const ControllerLaw m_law;
    std::optional<GainSet> m_current;
    BackgroundReading *m_work;
    BackgroundReading *m_exporting;
    QWidget *m_progressRow;
    QProgressBar *m_progress;
    QLabel *m_notice;
    QLabel *m_model;
    QLabel *m_lawCheck;
    QWidget *m_lawWarning;
    QLineEdit *m_from;
    QLineEdit *m_to;
    QLineEdit *m_limit;
    QPushButton *m_recalculate;
    QTableWidget *m_candidates;
    QLabel *m_weighed;
    AdvicePlot *m_plot;
    QPushButton *m_apply;
    QPushButton *m_export;
    const QString m_directory;
    const QStringList m_heading;
    const QStringList m_run;
    std::optional<RecordedPlant> m_plant;
    std::optional<TuningAdvice> m_advice;
    std::optional<TuningAdvice::Request> m_request;
    /// The step is the run's own until the fit tells it.
    const bool m_stepFromRun;
    bool m_lawConfirmed = false;
};
