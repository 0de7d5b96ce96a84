#include "runs_dialog.h"

#include "csv_format.h"

#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardItemModel>
#include <QTableView>
#include <QUrl>
#include <QVBoxLayout>

namespace {
struct RunColumn
{
    const char *key;
    const char *caption;
    bool numeric;
};

constexpr RunColumn kColumns[] = {
    {"start", QT_TRANSLATE_NOOP("RunsDialog", "开始"), false},
    {"end", QT_TRANSLATE_NOOP("RunsDialog", "结束"), false},
    {"port", QT_TRANSLATE_NOOP("RunsDialog", "端口"), false},
    {"set_c", QT_TRANSLATE_NOOP("RunsDialog", "设定温度/℃"), true},
    {"p", "P", true},
    {"i", "I", true},
    {"d", "D", true},
    {"rise_s", QT_TRANSLATE_NOOP("RunsDialog", "上升时间/s"), true},
    {"overshoot_pct", QT_TRANSLATE_NOOP("RunsDialog", "超调量/%"), true},
    {"peak_s", QT_TRANSLATE_NOOP("RunsDialog", "峰值时间/s"), true},
    {"settling_s", QT_TRANSLATE_NOOP("RunsDialog", "调节时间/s"), true},
    {"highest_c", QT_TRANSLATE_NOOP("RunsDialog", "最高温度/℃"), true},
    {"lines", QT_TRANSLATE_NOOP("RunsDialog", "行数"), true},
    {"record", QT_TRANSLATE_NOOP("RunsDialog", "记录文件"), false},
};
constexpr int kStartColumn = 0;

/// A moment reads better with a blank than with ISO's "T", and still sorts the same.
QString readable(const QString &text)
{
    static const QRegularExpression isoMoment(QStringLiteral("^(\\d{4}-\\d\\d-\\d\\d)T"));
    return QString(text).replace(isoMoment, QStringLiteral("\\1 "));
}

/// Figures go in as numbers so that they sort as numbers; an empty cell stays empty.
QStandardItem *cell(const QString &text, bool numeric)
{
    auto *item = new QStandardItem;
    item->setEditable(false);
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (numeric && ok)
        item->setData(value, Qt::DisplayRole);
    else
        item->setText(readable(text));
    return item;
}
} // namespace

RunsDialog::RunsDialog(const QString &runsFile, QWidget *parent)
    : QDialog(parent)
    , m_runsFile(runsFile)
    , m_runs(new QStandardItemModel(this))
    , m_table(new QTableView(this))
    , m_open(new QPushButton(tr("打开记录"), this))
{
    setWindowTitle(tr("运行记录"));
    m_open->setObjectName(QStringLiteral("openRecord"));
    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(m_open, QDialogButtonBox::ActionRole);
    buttons->addButton(tr("关闭"), QDialogButtonBox::RejectRole);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QFileInfo(runsFile).absoluteFilePath(), this));
    layout->addWidget(m_table);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_open, &QPushButton::clicked, this, &RunsDialog::openRecordFolder);
    load();
    m_table->setModel(m_runs);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setSortingEnabled(true);
    m_table->sortByColumn(kStartColumn, Qt::DescendingOrder);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_open->setEnabled(false);
    connect(m_table->selectionModel(), &QItemSelectionModel::selectionChanged, this,
        [this] { m_open->setEnabled(m_table->selectionModel()->hasSelection()); });
    resize(900, 400);
}

/// Columns are found by their heading, so a history written with fewer columns still loads.
void RunsDialog::load()
{
    QStringList captions;
    for (const RunColumn &column : kColumns)
        captions.append(tr(column.caption));
    m_runs->setHorizontalHeaderLabels(captions);
    QFile file(m_runsFile);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QList<QStringList> rows = CsvFormat::parse(QString::fromUtf8(file.readAll()));
    if (rows.isEmpty())
        return;
    const QStringList &heading = rows.front();
    for (qsizetype row = 1; row < rows.size(); ++row) {
        QList<QStandardItem *> items;
        for (const RunColumn &column : kColumns) {
            const qsizetype at = heading.indexOf(QLatin1String(column.key));
            items.append(cell(at >= 0 ? rows[row].value(at) : QString(), column.numeric));
        }
        m_runs->appendRow(items);
    }
}

/// Every record lies beside the history that names it.
void RunsDialog::openRecordFolder()
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(m_runsFile).absolutePath()));
}
