#pragma once

#include "dialogs/step_test_dialog.h"
#include "form/window_controls.h"
#include "tuning/applied_prediction.h"

#include <QObject>
#include <QPointer>

#include <optional>

class ConsoleSession;
class QPushButton;

/// "阶跃测试…" in the run-time column, above "时间清零", and on a shortcut: the step test's dialog,
/// prefilled with what the controller shows now.
class StepTestLauncher : public QObject
{
    Q_OBJECT

public:
    StepTestLauncher(const RunTimeControls &controls, ConsoleSession &session, QObject *parent);

    /// Opens the dialog afresh; one opened before goes.
    void openDialog();
    /// "应用并阶跃测试": the dialog prefilled with the chosen gains and target, the run it starts
    /// carrying their prediction.
    void openPredictedStep(const AppliedPrediction &prediction);

private:
    void placeButton(const QPushButton &restartRun);
    void open(const CommandFields &prefill);
    /// The session's word on the prediction, and its offer to predict again, for the dialog.
    StepTestDialog::PredictionCheck predictionCheck();

    ConsoleSession &m_session;
    QWidget *m_window;
    QPushButton *m_button;
    QPointer<StepTestDialog> m_dialog;
    /// What the run the dialog starts is to be checked against; replaced when made again.
    std::optional<AppliedPrediction> m_prediction;
};
