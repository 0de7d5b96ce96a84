#include "dialogs/runs_dialog.h"
#include "hang_watchdog.h"
#include "manual_time.h"
#include "named_rows.h"
#include "offline_console.h"
#include "records/csv_format.h"
#include "records/record_file.h"
#include "records/run_curve.h"
#include "records/run_figures.h"
#include "records/run_recorder.h"
#include "settings_dir.h"
#include "system_error.h"
#include "telemetry/telemetry_receiver.h"
#include "tuning/command_confirmation.h"
#include "uc_histogram.h"
#include "window_timer.h"

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
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

#include <cerrno>
#include <csignal>
#include <ctime>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {
/// A curve point where the link was lost, as the tables below give it.
constexpr int kLostLink = std::numeric_limits<int>::min();

QByteArray line(int set, int current, int p = 10)
{
    return QStringLiteral("st=%1 pv=%2 out= 128 pid= %3, 005, 002\r\n")
        .arg(set, 4, 10, QLatin1Char('0'))
        .arg(current, 4, 10, QLatin1Char('0'))
        .arg(p, 3, 10, QLatin1Char('0'))
        .toLatin1();
}

/// A line as the receiver completes it, at a run time in tenths of a second.
CompletedLine completedLine(qint64 runTenths, const QByteArray &received)
{
    CompletedLine completed;
    completed.text = QString::fromLatin1(received);
    completed.values = TelemetryLine::parse(completed.text);
    completed.accepted = {std::nullopt, completed.values.p, completed.values.i, completed.values.d};
    completed.runTenths = runTenths;
    return completed;
}

QList<QStringList> readCsv(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return CsvFormat::parse(QString::fromUtf8(file.readAll()));
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

/// The process's time zone for one case (the machine's may be UTC, where a wrong sign cannot
/// show); the one before comes back afterwards.
class ProcessTimeZone
{
public:
    explicit ProcessTimeZone(const QByteArray &zone)
        : m_before(qgetenv("TZ"))
        , m_wasSet(qEnvironmentVariableIsSet("TZ"))
    {
        qputenv("TZ", zone);
        ::tzset();
    }
    ~ProcessTimeZone()
    {
        if (m_wasSet)
            qputenv("TZ", m_before);
        else
            qunsetenv("TZ");
        ::tzset();
    }
    ProcessTimeZone(const ProcessTimeZone &) = delete;
    ProcessTimeZone &operator=(const ProcessTimeZone &) = delete;

private:
    QByteArray m_before;
    bool m_wasSet = false;
};

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

/// A moment as the records write it: ISO 8601 with milliseconds and the offset from UTC.
bool isRecordTime(const QString &text)
{
    static const QRegularExpression form(
        QStringLiteral("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\\.\\d{3}[+-]\\d\\d:\\d\\d$"));
    const QDateTime moment = QDateTime::fromString(text, Qt::ISODateWithMs);
    return form.match(text).hasMatch()
        && moment.offsetFromUtc() == moment.toLocalTime().offsetFromUtc();
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
    void commandVerdictGivesARow_data();
    void commandVerdictGivesARow();
    void recordTimesCarryTheZonesOffset_data();
    void recordTimesCarryTheZonesOffset();
    void runCurveIsReadFromItsRecord_data();
    void runCurveIsReadFromItsRecord();
    void textColumnIsInert_data();
    void textColumnIsInert();
    void runEndsWithOneHistoryRow_data();
    void runEndsWithOneHistoryRow();
    void runAfterReconnectHoldsOnlyItsOwnFigures_data();
    void runAfterReconnectHoldsOnlyItsOwnFigures();
    void lostLinkKeepsTheRunAndItsRecord_data();
    void lostLinkKeepsTheRunAndItsRecord();
    void unwritableFolderLeavesTheConsoleWorking();
    void markSaysWhenNothingIsRecorded_data();
    void markSaysWhenNothingIsRecorded();
    void unwritableRunsFileIsReported_data();
    void unwritableRunsFileIsReported();
    void rowIsWrittenWholeOrNotAtAll();
    void recordsFolderGoneWhileConnected_data();
    void recordsFolderGoneWhileConnected();
    void rowsReachTheFileWithinASecond_data();
    void rowsReachTheFileWithinASecond();
    void fullFileContinuesInANewOne_data();
    void fullFileContinuesInANewOne();
    void runNamesEveryFileOfItsRecord();
    void historyDialogSortsFiguresAsNumbers();
    void historyDialogShowsTheRunInProgress();
    void figureDifferences_data();
    void figureDifferences();
    void historyDialogComparesChosenRuns();
    void runsFileThatIsNoFileIsNamed_data();
    void runsFileThatIsNoFileIsNamed();
    void longHistoryShowsItsNewestRuns();
    void largeRecordIsComparedInTheBackground();
    void recordNamedByAPathIsRefused();
    void runCurveLandsWhereTheLiveCurveWas_data();
    void runCurveLandsWhereTheLiveCurveWas();
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
    const QDateTime start(QDate(2026, 12, 8), QTime(10, 38, 11, 250));
    console.time().setNow(start);
    console.connectPort();
    console.receive(line(600, 585));
    console.tick(3);
    console.receive("O");
    console.receive("st=0600 pv=abcd, \"x\"\r\n");
    QVERIFY(console.type(QStringLiteral("send"), QStringLiteral("S0450 P009")));
    QVERIFY(console.click(QStringLiteral("comm_send")));
    console.receive(QByteArray(5000, 'x') + "\r\n");
    QVERIFY(console.click(QStringLiteral("cmdDisconnect")));

    const QList<QMap<QString, QString>> rows = namedRows(onlyRecord(console));
    QCOMPARE(rows.size(), 5);
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
    QCOMPARE(rows[4].value("kind"), QStringLiteral("dropped"));
    QCOMPARE(rows[4].value("text"), QStringLiteral("5000"));
    for (const QMap<QString, QString> &row : rows)
        QVERIFY2(isRecordTime(row.value("time")), qPrintable(row.value("time")));
    QCOMPARE(QDateTime::fromString(rows[0].value("time"), Qt::ISODateWithMs), start);
    QCOMPARE(QDateTime::fromString(rows[1].value("time"), Qt::ISODateWithMs), start.addMSecs(300));
}

void tst_RunRecorder::commandVerdictGivesARow_data()
{
    QTest::addColumn<bool>("confirmed");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QStringList>("shown"); // set_c, p, i, d
    QTest::newRow("confirmed") << true << "confirm" << QStringList{"60.0", "12", "5", "2"};
    QTest::newRow("unconfirmed") << false << "unconfirmed" << QStringList{"45.0", "10", "5", ""};
}

/// The row says what was sent and what the lines showed, whatever the window's language.
void tst_RunRecorder::commandVerdictGivesARow()
{
    QFETCH(bool, confirmed);
    QFETCH(QString, kind);
    QFETCH(QStringList, shown);
    QTemporaryDir directory;
    auto time = std::make_shared<ManualTime>();
    time->setNow(QDateTime(QDate(2026, 12, 8), QTime(9, 30)));
    RunRecorder recorder(time, nullptr);
    recorder.setSettings(RecordSettings{true, directory.path()});
    recorder.connectionOpened(1);
    recorder.commandSent(125, QStringLiteral("S0600 P012 I005 D002"));
    const auto tenths = [](const QString &text) {
        return text.isEmpty() ? std::nullopt
                              : std::optional(qint16(std::lround(text.toDouble() * 10)));
    };
    const auto value = [](const QString &text) {
        return text.isEmpty() ? std::nullopt : std::optional(qint16(text.toInt()));
    };
    const CommandFields sent = *CommandFields::read(QStringLiteral("S0600 P012 I005 D002"));
    recorder.commandChecked(175,
        CommandVerdict{confirmed, QStringLiteral("控制器未确认"), sent,
            CommandFields{
                tenths(shown[0]), value(shown[1]), value(shown[2]), value(shown[3]), {}}});
    recorder.connectionClosed();
    const QStringList files = recordFiles(directory.path());
    QCOMPARE(files.size(), 1);
    const QList<QMap<QString, QString>> rows = namedRows(directory.filePath(files.front()));
    QCOMPARE(rows.size(), 2);
    const QMap<QString, QString> &row = rows[1];
    QCOMPARE(row.value("kind"), kind);
    QCOMPARE(row.value("run_s"), QStringLiteral("17.5"));
    QCOMPARE(row.value("text"), QStringLiteral("S0600 P012 I005 D002"));
    QCOMPARE(
        (QStringList{row.value("set_c"), row.value("p"), row.value("i"), row.value("d")}), shown);
    QCOMPARE(row.value("current_c"), QString());
    QVERIFY(isRecordTime(row.value("time")));
}

void tst_RunRecorder::recordTimesCarryTheZonesOffset_data()
{
    QTest::addColumn<QByteArray>("zone");
    QTest::addColumn<QString>("moment");
    QTest::addColumn<QString>("first"); // as the record and runs.csv give the moment
    QTest::addColumn<QString>("later"); // half a second later, within the same second
    QTest::newRow("UTC") << QByteArray("UTC") << "2026-12-08T01:30:00.250Z"
                         << "2026-12-08T01:30:00.250+00:00"
                         << "2026-12-08T01:30:00.750+00:00";
    QTest::newRow("west: New York") << QByteArray("America/New_York") << "2026-12-08T01:30:00.250Z"
                                    << "2026-12-07T20:30:00.250-05:00"
                                    << "2026-12-07T20:30:00.750-05:00";
    QTest::newRow("west, summer time: New York")
        << QByteArray("America/New_York") << "2026-07-08T01:30:00.250Z"
        << "2026-07-07T21:30:00.250-04:00"
        << "2026-07-07T21:30:00.750-04:00";
    QTest::newRow("off the hour: India") << QByteArray("Asia/Kolkata") << "2026-12-08T01:30:00.250Z"
                                         << "2026-12-08T07:00:00.250+05:30"
                                         << "2026-12-08T07:00:00.750+05:30";
    QTest::newRow("west and off the hour: Newfoundland")
        << QByteArray("America/St_Johns") << "2026-12-08T01:30:00.250Z"
        << "2026-12-07T22:00:00.250-03:30"
        << "2026-12-07T22:00:00.750-03:30";
}

/// Rows and runs give local time and its offset from UTC, whichever side of Greenwich and
/// whether or not the zone is a whole number of hours off it.
void tst_RunRecorder::recordTimesCarryTheZonesOffset()
{
    QFETCH(QByteArray, zone);
    QFETCH(QString, moment);
    QFETCH(QString, first);
    QFETCH(QString, later);
    const ProcessTimeZone processZone(zone);
    QTemporaryDir directory;
    auto time = std::make_shared<ManualTime>();
    time->setNow(QDateTime::fromString(moment, Qt::ISODateWithMs));
    RunRecorder recorder(time, nullptr);
    recorder.setSettings(RecordSettings{true, directory.path()});
    recorder.connectionOpened(1);
    recorder.lineCompleted(completedLine(0, line(600, 585)));
    time->advance(500);
    recorder.commandSent(5, QStringLiteral("S0600"));
    recorder.connectionClosed();

    const QStringList files = recordFiles(directory.path());
    QCOMPARE(files.size(), 1);
    const QList<QMap<QString, QString>> rows = namedRows(directory.filePath(files.front()));
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows[0].value("time"), first);
    QCOMPARE(rows[1].value("time"), later);
    const QList<QMap<QString, QString>> runs =
        namedRows(directory.filePath(RunRecorder::runsFileName()));
    QCOMPARE(runs.size(), 1);
    QCOMPARE(runs[0].value("start"), first);
    QCOMPARE(runs[0].value("end"), later);
}

void tst_RunRecorder::runCurveIsReadFromItsRecord_data()
{
    QTest::addColumn<QStringList>("run"); // start, end, record
    QTest::addColumn<QList<QPoint>>("points"); // run time, temperature, in tenths
    QTest::addColumn<QString>("problem"); // %1 is the records folder
    const QList<QPoint> first{{0, 250}, {5, 255}, {15, 260}};
    const QList<QPoint> second{{0, 265}, {4, 270}, {9, 275}, {14, 280}};
    // Before the times carried their offset they were local time.
    const auto local = [](const char *moment) {
        return QDateTime::fromString(QLatin1String(moment), Qt::ISODateWithMs)
            .toLocalTime()
            .toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz"));
    };
    QTest::newRow("a run with its offset")
        << QStringList{"2026-12-08T09:30:00.000+08:00", "2026-12-08T09:30:01.600+08:00", "a.csv"}
        << first << "";
    QTest::newRow("times without offset") << QStringList{local("2026-12-08T09:30:00.000+08:00"),
        local("2026-12-08T09:30:01.600+08:00"), "a.csv"}
                                          << first << "";
    QTest::newRow("another offset, the same moments")
        << QStringList{"2026-12-08T01:30:00.000Z", "2026-12-08T02:30:01.600+01:00", "a.csv"}
        << first << "";
    QTest::newRow("after a clear, in progress, over two files")
        << QStringList{"2026-12-08T09:30:01.600+08:00", "", "a.csv;a_2.csv"} << second << "";
    QTest::newRow("across a lost link")
        << QStringList{"2026-12-08T11:00:00.000+08:00", "", "b.csv"}
        << QList<QPoint>{{0, 300}, {5, 305}, {8, kLostLink}, {52, 400}} << "";
    QTest::newRow("missing record")
        << QStringList{"2026-12-08T09:30:01.600+08:00", "", "a.csv;gone.csv"} << QList<QPoint>{}
        << "找不到记录文件：%1/gone.csv";
    QTest::newRow("not a record") << QStringList{"2026-12-08T09:30:00.000+08:00", "", "runs.csv"}
                                  << QList<QPoint>{} << "无法读取记录文件：%1/runs.csv";
    QTest::newRow("none of its lines") << QStringList{"2026-12-08T10:00:00.000+08:00", "",
        "a.csv"} << QList<QPoint>{} << "记录文件中没有这次运行的温度：%1/a.csv";
    QTest::newRow("no record named") << QStringList{"2026-12-08T10:00:00.000", "",
        ""} << QList<QPoint>{} << "这次运行没有记录文件（开始于 2026-12-08 10:00:00）";
}

/// A run's curve is the line rows of its own time, whichever offset the times carry; a record
/// that is gone or is none is named.
void tst_RunRecorder::runCurveIsReadFromItsRecord()
{
    QFETCH(QStringList, run);
    QFETCH(QList<QPoint>, points);
    QFETCH(QString, problem);
    QTemporaryDir directory;
    const QByteArray heading = "time,run_s,kind,set_c,current_c,output_pct,p,i,d,text\r\n";
    const auto write = [&directory](const char *name, const QByteArray &text) {
        return writeFile(directory.filePath(QLatin1String(name)), text);
    };
    QVERIFY(write("a.csv",
        heading
            + "2026-12-08T09:29:59.500+08:00,214.4,line,60.0,24.5,50.20,10,5,2,st=0600\r\n"
              "2026-12-08T09:30:00.000+08:00,0,line,60.0,25.0,50.20,10,5,2,st=0600\r\n"
              "2026-12-08T09:30:00.500+08:00,0.5,line,60.0,25.5,50.20,10,5,2,\"st=0600, x\"\r\n"
              "2026-12-08T09:30:00.700+08:00,0.7,sent,,,,,,,S0600\r\n"
              "2026-12-08T09:30:01.000+08:00,1.0,line,60.0,,,10,5,2,st=0600 pv=abcd\r\n"
              "2026-12-08T09:30:01.500+08:00,1.5,line,60.0,26.0,50.20,10,5,2,st=0600\r\n"
              // 时间清零 at 09:30:01.600; the box still shows 1.5 at the next line
              "2026-12-08T09:30:02.000+08:00,1.5,line,60.0,26.5,50.20,10,5,2,st=0600\r\n"
              "2026-12-08T09:30:02.500+08:00,0.4,line,60.0,27.0,50.20,10,5,2,st=0600\r\n"));
    QVERIFY(write("a_2.csv",
        heading
            + "2026-12-08T09:30:03.000+08:00,0.9,line,60.0,27.5,50.20,10,5,2,st=0600\r\n"
              "2026-12-08T09:30:03.200+08:00,1.1,confirm,60.0,,,10,5,2,S0600\r\n"
              "2026-12-08T09:30:03.500+08:00,1.4,line,60.0,28.0,50.20,10,5,2,st=0600\r\n"));
    QVERIFY(write("b.csv",
        heading
            + "2026-12-08T11:00:00.000+08:00,0.0,line,60.0,30.0,50.20,10,5,2,st=0600\r\n"
              "2026-12-08T11:00:00.500+08:00,0.5,line,60.0,30.5,50.20,10,5,2,st=0600\r\n"
              "2026-12-08T11:00:00.800+08:00,0.8,lost,,,,,,,COM1 gone\r\n"
              "2026-12-08T11:00:05.000+08:00,5.0,reconnected,,,,,,,/dev/ttyUSB0\r\n"
              "2026-12-08T11:00:05.200+08:00,5.2,line,60.0,40.0,50.20,10,5,2,st=0600\r\n"));
    QVERIFY(write("runs.csv", "start,end,record\r\n"));
    const RunCurve curve = RunCurve::read(directory.path(),
        {QStringLiteral("start"), QStringLiteral("end"), QStringLiteral("record")}, run);
    QCOMPARE(curve.problem(),
        problem.contains(QLatin1String("%1"))
            ? problem.arg(QDir::toNativeSeparators(directory.path()))
            : problem);
    QList<QPoint> read;
    for (const CurvePoint &point : curve.points())
        read.append(QPoint(int(point.runTenths), point.lost ? kLostLink : point.tenths));
    QCOMPARE(read, curve.isValid() ? points : read);
    QCOMPARE(curve.isValid(), problem.isEmpty());
}

void tst_RunRecorder::textColumnIsInert_data()
{
    QTest::addColumn<QByteArray>("received");
    QTest::addColumn<QString>("text");
    QTest::newRow("plain") << QByteArray("st=0600 pv=0585") << QStringLiteral("st=0600 pv=0585");
    QTest::newRow("formula") << QByteArray("=SUM(A1:A9)*\"x\"")
                             << QStringLiteral("'=SUM(A1:A9)*\"x\"");
    QTest::newRow("plus") << QByteArray("+1") << QStringLiteral("'+1");
    QTest::newRow("minus") << QByteArray("-1+2") << QStringLiteral("'-1+2");
    QTest::newRow("at") << QByteArray("@SUM(A1)") << QStringLiteral("'@SUM(A1)");
    QTest::newRow("NUL and bare CR") << QByteArray("a\0b\rc", 5) << QStringLiteral("a\\x00b\\rc");
    QTest::newRow("tab, escape, DEL")
        << QByteArray("\t\x1b[0m\x7f") << QStringLiteral("\\t\\x1b[0m\\x7f");
    QTest::newRow("C1 controls, 0x80 to 0x9f") << QByteArray("a\x80\x85\x9f"
                                                             "b")
                                               << QStringLiteral("a\\x80\\x85\\x9fb");
    QTest::newRow("backslash") << QByteArray("a\\x00") << QStringLiteral("a\\\\x00");
    QTest::newRow("control first, then =") << QByteArray("\r=1") << QStringLiteral("\\r=1");
}

/// Whatever the device sends, a spreadsheet shows it as text and the file holds no control
/// character.
void tst_RunRecorder::textColumnIsInert()
{
    QFETCH(QByteArray, received);
    QFETCH(QString, text);
    OfflineConsole console;
    console.connectPort();
    console.receive(received + "\r\n");
    QVERIFY(console.click(QStringLiteral("cmdDisconnect")));
    QFile file(onlyRecord(console));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QCOMPARE(bytes.count('\r'), bytes.count("\r\n"));
    QVERIFY(!bytes.contains('\0'));
    const QList<QMap<QString, QString>> rows = namedRows(file.fileName());
    const auto recorded = std::find_if(rows.cbegin(), rows.cend(),
        [](const QMap<QString, QString> &row) { return row.value("kind") == "line"; });
    QVERIFY(recorded != rows.cend());
    QCOMPARE(recorded->value("text"), text);
}

void tst_RunRecorder::runEndsWithOneHistoryRow_data()
{
    QTest::addColumn<QString>("ending");
    QTest::addColumn<QByteArray>("settings");
    QTest::newRow("reset") << QStringLiteral("runtimeclear") << QByteArray();
    QTest::newRow("disconnect") << QStringLiteral("cmdDisconnect") << QByteArray();
    QTest::newRow("lost device, not waited for")
        << QStringLiteral("vanish") << QByteArray("RECONNECT=0\r\n");
    QTest::newRow("disconnect while waiting for the lost device")
        << QStringLiteral("vanish cmdDisconnect") << QByteArray();
}

void tst_RunRecorder::runEndsWithOneHistoryRow()
{
    QFETCH(QString, ending);
    QFETCH(QByteArray, settings);
    const SettingsDir settingsDir({}, settings);
    QVERIFY(settingsDir.isValid());
    OfflineConsole console(OfflineConsole::Visibility::Hidden, settingsDir.path());
    console.connectPort();
    for (const int current : {500, 600, 612, 605, 600})
        console.receive(line(600, current, 12));
    console.tick(5);
    console.receive(line(600, 601, 14));
    for (const QString &step : ending.split(u' ')) {
        if (step == QLatin1String("vanish"))
            console.port().vanish();
        else
            QVERIFY(console.click(step));
        // While the device is awaited the run goes on.
        if (step == QLatin1String("vanish") && settings.isEmpty())
            QVERIFY(namedRows(runsFile(console)).isEmpty());
    }
    if (ending == QLatin1String("runtimeclear"))
        QVERIFY(console.click(QStringLiteral("cmdDisconnect")));

    QTRY_COMPARE(namedRows(runsFile(console)).size(), 1);
    const QMap<QString, QString> run = namedRows(runsFile(console)).front();
    QCOMPARE(run.value("port"), QStringLiteral("COM1"));
    QCOMPARE(run.value("set_c"), QStringLiteral("60.0"));
    QCOMPARE(run.value("p"), QStringLiteral("14"));
    QCOMPARE(run.value("highest_c"), QStringLiteral("61.2"));
    QCOMPARE(run.value("overshoot_pct"), QStringLiteral("2.00"));
    QCOMPARE(run.value("lines"), QStringLiteral("6"));
    QCOMPARE(run.value("record"), QFileInfo(onlyRecord(console)).fileName());
    QVERIFY(isRecordTime(run.value("start")) && isRecordTime(run.value("end")));
    if (ending != QLatin1String("runtimeclear")) {
        QCOMPARE(run.value("rise_s"), boxSeconds(console, "perfor_index_0"));
        QCOMPARE(run.value("peak_s"), boxSeconds(console, "perfor_index_2"));
        QCOMPARE(run.value("settling_s"), boxSeconds(console, "perfor_index_3"));
    }
    QVERIFY(run.value("start") <= run.value("end"));
}

/// Figures stamped in an earlier run stay in the window after a reconnect, but the next run's
/// row holds only what its own lines showed.
void tst_RunRecorder::runAfterReconnectHoldsOnlyItsOwnFigures_data()
{
    QTest::addColumn<QList<int>>("currents"); // a second apart, from run time 1.5
    QTest::addColumn<QStringList>("figures"); // rise_s, overshoot_pct, peak_s, settling_s
    QTest::newRow("never at its set point")
        << QList<int>{400, 450, 420} << QStringList{"", "", "", "3.5"};
    QTest::newRow("at it, with less overshoot than the run before")
        << QList<int>{590, 606, 600} << QStringList{"3.5", "1.00", "2.5", ""};
}

/// The boxes may keep the earlier run's figures after 断开 and 连接, but the new run's row holds
/// what its own lines gave.
void tst_RunRecorder::runAfterReconnectHoldsOnlyItsOwnFigures()
{
    QFETCH(QList<int>, currents);
    QFETCH(QStringList, figures);
    OfflineConsole console;
    console.connectPort();
    for (const int current : {500, 600, 612, 605, 600})
        console.receive(line(600, current));
    QVERIFY(console.click(QStringLiteral("runtimeclear")));
    console.tick(10);
    for (const int current : {590, 616, 600})
        console.receive(line(600, current));
    const QString riseBefore = boxSeconds(console, "perfor_index_0");
    QVERIFY(console.click(QStringLiteral("cmdDisconnect")));
    console.connectPort();
    console.tick(5);
    for (const int current : currents) {
        console.receive(line(600, current));
        console.tick(10);
    }
    QCOMPARE(console.text("perfor_index_1"), QStringLiteral("2.67%"));
    QCOMPARE(boxSeconds(console, "perfor_index_0"), riseBefore);
    console.window().close();

    const QList<QMap<QString, QString>> runs = namedRows(runsFile(console));
    QCOMPARE(runs.size(), 3);
    QCOMPARE(runs[1].value("overshoot_pct"), QStringLiteral("2.67"));
    QCOMPARE(runs[1].value("highest_c"), QStringLiteral("61.6"));
    QCOMPARE(runs[1].value("rise_s"), riseBefore);
    const QMap<QString, QString> &last = runs[2];
    QCOMPARE(last.value("lines"), QStringLiteral("3"));
    QCOMPARE(last.value("set_c"), QStringLiteral("60.0"));
    QCOMPARE(last.value("highest_c"),
        QString::number(*std::max_element(currents.cbegin(), currents.cend()) / 10.0, 'f', 1));
    QCOMPARE((QStringList{last.value("rise_s"), last.value("overshoot_pct"), last.value("peak_s"),
                 last.value("settling_s")}),
        figures);
}

void tst_RunRecorder::lostLinkKeepsTheRunAndItsRecord_data()
{
    // One event a second: "line", "lost" (the device went; waiting for it), "back" (reopened),
    // "clear" (时间清零), "close" (断开, exit, another port).
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<QStringList>("kinds");
    QTest::addColumn<QStringList>("runLines");
    QTest::newRow("back, then disconnect")
        << QStringList{"line", "line", "lost", "back", "line", "close"}
        << QStringList{"line", "line", "lost", "reconnected", "line"} << QStringList{"3"};
    QTest::newRow("disconnect while waiting")
        << QStringList{"line", "lost", "close"} << QStringList{"line", "lost"} << QStringList{"1"};
    QTest::newRow("two gaps") << QStringList{"line", "lost", "back", "line", "lost", "back", "line",
        "close"}
                              << QStringList{"line", "lost", "reconnected", "line", "lost",
                                     "reconnected", "line"}
                              << QStringList{"3"};
    QTest::newRow("nothing received before the gap")
        << QStringList{"lost", "back", "line", "close"}
        << QStringList{"lost", "reconnected", "line"} << QStringList{"1"};
    QTest::newRow("run time cleared after the gap")
        << QStringList{"line", "lost", "back", "clear", "line", "line", "close"}
        << QStringList{"line", "lost", "reconnected", "line", "line"} << QStringList{"1", "2"};
}

/// A gap while the device is away is marked in the same record and the run goes on across it;
/// the run's row is written once, when the connection really ends, never while waiting.
void tst_RunRecorder::lostLinkKeepsTheRunAndItsRecord()
{
    QFETCH(QStringList, events);
    QFETCH(QStringList, kinds);
    QFETCH(QStringList, runLines);
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const auto time = std::make_shared<ManualTime>();
    const QDateTime start(QDate(2026, 12, 8), QTime(22, 0));
    time->setNow(start);
    QObject owner;
    auto *recorder = new RunRecorder(time, &owner);
    recorder->setSettings({true, folder.path()});
    auto *flushTimer = recorder->findChild<WindowTimer *>();
    QVERIFY(flushTimer);
    time->drive(flushTimer);
    const QString runs = folder.filePath(RunRecorder::runsFileName());
    recorder->connectionOpened(1);

    int second = 0;
    for (const QString &event : events) {
        time->advance(1000);
        const qint64 runTenths = 10 * ++second;
        if (event == QLatin1String("line")) {
            recorder->lineCompleted(completedLine(runTenths, line(600, 580 + second)));
        } else if (event == QLatin1String("lost")) {
            const qsizetype runsBefore = namedRows(runs).size();
            recorder->linkLost(runTenths, QStringLiteral("/dev/pts/9: 输入/输出错误"));
            // On disk at once, and nothing written while the device is away.
            const QStringList files = recordFiles(folder.path());
            QCOMPARE(files.size(), 1);
            QCOMPARE(namedRows(folder.filePath(files.front())).last().value("kind"),
                QStringLiteral("lost"));
            QCOMPARE(namedRows(runs).size(), runsBefore);
            QVERIFY(!flushTimer->Enabled());
            QVERIFY(recorder->runInProgress().has_value() == (events.front() == "line"));
        } else if (event == QLatin1String("back")) {
            recorder->reconnected(runTenths, QStringLiteral("/dev/pts/10"));
            QVERIFY(flushTimer->Enabled());
        } else if (event == QLatin1String("clear")) {
            recorder->runTimeCleared();
        } else {
            recorder->connectionClosed();
        }
    }

    const QStringList files = recordFiles(folder.path());
    QCOMPARE(files.size(), 1);
    const QList<QMap<QString, QString>> rows = namedRows(folder.filePath(files.front()));
    QStringList recordedKinds;
    for (const QMap<QString, QString> &row : rows) {
        recordedKinds.append(row.value("kind"));
        if (row.value("kind") == QLatin1String("lost"))
            QCOMPARE(row.value("text"), QStringLiteral("/dev/pts/9: 输入/输出错误"));
        if (row.value("kind") == QLatin1String("reconnected"))
            QCOMPARE(row.value("text"), QStringLiteral("/dev/pts/10"));
        QVERIFY(!row.value("run_s").isEmpty());
    }
    QCOMPARE(recordedKinds, kinds);
    const QList<QMap<QString, QString>> written = namedRows(runs);
    QStringList writtenLines;
    for (const QMap<QString, QString> &run : written) {
        writtenLines.append(run.value("lines"));
        QCOMPARE(run.value("record"), files.front());
    }
    QCOMPARE(writtenLines, runLines);
    // The last run ends when the connection was closed, not when the device went.
    QCOMPARE(QDateTime::fromString(written.last().value("end"), Qt::ISODateWithMs),
        start.addSecs(events.size()));
}

/// Reported at every connection while the folder stays unusable, in the system's words, and
/// marked for as long as it lasts.
void tst_RunRecorder::unwritableFolderLeavesTheConsoleWorking()
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

void tst_RunRecorder::markSaysWhenNothingIsRecorded_data()
{
    QTest::addColumn<QByteArray>("settings");
    QTest::addColumn<QString>("reason");
    QTest::newRow("recording") << QByteArray() << QString();
    QTest::newRow("turned off") << QByteArray("[RECORD]\r\nENABLED=0\r\n")
                                << QStringLiteral("ENABLED=0");
}

void tst_RunRecorder::markSaysWhenNothingIsRecorded()
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

void tst_RunRecorder::unwritableRunsFileIsReported_data()
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
}

/// Anything but a regular file as runs.csv is never opened; a write that fails is reported and
/// leaves nothing of the row.
void tst_RunRecorder::unwritableRunsFileIsReported()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    OfflineConsole console;
    const QString path = ::runsFile(console);
    const HangWatchdog watchdog;
    if (kind == QLatin1String("folder"))
        QVERIFY(QDir().mkpath(path));
    else if (kind == QLatin1String("fifo"))
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    else if (kind.startsWith(u'/'))
        QVERIFY(QFile::link(kind, path));
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
}

/// A file size limit cuts the write short as a full disk does, and can be set without
/// privileges.
void tst_RunRecorder::rowIsWrittenWholeOrNotAtAll()
{
    QTemporaryDir directory;
    const QDateTime moment(QDate(2026, 12, 8), QTime(9, 30, 5));
    RecordFile file(directory.path(), QStringLiteral("COM1"), QStringLiteral("h\r\n"));
    QCOMPARE(file.open(moment), std::nullopt);
    const QString row = QString(20, u'x') + QStringLiteral("\r\n");
    for (int count = 0; count < 3; ++count)
        file.append(row);
    rlimit limit = {};
    QCOMPARE(::getrlimit(RLIMIT_FSIZE, &limit), 0);
    const rlimit before = limit;
    limit.rlim_cur = 3 + 30;
    const auto previousAction = std::signal(SIGXFSZ, SIG_IGN);
    QCOMPARE(::setrlimit(RLIMIT_FSIZE, &limit), 0);
    const RecordFile::Flushed flushed = file.flush(moment);
    ::setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, previousAction);
    QVERIFY(flushed.error);
    QVERIFY2(flushed.error->startsWith(SystemError::text(EFBIG) + QStringLiteral("：")),
        qPrintable(*flushed.error));
    QFile written(directory.filePath(file.fileName()));
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(written.readAll()), QStringLiteral("h\r\n") + row);
}

void tst_RunRecorder::recordsFolderGoneWhileConnected_data()
{
    QTest::addColumn<bool>("moved");
    QTest::newRow("removed") << false;
    QTest::newRow("moved away") << true;
}

/// Noticed at the next write: the rows go to a new file in a folder made again, and the
/// status line says so once.
void tst_RunRecorder::recordsFolderGoneWhileConnected()
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

void tst_RunRecorder::rowsReachTheFileWithinASecond_data()
{
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("onDiskAtOnce");
    QTest::newRow("a line: within a second") << 1 << 0;
    // About 107 bytes a row: 700 rows pass 64 KiB once.
    QTest::newRow("a burst beyond 64 KiB: at once") << 700 << 1;
}

void tst_RunRecorder::rowsReachTheFileWithinASecond()
{
    QFETCH(int, lines);
    QFETCH(int, onDiskAtOnce);
    OfflineConsole console;
    console.connectPort();
    QByteArray burst;
    for (int count = 0; count < lines; ++count)
        burst += line(600, 585);
    console.receive(burst);
    QCOMPARE(namedRows(onlyRecord(console)).size() > 0, onDiskAtOnce > 0);
    console.tick(10);
    QCOMPARE(namedRows(onlyRecord(console)).size(), lines);
}

void tst_RunRecorder::fullFileContinuesInANewOne_data()
{
    QTest::addColumn<QStringList>("flushes");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("lastHolds");
    const QString stem = QStringLiteral("2026-12-08_09-30-05_COM3");
    // A file of only its heading would be of no use: the first rows stay with it.
    QTest::newRow("first flush alone past the limit")
        << QStringList{"a long first row"} << QStringList{stem + ".csv"}
        << QStringList{"h", "a long first row"};
    QTest::newRow("second part") << QStringList{"row 1", "row 2"}
                                 << QStringList{stem + ".csv", stem + "_2.csv"}
                                 << QStringList{"h", "row 2"};
    QTest::newRow("third part") << QStringList{"row 1", "row 2", "row 3"}
                                << QStringList{stem + ".csv", stem + "_2.csv", stem + "_3.csv"}
                                << QStringList{"h", "row 3"};
}

/// The parts carry the first file's name and a number, however late they begin.
void tst_RunRecorder::fullFileContinuesInANewOne()
{
    QFETCH(QStringList, flushes);
    QFETCH(QStringList, files);
    QFETCH(QStringList, lastHolds);
    QTemporaryDir directory;
    QDateTime moment(QDate(2026, 12, 8), QTime(9, 30, 5));
    RecordFile file(directory.path(), QStringLiteral("COM3"), QStringLiteral("h\r\n"), 10);
    QCOMPARE(file.open(moment), std::nullopt);
    for (const QString &row : flushes) {
        moment = moment.addSecs(1);
        file.append(row + QStringLiteral("\r\n"));
        QCOMPARE(file.flush(moment).error, std::nullopt);
    }
    QCOMPARE(recordFiles(directory.path()), files);
    QCOMPARE(file.fileName(), files.last());
    QList<QStringList> rows;
    for (const QString &row : lastHolds)
        rows.append({row});
    QCOMPARE(readCsv(directory.filePath(file.fileName())), rows);
}

void tst_RunRecorder::runNamesEveryFileOfItsRecord()
{
    QTemporaryDir directory;
    const auto time = std::make_shared<ManualTime>();
    RunRecorder recorder(time, nullptr);
    time->drive(recorder.findChild<WindowTimer *>());
    recorder.setSettings({true, directory.path()});
    // Two seconds of rows to a file.
    recorder.setRolloverBytes(600);
    recorder.connectionOpened(1);
    for (int second = 0; second < 4; ++second) {
        for (int count = 0; count < 2; ++count)
            recorder.lineCompleted(completedLine(10 * second, QByteArray(60, 'x') + "\r\n"));
        time->advance(RunRecorder::kFlushInterval);
    }
    recorder.connectionClosed();
    const QStringList files = recordFiles(directory.path());
    QCOMPARE(files.size(), 2);
    const QList<QMap<QString, QString>> runs = namedRows(directory.filePath("runs.csv"));
    QCOMPARE(runs.size(), 1);
    QCOMPARE(runs[0].value("record"), files.join(RunRecorder::recordSeparator()));
    QCOMPARE(runs[0].value("lines"), QStringLiteral("8"));
}

void tst_RunRecorder::historyDialogSortsFiguresAsNumbers()
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
void tst_RunRecorder::historyDialogShowsTheRunInProgress()
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
    const QTableView *table = dialog->findChild<QTableView *>();
    QVERIFY2(table->horizontalHeader()->length() <= table->viewport()->width(),
        qPrintable(QStringLiteral("%1 > %2")
                       .arg(table->horizontalHeader()->length())
                       .arg(table->viewport()->width())));

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

void tst_RunRecorder::figureDifferences_data()
{
    QTest::addColumn<QStringList>("current"); // rise, overshoot, peak, settling
    QTest::addColumn<QStringList>("earlier");
    QTest::addColumn<QString>("difference");
    QTest::newRow("less overshoot")
        << QStringList{"", "7.40", "", ""} << QStringList{"", "9.50", "", ""} << "超调量 −2.1 %";
    QTest::newRow("every figure")
        << QStringList{"40.5", "5.00", "62.0", "80.1"} << QStringList{"37.5", "5.00", "64.5", "75"}
        << "上升时间 +3.0 s，超调量 0.0 %，峰值时间 −2.5 s，调节时间 +5.1 s";
    QTest::newRow("only what both have")
        << QStringList{"40.5", "", "62.0", ""} << QStringList{"", "9.50", "61.0", ""}
        << "峰值时间 +1.0 s";
    QTest::newRow("nothing to compare")
        << QStringList{"", "", "", ""} << QStringList{"37.5", "9.50", "64.5", "75"} << "";
}

void tst_RunRecorder::figureDifferences()
{
    QFETCH(QStringList, current);
    QFETCH(QStringList, earlier);
    QFETCH(QString, difference);
    const QStringList heading{"rise_s", "overshoot_pct", "peak_s", "settling_s"};
    QCOMPARE(RunFigures::difference(
                 RunFigures::fromRow(heading, current), RunFigures::fromRow(heading, earlier)),
        difference);
}

/// Runs chosen in the history are set beside the current run with the differences, and drawn
/// on the chart from their records; a run whose record is gone is named and the others drawn.
void tst_RunRecorder::historyDialogComparesChosenRuns()
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
        "2026-12-08T09:00:00.500+08:00,0.5,line,60.0,25.5,50.20,10,5,2,st=0600\r\n"));
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
    QCOMPARE(overlays.front().samples.size(), std::size_t(2));
    QCOMPARE(overlays.front().samples.back().value, 255);
    QCOMPARE(overlays.front().samples.back().stamp, 5);
    QCOMPARE(overlays.front().legend,
        QDateTime::fromString(QStringLiteral("2026-12-08T09:00:00.000+08:00"), Qt::ISODateWithMs)
                .toLocalTime()
                .toString(QStringLiteral("MM-dd HH:mm:ss"))
            + QStringLiteral(" · 设定 60.0 ℃ · P 10 I 5 D 2"));
}

void tst_RunRecorder::runsFileThatIsNoFileIsNamed_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("a FIFO") << QStringLiteral("fifo");
    QTest::newRow("a folder") << QStringLiteral("folder");
}

/// A runs.csv that is no regular file is never opened: the history opens at once and says so.
void tst_RunRecorder::runsFileThatIsNoFileIsNamed()
{
    QFETCH(QString, kind);
    QTemporaryDir directory;
    const QString runs = directory.filePath("runs.csv");
    const HangWatchdog watchdog;
    if (kind == QLatin1String("fifo"))
        QCOMPARE(::mkfifo(QFile::encodeName(runs).constData(), 0600), 0);
    else
        QVERIFY(QDir().mkdir(runs));
    RunsDialog dialog(runs);
    QTRY_VERIFY(!dialog.isReading());
    const auto *problem = dialog.findChild<QLabel *>(QStringLiteral("problem"));
    QVERIFY(!problem->isHidden());
    QCOMPARE(problem->text(),
        QStringLiteral("无法读取运行记录：%1 不是普通文件").arg(QDir::toNativeSeparators(runs)));
    QCOMPARE(dialog.runs().rowCount(), 0);
}

/// A history far longer than is shown opens with its newest runs, read from the file's end, and
/// says that the older ones are left out; a last row cut short is left out and said.
void tst_RunRecorder::longHistoryShowsItsNewestRuns()
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
void tst_RunRecorder::largeRecordIsComparedInTheBackground()
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
void tst_RunRecorder::recordNamedByAPathIsRefused()
{
    QTemporaryDir top;
    const QDir directory(top.filePath("records"));
    QVERIFY(directory.mkpath("."));
    QVERIFY(writeFile(top.filePath("outside.csv"),
        "time,run_s,kind,set_c,current_c,output_pct,p,i,d,text\r\n"
        "2026-12-08T09:00:00.000+08:00,0.0,line,60.0,25.0,50.20,10,5,2,st=0600\r\n"));
    const QString runs = directory.filePath("runs.csv");
    QVERIFY(writeFile(runs,
        "start,end,port,set_c,p,i,d,record\r\n"
        "2026-12-08T09:00:00.000+08:00,2026-12-08T09:05:00.000+08:00,COM1,60.0,10,5,2,"
        "../outside.csv\r\n"));
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
    QCOMPARE(problem->text(),
        QStringLiteral("记录文件名不是记录文件夹中的文件，未打开：../outside.csv"));
    dialog.findChild<QPushButton *>(QStringLiteral("compareOnChart"))->click();
    QTRY_VERIFY(!dialog.isReading());
    QCOMPARE(drawn.count(), 0);
    QCOMPARE(problem->text(),
        QStringLiteral("记录文件名不是记录文件夹中的文件，未读取：../outside.csv"));
}

void tst_RunRecorder::runCurveLandsWhereTheLiveCurveWas_data()
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
void tst_RunRecorder::runCurveLandsWhereTheLiveCurveWas()
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
