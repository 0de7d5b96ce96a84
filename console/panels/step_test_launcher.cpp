#include "step_test_launcher.h"

#include "session/console_session.h"

#include <QKeySequence>
#include <QPushButton>
#include <QShortcut>

#include <cmath>

namespace {
const QKeySequence kShortcut(Qt::CTRL | Qt::Key_T);
// Between "暂停" and "时间清零", where the column is empty.
constexpr int kGapAboveRestart = 15;
} // namespace

StepTestLauncher::StepTestLauncher(
    const RunTimeControls &controls, ConsoleSession &session, QObject *parent)
    : QObject(parent)
    , m_session(session)
    , m_window(controls.restartRun->window())
    , m_button(new QPushButton(tr("阶跃测试…"), controls.restartRun->parentWidget()))
{
    placeButton(*controls.restartRun);
    connect(m_button, &QPushButton::clicked, this, &StepTestLauncher::openDialog);
    auto *shortcut = new QShortcut(kShortcut, m_window);
    connect(shortcut, &QShortcut::activated, this, &StepTestLauncher::openDialog);
}

/// Above "时间清零" and looking like it: the step restarts the run as that button does.
void StepTestLauncher::placeButton(const QPushButton &restartRun)
{
    m_button->setObjectName(QStringLiteral("stepTest"));
    m_button->setFont(restartRun.font());
    m_button->setPalette(restartRun.palette());
    m_button->setGeometry(
        restartRun.geometry().translated(0, -(restartRun.height() + kGapAboveRestart)));
    m_button->setToolTip(tr("发送目标温度和参数，同时时间清零（%1）")
                             .arg(kShortcut.toString(QKeySequence::NativeText)));
    m_button->show();
}

void StepTestLauncher::openDialog()
{
    m_prediction.reset();
    open(m_session.latestFields());
}

void StepTestLauncher::openPredictedStep(const AppliedPrediction &prediction)
{
    CommandFields prefill = m_session.latestFields();
    prefill.setTenths = qint16(std::lround(prediction.plan.to * 10));
    prefill.p = qint16(prediction.gains.p);
    prefill.i = qint16(prediction.gains.i);
    prefill.d = qint16(prediction.gains.d);
    m_prediction = prediction;
    open(prefill);
}

void StepTestLauncher::open(const CommandFields &prefill)
{
    delete m_dialog;
    const auto start = [this](const QString &command) -> std::optional<QString> {
        const std::optional<ConsoleSession::Refusal> refusal =
            m_session.startStepTest(command, m_prediction ? &*m_prediction : nullptr);
        return refusal ? std::optional(refusal->text) : std::nullopt;
    };
    m_dialog = new StepTestDialog(prefill, start, m_window);
    m_dialog->setObjectName(QStringLiteral("stepTestDialog"));
    if (m_prediction)
        m_dialog->setPredictionCheck(predictionCheck());
    m_dialog->open();
}

StepTestDialog::PredictionCheck StepTestLauncher::predictionCheck()
{
    const auto mismatch = [this]() -> std::optional<QString> {
        const PredictionStart start = m_session.predictionStart(*m_prediction);
        return start.holds() ? std::nullopt : std::optional(start.note());
    };
    const auto predictAgain = [this] {
        const std::optional<AppliedPrediction> again = m_session.predictedFromHere(*m_prediction);
        if (!again)
            return m_session.predictionStart(*m_prediction).note();
        m_prediction = *again;
        return PredictionStart::predictedAgain(*again);
    };
    return {mismatch, predictAgain};
}
