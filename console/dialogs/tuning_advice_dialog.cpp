#include "tuning_advice_dialog.h"

#include "dialogs/advice_plot.h"
#include "dialogs/dialog_parts.h"
#include "records/background_reading.h"
#include "records/run_recorder.h"
#include "records/run_verification.h"
#include "report/tuning_report.h"
#include "telemetry/text_number.h"
#include "tuning/advice_step.h"
#include "tuning/plant_model_text.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {
constexpr int kLeastWidth = 900;
constexpr int kFitPermille = 400;

QLineEdit *numberField(const QString &name, double value, QWidget *parent)
{
    auto *field = new QLineEdit(QString::number(value, 'f', 1), parent);
    field->setObjectName(name);
    field->setMaximumWidth(70);
    return field;
}

QTableWidgetItem *cell(const QString &text)
{
    auto *item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}
} // namespace

TuningAdviceDialog::TuningAdviceDialog(const QString &directory, const QStringList &heading,
    const QStringList &run, const ControllerLaw &law, const AdviceStart &start, QWidget *parent)
    : QDialog(parent)
    , m_law(law)
    , m_current(start.current)
    , m_work(new BackgroundReading(this))
    , m_exporting(new BackgroundReading(this))
    , m_progressRow(new QWidget(this))
    , m_progress(new QProgressBar(m_progressRow))
    , m_notice(DialogParts::wrappedLabel(QStringLiteral("notice"), this))
    , m_model(DialogParts::wrappedLabel(QStringLiteral("model"), this))
    , m_lawCheck(DialogParts::wrappedLabel(QStringLiteral("lawCheck"), this))
    , m_lawWarning(lawWarningRow())
    , m_from(numberField(QStringLiteral("stepFrom"), start.from, this))
    , m_to(numberField(QStringLiteral("stepTo"), start.to, this))
    , m_limit(
          numberField(QStringLiteral("overshootLimit"), TuningAdvice::kDefaultOvershootLimit, this))
    , m_recalculate(new QPushButton(tr("重新计算"), this))
    , m_candidates(new QTableWidget(this))
    , m_weighed(DialogParts::wrappedLabel(QStringLiteral("weighed"), this))
    , m_plot(new AdvicePlot(this))
    , m_apply(new QPushButton(tr("应用并阶跃测试"), this))
    , m_export(new QPushButton(tr("导出整定报告…"), this))
    , m_directory(directory)
    , m_heading(heading)
    , m_run(run)
    , m_stepFromRun(start.fromRun)
{
    setObjectName(QStringLiteral("tuningAdviceDialog"));
    setWindowTitle(tr("整定建议"));
    setMinimumWidth(kLeastWidth);
    clearNotice();
    m_progress->setRange(0, 1000);
    m_progress->setTextVisible(false);
    auto *cancel = new QPushButton(tr("取消"), m_progressRow);
    cancel->setObjectName(QStringLiteral("cancelAdvice"));
    auto *progressLayout = new QHBoxLayout(m_progressRow);
    progressLayout->setContentsMargins(0, 0, 0, 0);
    progressLayout->addWidget(new QLabel(tr("正在拟合并预测各组增益…"), m_progressRow));
    progressLayout->addWidget(m_progress, 1);
    progressLayout->addWidget(cancel);
    m_candidates->setObjectName(QStringLiteral("candidates"));
    m_candidates->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_candidates->setSelectionMode(QAbstractItemView::SingleSelection);
    m_candidates->verticalHeader()->hide();
    m_candidates->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setUpCandidateColumns();
    m_candidates->hide();
    m_plot->setObjectName(QStringLiteral("advicePlot"));
    m_plot->hide();
    m_recalculate->setObjectName(QStringLiteral("recalculate"));
    m_apply->setObjectName(QStringLiteral("apply"));
    m_apply->setEnabled(false);
    m_export->setObjectName(QStringLiteral("exportReport"));
    m_export->setEnabled(false);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(tr("关闭"));
    buttons->addButton(m_export, QDialogButtonBox::ActionRole);
    buttons->addButton(m_apply, QDialogButtonBox::ActionRole);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(
        new QLabel(tr("运行开始于 %1").arg(DialogParts::runStart(heading, run)), this));
    layout->addWidget(m_progressRow);
    layout->addWidget(m_notice);
    layout->addWidget(m_model);
    layout->addWidget(m_lawCheck);
    layout->addWidget(stepRow());
    layout->addWidget(m_lawWarning);
    layout->addWidget(m_candidates);
    layout->addWidget(m_weighed);
    layout->addWidget(m_plot, 1);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(cancel, &QPushButton::clicked, this, &TuningAdviceDialog::stop);
    connect(m_recalculate, &QPushButton::clicked, this, &TuningAdviceDialog::recalculate);
    connect(m_apply, &QPushButton::clicked, this, &TuningAdviceDialog::apply);
    connect(m_export, &QPushButton::clicked, this, &TuningAdviceDialog::chooseReportFile);
    connect(
        m_candidates, &QTableWidget::itemSelectionChanged, this, &TuningAdviceDialog::showChosen);
    connect(m_work, &BackgroundReading::progressed, m_progress, &QProgressBar::setValue);
    fitAndAdvise(directory, heading, run);
}

/// Work still under way is dropped: it never outlives the dialog it works for.
TuningAdviceDialog::~TuningAdviceDialog()
{
    delete m_work;
    delete m_exporting;
}

/// Above the table, while the record disputes the law: why nothing is recommended, and the way
/// to go on with the scales as they are.
QWidget *TuningAdviceDialog::lawWarningRow()
{
    auto *row = new QWidget(this);
    row->setObjectName(QStringLiteral("lawWarning"));
    auto *rowLayout = new QHBoxLayout(row);
    rowLayout->setContentsMargins(0, 0, 0, 0);
    auto *warning =
        new QLabel(tr("记录与设置文件 [TUNING] 中的 P、I 刻度不符：按这些刻度算出的预测"
                      "不可信，不作推荐。请先设好刻度；若确认现有的刻度无误，可按它们推荐。"),
            row);
    warning->setWordWrap(true);
    warning->setStyleSheet(QStringLiteral("color: #b00000;"));
    auto *confirm = new QPushButton(tr("确认刻度并推荐"), row);
    confirm->setObjectName(QStringLiteral("confirmLaw"));
    rowLayout->addWidget(warning, 1);
    rowLayout->addWidget(confirm);
    connect(confirm, &QPushButton::clicked, this, &TuningAdviceDialog::confirmLaw);
    row->hide();
    return row;
}

/// The figures a screen of 1024 pixels has room for, each heading on two lines; the rest are in
/// each row's tooltip, the report and termiva-tune.
void TuningAdviceDialog::setUpCandidateColumns()
{
    QStringList headings = QStringList{tr("候选")} + TuningAdvice::headings();
    for (QString &heading : headings) {
        const qsizetype space = heading.indexOf(u' ');
        if (space > 0)
            heading[space] = u'\n';
    }
    m_candidates->setColumnCount(int(headings.size()));
    m_candidates->setHorizontalHeaderLabels(headings);
    const std::vector<bool> essential = TuningAdvice::essentialColumns();
    for (std::size_t column = 0; column < essential.size(); ++column)
        m_candidates->setColumnHidden(int(column) + 1, !essential[column]);
}

QWidget *TuningAdviceDialog::stepRow()
{
    auto *row = new QWidget(this);
    auto *rowLayout = new QHBoxLayout(row);
    rowLayout->setContentsMargins(0, 0, 0, 0);
    rowLayout->addWidget(new QLabel(tr("阶跃：从"), row));
    rowLayout->addWidget(m_from);
    rowLayout->addWidget(new QLabel(tr("℃ 到"), row));
    rowLayout->addWidget(m_to);
    rowLayout->addWidget(new QLabel(tr("℃，推荐的超调不超过"), row));
    rowLayout->addWidget(m_limit);
    rowLayout->addWidget(new QLabel(tr("℃"), row));
    rowLayout->addWidget(m_recalculate);
    rowLayout->addStretch(1);
    if (m_stepFromRun) {
        for (QLineEdit *field : {m_from, m_to}) {
            field->clear();
            field->setPlaceholderText(tr("按运行"));
        }
    }
    return row;
}

bool TuningAdviceDialog::isWorking() const
{
    return m_work->isReading();
}

const TuningAdvice::Candidate *TuningAdviceDialog::chosen() const
{
    const QList<QTableWidgetItem *> selected = m_candidates->selectedItems();
    if (!m_advice || selected.isEmpty())
        return nullptr;
    const int row = selected.front()->row();
    return row < int(m_advice->candidates.size()) ? &m_advice->candidates[std::size_t(row)]
                                                  : nullptr;
}

/// The fields as typed: they are the operator's own, read only to ask for the step they say.
std::optional<TuningAdvice::Request> TuningAdviceDialog::requestFromFields()
{
    const AdviceStep step = AdviceStep::fromText(m_from->text(), m_to->text(), m_limit->text());
    if (!step.isValid()) {
        showNotice(step.problem());
        return std::nullopt;
    }
    TuningAdvice::Request request;
    request.law = m_law;
    request.current = m_current;
    request.plan.from = step.from();
    request.plan.to = step.to();
    request.plan.restingGains = m_current;
    request.overshootLimit = step.overshootLimit();
    request.lawDisputed = m_plant && lawDisputed(*m_plant);
    return request;
}

bool TuningAdviceDialog::lawDisputed(const RecordedPlant &plant) const
{
    return plant.lawCheck && plant.lawCheck->disagrees() && !m_lawConfirmed;
}

void TuningAdviceDialog::fitAndAdvise(
    const QString &directory, const QStringList &heading, const QStringList &run)
{
    // The step is the operator's, or the run's own once its lines are read.
    const std::optional<TuningAdvice::Request> request =
        m_stepFromRun ? std::optional(TuningAdvice::Request()) : requestFromFields();
    const std::optional<double> setPoint =
        TextNumber::toDouble(run.value(heading.indexOf(QLatin1String("set_c"))));
    m_recalculate->setEnabled(false);
    m_work->start([this, directory, heading, run, law = m_law, request, setPoint,
                      fromRun = m_stepFromRun](const ReadProgress &progress,
                      const BackgroundReading::HandOverPart &) -> BackgroundReading::Handover {
        RecordedPlant plant =
            RecordedPlant::ofRun(directory, heading, run, law, progress.stage(0, kFitPermille));
        if (plant.cancelled)
            return {};
        std::optional<AdviceStart> start = fromRun ? plant.stepOfRun(setPoint) : std::nullopt;
        std::optional<TuningAdvice> advice;
        TuningAdvice::Request asked = request.value_or(TuningAdvice::Request());
        asked.law = law;
        if (start) {
            asked.plan.from = start->from;
            asked.plan.to = start->to;
            asked.current = asked.plan.restingGains = start->current;
        }
        asked.lawDisputed = plant.lawCheck && plant.lawCheck->disagrees();
        if (plant.model && request && (!fromRun || start)) {
            asked.model = *plant.model;
            const ReadProgress stage = progress.stage(kFitPermille, 1000);
            advice = TuningAdvice::of(asked, [&stage](int permille) {
                stage.reached(permille, 1000);
                return !stage.isCancelled();
            });
            if (advice->cancelled)
                return {};
        }
        return [this, plant = std::move(plant), advice = std::move(advice), asked, start,
                   fromRun]() mutable {
            if (start)
                showStep(*start);
            else if (fromRun && plant.model)
                showNotice(tr("这次运行没有可作阶跃起点的温度，请填写阶跃后按“重新计算”"));
            showPlant(std::move(plant));
            if (advice)
                showAdvice(std::move(*advice), asked);
        };
    });
}

/// The fields take the step the run made; they stay the operator's to change.
void TuningAdviceDialog::showStep(const AdviceStart &start)
{
    m_from->setText(QString::number(start.from, 'f', 1));
    m_to->setText(QString::number(start.to, 'f', 1));
    m_current = start.current;
}

void TuningAdviceDialog::confirmLaw()
{
    m_lawConfirmed = true;
    m_lawWarning->hide();
    recalculate();
}

void TuningAdviceDialog::recalculate()
{
    if (!m_plant || !m_plant->model)
        return;
    std::optional<TuningAdvice::Request> request = requestFromFields();
    if (!request)
        return;
    request->model = *m_plant->model;
    clearNotice();
    m_progressRow->show();
    m_recalculate->setEnabled(false);
    m_apply->setEnabled(false);
    m_work->start([this, asked = *request](const ReadProgress &progress,
                      const BackgroundReading::HandOverPart &) -> BackgroundReading::Handover {
        TuningAdvice advice = TuningAdvice::of(asked, [&progress](int permille) {
            progress.reached(permille, 1000);
            return !progress.isCancelled();
        });
        if (advice.cancelled)
            return {};
        return [this, advice = std::move(advice), asked]() mutable {
            showAdvice(std::move(advice), asked);
        };
    });
}

void TuningAdviceDialog::showPlant(RecordedPlant plant)
{
    m_progressRow->hide();
    showLawCheck(plant);
    if (plant.model) {
        const QString loose = PlantModelText::looseness(*plant.model);
        m_model->setText(tr("模型：%1").arg(PlantModelText::oneLine(*plant.model))
            + (loose.isEmpty() ? QString() : u'\n' + loose));
        m_model->show();
        m_recalculate->setEnabled(true);
    } else {
        showNotice(tr("无法拟合，没有建议：%1").arg(plant.refusal));
    }
    m_plant = std::move(plant);
}

void TuningAdviceDialog::showLawCheck(const RecordedPlant &plant)
{
    if (!plant.lawCheck)
        return;
    m_lawCheck->setText(tr("控制规律：%1").arg(plant.lawCheck->summary(m_law)));
    m_lawCheck->show();
    m_lawWarning->setVisible(lawDisputed(plant));
}

void TuningAdviceDialog::showAdvice(TuningAdvice advice, const TuningAdvice::Request &request)
{
    m_progressRow->hide();
    m_recalculate->setEnabled(true);
    m_candidates->setRowCount(int(advice.candidates.size()));
    std::vector<std::vector<QPointF>> curves;
    int recommended = -1;
    for (int row = 0; row < int(advice.candidates.size()); ++row) {
        const TuningAdvice::Candidate &candidate = advice.candidates[std::size_t(row)];
        auto *name = new QTableWidgetItem(TuningAdvice::nameOf(candidate.kind));
        name->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
        m_candidates->setItem(row, 0, name);
        const QStringList values = TuningAdvice::cells(candidate);
        QStringList every;
        const QStringList headings = TuningAdvice::headings();
        for (int column = 0; column < values.size(); ++column) {
            m_candidates->setItem(row, column + 1, cell(values[column]));
            every << tr("%1：%2").arg(headings.value(column), values[column]);
        }
        name->setToolTip(every.join(u'\n'));
        std::vector<QPointF> curve;
        for (const PlantSample &line : candidate.prediction.lines)
            curve.emplace_back(line.milliseconds / 1000.0, line.temperature);
        curves.push_back(std::move(curve));
        if (candidate.kind == TuningAdvice::Kind::Recommended)
            recommended = row;
    }
    m_candidates->show();
    m_weighed->setText(advice.weighed);
    m_weighed->show();
    m_plot->setCurves(std::move(curves), request.plan.from, request.plan.to);
    m_plot->show();
    m_advice = std::move(advice);
    m_request = request;
    m_candidates->selectRow(recommended >= 0 ? recommended : 0);
    // The same row chosen again tells no change.
    showChosen();
    fitCandidates();
    // Laid out before the next paint, not after it: the first picture is the right one.
    layout()->activate();
    growToContents();
    DialogParts::keepOnScreen(*this);
}

/// Tall enough for its wrapped texts at its width, as far as the screen allows (adjustSize would
/// stop at two thirds of it, and the rows would be drawn over the texts below them).
void TuningAdviceDialog::growToContents()
{
    const int width = std::max(minimumWidth(), this->width());
    int height = layout()->totalHeightForWidth(width);
    if (screen()) {
        const int frame = frameGeometry().height() - geometry().height();
        height = std::min(height, screen()->availableGeometry().height() - frame);
    }
    resize(width, std::max(height, minimumHeight()));
}

/// Every candidate and every figure in view at once, as far as the screen allows.
void TuningAdviceDialog::fitCandidates()
{
    m_candidates->resizeColumnsToContents();
    const int frame = 2 * m_candidates->frameWidth();
    // Room for a scroll bar too, should the screen be narrower than the figures: it never
    // covers a row.
    const int scrollBar = m_candidates->horizontalScrollBar()->sizeHint().height();
    m_candidates->setFixedHeight(m_candidates->horizontalHeader()->sizeHint().height()
        + m_candidates->verticalHeader()->length() + frame + scrollBar);
    const QMargins margins = layout()->contentsMargins();
    const int wanted =
        m_candidates->horizontalHeader()->length() + frame + margins.left() + margins.right();
    const int widest = screen() ? screen()->availableGeometry().width() : wanted;
    setMinimumWidth(std::clamp(wanted, kLeastWidth, std::max(kLeastWidth, widest)));
}

void TuningAdviceDialog::showChosen()
{
    const TuningAdvice::Candidate *candidate = chosen();
    m_plot->setChosen(candidate ? int(candidate - m_advice->candidates.data()) : -1);
    // The advice shown stands for the step it was asked for until new advice replaces it.
    m_apply->setEnabled(candidate != nullptr);
    m_export->setEnabled(m_advice.has_value());
}

/// The report is drawn and written on a pool thread: a PDF of pictures takes a fifth of a second.
void TuningAdviceDialog::chooseReportFile()
{
    QString path = QFileDialog::getSaveFileName(this, tr("导出整定报告"),
        QDir(m_directory).filePath(QStringLiteral("tuning-report.html")), tr("网页 (*.html)"));
    // A name typed bare is the web page the filter offers.
    if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".html");
    const std::optional<TuningReportContent> content = reportContent();
    if (path.isEmpty() || !content)
        return;
    m_export->setEnabled(false);
    m_exporting->start([this, path, content = *content](const ReadProgress &,
                           const BackgroundReading::HandOverPart &) -> BackgroundReading::Handover {
        const std::optional<QString> problem = TuningReport::writeBoth(path, content);
        return [this, path, problem] {
            m_export->setEnabled(true);
            showNotice(problem.value_or(
                tr("已导出 %1 和 %2")
                    .arg(QDir::toNativeSeparators(path),
                        QDir::toNativeSeparators(TuningReport::pdfPathFor(path)))));
        };
    });
}

std::optional<QString> TuningAdviceDialog::exportReport(const QString &htmlPath)
{
    const std::optional<TuningReportContent> content = reportContent();
    if (!content)
        return tr("还没有可以导出的建议");
    return TuningReport::writeBoth(htmlPath, *content);
}

std::optional<TuningReportContent> TuningAdviceDialog::reportContent() const
{
    if (!m_plant || !m_advice || !m_request)
        return std::nullopt;
    TuningReportContent content;
    content.recordFiles = m_run.value(m_heading.indexOf(QLatin1String("record")))
                              .split(RunRecorder::recordSeparator(), Qt::SkipEmptyParts);
    content.plant = *m_plant;
    content.law = m_law;
    content.plan = LoopPrediction::completed(m_request->plan, m_request->model);
    content.overshootLimit = m_request->overshootLimit;
    content.advice = *m_advice;
    if (const TuningAdvice::Candidate *candidate = chosen())
        content.chosen = std::size_t(candidate - m_advice->candidates.data());
    content.verification = RunVerification::fromRow(m_heading, m_run);
    return content;
}

void TuningAdviceDialog::apply()
{
    const TuningAdvice::Candidate *candidate = chosen();
    if (!candidate || !m_request)
        return;
    AppliedPrediction applied{m_request->model, candidate->gains,
        LoopPrediction::completed(m_request->plan, m_request->model), candidate->prediction, {}};
    if (m_plant && m_plant->lawCheck)
        applied.lawAgreed = m_plant->lawCheck->agreed();
    emit applyRequested(applied);
}

void TuningAdviceDialog::stop()
{
    m_work->cancel();
    m_progressRow->hide();
    m_recalculate->setEnabled(m_plant && m_plant->model);
    showNotice(tr("已停止"));
}

/// A refusal takes a line laid out for it from the start: nothing below moves when one is said.
void TuningAdviceDialog::clearNotice()
{
    // A full-width space: the line is as tall as a line of the notices it waits for.
    m_notice->setText(QStringLiteral("\u3000"));
    m_notice->show();
}

void TuningAdviceDialog::showNotice(const QString &notice)
{
    m_notice->setText(notice);
}
