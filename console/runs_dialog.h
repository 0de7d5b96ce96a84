#pragma once

#include <QDialog>

#include <functional>
#include <optional>

class QLabel;
class QPushButton;
class QStandardItemModel;
class QTableView;

/// The run history as a table, newest run first, sortable by any column, with the run in
/// progress on top; opens a run's record file.
class RunsDialog : public QDialog
{
    Q_OBJECT

public:
    /// The run in progress as a row of runs.csv, or none.
    using RunInProgress = std::function<std::optional<QStringList>()>;

    explicit RunsDialog(const QString &runsFile, QWidget *parent = nullptr);

    void setRunInProgress(RunInProgress runInProgress);
    /// Reads the history again, with the run in progress as it stands.
    void refresh();

    /// The runs in the order the table shows them.
    const QStandardItemModel &runs() const { return *m_runs; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void addRun(const QStringList &heading, const QStringList &fields, bool inProgress);
    void fitColumns();
    void openRecord();

    const QString m_runsFile;
    RunInProgress m_runInProgress;
    QStandardItemModel *m_runs;
    QTableView *m_table;
    QPushButton *m_open;
    QLabel *m_problem;
    bool m_fitted = false;
};
