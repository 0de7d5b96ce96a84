#include "hang_watchdog.h"
#include "manual_time.h"
#include "named_rows.h"
#include "record_checks.h"
#include "records/csv_format.h"
#include "records/record_file.h"
#include "records/run_curve.h"
#include "records/run_figures.h"
#include "records/run_recorder.h"
#include "system_error.h"
#include "telemetry/telemetry_receiver.h"
#include "tuning/command_confirmation.h"
#include "window_timer.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <csignal>
#include <ctime>

#include <sys/resource.h>
#include <sys/stat.h>

using namespace RecordChecks;

namespace {
/// A curve point where the link was lost, as the tables below give it.
constexpr int kLostLink = std::numeric_limits<int>::min();

/// A line as the receiver completes it, at a run time in tenths of a second.
CompletedLine completedLine(qint64 runTenths, const QByteArray &received)
{
    CompletedLine completed;
    completed.text = QString::fromLatin1(received);
    completed.values = TelemetryLine::parse(completed.text);
    completed.gains = ReportedGains::of(completed.values);
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

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
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

} // namespace

/// Records and the run history written and read back by the records library alone: record
/// files, their rows, runs.csv and a run's curve.
class tst_RunRecorder : public QObject
{
    Q_OBJECT

private slots:
    void csvRoundTrip_data();
    void csvRoundTrip();
    void commandVerdictGivesARow_data();
    void commandVerdictGivesARow();
    void recordTimesCarryTheZonesOffset_data();
    void recordTimesCarryTheZonesOffset();
    void runCurveIsReadFromItsRecord_data();
    void runCurveIsReadFromItsRecord();
    void lostLinkKeepsTheRunAndItsRecord_data();
    void lostLinkKeepsTheRunAndItsRecord();
    void rowIsWrittenWholeOrNotAtAll();
    void fullFileContinuesInANewOne_data();
    void fullFileContinuesInANewOne();
    void runNamesEveryFileOfItsRecord();
    void figureDifferences_data();
    void figureDifferences();
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
    QTest::addColumn<QString>("note"); // %1 is the records folder
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
        << first << "" << QString();
    QTest::newRow("times without offset") << QStringList{local("2026-12-08T09:30:00.000+08:00"),
        local("2026-12-08T09:30:01.600+08:00"), "a.csv"}
                                          << first << "" << QString();
    QTest::newRow("another offset, the same moments")
        << QStringList{"2026-12-08T01:30:00.000Z", "2026-12-08T02:30:01.600+01:00", "a.csv"}
        << first << "" << QString();
    QTest::newRow("after a clear, in progress, over two files")
        << QStringList{"2026-12-08T09:30:01.600+08:00", "", "a.csv;a_2.csv"} << second << ""
        << QString();
    QTest::newRow("across a lost link")
        << QStringList{"2026-12-08T11:00:00.000+08:00", "", "b.csv"}
        << QList<QPoint>{{0, 300}, {5, 305}, {8, kLostLink}, {52, 400}} << "" << QString();
    QTest::newRow("a line longer than any the console writes, between two whole ones")
        << QStringList{"2026-12-08T12:00:00.000+08:00", "", "long.csv"}
        << QList<QPoint>{{0, 300}, {10, 310}} << ""
        << "记录文件中有 1 行过长，未读取：%1/long.csv";
    QTest::newRow("missing record")
        << QStringList{"2026-12-08T09:30:01.600+08:00", "", "a.csv;gone.csv"} << QList<QPoint>{}
        << "找不到记录文件：%1/gone.csv" << QString();
    QTest::newRow("a FIFO in a record's place")
        << QStringList{"2026-12-08T09:30:00.000+08:00", "", "fifo.csv"} << QList<QPoint>{}
        << "无法读取记录文件：%1/fifo.csv 不是普通文件" << QString();
    QTest::newRow("not a record") << QStringList{"2026-12-08T09:30:00.000+08:00", "", "runs.csv"}
                                  << QList<QPoint>{} << "无法读取记录文件：%1/runs.csv"
                                  << QString();
    QTest::newRow("none of its lines")
        << QStringList{"2026-12-08T10:00:00.000+08:00", "", "a.csv"} << QList<QPoint>{}
        << "记录文件中没有这次运行的温度：%1/a.csv" << QString();
    QTest::newRow("no record named")
        << QStringList{"2026-12-08T10:00:00.000", "", ""} << QList<QPoint>{}
        << "这次运行没有记录文件（开始于 2026-12-08 10:00:00）" << QString();
}

/// A run's curve is the line rows of its own time, whichever offset the times carry; a record
/// that is gone or is none is named.
void tst_RunRecorder::runCurveIsReadFromItsRecord()
{
    QFETCH(QStringList, run);
    QFETCH(QList<QPoint>, points);
    QFETCH(QString, problem);
    QFETCH(QString, note);
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
    QVERIFY(write("long.csv",
        heading + "2026-12-08T12:00:00.000+08:00,0.0,line,60.0,30.0,50.20,10,5,2,st=0600\r\n"
            + "2026-12-08T12:00:00.500+08:00,0.5,line,60.0,99.0,50.20,10,5,2,"
            + QByteArray(70 * 1024, 'x') + "\r\n"
            + "2026-12-08T12:00:01.000+08:00,1.0,line,60.0,31.0,50.20,10,5,2,st=0600\r\n"));
    QVERIFY(write("runs.csv", "start,end,record\r\n"));
    QCOMPARE(::mkfifo(QFile::encodeName(directory.filePath("fifo.csv")).constData(), 0600), 0);
    const HangWatchdog watchdog;
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
    QCOMPARE(curve.notes().join(u'\n'),
        note.isEmpty() ? QString() : note.arg(QDir::toNativeSeparators(directory.path())));
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

QTEST_MAIN(tst_RunRecorder)
#include "tst_run_recorder.moc"
