#pragma once

#include <QAbstractTableModel>
#include <QByteArray>
#include <QStringList>

#include <array>
#include <optional>
#include <vector>

/// A run of the history as the table keeps it: tens of thousands may be shown, so each is its
/// fields in one piece of text and what its columns sort by.
struct HistoryRun
{
    static constexpr int kColumns = 29;

    /// The fields in RunRecorder::runColumns() order, UTF-8, each ended by a unit separator.
    QByteArray fields;
    /// A moment's milliseconds since the epoch or a figure, for each column that holds one;
    /// not a number where the field holds none.
    std::array<double, kColumns> keys{};
    bool inProgress = false;

    /// A row of runs.csv, its columns named by heading.
    static HistoryRun fromRow(const QStringList &heading, const QStringList &row);
    /// A field by its column.
    QString field(int column) const;
    /// The run as a row of runs.csv in RunRecorder::runColumns() order.
    QStringList run() const;
};

/// The run history as a table: the runs read from runs.csv and the run in progress, sortable by
/// any column, moments shown as local time to the second and figures as numbers.
class RunHistoryModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit RunHistoryModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(
        int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    /// Equal rows keep their order; a cell without a value sorts after every value.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    void clear();
    /// Runs read from runs.csv, placed where the order the table is sorted in puts them.
    void addRuns(std::vector<HistoryRun> runs);
    /// The run in progress as a row in RunRecorder::runColumns() order, or none.
    void setRunInProgress(const std::optional<QStringList> &run);
    /// The run on a row as a row of runs.csv in RunRecorder::runColumns() order.
    QStringList run(int row) const;

    static constexpr int kStartColumn = 0;
    static constexpr int kRecordColumn = 13;
    /// The columns of a run started with predicted gains: its model and predicted and measured
    /// figures.
    static constexpr int kFirstPredictionColumn = 14;
    /// What the verdict weighs besides the figures: held, not shown as columns.
    static constexpr int kFirstVerdictFactColumn = 23;
    /// Whether any run shown was started with predicted gains.
    bool hasPredictions() const;

private:
    bool lessThan(const HistoryRun &one, const HistoryRun &other) const;
    QVariant shown(const HistoryRun &run, int column) const;
    void sortAgain();

    std::vector<HistoryRun> m_runs;
    int m_sortColumn = -1;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
};
