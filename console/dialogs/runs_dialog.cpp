#include "runs_dialog.h"

#include "dialogs/dialog_parts.h"
#include "dialogs/plant_model_dialog.h"
#include "dialogs/run_history_model.h"
#include "dialogs/run_overlay.h"
#include "records/background_reading.h"
#include "records/csv_format.h"
#include "records/run_curve.h"
#include "records/run_figures.h"
#include "records/run_recorder.h"
#include "records/run_verification.h"
#include "records/runs_file_tail.h"

#include <QDateTime>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QTableView>
#include <QUrl>
#include <QVBoxLayout>

#include <utility>

namespace {
constexpr int kDefaultHeight = 560;
// The runs' columns the comparison shows, between the run's name and the differences.
constexpr const char *kComparedColumns[] = {
    "set_c", "p", "i", "d", "rise_s", "overshoot_pct", "peak_s", "settling_s"};
// The newest runs come to the table at once, the older ones in larger parts.
constexpr std::size_t kFirstPart = 500;
constexpr std::size_t kLaterPart = 10000;

/// A cell of the comparison: a figure as a number.
QStandardItem *cell(const QString &text, bool number)
{
    auto *item = new QStandardItem;
    item->setEditable(false);
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (number && ok)
        item->setData(value, Qt::DisplayRole);
    else
        item->setText(text);
    return item;
}

/// Where runs.csv holds someone else's table: said, and where the console's own runs are.
QStringList foreignNotes(const RunsFileTail::Located &located)
{
    if (located.foreign.isEmpty())
        return {};
    QStringList names;
    for (const QString &foreign : located.foreign)
        names.append(QDir::toNativeSeparators(foreign));
    if (QFileInfo::exists(located.path))
        return {RunsDialog::tr("%1 不是运行记录，本程序的运行记录在 %2")
                    .arg(names.join(QStringLiteral("、")), QDir::toNativeSeparators(located.path))};
    QStringList notes;
    for (const QString &foreign : located.foreign)
        notes.append(RunsFileTail(foreign).problem());
    return notes;
}

/// The newest runs of the console's runs file, read on a pool thread and handed over in parts,
/// with the file they came from and what was left out of them.
BackgroundReading::Handover readRuns(const QString &path, const ReadProgress &progress,
    const BackgroundReading::HandOverPart &handOver,
    const std::function<void(std::vector<HistoryRun>)> &add,
    const std::function<void(QString, QStringList)> &finish)
{
    const RunsFileTail::Located located = RunsFileTail::locate(path);
    RunsFileTail tail(located.path);
    std::vector<HistoryRun> part;
    std::size_t partSize = kFirstPart;
    const RunsFileTail::Outcome outcome =
        tail.readBack(RunsDialog::kNewestShown, progress, [&](QByteArrayView row) {
            part.push_back(HistoryRun::fromRow(
                tail.heading(), CsvFormat::parse(QString::fromUtf8(row)).value(0)));
            if (part.size() >= partSize) {
                handOver([add, runs = std::exchange(part, {})]() mutable { add(std::move(runs)); });
                partSize = kLaterPart;
            }
            return true;
        });
    QStringList notes = foreignNotes(located) + QStringList{tail.problem(), outcome.problem};
    if (outcome.more)
        notes.append(RunsDialog::tr("只列出了最新的 %L1 次运行，更早的运行仍在 %2 中")
                         .arg(RunsDialog::kNewestShown)
                         .arg(QDir::toNativeSeparators(located.path)));
    if (outcome.cut)
        notes.append(RunsDialog::tr("运行记录的最后一行不完整，已舍去"));
    if (outcome.overlong > 0)
        notes.append(RunsDialog::tr("运行记录中有 %1 行过长，未读取").arg(outcome.overlong));
    notes.removeAll(QString());
    return [add, finish, runs = std::move(part), read = located.path, notes]() mutable {
        add(std::move(runs));
        finish(read, notes);
    };
}

/// The chosen runs' curves from their records, read on a pool thread; the runs whose record is
/// gone or unreadable are named, and the others are drawn all the same.
BackgroundReading::Handover readCurves(const QString &directory, const QList<QStringList> &runs,
    const ReadProgress &progress, const std::function<void(QList<ChartOverlay>, QStringList)> &draw)
{
    const QStringList &columns = RunRecorder::runColumns();
    qint64 total = 0;
    for (const QStringList &run : runs)
        total += RunCurve::recordBytes(directory, columns, run);
    QList<ChartOverlay> overlays;
    QStringList notes;
    qint64 before = 0;
    for (const QStringList &run : runs) {
        const qint64 bytes = RunCurve::recordBytes(directory, columns, run);
        const RunCurve curve =
            RunCurve::read(directory, columns, run, progress.part(before, total));
        if (curve.isCancelled())
            return {};
        if (curve.isValid())
            overlays.append(RunOverlay::fromCurve(curve, run));
        else
            notes.append(curve.problem());
        notes += curve.notes();
        before += bytes;
    }
    return [draw, overlays, notes] { draw(overlays, notes); };
}
} // namespace

RunsDialog::RunsDialog(const QString &runsFile, QWidget *parent)
    : QDialog(parent)
    , m_runsFile(runsFile)
    , m_fileName(new QLabel(QFileInfo(runsFile).absoluteFilePath(), this))
    , m_runs(new RunHistoryModel(this))
    , m_table(new QTableView(this))
    , m_open(new QPushButton(tr("打开记录"), this))
    , m_compare(new QPushButton(tr("在曲线上对比"), this))
    , m_plantModel(new QPushButton(tr("过程模型"), this))
    , m_tuningAdvice(new QPushButton(tr("整定建议…"), this))
    , m_verification(new QWidget(this))
    , m_verificationText(new QLabel(m_verification))
    , m_comparison(new QStandardItemModel(this))
    , m_comparisonTable(new QTableView(this))
    , m_reading(new QWidget(this))
    , m_readingWhat(new QLabel(m_reading))
    , m_progress(new QProgressBar(m_reading))
    , m_problem(new QLabel(this))
    , m_history(new BackgroundReading(this))
    , m_curves(new BackgroundReading(this))
{
    setWindowTitle(tr("运行记录"));
    m_open->setObjectName(QStringLiteral("openRecord"));
    m_problem->setObjectName(QStringLiteral("problem"));
    m_problem->setWordWrap(true);
    m_problem->hide();
    auto *buttons = new QDialogButtonBox(this);
    QPushButton *reload = buttons->addButton(tr("刷新"), QDialogButtonBox::ActionRole);
    reload->setObjectName(QStringLiteral("refresh"));
    buttons->addButton(m_open, QDialogButtonBox::ActionRole);
    m_compare->setObjectName(QStringLiteral("compareOnChart"));
    buttons->addButton(m_compare, QDialogButtonBox::ActionRole);
    m_plantModel->setObjectName(QStringLiteral("plantModel"));
    buttons->addButton(m_plantModel, QDialogButtonBox::ActionRole);
    m_tuningAdvice->setObjectName(QStringLiteral("tuningAdvice"));
    buttons->addButton(m_tuningAdvice, QDialogButtonBox::ActionRole);
    m_verification->setObjectName(QStringLiteral("verification"));
    m_verificationText->setWordWrap(true);
    m_verificationText->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto *refit = new QPushButton(tr("从这次运行重新拟合…"), m_verification);
    refit->setObjectName(QStringLiteral("refit"));
    auto *verificationLayout = new QHBoxLayout(m_verification);
    verificationLayout->setContentsMargins(0, 0, 0, 0);
    verificationLayout->addWidget(m_verificationText, 1);
    verificationLayout->addWidget(refit);
    m_verification->hide();
    buttons->addButton(tr("关闭"), QDialogButtonBox::RejectRole)
        ->setObjectName(QStringLiteral("close"));
    m_reading->setObjectName(QStringLiteral("reading"));
    m_progress->setRange(0, 1000);
    m_progress->setTextVisible(false);
    auto *cancel = new QPushButton(tr("取消"), m_reading);
    cancel->setObjectName(QStringLiteral("cancelReading"));
    auto *readingLayout = new QHBoxLayout(m_reading);
    readingLayout->setContentsMargins(0, 0, 0, 0);
    readingLayout->addWidget(m_readingWhat);
    readingLayout->addWidget(m_progress, 1);
    readingLayout->addWidget(cancel);
    m_reading->hide();
    auto *layout = new QVBoxLayout(this);
    m_fileName->setObjectName(QStringLiteral("runsFile"));
    layout->addWidget(m_fileName);
    layout->addWidget(m_table, 3);
    layout->addWidget(m_comparisonTable, 1);
    layout->addWidget(m_verification);
    layout->addWidget(m_reading);
    layout->addWidget(m_problem);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(reload, &QPushButton::clicked, this, &RunsDialog::refresh);
    connect(m_open, &QPushButton::clicked, this, &RunsDialog::openRecord);
    connect(m_compare, &QPushButton::clicked, this, &RunsDialog::drawChosenOnChart);
    connect(m_plantModel, &QPushButton::clicked, this, &RunsDialog::showPlantModel);
    connect(m_tuningAdvice, &QPushButton::clicked, this, &RunsDialog::askTuningAdvice);
    connect(refit, &QPushButton::clicked, this, &RunsDialog::askTuningAdvice);
    connect(cancel, &QPushButton::clicked, this, &RunsDialog::cancelReading);
    for (BackgroundReading *reading : {m_history, m_curves}) {
        connect(reading, &BackgroundReading::progressed, this, [this, reading](int permille) {
            if (reading == m_curves || !m_curves->isReading())
                m_progress->setValue(permille);
        });
        connect(reading, &BackgroundReading::finished, this, &RunsDialog::showReading);
    }
    m_table->setObjectName(QStringLiteral("runs"));
    m_table->setModel(m_runs);
    showPredictionColumns();
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    m_table->setSortingEnabled(true);
    m_table->sortByColumn(RunHistoryModel::kStartColumn, Qt::DescendingOrder);
    connect(m_table->selectionModel(), &QItemSelectionModel::selectionChanged, this,
        &RunsDialog::chosenChanged);
    QStringList compared{tr("运行")};
    for (const char *key : kComparedColumns)
        compared.append(m_runs
                            ->headerData(int(RunRecorder::runColumns().indexOf(QLatin1String(key))),
                                Qt::Horizontal)
                            .toString());
    compared.append(tr("当前运行比它"));
    m_comparison->setHorizontalHeaderLabels(compared);
    m_comparisonTable->setObjectName(QStringLiteral("comparison"));
    m_comparisonTable->setModel(m_comparison);
    m_comparisonTable->verticalHeader()->hide();
    m_comparisonTable->setSelectionMode(QAbstractItemView::NoSelection);
    m_comparisonTable->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_comparisonTable->horizontalHeader()->setStretchLastSection(true);
    refresh();
}

/// Reading still under way is dropped: it never outlives the dialog it reads for.
RunsDialog::~RunsDialog()
{
    delete m_history;
    delete m_curves;
}

void RunsDialog::setRunInProgress(RunInProgress runInProgress)
{
    m_runInProgress = std::move(runInProgress);
    m_runs->setRunInProgress(m_runInProgress ? m_runInProgress() : std::nullopt);
    chosenChanged();
}

void RunsDialog::setCurrentRun(const std::optional<QStringList> &run)
{
    m_currentRun = run;
    showComparison();
}

void RunsDialog::refresh()
{
    m_runs->clear();
    m_runs->setRunInProgress(m_runInProgress ? m_runInProgress() : std::nullopt);
    readHistory();
    chosenChanged();
}

bool RunsDialog::isReading() const
{
    return m_history->isReading() || m_curves->isReading();
}

const QAbstractItemModel &RunsDialog::runs() const
{
    return *m_runs;
}

/// Columns are found by their heading, so a history written with fewer columns still loads.
void RunsDialog::readHistory()
{
    m_historyNotes.clear();
    const auto add = [this](std::vector<HistoryRun> runs) {
        const bool first = m_runs->rowCount() <= 1;
        m_runs->addRuns(std::move(runs));
        showPredictionColumns();
        // The dialog opens wide enough for the newest runs, which may come after it is shown.
        if (first && isVisible())
            fitColumns();
    };
    const auto finish = [this](const QString &read, const QStringList &notes) {
        m_fileName->setText(QFileInfo(read).absoluteFilePath());
        m_historyNotes = notes;
        showNotes();
    };
    m_history->start([path = m_runsFile, add, finish](const ReadProgress &progress,
                         const BackgroundReading::HandOverPart &handOver) {
        return readRuns(path, progress, handOver, add, finish);
    });
    showReading();
    showNotes();
}

/// The dialog opens wide enough for every column of what it first shows.
void RunsDialog::showEvent(QShowEvent *event)
{
    if (!std::exchange(m_fitted, true))
        fitColumns();
    QDialog::showEvent(event);
}

/// A history with no run started from predicted gains keeps to the columns every run has.
void RunsDialog::showPredictionColumns()
{
    const bool shown = m_runs->hasPredictions();
    for (int column = RunHistoryModel::kFirstPredictionColumn; column < HistoryRun::kColumns;
         ++column)
        m_table->setColumnHidden(
            column, !shown || column >= RunHistoryModel::kFirstVerdictFactColumn);
}

void RunsDialog::fitColumns()
{
    QHeaderView *header = m_table->horizontalHeader();
    header->resizeSections(QHeaderView::ResizeToContents);
    const QMargins margins = layout()->contentsMargins();
    const int width = header->length() + 2 * m_table->frameWidth()
        + m_table->verticalScrollBar()->sizeHint().width() + margins.left() + margins.right();
    // Never wider than the screen, where its buttons would be out of reach.
    const int widest = screen() ? screen()->availableGeometry().width() : width;
    resize(std::min(std::max(width, this->width()), widest), std::max(kDefaultHeight, height()));
    DialogParts::keepOnScreen(*this);
}

/// A run's first record file, if it is a regular file in the records folder; the dialog says
/// why not, or when the system has nothing to open it with.
void RunsDialog::openRecord()
{
    const QModelIndexList chosen =
        m_table->selectionModel()->selectedRows(RunHistoryModel::kRecordColumn);
    if (chosen.isEmpty())
        return;
    const QString name =
        chosen.front().data().toString().section(RunRecorder::recordSeparator(), 0, 0);
    const QDir directory = QFileInfo(m_runsFile).dir();
    const std::optional<QString> path = RunRecorder::recordPath(directory.path(), name);
    const QString shown = QDir::toNativeSeparators(path.value_or(directory.filePath(name)));
    const QFileInfo file(path.value_or(QString()));
    if (!name.isEmpty() && !path)
        m_problem->setText(tr("记录文件名不是记录文件夹中的文件，未打开：%1").arg(name));
    else if (!path || !file.exists())
        m_problem->setText(tr("找不到这次运行的记录文件：%1").arg(shown));
    else if (!file.isFile())
        m_problem->setText(tr("无法打开记录：%1 不是普通文件").arg(shown));
    else if (!QDesktopServices::openUrl(QUrl::fromLocalFile(*path)))
        m_problem->setText(tr("无法打开记录：%1").arg(shown));
    else
        return;
    m_problem->show();
}

void RunsDialog::chosenChanged()
{
    const bool chosen = m_table->selectionModel()->hasSelection();
    m_open->setEnabled(chosen);
    const bool one = m_table->selectionModel()->selectedRows().size() == 1;
    m_plantModel->setEnabled(one);
    m_tuningAdvice->setEnabled(one);
    m_compare->setEnabled(chosen && !m_curves->isReading());
    showComparison();
    showVerification();
}

void RunsDialog::askTuningAdvice()
{
    const QList<QStringList> chosen = chosenRuns();
    if (chosen.size() == 1)
        emit tuningAdviceRequested(chosen.front());
}

/// A run started with predicted gains: its predicted and measured figures side by side, and,
/// where they stray past what the model answers for, the offer to fit it again from this run.
void RunsDialog::showVerification()
{
    const QList<QStringList> chosen = chosenRuns();
    const std::optional<RunVerification> verification = chosen.size() == 1
        ? RunVerification::fromRow(RunRecorder::runColumns(), chosen.front())
        : std::nullopt;
    m_verification->setVisible(verification.has_value());
    if (!verification)
        return;
    const auto figure = [](const std::optional<double> &value, int places) {
        return value ? QString::number(*value, 'f', places) : QStringLiteral("—");
    };
    const QString measuredSettling =
        verification->neverSettled() ? tr("未稳定") : figure(verification->measuredSettling, 1);
    const QString text =
        tr("预测 / 实测：超调 %1 / %2 ℃，调节（±0.5 ℃）%3 / %4 s，IAE %5 / %6 ℃·s。")
            .arg(figure(verification->predictedOvershoot, 2),
                figure(verification->measuredOvershoot, 2),
                figure(verification->predictedSettling, 1), measuredSettling,
                figure(verification->predictedIae, 0), figure(verification->measuredIae, 0))
        + verification->verdict();
    m_verificationText->setText(text);
    m_verification->findChild<QPushButton *>(QStringLiteral("refit"))
        ->setVisible(!verification->strayed().isEmpty());
}

QList<QStringList> RunsDialog::chosenRuns() const
{
    QModelIndexList chosen = m_table->selectionModel()->selectedRows(RunHistoryModel::kStartColumn);
    std::sort(chosen.begin(), chosen.end(),
        [](const QModelIndex &one, const QModelIndex &other) { return one.row() < other.row(); });
    QList<QStringList> runs;
    for (const QModelIndex &index : chosen)
        runs.append(m_runs->run(index.row()));
    return runs;
}

/// The current run on top, then each chosen run with how the current run's figures differ
/// from its own.
void RunsDialog::showComparison()
{
    m_comparison->removeRows(0, m_comparison->rowCount());
    const QStringList &columns = RunRecorder::runColumns();
    if (m_currentRun)
        addComparedRun(tr("当前运行"), *m_currentRun, QString());
    for (const QStringList &run : chosenRuns()) {
        const QDateTime start = QDateTime::fromString(run.value(0), Qt::ISODateWithMs);
        const QString name = start.isValid()
            ? start.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
            : run.value(0);
        addComparedRun(name, run,
            m_currentRun ? RunFigures::difference(
                RunFigures::fromRow(columns, *m_currentRun), RunFigures::fromRow(columns, run))
                         : QString());
    }
    // The rows change while the dialog is shown; the columns follow what they now hold.
    m_comparisonTable->horizontalHeader()->resizeSections(QHeaderView::ResizeToContents);
}

void RunsDialog::addComparedRun(
    const QString &name, const QStringList &run, const QString &difference)
{
    QList<QStandardItem *> items{cell(name, false)};
    for (const char *key : kComparedColumns)
        items.append(cell(run.value(RunRecorder::runColumns().indexOf(QLatin1String(key))), true));
    items.append(cell(difference, false));
    m_comparison->appendRow(items);
}

/// The chosen runs' records are read in the background, with progress and a way to cancel: a
/// record may hold hundreds of megabytes.
void RunsDialog::drawChosenOnChart()
{
    const auto draw = [this](const QList<ChartOverlay> &overlays, const QStringList &notes) {
        drawCurves(overlays, notes);
    };
    m_curves->start([directory = QFileInfo(m_runsFile).absolutePath(), runs = chosenRuns(), draw](
                        const ReadProgress &progress, const BackgroundReading::HandOverPart &) {
        return readCurves(directory, runs, progress, draw);
    });
    m_curveNotes.clear();
    showNotes();
    showReading();
}

/// The model of the one run chosen, in a window of its own: a fit may take a while, and the
/// history stays usable beside it.
void RunsDialog::showPlantModel()
{
    const QList<QStringList> chosen = chosenRuns();
    if (chosen.size() != 1)
        return;
    auto *dialog = new PlantModelDialog(QFileInfo(m_runsFile).absolutePath(),
        RunRecorder::runColumns(), chosen.front(), m_law, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}

void RunsDialog::drawCurves(const QList<ChartOverlay> &overlays, const QStringList &notes)
{
    m_curveNotes = notes;
    showNotes();
    if (!overlays.isEmpty())
        emit compareOnChart(overlays);
}

/// Cancelling a comparison draws nothing; cancelling the history keeps the runs read so far.
void RunsDialog::cancelReading()
{
    if (m_curves->isReading()) {
        m_curves->cancel();
    } else if (m_history->isReading()) {
        m_history->cancel();
        m_historyNotes = QStringList{tr("已停止读取运行记录，只列出了读到的运行")};
        showNotes();
    }
    showReading();
}

void RunsDialog::showReading()
{
    const bool curves = m_curves->isReading();
    if (curves || m_history->isReading()) {
        m_readingWhat->setText(curves ? tr("正在读取记录文件…") : tr("正在读取运行记录…"));
        if (!m_reading->isVisibleTo(this))
            m_progress->setValue(0);
    }
    m_reading->setVisible(curves || m_history->isReading());
    m_compare->setEnabled(m_table->selectionModel()->hasSelection() && !curves);
}

void RunsDialog::showNotes()
{
    const QStringList notes = m_historyNotes + m_curveNotes;
    m_problem->setText(notes.join(u'\n'));
    m_problem->setVisible(!notes.isEmpty());
}
