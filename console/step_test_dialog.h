#pragma once

#include "command_fields.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

/// "阶跃测试": the target temperature and, when given, P, I, D and T, with the exact command they
/// make shown as they are typed. "开始" hands the command on; it is refused, and the reason
/// shown, while a field does not fit the controller's.
class StepTestDialog : public QDialog
{
    Q_OBJECT

public:
    /// Prefilled from the values given: the set temperature with one decimal, the gains and T as
    /// numbers; a field not given is left empty, which sends nothing for it.
    explicit StepTestDialog(const CommandFields &prefill, QWidget *parent = nullptr);

    /// The command as it stands; empty while refused.
    QString command() const { return m_command; }

signals:
    /// "开始" was pressed with a command that fits; the dialog closes after.
    void startRequested(const QString &command);

private:
    void showCommand();
    void start();

    QLineEdit *m_target = nullptr;
    QLineEdit *m_p = nullptr;
    QLineEdit *m_i = nullptr;
    QLineEdit *m_d = nullptr;
    QLineEdit *m_t = nullptr;
    QLabel *m_shown;
    QPushButton *m_start;
    QString m_command;
};
