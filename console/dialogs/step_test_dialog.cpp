#include "step_test_dialog.h"

#include "tuning/step_command.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const QColor kProblemColour(192, 0, 0);
} // namespace

StepTestDialog::StepTestDialog(const CommandFields &prefill, Start start, QWidget *parent)
    : QDialog(parent)
    , m_startStep(std::move(start))
    , m_predictionNote(new QLabel(this))
    , m_predictAgain(new QPushButton(tr("从现在的温度预测"), this))
    , m_shown(new QLabel(this))
    , m_start(new QPushButton(tr("开始"), this))
{
    setWindowTitle(tr("阶跃测试"));
    auto *form = new QFormLayout;
    m_target = new QLineEdit(this);
    m_target->setObjectName(QStringLiteral("target"));
    if (prefill.setTenths)
        m_target->setText(QString::number(*prefill.setTenths / 10.0, 'f', 1));
    form->addRow(tr("目标温度/℃"), m_target);
    const auto gain = [&](const char *name, const std::optional<qint16> &value,
                          const QString &label) {
        auto *field = new QLineEdit(this);
        field->setObjectName(QString::fromLatin1(name).toLower());
        field->setPlaceholderText(tr("不发送"));
        if (value)
            field->setText(QString::number(*value));
        form->addRow(label, field);
        return field;
    };
    m_p = gain("P", prefill.p, QStringLiteral("P"));
    m_i = gain("I", prefill.i, QStringLiteral("I"));
    m_d = gain("D", prefill.d, QStringLiteral("D"));
    m_t = gain("T", prefill.t, tr("T（温度补偿）"));
    m_predictionNote->setObjectName(QStringLiteral("predictionNote"));
    m_predictionNote->setWordWrap(true);
    m_predictionNote->hide();
    m_predictAgain->setObjectName(QStringLiteral("predictAgain"));
    m_predictAgain->setAutoDefault(false);
    m_predictAgain->hide();
    m_shown->setObjectName(QStringLiteral("command"));
    m_shown->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_start->setObjectName(QStringLiteral("start"));
    m_start->setDefault(true);
    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(m_start, QDialogButtonBox::AcceptRole);
    buttons->addButton(QDialogButtonBox::Cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_predictionNote);
    layout->addWidget(m_predictAgain, 0, Qt::AlignLeft);
    layout->addWidget(m_shown);
    layout->addWidget(buttons);
    connect(m_start, &QPushButton::clicked, this, &StepTestDialog::start);
    connect(m_predictAgain, &QPushButton::clicked, this, &StepTestDialog::predictAgain);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    for (QLineEdit *field : {m_target, m_p, m_i, m_d, m_t})
        connect(field, &QLineEdit::textChanged, this, &StepTestDialog::showCommand);
    showCommand();
}

/// The fields are what the operator types: they are read to make the command.
void StepTestDialog::showCommand()
{
    const StepCommand command =
        StepCommand::fromText(m_target->text(), m_p->text(), m_i->text(), m_d->text(), m_t->text());
    m_command = command.text();
    m_start->setEnabled(command.isValid());
    if (!command.isValid())
        return showProblem(command.problem());
    QPalette palette = m_shown->palette();
    palette.setColor(QPalette::WindowText, QWidget::palette().color(QPalette::WindowText));
    m_shown->setPalette(palette);
    m_shown->setText(tr("将发送：%1").arg(m_command));
}

void StepTestDialog::showProblem(const QString &problem)
{
    QPalette palette = m_shown->palette();
    palette.setColor(QPalette::WindowText, kProblemColour);
    m_shown->setPalette(palette);
    m_shown->setText(problem);
}

/// A step that cannot start keeps the dialog open with what was typed, saying why.
void StepTestDialog::start()
{
    if (m_command.isEmpty())
        return;
    if (m_check.mismatch && !m_mismatchShown) {
        if (const std::optional<QString> mismatch = m_check.mismatch())
            return showMismatch(*mismatch);
    }
    if (const std::optional<QString> refusal = m_startStep(m_command))
        return showProblem(*refusal);
    accept();
}

void StepTestDialog::showMismatch(const QString &mismatch)
{
    m_mismatchShown = true;
    m_predictionNote->setText(mismatch);
    m_predictionNote->show();
    m_predictAgain->show();
    m_start->setText(tr("照样开始"));
}

/// The next "开始" asks again, of the new prediction.
void StepTestDialog::predictAgain()
{
    m_mismatchShown = false;
    m_predictionNote->setText(m_check.predictAgain());
    m_predictAgain->hide();
    m_start->setText(tr("开始"));
}
