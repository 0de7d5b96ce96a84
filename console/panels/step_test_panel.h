#pragma once

#include "dialogs/step_test_dialog.h"
#include "form/window_controls.h"
#include "tuning/command_fields.h"

#include <QObject>
#include <QPointer>

#include <functional>

class QPushButton;

/// "阶跃测试…" in the run-time column, above "时间清零", and on a shortcut: the step test's dialog,
/// prefilled with what the controller shows now.
class StepTestPanel : public QObject
{
    Q_OBJECT

public:
    /// The values the dialog starts from.
    using Prefill = std::function<CommandFields()>;

    StepTestPanel(const RunTimeControls &controls, Prefill prefill, StepTestDialog::Start start,
        QObject *parent);

    /// Opens the dialog afresh; one opened before goes.
    void openDialog();

private:
    void placeButton(const QPushButton &restartRun);

    Prefill m_prefill;
    StepTestDialog::Start m_start;
    QWidget *m_window;
    QPushButton *m_button;
    QPointer<StepTestDialog> m_dialog;
};
