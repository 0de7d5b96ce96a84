#include "csv_format.h"
#include "offline_console.h"
#include "record_file.h"
#include "run_recorder.h"
#include "runs_dialog.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

namespace {
QByteArray line(int set, int current, int p = 10)
{
    return QStringLiteral("st=%1 pv=%2 out= 128 pid= %3, 005, 002\r\n")
        .arg(set, 4, 10, QLatin1Char('0'))
        .arg(current, 4, 10, QLatin1Char('0'))
        .arg(p, 3, 10, QLatin1Char('0'))
        .toLatin1();
}

QList<QStringList> readCsv(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return CsvFormat::parse(QString::fromUtf8(file.readAll()));
}

/// The rows of a table as column name to cell, the heading taken from its first row.
QList<QMap<QString, QString>> records(const QString &path)
{
    const QList<QStringList> rows = readCsv(path);
    QList<QMap<QString, QString>> named;
    for (qsizetype row = 1; row < rows.size(); ++row) {
        QMap<QString, QString> cells;
        for (qsizetype column = 0; column < rows.front().size(); ++column)
            cells.insert(rows.front()[column], rows[row].value(column));
        named.append(cells);
    }
    return named;
}

QStringList recordFiles(const QString &directory)
{
    return QDir(directory).entryList({QStringLiteral("*_COM*.csv")}, QDir::Files, QDir::Name);
}

QString onlyRecord(const OfflineConsole &console)
{
    const QStringList files = recordFiles(console.window().recordsDirectory());
    return files.size() == 1 ? QDir(console.window().recordsDirectory()).filePath(files.front())
                             : QString();
}

QString boxSeconds(const OfflineConsole &console, const QString &box)
{
    return console.text(box).chopped(1);
}
} // namespace

/// Recording every connection and every run, through the console as the operator uses it.
class tst_RunRecorder : public QObject
{
    Q_OBJECT

public slots:
    /// Stands in for the desktop's file manager.
    void openUrl(const QUrl &url) { m_opened = url; }

private slots:
    void csvRoundTrip_data();
    void csvRoundTrip();
    void sessionGivesOneRowPerEvent();
    void runEndsWithOneHistoryRow_data();
    void runEndsWithOneHistoryRow();
    void unwritableFolderLeavesTheConsoleWorking();
    void rowsReachTheFileWithinASecond();
    void fullFileContinuesInANewOne();
    void historyDialogSortsFiguresAsNumbers();
    void chartDataHoldsTheChartsSamples();
    void chartFilesAreOfferedInTheRecordsFolder_data();
    void chartFilesAreOfferedInTheRecordsFolder();

private:
    QUrl m_opened;
};

void tst_RunRecorder::csvRoundTrip_data()
{
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QString>("row");
    QTest::newRow("plain") << QStringList{"a", "", "1.5"} << QStringLiteral("a,,1.5\r\n");
    QTest::newRow("comma and quote")
        << QStringList{"st=0600, \"hot\"", "x"} << QStringLiteral("\"st=0600, \"\"hot\"\"\",x\r\n");
    QTest::newRow("line break") << QStringList{"a\r\nb"} << QStringLiteral("\"a\r\nb\"\r\n");
}

void tst_RunRecorder::csvRoundTrip()
{
    QFETCH(QStringList, fields);
    QFETCH(QString, row);
    QCOMPARE(CsvFormat::row(fields), row);
    QCOMPARE(CsvFormat::parse(row + row), (QList<QStringList>{fields, fields}));
}

void tst_RunRecorder::sessionGivesOneRowPerEvent()
{
    OfflineConsole console;
    console.connectPort();
    console.receive(line(600, 585));
    console.tick(3);
    console.receive("O");
    console.receive("st=0600 pv=abcd, \"x\"\r\n");
    QVERIFY(console.type(QStringLiteral("send"), QStringLiteral("S0450 P009")));
    QVERIFY(console.click(QStringLiteral("comm_send")));
    QVERIFY(console.click(QStringLiteral("cmdDisconnect")));

    const QList<QMap<QString, QString>> rows = records(onlyRecord(console));
    QCOMPARE(rows.size(), 4);
    QCOMPARE(rows[0].value("kind"), QStringLiteral("line"));
    QCOMPARE(rows[0].value("run_s"), QStringLiteral("0"));
    QCOMPARE(rows[0].value("set_c"), QStringLiteral("60.0"));
    QCOMPARE(rows[0].value("current_c"), QStringLiteral("58.5"));
    QCOMPARE(rows[0].value("output_pct"), QStringLiteral("50.20"));
    QCOMPARE(rows[0].value("p"), QStringLiteral("10"));
    QCOMPARE(rows[0].value("text"), QString::fromLatin1(line(600, 585).chopped(2)));
    QCOMPARE(rows[1].value("kind"), QStringLiteral("mode"));
    QCOMPARE(rows[1].value("text"), QStringLiteral("O"));
    QCOMPARE(rows[1].value("run_s"), QStringLiteral("0.3"));
    QCOMPARE(rows[2].value("current_c"), QString());
    QCOMPARE(rows[2].value("output_pct"), QString());
    // The mode signal just before it became the line's first character.
    QCOMPARE(rows[2].value("text"), QStringLiteral("Ost=0600 pv=abcd, \"x\""));
    QCOMPARE(rows[3].value("kind"), QStringLiteral("sent"));
    QCOMPARE(rows[3].value("text"), QStringLiteral("S0450 P009"));
    QVERIFY(QDateTime::fromString(rows[3].value("time"), Qt::ISODateWithMs).isValid());
}

void tst_RunRecorder::runEndsWithOneHistoryRow_data()
{
    QTest::addColumn<QString>("ending");
    QTest::newRow("reset") << QStringLiteral("runtimeclear");
    QTest::newRow("disconnect") << QStringLiteral("cmdDisconnect");
    QTest::newRow("lost device") << QStringLiteral("vanish");
}

void tst_RunRecorder::runEndsWithOneHistoryRow()
{
    QFETCH(QString, ending);
    OfflineConsole console;
    console.connectPort();
    for (const int current : {500, 600, 612, 605, 600})
        console.receive(line(600, current, 12));
    console.tick(5);
    console.receive(line(600, 601, 14));
    if (ending == QLatin1String("vanish"))
        console.port().vanish();
    else
        QVERIFY(console.click(ending));
    if (ending == QLatin1String("runtimeclear"))
        QVERIFY(console.click(QStringLiteral("cmdDisconnect")));

    const QString runsFile = QDir(console.window().recordsDirectory()).filePath("runs.csv");
    QTRY_COMPARE(records(runsFile).size(), 1);
    const QMap<QString, QString> run = records(runsFile).front();
    QCOMPARE(run.value("port"), QStringLiteral("COM1"));
    QCOMPARE(run.value("set_c"), QStringLiteral("60.0"));
    QCOMPARE(run.value("p"), QStringLiteral("14"));
    QCOMPARE(run.value("highest_c"), QStringLiteral("61.2"));
    QCOMPARE(run.value("overshoot_pct"), QStringLiteral("2.00"));
    QCOMPARE(run.value("lines"), QStringLiteral("6"));
    QCOMPARE(run.value("record"), QFileInfo(onlyRecord(console)).fileName());
    if (ending != QLatin1String("runtimeclear")) {
        QCOMPARE(run.value("rise_s"), boxSeconds(console, "perfor_index_0"));
        QCOMPARE(run.value("peak_s"), boxSeconds(console, "perfor_index_2"));
        QCOMPARE(run.value("settling_s"), boxSeconds(console, "perfor_index_3"));
    }
    QVERIFY(run.value("start") <= run.value("end"));
}

void tst_RunRecorder::unwritableFolderLeavesTheConsoleWorking()
{
    QTemporaryDir application;
    QFile blocker(application.filePath("blocker"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    QFile settings(application.filePath("tarvex.ini"));
    QVERIFY(settings.open(QIODevice::WriteOnly));
    settings.write("[RECORD]\r\nDIR=blocker/records\r\n");
    settings.close();

    OfflineConsole console(OfflineConsole::Visibility::Hidden, application.path());
    console.connectPort();
    QVERIFY(console.text("lblStatus").startsWith(QStringLiteral("记录失败：")));
    console.receive(line(600, 585));
    console.receive(line(600, 590));
    QCOMPARE(console.text("rece_quantity"), QStringLiteral("2"));
    QCOMPARE(console.text("lblStatus"), QStringLiteral("连接温度控制器成功！"));
    QVERIFY(console.control<QLabel>("lblStatus")->toolTip().contains(QStringLiteral("记录失败：")));
    QVERIFY(console.click(QStringLiteral("cmdDisconnect")));
}

void tst_RunRecorder::rowsReachTheFileWithinASecond()
{
    OfflineConsole console;
    console.connectPort();
    console.receive(line(600, 585));
    QCOMPARE(records(onlyRecord(console)).size(), 0);
    console.tick(10);
    QCOMPARE(records(onlyRecord(console)).size(), 1);
}

void tst_RunRecorder::fullFileContinuesInANewOne()
{
    QTemporaryDir directory;
    const QDateTime moment(QDate(2026, 12, 8), QTime(9, 30, 5));
    RecordFile file(directory.path(), QStringLiteral("COM3"), QStringLiteral("h\r\n"), 10);
    QCOMPARE(file.open(moment), std::nullopt);
    file.append(QStringLiteral("row 1\r\n"));
    QCOMPARE(file.flush(moment), std::nullopt);
    file.append(QStringLiteral("row 2\r\n"));
    QCOMPARE(file.flush(moment), std::nullopt);
    QCOMPARE(recordFiles(directory.path()),
        (QStringList{"2026-12-08_09-30-05_COM3.csv", "2026-12-08_09-30-05_COM3_2.csv"}));
    QCOMPARE(readCsv(directory.filePath(file.fileName())), (QList<QStringList>{{"h"}, {"row 2"}}));
}

void tst_RunRecorder::historyDialogSortsFiguresAsNumbers()
{
    QTemporaryDir directory;
    QFile runs(directory.filePath("runs.csv"));
    QVERIFY(runs.open(QIODevice::WriteOnly));
    runs.write("start,end,port,overshoot_pct\r\n"
               "2026-12-08T09:00:00.000,2026-12-08T09:01:00.000,COM1,9.50\r\n"
               "2026-12-08T11:00:00.000,2026-12-08T11:01:00.000,COM1,12.00\r\n"
               "2026-12-08T10:00:00.000,2026-12-08T10:01:00.000,COM1,10.25\r\n");
    runs.close();
    RunsDialog dialog(runs.fileName());
    const QStandardItemModel &model = dialog.runs();
    const auto column = [&model](int index) {
        QStringList cells;
        for (int row = 0; row < model.rowCount(); ++row)
            cells.append(model.index(row, index).data().toString());
        return cells;
    };
    QCOMPARE(column(0).first(), QStringLiteral("2026-12-08 11:00:00.000"));
    const_cast<QStandardItemModel &>(model).sort(8, Qt::AscendingOrder);
    QCOMPARE(column(8), (QStringList{"9.5", "10.25", "12"}));

    auto *open = dialog.findChild<QPushButton *>(QStringLiteral("openRecord"));
    QVERIFY(open && !open->isEnabled());
    dialog.findChild<QTableView *>()->selectRow(0);
    QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "openUrl");
    open->click();
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    QCOMPARE(m_opened, QUrl::fromLocalFile(directory.path()));
}

void tst_RunRecorder::chartDataHoldsTheChartsSamples()
{
    OfflineConsole console;
    console.connectPort();
    console.receive(line(600, 585));
    console.tick(3);
    console.receive(line(600, 1300));
    console.tick(2);
    QTemporaryDir directory;
    const QString path = directory.filePath("chart.csv");
    QVERIFY(console.window().exportChartData(path));
    QCOMPARE(readCsv(path),
        (QList<QStringList>{{"index", "run_s", "temperature_c"}, {"1", "0.0", "58.5"},
            {"2", "0.1", "58.5"}, {"3", "0.2", "58.5"}}));
    QVERIFY(console.window().saveChartImage(directory.filePath("chart.png")));
    QVERIFY(!QImage(directory.filePath("chart.png")).isNull());

    // 2,148 samples to 214.9 s, the two refused ones left out; the table holds what the view
    // shows, each sample numbered in the run.
    console.receive(line(600, 600));
    console.tick(2145);
    const auto exported = [&] {
        return console.window().exportChartData(path) ? readCsv(path) : QList<QStringList>();
    };
    QList<QStringList> rows = exported();
    QCOMPARE(rows.size(), 1 + 1700);
    QCOMPARE(rows[1], (QStringList{"449", "45.0", "60.0"}));
    QCOMPARE(rows.last(), (QStringList{"2148", "214.9", "60.0"}));
    console.click("shorten"); // the whole run
    rows = exported();
    QCOMPARE(rows.size(), 1 + 2148);
    QCOMPARE(rows[1], (QStringList{"1", "0.0", "58.5"}));
    QCOMPARE(rows.last(), (QStringList{"2148", "214.9", "60.0"}));
    console.click("enlarge");
    console.click("enlarge");
    console.click("move_left"); // 537 samples, held
    console.tick(10);
    rows = exported();
    QCOMPARE(rows.size(), 1 + 537);
    QCOMPARE(rows[1], (QStringList{"1344", "134.5", "60.0"}));
    QCOMPARE(rows.last(), (QStringList{"1880", "188.1", "60.0"}));
}

void tst_RunRecorder::chartFilesAreOfferedInTheRecordsFolder_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("suggested");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("saved");
    const QString picture = QStringLiteral("保存曲线图片…");
    const QString data = QStringLiteral("导出曲线数据…");
    const QString png = QStringLiteral("2026-12-07_10-15-00_chart.png");
    const QString csv = QStringLiteral("2026-12-07_10-15-00_chart.csv");
    QTest::newRow("picture as suggested") << picture << png << png << png;
    QTest::newRow("picture without a suffix") << picture << png << "trial"
                                              << "trial.png";
    QTest::newRow("picture with another") << picture << png << "trial.v2"
                                          << "trial.v2.png";
    QTest::newRow("data without a suffix") << data << csv << "trial"
                                           << "trial.csv";
    QTest::newRow("data with its suffix") << data << csv << "trial.CSV"
                                          << "trial.CSV";
}

/// The chart's context menu opens its save dialogs in the records folder, suggesting a name
/// after the run's start, and what is typed is saved with its suffix.
void tst_RunRecorder::chartFilesAreOfferedInTheRecordsFolder()
{
    QFETCH(QString, action);
    QFETCH(QString, suggested);
    QFETCH(QString, typed);
    QFETCH(QString, saved);
    OfflineConsole console;
    console.time().setNow(QDateTime(QDate(2026, 12, 7), QTime(10, 14, 59, 900)));
    console.connectPort();
    console.receive(line(600, 585));
    console.tick(30);
    auto *chart = console.control<QWidget>("ucHistogram1");
    emit chart->customContextMenuRequested(QPoint(10, 10));
    auto *menu = console.window().findChild<QMenu *>();
    QVERIFY(menu);
    const QList<QAction *> actions = menu->actions();
    const auto chosen = std::find_if(actions.cbegin(), actions.cend(),
        [&action](const QAction *item) { return item->text() == action; });
    QVERIFY(chosen != actions.cend());
    (*chosen)->trigger();
    auto *dialog = console.window().findChild<QFileDialog *>();
    QVERIFY(dialog);
    const QString folder = console.window().recordsDirectory();
    QCOMPARE(dialog->directory().absolutePath(), QDir(folder).absolutePath());
    QCOMPARE(QFileInfo(dialog->selectedFiles().value(0)).fileName(), suggested);
    dialog->selectFile(typed);
    static_cast<QDialog *>(dialog)->accept(); // as the dialog's save button does
    QVERIFY2(QFileInfo(QDir(folder).filePath(saved)).size() > 0, qPrintable(saved));
}

QTEST_MAIN(tst_RunRecorder)
#include "tst_run_recorder.moc"
