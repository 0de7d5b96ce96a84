#pragma once

#include "tuning/command_fields.h"

#include <QDialog>

#include <functional>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;

/// "阶跃测试": the target temperature and, when given, P, I, D and T, with the exact command they
/// make shown as they are typed. "开始" starts the step with the command; it is refused, and the
/// reason shown, while a field does not fit the controller's or the step cannot start.
class StepTestDialog : public QDialog
{
    Q_OBJECT

public:
    /// Sends the command and restarts the run; why it could not, or nothing once it did.
    using Start = std::function<std::optional<QString>(const QString &command)>;
    /// For a step prefilled from a prediction: the session's word on it at "开始", and its offer.
    struct PredictionCheck
    {
        /// Why a run started now would not be checked against the prediction; nothing when it
        /// would.
        std::function<std::optional<QString>()> mismatch;
        /// Predicts again from where the loop is; what it predicts, or why it cannot.
        std::function<QString()> predictAgain;
    };

    /// Prefilled from the values given: the set temperature with one decimal, the gains and T as
    /// numbers; a field not given is left empty, which sends nothing for it.
    StepTestDialog(const CommandFields &prefill, Start start, QWidget *parent = nullptr);

    /// The command as it stands; empty while refused.
    QString command() const { return m_command; }
    /// "开始" first asks whether the run would be checked against the prediction; when not, it
    /// says why and offers to predict again from where the loop is, and only a second "开始"
    /// starts the step as it is.
    void setPredictionCheck(PredictionCheck check) { m_check = std::move(check); }

private:
    void showCommand();
    void showProblem(const QString &problem);
    void showMismatch(const QString &mismatch);
    void start();
    void predictAgain();

    QLineEdit *m_target = nullptr;
    QLineEdit *m_p = nullptr;
    QLineEdit *m_i = nullptr;
    QLineEdit *m_d = nullptr;
    QLineEdit *m_t = nullptr;
    Start m_startStep;
    PredictionCheck m_check;
    /// The mismatch is said: the next "开始" starts the step without the prediction.
    bool m_mismatchShown = false;
    QLabel *m_predictionNote;
    QPushButton *m_predictAgain;
    QLabel *m_shown;
    QPushButton *m_start;
    QString m_command;
};
