#pragma once

#include <QDialog>

class QPushButton;
class QStandardItemModel;
class QTableView;

/// The run history as a table, newest run first, sortable by any column; opens the folder that
/// holds a run's record.
class RunsDialog : public QDialog
{
    Q_OBJECT

public:
    explicit RunsDialog(const QString &runsFile, QWidget *parent = nullptr);

    /// The runs in the order the table shows them.
    const QStandardItemModel &runs() const { return *m_runs; }

private:
    void load();
    void openRecordFolder();

    const QString m_runsFile;
    QStandardItemModel *m_runs;
    QTableView *m_table;
    QPushButton *m_open;
};
