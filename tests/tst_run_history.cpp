#include "dialogs/run_history_model.h"
#include "dialogs/runs_dialog.h"
#include "hang_watchdog.h"
#include "named_rows.h"
#include "offline_console.h"
#include "record_checks.h"
#include "records/csv_format.h"
#include "records/predicted_run.h"
#include "records/read_progress.h"
#include "records/run_recorder.h"
#include "records/runs_file_tail.h"
#include "system_error.h"
#include "uc_histogram.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

#include <cerrno>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace RecordChecks;

namespace {
QList<QStringList> readCsv(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return CsvFormat::parse(QString::fromUtf8(file.readAll()));
}

QString onlyRecord(const OfflineConsole &console)
{
    const QStringList files = recordFiles(console.window().recordsDirectory());
    return files.size() == 1 ? QDir(console.window().recordsDirectory()).filePath(files.front())
                             : QString();
}

QString runsFile(const OfflineConsole &console)
{
    return QDir(console.window().recordsDirectory()).filePath(RunRecorder::runsFileName());
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

/// A settings file in the application's folder.
void writeSettings(const QTemporaryDir &application, const QByteArray &text)
{
    QVERIFY(writeFile(application.filePath("tarvex.ini"), text));
}

QString statusToolTip(const OfflineConsole &console)
{
    return console.control<QLabel>("lblStatus")->toolTip();
}

/// The lasting mark that nothing is recorded: its tooltip while shown, else nothing.
std::optional<QString> notRecordingMark(const OfflineConsole &console)
{
    const QLabel *mark = console.control<QLabel>("notRecording");
    if (!mark || mark->isHidden())
        return std::nullopt;
    return mark->toolTip();
}

/// The run history dialog the window opened, through the figure boxes' context menu.
/// Opens the chart's context menu and chooses the entry if it is enabled; whether it was, none
/// when the menu has no such entry. The menu is gone after.
std::optional<bool> chooseFromChartMenu(const OfflineConsole &console, const QString &text)
{
    auto *chart = console.control<QWidget>("ucHistogram1");
    emit chart->customContextMenuRequested(chart->rect().center());
    std::unique_ptr<QMenu> menu(console.window().findChild<QMenu *>());
    if (!menu)
        return std::nullopt;
    const QList<QAction *> actions = menu->actions();
    const auto entry = std::find_if(actions.cbegin(), actions.cend(),
        [&text](const QAction *action) { return action->text() == text; });
    if (entry == actions.cend())
        return std::nullopt;
    const bool enabled = (*entry)->isEnabled();
    if (enabled)
        (*entry)->trigger();
    return enabled;
}

RunsDialog *openRunsFromFigureBox(const OfflineConsole &console)
{
    auto *box = console.control<QLineEdit>("perfor_index_2");
    emit box->customContextMenuRequested(box->rect().center());
    QMenu *menu = console.window().findChild<QMenu *>();
    if (!menu)
        return nullptr;
    const QList<QAction *> actions = menu->actions();
    const auto runs = std::find_if(actions.cbegin(), actions.cend(),
        [](const QAction *action) { return action->text() == QStringLiteral("运行记录…"); });
    // The standard edit actions stay in front of it.
    if (runs == actions.cend() || actions.size() < 3)
        return nullptr;
    (*runs)->trigger();
    menu->close();
    return console.window().findChild<RunsDialog *>();
}
} // namespace

/// The run history and the records as the window offers them: the dialog, runs compared on the
/// chart, the chart's files, and what the status line and the "未记录" mark say of recording.
class tst_RunHistory : public QObject
{
    Q_OBJECT

public slots:
    /// Stands in for the desktop's file manager.
    void openUrl(const QUrl &url) { m_opened = url; }

private slots:
    void unwritableFolderLeavesTheConsoleWorking();
    void markSaysWhenNothingIsRecorded_data();
    void markSaysWhenNothingIsRecorded();
    void unwritableRunsFileIsReported_data();
    void unwritableRunsFileIsReported();
    void recordsFolderGoneWhileConnected_data();
    void recordsFolderGoneWhileConnected();
    void historyDialogSortsFiguresAsNumbers();
    void predictedRunSettlesOnlyWhenItStays_data();
    void predictedRunSettlesOnlyWhenItStays();
    void predictedRunSaysWhatItTested_data();
    void predictedRunSaysWhatItTested();
    void damagedCellsAreNoFigures();
    void newestRowsAreCountedToTheFirst_data();
    void newestRowsAreCountedToTheFirst();
    void historyDialogShowsTheRunInProgress();
    void historyDialogComparesChosenRuns();
    void historySetsPredictionBesideMeasurement();
    void runsFileThatIsNoRunsFileIsNamed_data();
    void runsFileThatIsNoRunsFileIsNamed();
    void runsFileBegunBySomeoneElse_data();
    void runsFileBegunBySomeoneElse();
    void quotedLineBreakStaysInItsRow_data();
    void quotedLineBreakStaysInItsRow();
    void longHistoryShowsItsNewestRuns();
    void largeRecordIsComparedInTheBackground();
    void recordNotPlainlyInTheFolderIsRefused_data();
    void recordNotPlainlyInTheFolderIsRefused();
    void runCurveLandsWhereTheLiveCurveWas_data();
    void runCurveLandsWhereTheLiveCurveWas();
    void chartDataHoldsTheChartsSamples();
    void chartFilesAreOfferedInTheRecordsFolder_data();
    void chartFilesAreOfferedInTheRecordsFolder();
    void chartFileNamedByTheConsoleIsNoLink_data();
    void chartFileNamedByTheConsoleIsNoLink();

private:
    QUrl m_opened;
};

/// Reported at every connection while the folder stays unusable, in the system's words, and
/// marked for as long as it lasts.
void tst_RunHistory::unwritableFolderLeavesTheConsoleWorking()
{
    QTemporaryDir application;
    QFile blocker(application.filePath("blocker"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    writeSettings(application, "[RECORD]\r\nDIR=blocker/records\r\n");

    OfflineConsole console(OfflineConsole::Visibility::Hidden, application.path());
    for (const int connection : {1, 2}) {
        console.connectPort();
        // The reason shows whole; only the path after it may be cut.
        const QString failure =
            QStringLiteral("记录失败：无法创建文件夹，%1：").arg(SystemError::text(ENOTDIR));
        QVERIFY2(
            console.text("lblStatus").startsWith(failure), qPrintable(console.text("lblStatus")));
        console.receive(line(600, 585));
        console.receive(line(600, 590));
        QCOMPARE(console.text("rece_quantity"), QString::number(2 * connection));
        QVERIFY(console.text("lblStatus").startsWith(failure));
        QVERIFY(statusToolTip(console).contains(QStringLiteral("记录失败：")));
        QVERIFY(
            notRecordingMark(console).value_or(QString()).contains(QStringLiteral("记录失败：")));
        QVERIFY(console.click(QStringLiteral("cmdDisconnect")));
        QVERIFY(notRecordingMark(console));
    }
}

void tst_RunHistory::markSaysWhenNothingIsRecorded_data()
{
    QTest::addColumn<QByteArray>("settings");
    QTest::addColumn<QString>("reason");
    QTest::newRow("recording") << QByteArray() << QString();
    QTest::newRow("turned off") << QByteArray("[RECORD]\r\nENABLED=0\r\n")
                                << QStringLiteral("ENABLED=0");
}

void tst_RunHistory::markSaysWhenNothingIsRecorded()
{
    QFETCH(QByteArray, settings);
    QFETCH(QString, reason);
    QTemporaryDir application;
    writeSettings(application, settings);
    OfflineConsole console(OfflineConsole::Visibility::Hidden, application.path());
    for (const bool connect : {false, true}) {
        if (connect) {
            console.connectPort();
            console.receive(line(600, 585));
        }
        QCOMPARE(notRecordingMark(console).has_value(), !reason.isEmpty());
        QVERIFY(notRecordingMark(console).value_or(QString()).contains(reason));
    }
}

void tst_RunHistory::unwritableRunsFileIsReported_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");
    const QString notRegular = QStringLiteral("不是普通文件");
    QTest::newRow("a folder of that name") << QStringLiteral("folder") << notRegular;
    // Opened, it would hold the window until something read it.
    QTest::newRow("a FIFO") << QStringLiteral("fifo") << notRegular;
    QTest::newRow("a device") << QStringLiteral("/dev/full") << notRegular;
    // The run's row is cut short by the limit, as by a full disk.
    QTest::newRow("a file size limit") << QStringLiteral("limit") << SystemError::text(EFBIG);
    // Another user's, leading out of the folder: nobody typed the name, nothing goes through it.
    QTest::newRow("a link to a file not there yet")
        << QStringLiteral("link") << QStringLiteral("此处是符号链接，未经它写入");
}

/// Anything but a regular file as runs.csv is never opened; a write that fails is reported and
/// leaves nothing of the row.
void tst_RunHistory::unwritableRunsFileIsReported()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    OfflineConsole console;
    const QString path = ::runsFile(console);
    const HangWatchdog watchdog;
    QTemporaryDir elsewhere;
    const QString target = elsewhere.filePath(QStringLiteral("target"));
    if (kind == QLatin1String("folder"))
        QVERIFY(QDir().mkpath(path));
    else if (kind == QLatin1String("fifo"))
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    else if (kind.startsWith(u'/'))
        QVERIFY(QFile::link(kind, path));
    else if (kind == QLatin1String("link"))
        QVERIFY(QDir().mkpath(QFileInfo(path).path()) && QFile::link(target, path));
    console.connectPort();
    console.receive(line(600, 585));
    console.tick(10); // the record's rows reach the file
    rlimit limit = {};
    QCOMPARE(::getrlimit(RLIMIT_FSIZE, &limit), 0);
    const rlimit before = limit;
    const auto previousAction = std::signal(SIGXFSZ, SIG_IGN);
    if (kind == QLatin1String("limit")) {
        // Room for the record as it stands, not for the run's row after the heading.
        limit.rlim_cur = rlim_t(QFileInfo(onlyRecord(console)).size());
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &limit), 0);
    }
    QVERIFY(console.click(QStringLiteral("cmdDisconnect")));
    ::setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, previousAction);
    const QString failure =
        QStringLiteral("记录失败：%1：%2").arg(reason, QDir::toNativeSeparators(path));
    QCOMPARE(notRecordingMark(console), failure);
    QVERIFY2(statusToolTip(console).contains(failure), qPrintable(statusToolTip(console)));
    QCOMPARE(namedRows(onlyRecord(console)).size(), 1);
    if (kind == QLatin1String("limit"))
        QCOMPARE(QFileInfo(path).size(), 0);
    QVERIFY(QDir(elsewhere.path()).isEmpty());
}

void tst_RunHistory::recordsFolderGoneWhileConnected_data()
{
    QTest::addColumn<bool>("moved");
    QTest::newRow("removed") << false;
    QTest::newRow("moved away") << true;
}

/// Noticed at the next write: the rows go to a new file in a folder made again, and the
/// status line says so once.
void tst_RunHistory::recordsFolderGoneWhileConnected()
{
    QFETCH(bool, moved);
    OfflineConsole console;
    const QDir folder(console.window().recordsDirectory());
    console.connectPort();
    console.receive(line(600, 585));
    console.tick(10);
    const QString first = QFileInfo(onlyRecord(console)).fileName();
    QVERIFY(!first.isEmpty());
    QTemporaryDir elsewhere;
    QVERIFY(moved ? QDir().rename(folder.path(), elsewhere.filePath("moved"))
                  : QDir(folder).removeRecursively());
    console.time().setNow(QDateTime::currentDateTime().addSecs(5));
    console.receive(line(600, 590));
    console.tick(10);
    QVERIFY2(console.text("lblStatus").startsWith(QStringLiteral("记录文件已不在原处")),
        qPrintable(console.text("lblStatus")));
    const QString second = QFileInfo(onlyRecord(console)).fileName();
    QVERIFY(!second.isEmpty() && second != first);
    // The notice stands while lines arrive.
    console.receive(line(600, 595));
    console.tick(10);
    QVERIFY2(console.text("lblStatus").startsWith(QStringLiteral("记录文件已不在原处")),
        qPrintable(console.text("lblStatus")));
    QVERIFY(!notRecordingMark(console));
    QVERIFY(console.click(QStringLiteral("cmdDisconnect")));

    const QList<QMap<QString, QString>> rows = namedRows(folder.filePath(second));
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows[0].value("current_c"), QStringLiteral("59.0"));
    const QList<QMap<QString, QString>> runs = namedRows(runsFile(console));
    QCOMPARE(runs.size(), 1);
    QCOMPARE(runs[0].value("record"), second);
}

void tst_RunHistory::historyDialogSortsFiguresAsNumbers()
{
    QTemporaryDir directory;
    const QString runs = directory.filePath("runs.csv");
    // Written before and after the times carried their offset: sorted as the moments they are.
    QVERIFY(writeFile(runs,
        "start,end,port,overshoot_pct,record\r\n"
        "2026-12-01T09:00:00.000,2026-12-01T09:01:00.000,COM1,9.50,a.csv\r\n"
        "2026-12-08T20:00:00.000+14:00,2026-12-08T20:01:00.000+14:00,COM1,12.00,b.csv\r\n"
        "2026-12-08T10:00:00.000-12:00,2026-12-08T10:01:00.000-12:00,COM1,10.25,"
        "c.csv;c_2.csv\r\n"
        "2026-12-20T09:00:00.000,2026-12-20T09:01:00.000,COM1,11.00,d.csv\r\n"));
    const QString record = directory.filePath("c.csv");
    QVERIFY(writeFile(record, {}));
    RunsDialog dialog(runs);
    const QAbstractItemModel &model = dialog.runs();
    QTRY_VERIFY(!dialog.isReading());
    const auto column = [&model](int index) {
        QStringList cells;
        for (int row = 0; row < model.rowCount(); ++row)
            cells.append(model.index(row, index).data().toString());
        return cells;
    };
    const auto shown = [](const char *moment) {
        return QDateTime::fromString(QLatin1String(moment), Qt::ISODateWithMs)
            .toLocalTime()
            .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    };
    QCOMPARE(column(0),
        (QStringList{shown("2026-12-20T09:00:00.000"), shown("2026-12-08T10:00:00.000-12:00"),
            shown("2026-12-08T20:00:00.000+14:00"), shown("2026-12-01T09:00:00.000")}));
    const_cast<QAbstractItemModel &>(model).sort(8, Qt::AscendingOrder);
    QCOMPARE(column(8), (QStringList{"9.5", "10.25", "11", "12"}));

    auto *open = dialog.findChild<QPushButton *>(QStringLiteral("openRecord"));
    const auto *problem = dialog.findChild<QLabel *>(QStringLiteral("problem"));
    QVERIFY(open && !open->isEnabled());
    dialog.findChild<QTableView *>()->selectRow(1);
    QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "openUrl");
    open->click();
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    QCOMPARE(m_opened, QUrl::fromLocalFile(record));
    QVERIFY(problem->isHidden());
    // Offscreen, the system has nothing to open a file with.
    open->click();
    QVERIFY(!problem->isHidden());
    QCOMPARE(problem->text(), QStringLiteral("无法打开记录：") + QDir::toNativeSeparators(record));
    dialog.findChild<QTableView *>()->selectRow(0);
    open->click();
    QVERIFY(problem->text().startsWith(QStringLiteral("找不到这次运行的记录文件：")));
}

/// Offered beside the figures, the history shows the run in progress, refreshes, and opens
/// wide enough for its columns.
void tst_RunHistory::historyDialogShowsTheRunInProgress()
{
    OfflineConsole console(OfflineConsole::Visibility::Shown);
    console.connectPort();
    console.receive(line(600, 585));
    RunsDialog *dialog = openRunsFromFigureBox(console);
    QVERIFY(dialog);
    QVERIFY(QTest::qWaitForWindowExposed(dialog));
    const auto cell = [dialog](int row, int column) {
        return dialog->runs().index(row, column).data().toString();
    };
    QTRY_VERIFY(!dialog->isReading());
    QCOMPARE(dialog->runs().rowCount(), 1);
    QCOMPARE(cell(0, 1), QStringLiteral("进行中"));
    QCOMPARE(cell(0, 12), QStringLiteral("1"));
    QCOMPARE(cell(0, 13), QFileInfo(onlyRecord(console)).fileName());
    // As wide as its columns, or, where the screen is narrower, as the screen.
    const QTableView *table = dialog->findChild<QTableView *>();
    QVERIFY2(table->horizontalHeader()->length() <= table->viewport()->width()
            || dialog->width() == dialog->screen()->availableGeometry().width(),
        qPrintable(QStringLiteral("%1 > %2, dialog %3")
                       .arg(table->horizontalHeader()->length())
                       .arg(table->viewport()->width())
                       .arg(dialog->width())));
    QVERIFY(table->isColumnHidden(RunHistoryModel::kFirstPredictionColumn));

    console.receive(line(600, 590));
    QVERIFY(console.click(QStringLiteral("runtimeclear")));
    console.receive(line(600, 595));
    dialog->findChild<QPushButton *>(QStringLiteral("refresh"))->click();
    QTRY_VERIFY(!dialog->isReading());
    QCOMPARE(dialog->runs().rowCount(), 2);
    QCOMPARE(cell(0, 1), QStringLiteral("进行中"));
    QCOMPARE(cell(1, 12), QStringLiteral("2"));
    QVERIFY(cell(1, 1) != QStringLiteral("进行中"));
}

/// Runs chosen in the history are set beside the current run with the differences, and drawn
/// on the chart from their records; a run whose record is gone is named and the others drawn.
void tst_RunHistory::historyDialogComparesChosenRuns()
{
    QTemporaryDir directory;
    const QString runs = directory.filePath("runs.csv");
    QVERIFY(writeFile(runs,
        "start,end,port,set_c,p,i,d,rise_s,overshoot_pct,peak_s,settling_s,record\r\n"
        "2026-12-08T09:00:00.000+08:00,2026-12-08T09:05:00.000+08:00,COM1,60.0,10,5,2,"
        "37.5,9.50,64.5,75.0,a.csv\r\n"
        "2026-12-08T10:00:00.000+08:00,2026-12-08T10:05:00.000+08:00,COM1,60.0,12,5,2,"
        "39.0,8.00,63.0,70.0,gone.csv\r\n"));
    QVERIFY(writeFile(directory.filePath("a.csv"),
        "time,run_s,kind,set_c,current_c,output_pct,p,i,d,text\r\n"
        "2026-12-08T09:00:00.000+08:00,0.0,line,60.0,25.0,50.20,10,5,2,st=0600\r\n"
        "2026-12-08T09:00:00.500+08:00,0.5,line,60.0,25.5,50.20,10,5,2,st=0600\r\n"
        "2026-12-08T09:00:00.800+08:00,0.8,lost,,,,,,,COM1 gone\r\n"
        "2026-12-08T09:00:06.000+08:00,6.0,line,60.0,30.0,50.20,10,5,2,st=0600\r\n"));
    RunsDialog dialog(runs);
    QSignalSpy drawn(&dialog, &RunsDialog::compareOnChart);
    QStringList current = QStringList(RunRecorder::runColumns().size(), QString());
    const auto set = [&current](const char *column, const char *value) {
        current[RunRecorder::runColumns().indexOf(QLatin1String(column))] = QLatin1String(value);
    };
    set("start", "2026-12-08T11:00:00.000+08:00");
    set("set_c", "60.0");
    set("p", "14");
    set("rise_s", "40.5");
    set("overshoot_pct", "7.40");
    dialog.setCurrentRun(current);
    auto *compare = dialog.findChild<QPushButton *>(QStringLiteral("compareOnChart"));
    QVERIFY(compare && !compare->isEnabled());
    QCOMPARE(compare->text(), QStringLiteral("在曲线上对比"));
    const QStandardItemModel &comparison = dialog.comparison();
    QCOMPARE(comparison.rowCount(), 1);
    QCOMPARE(comparison.index(0, 0).data().toString(), QStringLiteral("当前运行"));

    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QTRY_VERIFY(!dialog.isReading());
    QTableView *table = dialog.findChild<QTableView *>();
    table->selectRow(0);
    table->selectionModel()->select(
        dialog.runs().index(1, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QVERIFY(compare->isEnabled());
    QCOMPARE(comparison.rowCount(), 3);
    const auto row = [&comparison](int index) {
        QStringList cells;
        for (int column = 0; column < comparison.columnCount(); ++column)
            cells.append(comparison.index(index, column).data().toString());
        return cells;
    };
    QCOMPARE(row(0).mid(1), (QStringList{"60", "14", "", "", "40.5", "7.4", "", "", ""}));
    const auto shown = [](const char *moment) {
        return QDateTime::fromString(QLatin1String(moment), Qt::ISODateWithMs)
            .toLocalTime()
            .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    };
    QCOMPARE(row(1),
        (QStringList{shown("2026-12-08T10:00:00.000+08:00"), "60", "12", "5", "2", "39", "8", "63",
            "70", "上升时间 +1.5 s，超调量 −0.6 %"}));
    QCOMPARE(row(2).last(), QStringLiteral("上升时间 +3.0 s，超调量 −2.1 %"));
    // Each run is named whole, on one line.
    const auto *compared = dialog.findChild<QTableView *>(QStringLiteral("comparison"));
    const int nameWidth = compared->fontMetrics().horizontalAdvance(row(1).front());
    QTRY_VERIFY2(compared->columnWidth(0) > nameWidth,
        qPrintable(QStringLiteral("%1 <= %2").arg(compared->columnWidth(0)).arg(nameWidth)));

    compare->click();
    QTRY_VERIFY(!dialog.isReading());
    const auto *problem = dialog.findChild<QLabel *>(QStringLiteral("problem"));
    QVERIFY(!problem->isHidden());
    QCOMPARE(problem->text(),
        QStringLiteral("找不到记录文件：")
            + QDir::toNativeSeparators(directory.filePath("gone.csv")));
    QCOMPARE(drawn.count(), 1);
    const auto overlays = drawn.front().front().value<QList<ChartOverlay>>();
    QCOMPARE(overlays.size(), 1);
    // The lost device breaks the curve instead of joining its two sides.
    const std::vector<HistorySample> &samples = overlays.front().samples;
    QCOMPARE(samples.size(), std::size_t(4));
    QCOMPARE(samples[1].value, 255);
    QCOMPARE(samples[1].stamp, 5);
    QCOMPARE(samples[2].value, ChartOverlay::kGap);
    QCOMPARE(samples[2].stamp, 8);
    QCOMPARE(samples[3].value, 300);
    QCOMPARE(samples[3].stamp, 60);
    QCOMPARE(overlays.front().legend,
        QDateTime::fromString(QStringLiteral("2026-12-08T09:00:00.000+08:00"), Qt::ISODateWithMs)
                .toLocalTime()
                .toString(QStringLiteral("MM-dd HH:mm:ss"))
            + QStringLiteral(" · 设定 60.0 ℃ · P 10 I 5 D 2"));
}

/// A history begun before predictions were kept reads the rows written since with them; a run
/// that strayed from its prediction offers a fit from itself.
void tst_RunHistory::historySetsPredictionBesideMeasurement()
{
    QTemporaryDir directory;
    const QString runs = directory.filePath("runs.csv");
    const QByteArray start =
        "2026-12-08T09:00:00.000+08:00,2026-12-08T09:05:00.000+08:00,COM1,60.0,";
    QVERIFY(writeFile(runs,
        "start,end,port,set_c,p,i,d,rise_s,overshoot_pct,peak_s,settling_s,highest_c,lines,"
        "record\r\n"
            + start + "10,5,2,37.5,9.50,64.5,75.0,65.7,600,a.csv\r\n" + start
            + "54,3,0,34.5,0.33,36.5,22.5,60.2,760,b.csv,0.19686,60.17,3.35,0.20,0.20,32.0,"
              "33.5,181.0,190.0\r\n"
            + start
            + "54,3,0,34.5,1.00,36.5,22.5,60.6,760,c.csv,0.19686,60.17,3.35,0.20,0.60,32.0,"
              "61.0,181.0,260.0\r\n"
            + start
            + "54,3,0,34.5,0.33,36.5,,60.2,760,d.csv,0.19686,60.17,3.35,0.20,0.20,32.0,,"
              "181.0,190.0\r\n"
            + start
            + "54,3,0,34.5,1.00,36.5,22.5,60.6,760,e.csv,0.19686,60.17,3.35,0.20,0.60,32.0,"
              "61.0,181.0,260.0,50.0,60.0,45.0,1,0\r\n"
            + start
            + "54,3,0,34.5,1.00,36.5,22.5,60.6,760,f.csv,0.19686,60.17,3.35,0.20,0.60,32.0,"
              "61.0,181.0,260.0,50.0,60.0,50.1,0,0\r\n"
            + start
            + "54,3,0,34.5,1.00,36.5,22.5,60.6,760,g.csv,0.19686,60.17,3.35,0.20,0.60,32.0,"
              "61.0,181.0,260.0,50.0,60.0,50.1,,1\r\n"));
    RunsDialog dialog(runs);
    QSignalSpy refitted(&dialog, &RunsDialog::tuningAdviceRequested);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QTRY_VERIFY(!dialog.isReading());
    QTableView *table = dialog.findChild<QTableView *>(QStringLiteral("runs"));
    auto *verification = dialog.findChild<QWidget *>(QStringLiteral("verification"));
    auto *refit = dialog.findChild<QPushButton *>(QStringLiteral("refit"));
    const auto said = [&dialog] {
        return dialog.findChild<QWidget *>(QStringLiteral("verification"))
            ->findChild<QLabel *>()
            ->text();
    };
    const auto choose = [&](const char *record) {
        for (int row = 0; row < dialog.runs().rowCount(); ++row) {
            if (dialog.runs().index(row, RunHistoryModel::kRecordColumn).data() == record)
                table->selectRow(row);
        }
    };
    choose("a.csv");
    QVERIFY(verification->isHidden());
    choose("b.csv");
    QVERIFY(!verification->isHidden());
    QCOMPARE(said(),
        QStringLiteral("预测 / 实测：超调 0.20 / 0.20 ℃，调节（±0.5 ℃）32.0 / 33.5 s，IAE 181 / "
                       "190 ℃·s。实测与预测相符。"));
    QVERIFY(refit->isHidden());
    choose("c.csv");
    QVERIFY2(said().contains(u"超调相差 0.40 ℃（容许 0.15 ℃）；调节时间相差 29.0 s（容许 3 s）；"
                             u"IAE 相差 44 %（容许 20 %）"),
        qPrintable(said()));
    QVERIFY(!refit->isHidden());
    QVERIFY2(
        said().endsWith(u"模型可能已不合这次运行，可以从这次运行重新拟合。"), qPrintable(said()));
    choose("d.csv");
    QVERIFY2(said().contains(u"调节（±0.5 ℃）32.0 / 未稳定 s"), qPrintable(said()));
    QVERIFY2(said().contains(u"预测 32.0 s 稳定在 ±0.5 ℃ 内，实测没有稳定"), qPrintable(said()));
    QVERIFY(!refit->isHidden());
    // The cause the run itself shows is named before the model is blamed.
    choose("e.csv");
    QVERIFY2(said().endsWith(u"阶跃没有按预测进行：开始时是 45.0 ℃，预测是从 50.0 ℃ 开始的。"),
        qPrintable(said()));
    choose("f.csv");
    QVERIFY2(said().contains(u"与 [TUNING] 的刻度不符"), qPrintable(said()));
    choose("g.csv");
    QVERIFY2(said().contains(u"模型本来就知道得不准"), qPrintable(said()));
    choose("c.csv");
    refit->click();
    QCOMPARE(refitted.count(), 1);
    const QStringList run = refitted.front().front().toStringList();
    QCOMPARE(run.value(RunRecorder::runColumns().indexOf(QLatin1String("record"))),
        QStringLiteral("c.csv"));
}

void tst_RunHistory::predictedRunSettlesOnlyWhenItStays_data()
{
    QTest::addColumn<QList<double>>("afterSpan");
    QTest::addColumn<bool>("swings");
    QTest::addColumn<double>("setPointAfter");
    QTest::addColumn<bool>("settled");
    QTest::newRow("stays in the band") << QList<double>{60.2, 59.9} << false << 60.0 << true;
    QTest::newRow("leaves the band after the span")
        << QList<double>{60.2, 60.8} << false << 60.0 << false;
    QTest::newRow("swings about the target before it rests")
        << QList<double>{60.0} << true << 60.0 << false;
    QTest::newRow("a new set point after the span")
        << QList<double>{60.2, 70.0} << false << 70.0 << true;
}

/// A run settled when it entered the band for the last time within the prediction's span, and
/// stayed there: a run that swings, or leaves the band after the span under the same set point,
/// never settled.
void tst_RunHistory::predictedRunSettlesOnlyWhenItStays()
{
    QFETCH(QList<double>, afterSpan);
    QFETCH(bool, swings);
    QFETCH(double, setPointAfter);
    QFETCH(bool, settled);
    AppliedPrediction applied;
    applied.model.gain = 50.0 / 255;
    applied.model.timeConstant = 10;
    applied.model.deadTime = 1;
    applied.model.offset = 25;
    applied.plan.from = 50;
    applied.plan.to = 60;
    applied.plan.horizonSeconds = 60;
    applied.gains = {10, 5, 2};
    applied.prediction = LoopPrediction::of(applied.model, {}, applied.gains, applied.plan);
    PredictedRun run(applied);
    for (qint64 tenths = 5; tenths <= 600; tenths += 5) {
        const double seconds = tenths / 10.0;
        double temperature = seconds < 20 ? 50 + seconds / 2 : 60.0;
        if (swings && seconds >= 20 && seconds < 45)
            temperature = 60.0 + (int(seconds / 5) % 2 ? 0.8 : -0.8);
        run.follow(tenths, temperature, 60.0, {});
    }
    qint64 tenths = 600;
    for (const double temperature : afterSpan)
        run.follow(tenths += 5, temperature, setPointAfter, {});
    const RunVerification verification = run.verification();
    QVERIFY(verification.measuredIae);
    QCOMPARE(verification.measuredSettling.has_value(), settled);
    QCOMPARE(verification.neverSettled(), !settled);
    QCOMPARE(verification.measuredFrom, std::optional<double>(50.25));
}

void tst_RunHistory::predictedRunSaysWhatItTested_data()
{
    QTest::addColumn<QString>("run");
    QTest::addColumn<QString>("said");
    QTest::newRow("a step as predicted") << "step"
                                         << "实测与预测";
    QTest::newRow("the gains never taken") << "unconfirmed"
                                           << "控制器没有确认这次的增益";
    QTest::newRow("the gains changed mid-run") << "changed"
                                               << "运行中增益被改动过";
    QTest::newRow("nothing stepped") << "still"
                                     << "温度没有朝目标变化，没有阶跃";
    QTest::newRow("cleared mid-rise") << "short"
                                      << "运行在预测的峰值之前就结束了";
    QTest::newRow("the link down for the rise") << "gap"
                                                << "上升时连接中断过";
}

/// A verdict only on what the run tested: the gains taken and kept, a step made, the rise seen
/// and past the predicted peak; else why not, and nothing that strays.
void tst_RunHistory::predictedRunSaysWhatItTested()
{
    QFETCH(QString, run);
    QFETCH(QString, said);
    AppliedPrediction applied;
    applied.model.gain = 50.0 / 255;
    applied.model.timeConstant = 10;
    applied.model.deadTime = 1;
    applied.model.offset = 25;
    applied.plan.from = 50;
    applied.plan.to = 60;
    applied.plan.horizonSeconds = 60;
    applied.gains = {10, 5, 2};
    applied.prediction = LoopPrediction::of(applied.model, {}, applied.gains, applied.plan);
    PredictedRun predicted(applied);
    const ReportedGains taken{10, 5, 2};
    const ReportedGains other{20, 5, 2};
    if (run == u"unconfirmed")
        predicted.commandChecked(false);
    else
        predicted.commandChecked(true);
    const qint64 last = run == u"short" ? 100 : 600;
    for (qint64 tenths = 5; tenths <= last; tenths += 5) {
        const double seconds = tenths / 10.0;
        if (run == u"gap" && seconds > 3 && seconds < 12)
            continue;
        const double temperature = run == u"still" ? 50.0 : std::min(60.0, 50 + seconds / 2);
        predicted.follow(
            tenths, temperature, 60.0, run == u"changed" && seconds > 30 ? other : taken);
    }
    const RunVerification verification = predicted.verification();
    QVERIFY2(verification.verdict().contains(said), qPrintable(verification.verdict()));
    if (run != u"step")
        QVERIFY(verification.strayed().isEmpty());
    // The reason is kept where the history reads it.
    const std::optional<RunVerification> read =
        RunVerification::fromRow(RunVerification::columns(), verification.cells());
    QVERIFY(read);
    QCOMPARE(read->verdict(), verification.verdict());
}

void tst_RunHistory::damagedCellsAreNoFigures()
{
    QStringList cells = RunVerification::columns();
    for (QString &cell : cells)
        cell.clear();
    const auto put = [&cells](const char *column, const char *text) {
        cells[RunVerification::columns().indexOf(QLatin1String(column))] = QLatin1String(text);
    };
    put("model_k", "0.19686");
    put("predicted_overshoot_c", "nan");
    put("measured_overshoot_c", "0.40");
    put("predicted_iae", "0");
    put("measured_iae", "190.0");
    put("predicted_settling_s", "inf");
    const std::optional<RunVerification> read =
        RunVerification::fromRow(RunVerification::columns(), cells);
    QVERIFY(read);
    QCOMPARE(read->comparable(), 0);
    QCOMPARE(read->verdict(), QStringLiteral("没有两边都有的数字可以比较。"));
}

void tst_RunHistory::newestRowsAreCountedToTheFirst_data()
{
    QTest::addColumn<int>("wanted");
    QTest::addColumn<QByteArray>("afterHeading");
    QTest::newRow("the newest three, within the last block") << 3 << QByteArray();
    QTest::newRow("all but the first, across blocks") << 9 << QByteArray();
    QTest::newRow("every row, the first at the file's start") << 10 << QByteArray();
    QTest::newRow("more than there are") << 11 << QByteArray();
    QTest::newRow("every row, a blank line before them") << 10 << QByteArray("\r\n");
}

/// Ten rows of 40 kB, read from the end in blocks of 256 kB: the rows of each block read, the
/// first one at the file's start included, count towards the newest wanted, and older ones are
/// said to be left when they are.
void tst_RunHistory::newestRowsAreCountedToTheFirst()
{
    QFETCH(int, wanted);
    QFETCH(QByteArray, afterHeading);
    QTemporaryDir directory;
    const QString path = directory.filePath("runs.csv");
    QByteArray text = CsvFormat::row(RunRecorder::runColumns()).toUtf8() + afterHeading;
    for (int run = 0; run < 10; ++run)
        text += QByteArray::number(run) + ',' + QByteArray(40'000, 'x') + "\r\n";
    QVERIFY(writeFile(path, text));
    RunsFileTail tail(path);
    QList<int> read;
    const RunsFileTail::Outcome outcome = tail.readBack(wanted, {}, [&read](QByteArrayView row) {
        read.append(row.first(row.indexOf(',')).toInt());
        return true;
    });
    QList<int> newest;
    for (int run = 9; run >= std::max(0, 10 - wanted); --run)
        newest.append(run);
    QCOMPARE(read, newest);
    QCOMPARE(outcome.more, wanted < 10);
}

void tst_RunHistory::runsFileThatIsNoRunsFileIsNamed_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<QString>("said");
    const QString notRegular = QStringLiteral("无法读取运行记录：%1 不是普通文件");
    const QString notRuns = QStringLiteral("无法读取运行记录：%1 不是运行记录");
    QTest::newRow("a FIFO") << QStringLiteral("fifo") << QByteArray() << notRegular;
    QTest::newRow("a folder") << QStringLiteral("folder") << QByteArray() << notRegular;
    QTest::newRow("someone else's table")
        << QStringLiteral("file") << QByteArray("Date,Operator,Note\r\n2026-12-01,Li,ok\r\n")
        << notRuns;
    QTest::newRow("random bytes") << QStringLiteral("file")
                                  << QByteArray::fromHex("8fe3001b2c7fff0a41c0fe2c0d0a9d0a")
                                  << notRuns;
    QTest::newRow("the console's heading, separated by semicolons")
        << QStringLiteral("file")
        << QByteArray("start;end;port;set_c;p;i;d;record\r\n"
                      "2026-12-01T09:00:00.000;2026-12-01T09:01:00.000;COM1;60.0;10;5;2;a.csv\r\n")
        << notRuns;
}

/// A runs.csv that is no regular file is never opened, and one that holds someone else's table
/// is not shown as runs: the history opens at once and says so.
void tst_RunHistory::runsFileThatIsNoRunsFileIsNamed()
{
    QFETCH(QString, kind);
    QFETCH(QByteArray, contents);
    QFETCH(QString, said);
    QTemporaryDir directory;
    const QString runs = directory.filePath("runs.csv");
    const HangWatchdog watchdog;
    if (kind == QLatin1String("fifo"))
        QCOMPARE(::mkfifo(QFile::encodeName(runs).constData(), 0600), 0);
    else if (kind == QLatin1String("folder"))
        QVERIFY(QDir().mkdir(runs));
    else
        QVERIFY(writeFile(runs, contents));
    RunsDialog dialog(runs);
    QTRY_VERIFY(!dialog.isReading());
    const auto *problem = dialog.findChild<QLabel *>(QStringLiteral("problem"));
    QVERIFY(!problem->isHidden());
    QCOMPARE(problem->text(), said.arg(QDir::toNativeSeparators(runs)));
    QCOMPARE(dialog.runs().rowCount(), 0);
}

void tst_RunHistory::runsFileBegunBySomeoneElse_data()
{
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<bool>("foreign");
    QTest::newRow("someone else's table")
        << QByteArray("Date,Operator,Note\r\n2026-12-01,Li,ok\r\n") << true;
    QTest::newRow("random bytes") << QByteArray::fromHex("8fe3001b2c7fff0a41c0fe2c0d0a9d0a")
                                  << true;
    QTest::newRow("the console's heading, separated by semicolons")
        << QByteArray("start;end;port;set_c;p;i;d;record\r\n"
                      "2026-12-01T09:00:00.000;2026-12-01T09:01:00.000;COM1;60.0;10;5;2;a.csv\r\n")
        << true;
    QTest::newRow("an older console's heading") << QByteArray(
        "start,end,port,set_c,p,i,d,rise_s,overshoot_pct,peak_s,settling_s,highest_c,"
        "lines,record\r\n"
        "2026-12-01T09:00:00.000+08:00,2026-12-01T09:01:00.000+08:00,COM1,60.0,10,5,"
        "2,,,,,61.0,40,a.csv\r\n") << false;
}

/// The console's runs never go into someone else's table: they go to a file of their own beside
/// it, the status line says so once, and the history reads them there and says why.
void tst_RunHistory::runsFileBegunBySomeoneElse()
{
    QFETCH(QByteArray, contents);
    QFETCH(bool, foreign);
    OfflineConsole console;
    const QDir folder(console.window().recordsDirectory());
    QVERIFY(QDir().mkpath(folder.path()));
    const QString runs = ::runsFile(console);
    QVERIFY(writeFile(runs, contents));
    const QString own = foreign ? folder.filePath(QStringLiteral("runs-2.csv")) : runs;
    const QString notice =
        QStringLiteral("运行记录改记到 runs-2.csv\nruns.csv 不是本程序的运行记录，未改动它");
    QStringList records;
    for (const int run : {1, 2}) {
        console.connectPort();
        console.receive(line(600, 585));
        console.tick(10);
        // Said as recording starts, standing while the lines arrive.
        QVERIFY2(statusToolTip(console).contains(notice) == (foreign && run == 1),
            qPrintable(statusToolTip(console)));
        records.append(QFileInfo(onlyRecord(console)).fileName());
        QVERIFY(console.click(QStringLiteral("cmdDisconnect")));
        QVERIFY(QFile::remove(folder.filePath(records.last())));
        console.time().setNow(console.time().now().addSecs(5));
    }
    QVERIFY(!notRecordingMark(console));
    QFile begun(runs);
    QVERIFY(begun.open(QIODevice::ReadOnly));
    if (foreign)
        QCOMPARE(begun.readAll(), contents);
    QCOMPARE(QFileInfo::exists(folder.filePath(QStringLiteral("runs-2.csv"))), foreign);
    const QList<QMap<QString, QString>> rows = namedRows(own);
    QCOMPARE(rows.size(), foreign ? 2 : 3);
    QCOMPARE(rows.value(rows.size() - 2).value("record"), records.front());
    QCOMPARE(rows.last().value("record"), records.back());
    QCOMPARE(rows.last().value("port"), QStringLiteral("COM1"));

    RunsDialog *history = openRunsFromFigureBox(console);
    QVERIFY(history);
    QTRY_VERIFY(!history->isReading());
    QCOMPARE(history->runs().rowCount(), rows.size());
    QCOMPARE(
        history->runs().index(0, RunHistoryModel::kRecordColumn).data().toString(), records.back());
    QCOMPARE(history->findChild<QLabel *>(QStringLiteral("runsFile"))->text(),
        QFileInfo(own).absoluteFilePath());
    const auto *problem = history->findChild<QLabel *>(QStringLiteral("problem"));
    QCOMPARE(problem->isHidden(), !foreign);
    if (foreign)
        QCOMPARE(problem->text(),
            QStringLiteral("%1 不是运行记录，本程序的运行记录在 %2")
                .arg(QDir::toNativeSeparators(runs), QDir::toNativeSeparators(own)));
}

void tst_RunHistory::quotedLineBreakStaysInItsRow_data()
{
    QTest::addColumn<QByteArray>("written"); // the middle run's port cell in the file
    QTest::addColumn<QString>("port"); // as read; none where the cell is no valid CSV
    QTest::newRow("a line break") << QByteArray("\"COM1\r\nby hand\"")
                                  << QStringLiteral("COM1\r\nby hand");
    QTest::newRow("two, with quotes doubled")
        << QByteArray("\"COM1 \"\"bench\"\"\r\n\r\nsee \"\"note\"\"\"")
        << QStringLiteral("COM1 \"bench\"\r\n\r\nsee \"note\"");
    QTest::newRow("a bare line feed")
        << QByteArray("\"COM1\nby hand\"") << QStringLiteral("COM1\nby hand");
    // A quote that never pairs: the lines before it stay rows of their own.
    QTest::newRow("a stray quote") << QByteArray("COM1 5\" pipe") << QString();
}

/// A field edited by hand to hold a line break, inside its quotes as CSV has it, stays in its
/// row: the rows on either side are whole and no row of its pieces appears.
void tst_RunHistory::quotedLineBreakStaysInItsRow()
{
    QFETCH(QByteArray, written);
    QFETCH(QString, port);
    QTemporaryDir directory;
    const QString runs = directory.filePath("runs.csv");
    QVERIFY(writeFile(runs,
        "start,end,port,overshoot_pct,record\r\n"
        "2026-12-01T09:00:00.000+08:00,2026-12-01T09:01:00.000+08:00,COM1,9.50,a.csv\r\n"
        "2026-12-02T09:00:00.000+08:00,2026-12-02T09:01:00.000+08:00,"
            + written
            + ",10.00,b.csv\r\n"
              "2026-12-03T09:00:00.000+08:00,2026-12-03T09:01:00.000+08:00,COM1,11.00,c.csv\r\n"));
    RunsDialog dialog(runs);
    QTRY_VERIFY(!dialog.isReading());
    const QAbstractItemModel &model = dialog.runs();
    QCOMPARE(model.rowCount(), 3);
    const auto cell = [&model](int row, int column) {
        return model.index(row, column).data().toString();
    };
    const auto shown = [](const char *moment) {
        return QDateTime::fromString(QLatin1String(moment), Qt::ISODateWithMs)
            .toLocalTime()
            .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    };
    QCOMPARE(cell(0, 0), shown("2026-12-03T09:00:00.000+08:00"));
    QCOMPARE(cell(1, 0), shown("2026-12-02T09:00:00.000+08:00"));
    QCOMPARE(cell(2, 0), shown("2026-12-01T09:00:00.000+08:00"));
    QCOMPARE(cell(0, RunHistoryModel::kRecordColumn), QStringLiteral("c.csv"));
    QCOMPARE(cell(2, RunHistoryModel::kRecordColumn), QStringLiteral("a.csv"));
    if (!port.isNull()) {
        QCOMPARE(cell(1, 2), port);
        QCOMPARE(cell(1, RunHistoryModel::kRecordColumn), QStringLiteral("b.csv"));
    }
    QVERIFY(dialog.findChild<QLabel *>(QStringLiteral("problem"))->isHidden());
}

/// A history far longer than is shown opens with its newest runs, read from the file's end, and
/// says that the older ones are left out; a last row cut short is left out and said.
void tst_RunHistory::longHistoryShowsItsNewestRuns()
{
    QTemporaryDir directory;
    const QString runs = directory.filePath("runs.csv");
    QFile file(runs);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("start,end,port,set_c,p,i,d,rise_s,overshoot_pct,peak_s,settling_s,highest_c,lines,"
               "record\r\n");
    const QDateTime first(QDate(2026, 12, 1), QTime(0, 0), QTimeZone(8 * 3600));
    const auto start = [&first](qint64 run) { return first.addSecs(run * 8); };
    qint64 count = 0;
    QByteArray rows;
    for (; file.size() + rows.size() < 10 * 1024 * 1024; ++count) {
        rows += start(count).toString(Qt::ISODateWithMs).toLatin1() + ','
            + start(count).addSecs(4).toString(Qt::ISODateWithMs).toLatin1()
            + ",COM1,60.0,10,5,2,,,,,25.0,40," + QByteArray::number(count) + ".csv\r\n";
        if (rows.size() > 1024 * 1024)
            file.write(std::exchange(rows, {}));
    }
    file.write(rows + start(count).toString(Qt::ISODateWithMs).toLatin1() + ",2026-12");
    file.close();
    QVERIFY(count > RunsDialog::kNewestShown);

    RunsDialog dialog(runs);
    // Read off the window's thread: the dialog is built before the history is.
    QVERIFY(dialog.isReading());
    QTRY_VERIFY_WITH_TIMEOUT(!dialog.isReading(), 30000);
    const QAbstractItemModel &model = dialog.runs();
    QCOMPARE(model.rowCount(), RunsDialog::kNewestShown);
    const auto shown = [](const QDateTime &moment) {
        return moment.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    };
    QCOMPARE(model.index(0, 0).data().toString(), shown(start(count - 1)));
    QCOMPARE(model.index(0, 13).data().toString(), QString::number(count - 1) + ".csv");
    QCOMPARE(model.index(model.rowCount() - 1, 0).data().toString(),
        shown(start(count - RunsDialog::kNewestShown)));
    const auto *problem = dialog.findChild<QLabel *>(QStringLiteral("problem"));
    QCOMPARE(problem->text(),
        QStringLiteral(
            "只列出了最新的 %L1 次运行，更早的运行仍在 %2 中\n运行记录的最后一行不完整，已舍去")
            .arg(RunsDialog::kNewestShown)
            .arg(QDir::toNativeSeparators(runs)));
}

/// A record of hundreds of megabytes is read in the background with its progress shown; a last
/// row cut short is left out and said, never drawn as a temperature of its own.
void tst_RunHistory::largeRecordIsComparedInTheBackground()
{
    QTemporaryDir directory;
    const QString record = directory.filePath("big.csv");
    QFile file(record);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("time,run_s,kind,set_c,current_c,output_pct,p,i,d,text\r\n");
    QByteArray rows;
    qint64 count = 0;
    const auto current = [](qint64 row) { return 250 + int(row % 350); };
    for (; file.size() + rows.size() < 200 * 1024 * 1024; ++count) {
        rows += "2026-12-08T09:30:00.000+08:00," + QByteArray::number(count / 10) + '.'
            + QByteArray::number(count % 10) + ",line,60.0,"
            + QByteArray::number(current(count) / 10) + '.'
            + QByteArray::number(current(count) % 10)
            + ",50.20,10,5,2,\"st=0600 pv=0585 out= 128 pid= 010, 005, 002\"\r\n";
        if (rows.size() > 4 * 1024 * 1024)
            file.write(std::exchange(rows, {}));
    }
    // Cut in the middle of its temperature, 60.5 °C: read whole it would be 0.6 °C.
    file.write(rows + "2026-12-08T09:30:00.000+08:00,99999.9,line,60.0,6");
    file.close();
    const QString runs = directory.filePath("runs.csv");
    QVERIFY(writeFile(runs,
        "start,end,port,set_c,p,i,d,record\r\n"
        "2026-12-08T09:30:00.000+08:00,,COM1,60.0,10,5,2,big.csv\r\n"));

    RunsDialog dialog(runs);
    QSignalSpy drawn(&dialog, &RunsDialog::compareOnChart);
    QList<int> progress;
    connect(dialog.findChild<QProgressBar *>(), &QProgressBar::valueChanged, this,
        [&progress](int value) { progress.append(value); });
    QTRY_VERIFY(!dialog.isReading());
    dialog.findChild<QTableView *>()->selectRow(0);
    progress.clear();
    dialog.findChild<QPushButton *>(QStringLiteral("compareOnChart"))->click();
    QVERIFY(dialog.isReading());
    QVERIFY(dialog.findChild<QWidget *>(QStringLiteral("reading"))->isVisibleTo(&dialog));
    QTRY_VERIFY_WITH_TIMEOUT(!dialog.isReading(), 120000);
    QVERIFY(!dialog.findChild<QWidget *>(QStringLiteral("reading"))->isVisibleTo(&dialog));
    QVERIFY2(progress.size() > 10, qPrintable(QString::number(progress.size())));
    QVERIFY(std::is_sorted(progress.cbegin(), progress.cend()));
    QVERIFY(progress.back() >= 990);

    QCOMPARE(drawn.count(), 1);
    const auto overlays = drawn.front().front().value<QList<ChartOverlay>>();
    QCOMPARE(overlays.size(), 1);
    const std::vector<HistorySample> &samples = overlays.front().samples;
    QCOMPARE(qint64(samples.size()), count);
    QCOMPARE(samples.back().stamp, count - 1);
    QCOMPARE(samples.back().value, current(count - 1));
    QCOMPARE(dialog.findChild<QLabel *>(QStringLiteral("problem"))->text(),
        QStringLiteral("记录文件的最后一行不完整，已舍去：") + QDir::toNativeSeparators(record));
}

/// A record named by anything but a plain file name is neither read nor handed to the desktop:
/// runs.csv may have been written by someone else, and the name taken as a path leads out.
void tst_RunHistory::recordNotPlainlyInTheFolderIsRefused_data()
{
    QTest::addColumn<QString>("record"); // as runs.csv names it
    QTest::addColumn<QString>("notOpened"); // %1 is the record's path
    QTest::addColumn<QString>("notRead");
    QTest::newRow("a path out of the folder")
        << "../outside.csv"
        << "记录文件名不是记录文件夹中的文件，未打开：../outside.csv"
        << "记录文件名不是记录文件夹中的文件，未读取：../outside.csv";
    QTest::newRow("a FIFO in the folder") << "fifo.csv"
                                          << "无法打开记录：%1 不是普通文件"
                                          << "无法读取记录文件：%1 不是普通文件";
}

/// Only a regular file named plainly in the records folder is read or handed to the desktop.
void tst_RunHistory::recordNotPlainlyInTheFolderIsRefused()
{
    QFETCH(QString, record);
    QFETCH(QString, notOpened);
    QFETCH(QString, notRead);
    const HangWatchdog watchdog;
    QTemporaryDir top;
    const QDir directory(top.filePath("records"));
    QVERIFY(directory.mkpath("."));
    QVERIFY(writeFile(top.filePath("outside.csv"),
        "time,run_s,kind,set_c,current_c,output_pct,p,i,d,text\r\n"
        "2026-12-08T09:00:00.000+08:00,0.0,line,60.0,25.0,50.20,10,5,2,st=0600\r\n"));
    QCOMPARE(::mkfifo(QFile::encodeName(directory.filePath("fifo.csv")).constData(), 0600), 0);
    const QString runs = directory.filePath("runs.csv");
    QVERIFY(writeFile(runs,
        "start,end,port,set_c,p,i,d,record\r\n"
        "2026-12-08T09:00:00.000+08:00,2026-12-08T09:05:00.000+08:00,COM1,60.0,10,5,2,"
            + record.toUtf8() + "\r\n"));
    const QString path = QDir::toNativeSeparators(directory.filePath(record));
    RunsDialog dialog(runs);
    QSignalSpy drawn(&dialog, &RunsDialog::compareOnChart);
    QTRY_VERIFY(!dialog.isReading());
    dialog.findChild<QTableView *>()->selectRow(0);
    const auto *problem = dialog.findChild<QLabel *>(QStringLiteral("problem"));
    m_opened = QUrl();
    QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "openUrl");
    dialog.findChild<QPushButton *>(QStringLiteral("openRecord"))->click();
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    QCOMPARE(m_opened, QUrl());
    QCOMPARE(problem->text(), notOpened.contains(u'%') ? notOpened.arg(path) : notOpened);
    dialog.findChild<QPushButton *>(QStringLiteral("compareOnChart"))->click();
    QTRY_VERIFY(!dialog.isReading());
    QCOMPARE(drawn.count(), 0);
    QCOMPARE(problem->text(), notRead.contains(u'%') ? notRead.arg(path) : notRead);
}

void tst_RunHistory::runCurveLandsWhereTheLiveCurveWas_data()
{
    QTest::addColumn<QStringList>("clicks");
    QTest::newRow("live") << QStringList{};
    QTest::newRow("stretched") << QStringList{"enlarge"};
    QTest::newRow("stretched, moved back and zoomed")
        << QStringList{"enlarge", "enlarge", "move_left", "zoom_out"};
}

/// A run's curve read back from its record, chosen in the run history and compared with the run
/// in progress, lands on the pixels its live curve took in the same view, in the chart's picture
/// too; "清除对比" leaves the chart as it was.
void tst_RunHistory::runCurveLandsWhereTheLiveCurveWas()
{
    QFETCH(QStringList, clicks);
    OfflineConsole console(OfflineConsole::Visibility::Shown);
    console.time().setNow(QDateTime(QDate(2026, 12, 8), QTime(9, 30)));
    console.connectPort();
    for (int n = 0; n < 6; ++n) {
        console.receive(line(600, 250 + n));
        console.tick(5);
    }
    // The run compared starts at 时间清零, its first line while the box still shows the old time.
    QVERIFY(console.click(QStringLiteral("runtimeclear")));
    for (int n = 0; n < 300; ++n) {
        const double reached = 1.0 - std::exp(-n / 40.0);
        console.receive(line(600, 250 + int(380 * reached - 30 * reached * reached)));
        console.tick(5);
    }
    console.tick(10); // the record's rows reach the file
    for (const QString &click : clicks)
        QVERIFY(console.click(click));
    auto *chart = console.control<ucHistogram>(QStringLiteral("ucHistogram1"));
    const QImage canvas = chart->picHist();
    const QImage before = chart->grab().toImage();

    QCOMPARE(chooseFromChartMenu(console, QStringLiteral("清除对比")), std::optional(false));

    RunsDialog *dialog = openRunsFromFigureBox(console);
    QVERIFY(dialog);
    QCOMPARE(dialog->comparison().index(0, 0).data().toString(), QStringLiteral("当前运行"));
    QCOMPARE(dialog->comparison().index(0, 1).data().toString(), QStringLiteral("60"));
    dialog->findChild<QTableView *>()->selectRow(0); // the run in progress
    dialog->findChild<QPushButton *>(QStringLiteral("compareOnChart"))->click();
    QTRY_VERIFY(!dialog->isReading());
    QVERIFY(dialog->findChild<QLabel *>(QStringLiteral("problem"))->isHidden());
    QCOMPARE(chart->overlays().size(), 1);
    QCOMPARE(chart->picHist(), canvas);
    const QImage compared = chart->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QVERIFY(compared != before.convertToFormat(QImage::Format_RGB32));
    QTemporaryDir pictures;
    const QString picture = pictures.filePath(QStringLiteral("chart.png"));
    QVERIFY(console.window().saveChartImage(picture));
    const QImage saved(picture);
    // The picture holds the chart, its scale and, while shown, its time axis under it.
    QRect area = chart->geometry();
    for (const char *caption : {"Y_T_0", "Y_T_1", "Y_T_2"}) {
        const QLabel *label = console.control<QLabel>(QLatin1String(caption));
        area |= QRect(label->mapTo(&console.window(), QPoint()), label->size());
    }
    const QImage chartInPicture = saved.copy(QRect(chart->pos() - area.topLeft(), chart->size()));
    QCOMPARE(chartInPicture.convertToFormat(QImage::Format_RGB32), compared);

    // Below the corners' captions, up to where the record ends: the live line held its last
    // value for the ticks after.
    const QImage &layer = chart->overlayLayer();
    int right = 0;
    for (int y = 30; y < layer.height(); ++y) {
        for (int x = 8; x < layer.width(); ++x) {
            if (qAlpha(layer.pixel(x, y)) != 0)
                right = std::max(right, x);
        }
    }
    QVERIFY(right > 100);
    int pixels = 0;
    for (int y = 30; y < layer.height(); ++y) {
        for (int x = 8; x < right; ++x) {
            const bool live = canvas.pixelColor(x, y) == QColor(255, 255, 0);
            const bool overlaid = qAlpha(layer.pixel(x, y)) != 0;
            QVERIFY2(live == overlaid, qPrintable(QStringLiteral("%1, %2").arg(x).arg(y)));
            pixels += live ? 1 : 0;
        }
    }
    QVERIFY(pixels > 100);
    QCOMPARE(chooseFromChartMenu(console, QStringLiteral("清除对比")), std::optional(true));
    QVERIFY(chart->overlays().isEmpty());
    QCOMPARE(chart->grab().toImage(), before);
}

void tst_RunHistory::chartDataHoldsTheChartsSamples()
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

void tst_RunHistory::chartFilesAreOfferedInTheRecordsFolder_data()
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
void tst_RunHistory::chartFilesAreOfferedInTheRecordsFolder()
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

void tst_RunHistory::chartFileNamedByTheConsoleIsNoLink_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<bool>("linked");
    const QString picture = QStringLiteral("保存曲线图片…");
    const QString data = QStringLiteral("导出曲线数据…");
    QTest::newRow("picture") << picture << "png" << false;
    QTest::newRow("picture, a link there") << picture << "png" << true;
    QTest::newRow("data") << data << "csv" << false;
    QTest::newRow("data, a link there") << data << "csv" << true;
}

/// A name handed back without its suffix, as a system's own dialog may, is saved with the
/// suffix added: a name nobody typed, so a link planted there is refused, never followed.
void tst_RunHistory::chartFileNamedByTheConsoleIsNoLink()
{
    QFETCH(QString, action);
    QFETCH(QString, suffix);
    QFETCH(bool, linked);
    OfflineConsole console;
    console.connectPort();
    console.receive(line(600, 585));
    console.tick(30);
    QTemporaryDir shared;
    QTemporaryDir elsewhere;
    const QString saved = shared.filePath(QStringLiteral("trial.") + suffix);
    const QString target = elsewhere.filePath(QStringLiteral("target"));
    if (linked)
        QVERIFY(QFile::link(target, saved));
    QVERIFY(chooseFromChartMenu(console, action).value_or(false));
    auto *dialog = console.window().findChild<QFileDialog *>();
    QVERIFY(dialog);
    emit dialog->fileSelected(shared.filePath(QStringLiteral("trial")));
    dialog->close();
    QVERIFY(QDir(elsewhere.path()).isEmpty());
    QCOMPARE(QFileInfo(saved).isSymLink(), linked);
    QCOMPARE(QFileInfo(saved).size() > 0, !linked);
    QCOMPARE(QDir(shared.path()).entryList(QDir::Files | QDir::System | QDir::Hidden),
        QStringList{QFileInfo(saved).fileName()});
    const QString said = statusToolTip(console);
    QCOMPARE(said.contains(QStringLiteral("此处是符号链接，未经它写入")), linked);
    QCOMPARE(said.contains(QDir::toNativeSeparators(saved)), linked);
}

QTEST_MAIN(tst_RunHistory)
#include "tst_run_history.moc"
