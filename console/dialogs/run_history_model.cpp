#include "run_history_model.h"

#include "records/run_recorder.h"

#include <QCoreApplication>
#include <QDateTime>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace {
enum class Kind { Text, Number, Moment };

struct RunColumn
{
    const char *caption;
    Kind kind;
};

// In RunRecorder::runColumns() order.
constexpr RunColumn kShown[HistoryRun::kColumns] = {
    {QT_TRANSLATE_NOOP("RunsDialog", "开始"), Kind::Moment},
    {QT_TRANSLATE_NOOP("RunsDialog", "结束"), Kind::Moment},
    {QT_TRANSLATE_NOOP("RunsDialog", "端口"), Kind::Text},
    {QT_TRANSLATE_NOOP("RunsDialog", "设定温度/℃"), Kind::Number},
    {"P", Kind::Number},
    {"I", Kind::Number},
    {"D", Kind::Number},
    {QT_TRANSLATE_NOOP("RunsDialog", "上升时间/s"), Kind::Number},
    {QT_TRANSLATE_NOOP("RunsDialog", "超调量/%"), Kind::Number},
    {QT_TRANSLATE_NOOP("RunsDialog", "峰值时间/s"), Kind::Number},
    {QT_TRANSLATE_NOOP("RunsDialog", "调节时间/s"), Kind::Number},
    {QT_TRANSLATE_NOOP("RunsDialog", "最高温度/℃"), Kind::Number},
    {QT_TRANSLATE_NOOP("RunsDialog", "行数"), Kind::Number},
    {QT_TRANSLATE_NOOP("RunsDialog", "记录文件"), Kind::Text},
    {QT_TRANSLATE_NOOP("RunsDialog", "模型 K/(℃/计数)"), Kind::Number},
    {QT_TRANSLATE_NOOP("RunsDialog", "模型 τ/s"), Kind::Number},
    {QT_TRANSLATE_NOOP("RunsDialog", "模型 θ/s"), Kind::Number},
    {QT_TRANSLATE_NOOP("RunsDialog", "预测超调/℃"), Kind::Number},
    {QT_TRANSLATE_NOOP("RunsDialog", "实测超调/℃"), Kind::Number},
    {QT_TRANSLATE_NOOP("RunsDialog", "预测调节 ±0.5 ℃/s"), Kind::Number},
    {QT_TRANSLATE_NOOP("RunsDialog", "实测调节 ±0.5 ℃/s"), Kind::Number},
    {QT_TRANSLATE_NOOP("RunsDialog", "预测 IAE/(℃·s)"), Kind::Number},
    {QT_TRANSLATE_NOOP("RunsDialog", "实测 IAE/(℃·s)"), Kind::Number},
    {QT_TRANSLATE_NOOP("RunsDialog", "预测起点/℃"), Kind::Number},
    {QT_TRANSLATE_NOOP("RunsDialog", "预测目标/℃"), Kind::Number},
    {QT_TRANSLATE_NOOP("RunsDialog", "实测起点/℃"), Kind::Number},
    {QT_TRANSLATE_NOOP("RunsDialog", "规律相符"), Kind::Number},
    {QT_TRANSLATE_NOOP("RunsDialog", "模型粗略"), Kind::Number},
    {QT_TRANSLATE_NOOP("RunsDialog", "未核对"), Kind::Text},
};
constexpr int kEndColumn = 1;
constexpr char kFieldEnd = '\x1f';
const QString kSecond = QStringLiteral("yyyy-MM-dd HH:mm:ss");

double keyOf(const QString &text, Kind kind)
{
    constexpr double kNone = std::numeric_limits<double>::quiet_NaN();
    if (kind == Kind::Number) {
        bool ok = false;
        const double value = text.toDouble(&ok);
        return ok ? value : kNone;
    }
    if (kind == Kind::Moment) {
        const QDateTime moment = QDateTime::fromString(text, Qt::ISODateWithMs);
        return moment.isValid() ? double(moment.toMSecsSinceEpoch()) : kNone;
    }
    return kNone;
}

QByteArrayView fieldOf(const QByteArray &fields, int column)
{
    qsizetype from = 0;
    for (int skipped = 0; skipped < column; ++skipped)
        from = fields.indexOf(kFieldEnd, from) + 1;
    return QByteArrayView(fields).sliced(from, fields.indexOf(kFieldEnd, from) - from);
}

QDateTime localMoment(double key)
{
    return QDateTime::fromMSecsSinceEpoch(qint64(key));
}
} // namespace

HistoryRun HistoryRun::fromRow(const QStringList &heading, const QStringList &row)
{
    HistoryRun run;
    const QStringList &columns = RunRecorder::runColumns();
    for (int column = 0; column < kColumns; ++column) {
        const qsizetype at = heading.indexOf(columns[column]);
        QString text = at >= 0 ? row.value(at) : QString();
        // The unit separator ends a field; none the console writes holds one.
        text.replace(QChar(kFieldEnd), QChar::ReplacementCharacter);
        run.keys[column] = keyOf(text, kShown[column].kind);
        run.fields += text.toUtf8();
        run.fields += kFieldEnd;
    }
    run.fields.squeeze();
    return run;
}

QString HistoryRun::field(int column) const
{
    return QString::fromUtf8(fieldOf(fields, column));
}

QStringList HistoryRun::run() const
{
    QStringList run;
    for (int column = 0; column < kColumns; ++column)
        run.append(field(column));
    return run;
}

RunHistoryModel::RunHistoryModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

int RunHistoryModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_runs.size());
}

int RunHistoryModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : HistoryRun::kColumns;
}

QVariant RunHistoryModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const HistoryRun &run = m_runs[std::size_t(index.row())];
    const int column = index.column();
    if (role == Qt::DisplayRole)
        return shown(run, column);
    if (role == Qt::ToolTipRole && kShown[column].kind == Kind::Moment
        && !std::isnan(run.keys[column]))
        return run.field(column);
    return {};
}

/// A figure as a number, a moment as local time to the second, its whole text in the tooltip;
/// an end on the day the run started needs no date again.
QVariant RunHistoryModel::shown(const HistoryRun &run, int column) const
{
    const double key = run.keys[column];
    if (column == kEndColumn && run.inProgress)
        return QCoreApplication::translate("RunsDialog", "进行中");
    if (std::isnan(key))
        return run.field(column);
    if (kShown[column].kind == Kind::Number)
        return key;
    const QDateTime moment = localMoment(key);
    const double start = run.keys[kStartColumn];
    if (column == kEndColumn && !std::isnan(start) && localMoment(start).date() == moment.date())
        return moment.toString(QStringLiteral("HH:mm:ss"));
    return moment.toString(kSecond);
}

QVariant RunHistoryModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0
        || section >= HistoryRun::kColumns)
        return QAbstractTableModel::headerData(section, orientation, role);
    return QCoreApplication::translate("RunsDialog", kShown[section].caption);
}

bool RunHistoryModel::lessThan(const HistoryRun &one, const HistoryRun &other) const
{
    if (kShown[m_sortColumn].kind == Kind::Text) {
        const QByteArrayView left = fieldOf(one.fields, m_sortColumn);
        const QByteArrayView right = fieldOf(other.fields, m_sortColumn);
        if (left.isEmpty() || right.isEmpty())
            return !left.isEmpty();
        return left.compare(right) < 0;
    }
    const double left = one.keys[m_sortColumn];
    const double right = other.keys[m_sortColumn];
    if (std::isnan(left) || std::isnan(right))
        return !std::isnan(left);
    return left < right;
}

void RunHistoryModel::sort(int column, Qt::SortOrder order)
{
    m_sortColumn = column >= 0 && column < HistoryRun::kColumns ? column : -1;
    m_sortOrder = order;
    sortAgain();
}

/// The rows are put in order once, through their numbers, and the selection follows them.
void RunHistoryModel::sortAgain()
{
    if (m_sortColumn < 0 || m_runs.size() < 2)
        return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<int> order(m_runs.size());
    std::iota(order.begin(), order.end(), 0);
    const bool ascending = m_sortOrder == Qt::AscendingOrder;
    std::stable_sort(order.begin(), order.end(), [this, ascending](int one, int other) {
        const HistoryRun &left = m_runs[std::size_t(one)];
        const HistoryRun &right = m_runs[std::size_t(other)];
        return ascending ? lessThan(left, right) : lessThan(right, left);
    });
    std::vector<int> placeOf(order.size());
    std::vector<HistoryRun> sorted;
    sorted.reserve(m_runs.size());
    for (std::size_t place = 0; place < order.size(); ++place) {
        placeOf[std::size_t(order[place])] = int(place);
        sorted.push_back(std::move(m_runs[std::size_t(order[place])]));
    }
    m_runs = std::move(sorted);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex &index : before)
        after.append(this->index(placeOf[std::size_t(index.row())], index.column()));
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void RunHistoryModel::clear()
{
    beginResetModel();
    m_runs.clear();
    endResetModel();
}

bool RunHistoryModel::hasPredictions() const
{
    return std::any_of(m_runs.cbegin(), m_runs.cend(),
        [](const HistoryRun &run) { return !std::isnan(run.keys[kFirstPredictionColumn]); });
}

void RunHistoryModel::addRuns(std::vector<HistoryRun> runs)
{
    if (runs.empty())
        return;
    const int first = rowCount();
    beginInsertRows({}, first, first + int(runs.size()) - 1);
    m_runs.insert(
        m_runs.end(), std::make_move_iterator(runs.begin()), std::make_move_iterator(runs.end()));
    endInsertRows();
    sortAgain();
}

void RunHistoryModel::setRunInProgress(const std::optional<QStringList> &run)
{
    const auto current = std::find_if(
        m_runs.begin(), m_runs.end(), [](const HistoryRun &each) { return each.inProgress; });
    if (current != m_runs.end()) {
        const int row = int(current - m_runs.begin());
        beginRemoveRows({}, row, row);
        m_runs.erase(current);
        endRemoveRows();
    }
    if (!run)
        return;
    HistoryRun inProgress = HistoryRun::fromRow(RunRecorder::runColumns(), *run);
    inProgress.inProgress = true;
    beginInsertRows({}, 0, 0);
    m_runs.insert(m_runs.begin(), std::move(inProgress));
    endInsertRows();
    sortAgain();
}

QStringList RunHistoryModel::run(int row) const
{
    return row >= 0 && row < rowCount() ? m_runs[std::size_t(row)].run() : QStringList();
}
