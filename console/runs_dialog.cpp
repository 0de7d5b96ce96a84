#include "runs_dialog.h"

#include "csv_format.h"
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
constexpr int kDefaultHeight = 400;

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
    buttons->addButton(tr("关闭"), QDialogButtonBox::RejectRole);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QFileInfo(runsFile).absoluteFilePath(), this));
    layout->addWidget(m_table);
    layout->addWidget(m_problem);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(reload, &QPushButton::clicked, this, &RunsDialog::refresh);
    connect(m_open, &QPushButton::clicked, this, &RunsDialog::openRecord);
    QStringList captions;
    for (const RunColumn &column : kColumns)
        captions.append(tr(column.caption));
    m_runs->setHorizontalHeaderLabels(captions);
    m_runs->setSortRole(kSortRole);
    m_table->setModel(m_runs);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_table->setSortingEnabled(true);
    m_table->sortByColumn(kStartColumn, Qt::DescendingOrder);
    connect(m_table->selectionModel(), &QItemSelectionModel::selectionChanged, this,
        [this] { m_open->setEnabled(m_table->selectionModel()->hasSelection()); });
    refresh();
}

void RunsDialog::setRunInProgress(RunInProgress runInProgress)
{
    m_runInProgress = std::move(runInProgress);
    refresh();
}

/// Columns are found by their heading, so a history written with fewer columns still loads.
void RunsDialog::refresh()
{
    m_runs->removeRows(0, m_runs->rowCount());
    m_open->setEnabled(false);
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
}

void RunsDialog::addRun(const QStringList &heading, const QStringList &fields, bool inProgress)
{
    QList<QStandardItem *> items;
    for (const RunColumn &column : kColumns) {
        const qsizetype at = heading.indexOf(QLatin1String(column.key));
        items.append(cell(at >= 0 ? fields.value(at) : QString(), column.kind));
    }
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
