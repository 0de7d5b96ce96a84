#include "run_dialogs_launcher.h"

#include "dialogs/runs_dialog.h"
#include "dialogs/tuning_advice_dialog.h"
#include "panels/chart_panel.h"
#include "panels/status_line.h"
#include "panels/step_test_launcher.h"
#include "records/run_recorder.h"
#include "session/console_session.h"

#include <QDesktopServices>
#include <QDir>
#include <QUrl>

RunDialogsLauncher::RunDialogsLauncher(QWidget &window, const ConsoleSession &session,
    ChartPanel &chart, StatusLine &status, StepTestLauncher &stepTest)
    : QObject(&window)
    , m_window(window)
    , m_session(session)
    , m_chart(chart)
    , m_status(status)
    , m_stepTest(stepTest)
{
}

void RunDialogsLauncher::showRunHistory()
{
    auto *dialog =
        new RunsDialog(QDir(recordsDirectory()).filePath(RunRecorder::runsFileName()), &m_window);
    dialog->setRunInProgress([session = &m_session] { return session->runInProgress(); });
    dialog->setCurrentRun(m_session.runInProgress());
    dialog->setControllerLaw(m_session.controllerLaw());
    connect(dialog, &RunsDialog::compareOnChart, &m_chart, &ChartPanel::compareRuns);
    connect(dialog, &RunsDialog::tuningAdviceRequested, this,
        [this](const QStringList &run) { showTuningAdvice(run); });
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}

void RunDialogsLauncher::showTuningAdvice(const std::optional<QStringList> &run)
{
    const std::optional<QStringList> chosen = run ? run : m_session.runInProgress();
    if (!chosen) {
        m_status.show(tr("还没有运行：连接并收到数据后才能给出整定建议"));
        return;
    }
    const ControllerLaw law = m_session.controllerLaw();
    if (const std::optional<QString> refusal = law.refusal()) {
        m_status.show(*refusal);
        return;
    }
    auto *dialog = new TuningAdviceDialog(recordsDirectory(), RunRecorder::runColumns(), *chosen,
        law, m_session.adviceStart(), &m_window);
    connect(dialog, &TuningAdviceDialog::applyRequested, this,
        [this, dialog](const AppliedPrediction &prediction) {
            dialog->close();
            m_stepTest.openPredictedStep(prediction);
        });
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}

void RunDialogsLauncher::openRecordsFolder()
{
    const QString directory = recordsDirectory();
    if (!QDir().mkpath(directory) || !QDesktopServices::openUrl(QUrl::fromLocalFile(directory)))
        m_status.show(tr("无法打开记录文件夹：%1").arg(QDir::toNativeSeparators(directory)));
}

QString RunDialogsLauncher::recordsDirectory() const
{
    return m_session.recordSettings().directory;
}
