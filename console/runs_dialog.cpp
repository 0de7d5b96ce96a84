#include "runs_dialog.h"

#include "csv_format.h"
#include "run_curve.h"
#include "run_figures.h"
#include "run_overlay.h"
#include "run_recorder.h"

#include <QDateTime>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QTableView>
#include <QUrl>
#include <QVBoxLayout>

#include <utility>

namespace {
enum class Kind { Text, Number, Moment };

struct RunColumn
{
    const char *key;
    const char *caption;
    Kind kind;
};

constexpr RunColumn kColumns[] = {
    {"start", QT_TRANSLATE_NOOP("RunsDialog", "开始"), Kind::Moment},
    {"end", QT_TRANSLATE_NOOP("RunsDialog", "结束"), Kind::Moment},
    {"port", QT_TRANSLATE_NOOP("RunsDialog", "端口"), Kind::Text},
    {"set_c", QT_TRANSLATE_NOOP("RunsDialog", "设定温度/℃"), Kind::Number},
    {"p", "P", Kind::Number},
    {"i", "I", Kind::Number},
    {"d", "D", Kind::Number},
    {"rise_s", QT_TRANSLATE_NOOP("RunsDialog", "上升时间/s"), Kind::Number},
    {"overshoot_pct", QT_TRANSLATE_NOOP("RunsDialog", "超调量/%"), Kind::Number},
    {"peak_s", QT_TRANSLATE_NOOP("RunsDialog", "峰值时间/s"), Kind::Number},
    {"settling_s", QT_TRANSLATE_NOOP("RunsDialog", "调节时间/s"), Kind::Number},
    {"highest_c", QT_TRANSLATE_NOOP("RunsDialog", "最高温度/℃"), Kind::Number},
    {"lines", QT_TRANSLATE_NOOP("RunsDialog", "行数"), Kind::Number},
    {"record", QT_TRANSLATE_NOOP("RunsDialog", "记录文件"), Kind::Text},
};
constexpr int kStartColumn = 0;
constexpr int kEndColumn = 1;
constexpr int kRecordColumn = 13;
constexpr int kSortRole = Qt::UserRole;
/// The run's row of runs.csv in RunRecorder::runColumns() order, on its first cell.
constexpr int kRunRole = Qt::UserRole + 1;
constexpr int kDefaultHeight = 560;
// The runs' columns the comparison shows, between the run's name and the differences.
constexpr const char *kComparedColumns[] = {
    "set_c", "p", "i", "d", "rise_s", "overshoot_pct", "peak_s", "settling_s"};

/// A cell shows a figure as a number, a moment as local time to the second (the whole text in
/// its tooltip), and sorts by what it stands for: moments written with or without their offset
/// from UTC sort as the moments they are.
QStandardItem *cell(const QString &text, Kind kind)
{
    auto *item = new QStandardItem;
    item->setEditable(false);
    bool ok = false;
    const double value = text.toDouble(&ok);
    const QDateTime moment = QDateTime::fromString(text, Qt::ISODateWithMs);
    if (kind == Kind::Number && ok) {
        item->setData(value, Qt::DisplayRole);
        item->setData(value, kSortRole);
    } else if (kind == Kind::Moment && moment.isValid()) {
        item->setText(moment.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
        item->setToolTip(text);
        item->setData(moment, kSortRole);
    } else {
        item->setText(text);
        if (!text.isEmpty())
            item->setData(text, kSortRole);
    }
    return item;
}
} // namespace

RunsDialog::RunsDialog(const QString &runsFile, QWidget *parent)
    : QDialog(parent)
    , m_runsFile(runsFile)
    , m_runs(new QStandardItemModel(this))
    , m_table(new QTableView(this))
    , m_open(new QPushButton(tr("打开记录"), this))
    , m_compare(new QPushButton(tr("在曲线上对比"), this))
    , m_comparison(new QStandardItemModel(this))
    , m_comparisonTable(new QTableView(this))
    , m_problem(new QLabel(this))
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
    buttons->addButton(tr("关闭"), QDialogButtonBox::RejectRole)
        ->setObjectName(QStringLiteral("close"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QFileInfo(runsFile).absoluteFilePath(), this));
    layout->addWidget(m_table, 3);
    layout->addWidget(m_comparisonTable, 1);
    layout->addWidget(m_problem);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(reload, &QPushButton::clicked, this, &RunsDialog::refresh);
    connect(m_open, &QPushButton::clicked, this, &RunsDialog::openRecord);
    connect(m_compare, &QPushButton::clicked, this, &RunsDialog::drawChosenOnChart);
    QStringList captions;
    for (const RunColumn &column : kColumns)
        captions.append(tr(column.caption));
    m_runs->setHorizontalHeaderLabels(captions);
    m_runs->setSortRole(kSortRole);
    m_table->setObjectName(QStringLiteral("runs"));
    m_table->setModel(m_runs);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_table->setSortingEnabled(true);
    m_table->sortByColumn(kStartColumn, Qt::DescendingOrder);
    connect(m_table->selectionModel(), &QItemSelectionModel::selectionChanged, this,
        &RunsDialog::chosenChanged);
    QStringList compared{tr("运行")};
    for (const char *key : kComparedColumns) {
        const auto column = std::find_if(std::cbegin(kColumns), std::cend(kColumns),
            [key](const RunColumn &run) { return qstrcmp(run.key, key) == 0; });
        compared.append(tr(column->caption));
    }
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

void RunsDialog::setRunInProgress(RunInProgress runInProgress)
{
    m_runInProgress = std::move(runInProgress);
    refresh();
}

void RunsDialog::setCurrentRun(const std::optional<QStringList> &run)
{
    m_currentRun = run;
    showComparison();
}

/// Columns are found by their heading, so a history written with fewer columns still loads.
void RunsDialog::refresh()
{
    m_runs->removeRows(0, m_runs->rowCount());
    m_problem->hide();
    QFile file(m_runsFile);
    if (file.open(QIODevice::ReadOnly)) {
        const QList<QStringList> rows = CsvFormat::parse(QString::fromUtf8(file.readAll()));
        for (qsizetype row = 1; row < rows.size(); ++row)
            addRun(rows.front(), rows[row], false);
    }
    if (m_runInProgress) {
        if (const std::optional<QStringList> run = m_runInProgress())
            addRun(RunRecorder::runColumns(), *run, true);
    }
    const QHeaderView *header = m_table->horizontalHeader();
    m_runs->sort(header->sortIndicatorSection(), header->sortIndicatorOrder());
    chosenChanged();
}

void RunsDialog::addRun(const QStringList &heading, const QStringList &fields, bool inProgress)
{
    QList<QStandardItem *> items;
    for (const RunColumn &column : kColumns) {
        const qsizetype at = heading.indexOf(QLatin1String(column.key));
        items.append(cell(at >= 0 ? fields.value(at) : QString(), column.kind));
    }
    QStringList run;
    for (const QString &key : RunRecorder::runColumns()) {
        const qsizetype at = heading.indexOf(key);
        run.append(at >= 0 ? fields.value(at) : QString());
    }
    items[kStartColumn]->setData(run, kRunRole);
    const QDateTime start = items[kStartColumn]->data(kSortRole).toDateTime().toLocalTime();
    const QDateTime end = items[kEndColumn]->data(kSortRole).toDateTime().toLocalTime();
    // An end on the day the run started needs no date again.
    if (inProgress)
        items[kEndColumn]->setText(tr("进行中"));
    else if (start.isValid() && end.isValid() && start.date() == end.date())
        items[kEndColumn]->setText(end.toString(QStringLiteral("HH:mm:ss")));
    m_runs->appendRow(items);
}

/// The dialog opens wide enough for every column of what it first shows.
void RunsDialog::showEvent(QShowEvent *event)
{
    if (!std::exchange(m_fitted, true))
        fitColumns();
    QDialog::showEvent(event);
}

void RunsDialog::fitColumns()
{
    QHeaderView *header = m_table->horizontalHeader();
    header->resizeSections(QHeaderView::ResizeToContents);
    const QMargins margins = layout()->contentsMargins();
    const int width = header->length() + 2 * m_table->frameWidth()
        + m_table->verticalScrollBar()->sizeHint().width() + margins.left() + margins.right();
    resize(width, kDefaultHeight);
}

/// A run's first record file; the dialog says so when the system has nothing to open it with.
void RunsDialog::openRecord()
{
    const QModelIndexList chosen = m_table->selectionModel()->selectedRows(kRecordColumn);
    if (chosen.isEmpty())
        return;
    const QString name =
        chosen.front().data().toString().section(RunRecorder::recordSeparator(), 0, 0);
    const QString path = QFileInfo(m_runsFile).dir().filePath(name);
    if (name.isEmpty() || !QFileInfo(path).isFile())
        m_problem->setText(tr("找不到这次运行的记录文件：%1").arg(QDir::toNativeSeparators(path)));
    else if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
        m_problem->setText(tr("无法打开记录：%1").arg(QDir::toNativeSeparators(path)));
    else
        return;
    m_problem->show();
}

void RunsDialog::chosenChanged()
{
    const bool chosen = m_table->selectionModel()->hasSelection();
    m_open->setEnabled(chosen);
    m_compare->setEnabled(chosen);
    showComparison();
}

QList<QStringList> RunsDialog::chosenRuns() const
{
    QModelIndexList chosen = m_table->selectionModel()->selectedRows(kStartColumn);
    std::sort(chosen.begin(), chosen.end(),
        [](const QModelIndex &one, const QModelIndex &other) { return one.row() < other.row(); });
    QList<QStringList> runs;
    for (const QModelIndex &index : chosen)
        runs.append(index.data(kRunRole).toStringList());
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
            m_currentRun ? RunFigures::fromRow(columns, *m_currentRun)
                               .differenceFrom(RunFigures::fromRow(columns, run))
                         : QString());
    }
    // The rows change while the dialog is shown; the columns follow what they now hold.
    m_comparisonTable->horizontalHeader()->resizeSections(QHeaderView::ResizeToContents);
}

void RunsDialog::addComparedRun(
    const QString &name, const QStringList &run, const QString &difference)
{
    QList<QStandardItem *> items{cell(name, Kind::Text)};
    for (const char *key : kComparedColumns)
        items.append(
            cell(run.value(RunRecorder::runColumns().indexOf(QLatin1String(key))), Kind::Number));
    items.append(cell(difference, Kind::Text));
    m_comparison->appendRow(items);
}

/// Each chosen run's curve from its record; the runs whose record is gone or unreadable are
/// named, and the others are drawn all the same.
void RunsDialog::drawChosenOnChart()
{
    const QString directory = QFileInfo(m_runsFile).absolutePath();
    QList<ChartOverlay> overlays;
    QStringList problems;
    for (const QStringList &run : chosenRuns()) {
        const RunCurve curve = RunCurve::read(directory, RunRecorder::runColumns(), run);
        if (curve.isValid())
            overlays.append(RunOverlay::fromCurve(curve, run));
        else
            problems.append(curve.problem());
    }
    m_problem->setText(problems.join(u'\n'));
    m_problem->setVisible(!problems.isEmpty());
    if (!overlays.isEmpty())
        emit compareOnChart(overlays);
}
