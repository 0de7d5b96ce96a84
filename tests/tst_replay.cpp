#include "app/application_setup.h"
#include "frm_main.h"
#include "memory_comm.h"
#include "picture_comparison.h"
#include "replay_session.h"
#include "report_comparison.h"
#include "uc_histogram.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

namespace {
/// Fontconfig as the tests have it, except that fonts of the package claim the window's names as
/// other fonts do where they are installed (URW's Nimbus Roman takes Times New Roman, Droid Sans
/// Fallback the Chinese glyphs): Times New Roman, serif and sans-serif go to other families.
QByteArray fontsClaimingTheWindowsNames()
{
    const QString claim = QStringLiteral(R"(  <match target="pattern">
    <test name="family"><string>%1</string></test>
    <edit name="family" mode="prepend_first" binding="weak">
      <string>%2</string><string>AR PL UMing CN</string>
    </edit>
  </match>
)");
    return QStringLiteral(R"(<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<fontconfig>
  <alias binding="same">
    <family>Times New Roman</family>
    <prefer><family>DejaVu Sans Mono</family></prefer>
  </alias>
  <include>%1</include>
%2%3</fontconfig>
)")
        .arg(qEnvironmentVariable("FONTCONFIG_FILE", QStringLiteral("/etc/fonts/fonts.conf")),
            claim.arg(QStringLiteral("serif"), QStringLiteral("DejaVu Sans Mono")),
            claim.arg(QStringLiteral("sans-serif"), QStringLiteral("DejaVu Serif")))
        .toUtf8();
}
} // namespace

class tst_Replay : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void scriptDrivesTheWindow();
    void scriptErrorsAreReported();
    void tuningScriptStepsAndComparesRuns();
    void toolWritesJsonAndPicture();
    void toolAnswersHelpWithoutADisplay_data();
    void toolAnswersHelpWithoutADisplay();
    void scriptsShowWhatTheyAlwaysShowed_data();
    void scriptsShowWhatTheyAlwaysShowed();
    void picturesMayDifferOnlyAtTextEdges_data();
    void picturesMayDifferOnlyAtTextEdges();
    void reportDifferenceNamesControlAndProperty_data();
    void reportDifferenceNamesControlAndProperty();
    void pictureDifferenceNamesTheControlsThere();

private:
    QTemporaryDir m_dir;
};

void tst_Replay::initTestCase()
{
    setUpConsoleApplication();
    QVERIFY(m_dir.isValid());
}

void tst_Replay::scriptDrivesTheWindow()
{
    ReplaySession session(m_dir.path());
    const QStringList script{"# comments and blank lines are skipped", "", "click optComPort_2",
        "connect", "type send  s0450 p009 ", "type Text2_0 12\\x34", "move HScroll1_4 42",
        "clock 2026-12-06T14:30:00", "tick 25"};
    for (const QString &line : script)
        QCOMPARE(session.run(line), std::optional<QString>());
    QVERIFY(session.console().port().PortOpen());
    QCOMPARE(session.console().port().CommPort(), 3);
    QCOMPARE(session.console().window().findChild<QPlainTextEdit *>("send")->toPlainText(),
        QStringLiteral(" s0450 p009 "));
    QCOMPARE(session.console().window().findChild<QLineEdit *>("Text2_0")->text(),
        QStringLiteral("124"));
    QCOMPARE(session.console().window().findChild<QScrollBar *>("HScroll1_4")->value(), 42);
}

void tst_Replay::scriptErrorsAreReported()
{
    ReplaySession session(m_dir.path());
    QVERIFY(session.run("launch rockets"));
    QVERIFY(session.run("click noSuchControl"));
    QVERIFY(session.run("tick many"));
    QVERIFY(session.run("move send 3"));
    QVERIFY(session.run("clock yesterday"));
    QVERIFY(session.run("type HScroll1_0 5"));
    QVERIFY(session.run("menu Frame8 no such entry"));
    QVERIFY(session.run("menu noSuchControl 运行记录…"));
    QVERIFY(session.run("menu Frame8"));
    QVERIFY(session.run("rows noSuchTable 1"));
    QCOMPARE(session.run("menu Frame8 运行记录…"), std::optional<QString>());
    QVERIFY(session.run("rows runs 1")); // no run yet
    QVERIFY(session.run("rows runs one"));
    QVERIFY(session.run("rows runs"));
}

/// The README's tuning picture: three step tests from the dialog, the chosen runs drawn over the
/// chart from their records, the runs in progress confirmed.
void tst_Replay::tuningScriptStepsAndComparesRuns()
{
    QFile script(QStringLiteral(TERMIVA_DOCS "/tuning.txt"));
    QVERIFY(script.open(QIODevice::ReadOnly | QIODevice::Text));
    ReplaySession session(m_dir.path());
    for (int number = 1; !script.atEnd(); ++number) {
        const QString line = QString::fromUtf8(script.readLine()).chopped(1);
        QVERIFY2(!session.run(line), qPrintable(QString::number(number) + ": " + line));
    }
    const OfflineConsole &console = session.console();
    QCOMPARE(console.port().sent(),
        QByteArray("S0600 P010 I005 D002S0250 P010 I005 D002S0600 P030 I005 D002"));
    const auto *chart = console.control<ucHistogram>(QStringLiteral("ucHistogram1"));
    QCOMPARE(chart->overlays().size(), 2);
    QVERIFY(chart->overlays()[0].legend.endsWith(QStringLiteral("设定 60.0 ℃ · P 30 I 5 D 2")));
    QVERIFY(chart->overlays()[1].legend.endsWith(QStringLiteral("设定 60.0 ℃ · P 10 I 5 D 2")));
    QCOMPARE(console.control<QLabel>(QStringLiteral("lblStatus"))->toolTip(),
        QStringLiteral("控制器已确认：设定 60.0 ℃，P 30，I 5，D 2"));
    for (const char *box : {"perfor_index_0", "perfor_index_1", "perfor_index_2", "perfor_index_3"})
        QVERIFY2(console.text(QLatin1String(box)) != QStringLiteral("0"), box);
}

void tst_Replay::toolWritesJsonAndPicture()
{
    const QString script = m_dir.filePath("connect.txt");
    QFile file(script);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("click optComPort_6\nconnect\nrx S0600\\r\\n\ntick 3\n");
    file.close();
    const QString json = m_dir.filePath("out.json");
    const QString png = m_dir.filePath("out.png");

    QProcess tool;
    tool.start(QStringLiteral(TERMIVA_REPLAY_BINARY), {script, "--json", json, "--png", png});
    QVERIFY(tool.waitForFinished(60000));
    QCOMPARE(tool.exitCode(), 0);

    QFile output(json);
    QVERIFY(output.open(QIODevice::ReadOnly));
    const QJsonObject report = QJsonDocument::fromJson(output.readAll()).object();
    const QJsonObject controls = report.value("controls").toObject();
    QCOMPARE(report.value("sent").toString(), QString());
    QCOMPARE(controls.value("lblStatus").toObject().value("text").toString(),
        QStringLiteral("连接温度控制器成功！"));
    QCOMPARE(
        controls.value("rece_quantity").toObject().value("text").toString(), QStringLiteral("1"));
    QCOMPARE(controls.value("cmdConnect").toObject().value("enabled").toBool(), false);
    QCOMPARE(controls.value("optComPort_6").toObject().value("checked").toBool(), true);
    QCOMPARE(controls.value("cmdConnect").toObject().value("geometry").toArray(),
        (QJsonArray{13, 104, 58, 25}));
    QCOMPARE(
        controls.value("Shape3").toObject().value("fill").toString(), QStringLiteral("#ff0000"));
    QCOMPARE(
        controls.value("Shape2").toObject().value("fill").toString(), QStringLiteral("#ffffff"));
    QCOMPARE(
        controls.value("Frame8").toObject().value("back").toString(), QStringLiteral("#8080ff"));
    QCOMPARE(controls.value("Text1").toObject().value("visible").toBool(), false);
    QCOMPARE(controls.value("Timer3").toObject().value("interval").toInt(), 200);

    const QImage picture(png);
    QCOMPARE(picture.size(), QSize(1217, 715));
    // The report gives each port option the back colour the picture shows beside its caption.
    for (int index = 0; index < 16; ++index) {
        const QJsonObject option =
            controls.value(QStringLiteral("optComPort_%1").arg(index)).toObject();
        const QJsonArray geometry = option.value("geometry").toArray();
        const QPoint besideCaption(
            geometry[0].toInt() + geometry[2].toInt() - 2, geometry[1].toInt() + 1);
        QCOMPARE(option.value("back").toString(), picture.pixelColor(besideCaption).name());
    }

    tool.start(QStringLiteral(TERMIVA_REPLAY_BINARY), {m_dir.filePath("absent.txt")});
    QVERIFY(tool.waitForFinished(60000));
    QVERIFY(tool.exitCode() != 0);
}

void tst_Replay::toolAnswersHelpWithoutADisplay_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("printed");
    QTest::newRow("help") << QStringList{"--help"} << 0 << QStringLiteral("SCRIPT");
    QTest::newRow("no script") << QStringList{} << 2 << QStringLiteral("SCRIPT");
    QTest::newRow("unknown option")
        << QStringList{"--bogus", "a.txt"} << 2 << QStringLiteral("bogus");
}

/// Help and refusals need no window, so no display either.
void tst_Replay::toolAnswersHelpWithoutADisplay()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, printed);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        environment.remove(QString::fromLatin1(name));
    QProcess tool;
    tool.setProcessEnvironment(environment);
    tool.start(QStringLiteral(TERMIVA_REPLAY_BINARY), arguments);
    QVERIFY(tool.waitForFinished(30000));
    const QString output = QString::fromLocal8Bit(tool.readAll() + tool.readAllStandardError());
    QCOMPARE(tool.exitStatus(), QProcess::NormalExit);
    QCOMPARE(tool.exitCode(), exitCode);
    QVERIFY2(output.contains(printed), qPrintable(output));
}

void tst_Replay::scriptsShowWhatTheyAlwaysShowed_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<bool>("otherFonts");
    for (const char *script : {"startup", "step_response", "faults", "operator"})
        QTest::newRow(script) << QString::fromLatin1(script) << false;
    QTest::newRow("operator, other fonts claiming the window's names")
        << QStringLiteral("operator") << true;
}

/// Recorded reports and pictures of scripts kept under tests/replay: a reshaped window must
/// give the same bytes and the same pixels.
void tst_Replay::scriptsShowWhatTheyAlwaysShowed()
{
    QFETCH(QString, script);
    QFETCH(bool, otherFonts);
    const QDir recorded(QStringLiteral(TERMIVA_REPLAY_SCRIPTS));
    const QString json = m_dir.filePath(script + ".json");
    const QString png = m_dir.filePath(script + ".png");
    QProcess tool;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("LANG", "C");
    environment.insert("LC_ALL", "C");
    if (otherFonts) {
        QFile fonts(m_dir.filePath("other-fonts.conf"));
        QVERIFY(fonts.open(QIODevice::WriteOnly));
        QVERIFY(fonts.write(fontsClaimingTheWindowsNames()) > 0);
        environment.insert("FONTCONFIG_FILE", fonts.fileName());
    }
    tool.setProcessEnvironment(environment);
    tool.start(QStringLiteral(TERMIVA_REPLAY_BINARY),
        {recorded.filePath(script + ".txt"), "--json", json, "--png", png});
    QVERIFY(tool.waitForFinished(60000));
    QCOMPARE(tool.exitCode(), 0);

    QFile report(json);
    QFile expectedReport(recorded.filePath(script + ".json"));
    QVERIFY(report.open(QIODevice::ReadOnly) && expectedReport.open(QIODevice::ReadOnly));
    const QByteArray expectedJson = expectedReport.readAll();
    const ReportComparison reports(report.readAll(), expectedJson);
    QVERIFY2(
        reports.matches(), qPrintable(reports.failure() + " (shown != recorded), see " + json));
    const QJsonObject controls = QJsonDocument::fromJson(expectedJson)["controls"].toObject();
    const auto area = [&controls](const char *name) {
        const QJsonArray geometry = controls[QLatin1String(name)]["geometry"].toArray();
        return QRect(
            geometry[0].toInt(), geometry[1].toInt(), geometry[2].toInt(), geometry[3].toInt());
    };
    const PictureComparison comparison(QImage(png), QImage(recorded.filePath(script + ".png")),
        {area("ucHistogram1"), area("Mo")});
    QString failure = comparison.failure();
    if (const std::optional<QPoint> pixel = comparison.pixel())
        failure += ", within " + controlsHolding(controls, *pixel).join(", ");
    QVERIFY2(comparison.matches(), qPrintable(failure + ", see " + png));
}

void tst_Replay::picturesMayDifferOnlyAtTextEdges_data()
{
    QTest::addColumn<QList<QPoint>>("changed");
    QTest::addColumn<int>("by");
    QTest::addColumn<bool>("matches");
    // A 100 × 100 picture with an exact area at its top left corner, 10 × 10 pixels.
    QTest::newRow("identical") << QList<QPoint>() << 0 << true;
    QTest::newRow("an edge pixel a little lighter") << QList<QPoint>{{50, 50}} << 48 << true;
    QTest::newRow("an edge pixel much lighter") << QList<QPoint>{{50, 50}} << 49 << false;
    QTest::newRow("one step inside the exact area") << QList<QPoint>{{9, 9}} << 1 << false;
    QList<QPoint> fifty;
    QList<QPoint> fiftyOne;
    for (int x = 0; x < 51; ++x) {
        fiftyOne.append({x, 60});
        if (x < 50)
            fifty.append({x, 60});
    }
    QTest::newRow("half a per cent of the pixels") << fifty << 20 << true;
    QTest::newRow("more than half a per cent") << fiftyOne << 20 << false;
}

void tst_Replay::picturesMayDifferOnlyAtTextEdges()
{
    QFETCH(QList<QPoint>, changed);
    QFETCH(int, by);
    QFETCH(bool, matches);
    QImage expected(100, 100, QImage::Format_RGB32);
    expected.fill(QColor(100, 100, 100));
    QImage picture = expected;
    for (const QPoint &point : changed)
        picture.setPixelColor(point, QColor(100, 100 + by, 100));
    const PictureComparison comparison(picture, expected, {QRect(0, 0, 10, 10)});
    QCOMPARE(comparison.matches(), matches);
    QCOMPARE(comparison.failure().isEmpty(), matches);
}

void tst_Replay::reportDifferenceNamesControlAndProperty_data()
{
    QTest::addColumn<QByteArray>("shown");
    QTest::addColumn<QByteArray>("recorded");
    QTest::addColumn<QString>("failure");
    const QByteArray connected = R"({"controls": {"cmdConnect": {"enabled": false,
        "geometry": [13, 104, 58, 25]}, "lblStatus": {"text": "连接温度控制器成功！"}},
        "sent": ""})";
    QTest::newRow("the same bytes") << connected << connected << QString();
    QTest::newRow("a text") << QByteArray(connected).replace("连接温度控制器成功！", "空闲")
                            << connected
                            << QStringLiteral(
                                   R"(lblStatus.text: "空闲" != "连接温度控制器成功！")");
    QTest::newRow("the first of two controls")
        << QByteArray(connected).replace("false", "true").replace("连接温度控制器成功！", "空闲")
        << connected << QStringLiteral("cmdConnect.enabled: true != false");
    QTest::newRow("a geometry") << QByteArray(connected).replace("58", "60") << connected
                                << QStringLiteral("cmdConnect.geometry: [13,104,60,25] != "
                                                  "[13,104,58,25]");
    QTest::newRow("a property only recorded")
        << connected << QByteArray(connected).replace(R"("text")", R"("toolTip": "", "text")")
        << QStringLiteral(R"(lblStatus.toolTip: (absent) != "")");
    QTest::newRow("a control only shown")
        << QByteArray(connected).replace(R"("controls": {)", R"("controls": {"Text1": {},)")
        << connected << QStringLiteral("Text1: {} != (absent)");
    QTest::newRow("bytes sent") << QByteArray(connected).replace(
        R"("sent": "")", R"("sent": "S0600\r\n")")
                                << connected << QStringLiteral(R"(sent: "S0600\r\n" != "")");
    QTest::newRow("the same values written otherwise")
        << QJsonDocument::fromJson(connected).toJson(QJsonDocument::Compact) << connected
        << QStringLiteral("same values, written differently (layout or number format)");
}

void tst_Replay::reportDifferenceNamesControlAndProperty()
{
    QFETCH(QByteArray, shown);
    QFETCH(QByteArray, recorded);
    QFETCH(QString, failure);
    const ReportComparison comparison(shown, recorded);
    QCOMPARE(comparison.failure(), failure);
    QCOMPARE(comparison.matches(), failure.isEmpty());
}

/// A picture's failure names the controls drawn where it differs, as the report places them.
void tst_Replay::pictureDifferenceNamesTheControlsThere()
{
    const QJsonObject controls = QJsonDocument::fromJson(R"({
        "frmMain": {"geometry": [0, 0, 100, 100], "visible": true},
        "Frame5": {"geometry": [40, 0, 60, 60], "visible": true},
        "lblStatus": {"geometry": [50, 10, 30, 10], "visible": true},
        "Label2": {"geometry": [70, 15, 20, 20], "visible": true},
        "Text1": {"geometry": [50, 10, 5, 5], "visible": false},
        "Timer2": {"enabled": true, "interval": 100}})")
                                     .object();
    const QString status = QStringLiteral("lblStatus [50, 10, 30, 10]");
    const QString frame = QStringLiteral("Frame5 [40, 0, 60, 60]");
    const QString window = QStringLiteral("frmMain [0, 0, 100, 100]");
    QCOMPARE(controlsHolding(controls, {52, 12}), (QStringList{status, frame, window}));
    QCOMPARE(controlsHolding(controls, {75, 17}),
        (QStringList{status, QStringLiteral("Label2 [70, 15, 20, 20]"), frame, window}));
    QCOMPARE(controlsHolding(controls, {45, 50}), (QStringList{frame, window}));
    QCOMPARE(controlsHolding(controls, {5, 95}), QStringList{window});
    QCOMPARE(controlsHolding(controls, {100, 5}), QStringList());

    QImage expected(100, 100, QImage::Format_RGB32);
    expected.fill(QColor(100, 100, 100));
    QImage picture = expected;
    picture.setPixelColor(30, 5, QColor(110, 100, 100));
    QCOMPARE(PictureComparison(picture, expected, {}).pixel(), std::optional<QPoint>());
    picture.setPixelColor(52, 12, QColor(200, 100, 100));
    const PictureComparison muchLighter(picture, expected, {});
    QCOMPARE(muchLighter.failure(), QStringLiteral("pixel (52, 12) differs by 100 in a channel"));
    QCOMPARE(muchLighter.pixel(), std::optional<QPoint>(QPoint(52, 12)));
    for (int x = 0; x < 60; ++x)
        picture.setPixelColor(x, 50, QColor(120, 100, 100));
    picture.setPixelColor(52, 12, QColor(120, 100, 100));
    const PictureComparison many(picture, expected, {});
    QCOMPARE(
        many.failure(), QStringLiteral("62 pixels differ, at most 50 may, the first at (30, 5)"));
    QCOMPARE(many.pixel(), std::optional<QPoint>(QPoint(30, 5)));
}

QTEST_MAIN(tst_Replay)
#include "tst_replay.moc"
