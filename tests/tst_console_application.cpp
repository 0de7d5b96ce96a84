#include "application_setup.h"
#include "command_line.h"
#include "csv_format.h"
#include "offline_console.h"
#include "pty_pair.h"
#include "settings_dir.h"
#include "settings_lookup.h"
#include "vnc_pointer.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QProcess>
#include <QRegularExpression>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

#include <csignal>

namespace {
/// Where a control stops being seen: at its right edge, or where a sibling stacked over it
/// begins.
int shownRight(const QWidget &control)
{
    int right = control.geometry().right();
    bool above = false;
    for (const QObject *child : control.parentWidget()->children()) {
        const auto *sibling = qobject_cast<const QWidget *>(child);
        if (sibling == &control)
            above = true;
        else if (above && sibling && sibling->isVisible() && sibling->x() > control.x()
            && sibling->geometry().intersects(control.geometry()))
            right = std::min(right, sibling->x() - 1);
    }
    return right;
}

/// The width a caption needs beyond what its control shows of it, or 0 when it fits.
int overflow(const QWidget &control)
{
    const QFontMetrics metrics = control.fontMetrics();
    const auto widest = [&metrics](const QString &text) {
        int width = 0;
        for (const QString &line : text.split(u'\n'))
            width = std::max(width, metrics.horizontalAdvance(line));
        return width;
    };
    if (const auto *label = qobject_cast<const QLabel *>(&control)) {
        const QRect contents = label->contentsRect();
        const int shown = std::min(contents.right(), shownRight(control) - control.x());
        const int width = shown - contents.left() + 1;
        if (!label->wordWrap())
            return std::max(0, widest(label->text()) - width);
        // Wrapping breaks lines between words, never inside one.
        int longestWord = 0;
        for (const QString &word : label->text().split(QRegularExpression(QStringLiteral("\\s+"))))
            longestWord = std::max(longestWord, metrics.horizontalAdvance(word));
        return std::max(
            {0, longestWord - width, label->heightForWidth(contents.width()) - contents.height()});
    }
    if (const auto *button = qobject_cast<const QAbstractButton *>(&control)) {
        const int margin = button->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button);
        return std::max(0, widest(button->text()) + margin - button->width());
    }
    if (const auto *frame = qobject_cast<const QGroupBox *>(&control))
        return std::max(0, widest(frame->title()) - frame->width());
    return 0;
}

QList<QStringList> readCsv(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return CsvFormat::parse(QString::fromUtf8(file.readAll()));
}

QMap<QString, int> overflows(const QWidget &window)
{
    QMap<QString, int> tooWide;
    for (const QWidget *control : window.findChildren<QWidget *>()) {
        if (control->isVisibleTo(&window) && overflow(*control) > 0)
            tooWide.insert(control->objectName(), overflow(*control));
    }
    return tooWide;
}
} // namespace

/// What the application is told before its window opens: command line, settings file, language.
class tst_ConsoleApplication : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void commandLine_data();
    void commandLine();
    void languageComesFromTheCommandLineThenTheSettings_data();
    void languageComesFromTheCommandLineThenTheSettings();
    void settingsLookupTakesTheFirstThatExists_data();
    void settingsLookupTakesTheFirstThatExists();
    void everyEnglishCaptionFitsItsControl();
    void signalClosesTheConsoleAsExitDoes_data();
    void signalClosesTheConsoleAsExitDoes();
};

void tst_ConsoleApplication::initTestCase()
{
    setUpConsoleApplication();
}

void tst_ConsoleApplication::commandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<CommandLine::Action>("action");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("settings");
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("printed");
    const CommandLine::Action run = CommandLine::Action::Run;
    const CommandLine::Action refuse = CommandLine::Action::Refuse;
    QTest::newRow("nothing") << QStringList{} << run << 0 << QString() << QString() << QString();
    QTest::newRow("settings and language")
        << QStringList{"--settings", "/tmp/a.ini", "--lang=en"} << run << 0
        << QStringLiteral("/tmp/a.ini") << QStringLiteral("en") << QString();
    QTest::newRow("help") << QStringList{"--help"} << CommandLine::Action::ShowHelp << 0
                          << QString() << QString() << QStringLiteral("--settings");
    QTest::newRow("version") << QStringList{"-v"} << CommandLine::Action::ShowVersion << 0
                             << QString() << QString() << QStringLiteral("termiva 0.1");
    QTest::newRow("unknown option") << QStringList{"--colour"} << refuse << 2 << QString()
                                    << QString() << QStringLiteral("colour");
    QTest::newRow("unknown beats help") << QStringList{"--help", "-x"} << refuse << 2 << QString()
                                        << QString() << QStringLiteral("x");
    QTest::newRow("language not offered") << QStringList{"--lang", "fr"} << refuse << 2 << QString()
                                          << QStringLiteral("fr") << QStringLiteral("fr");
    QTest::newRow("settings without a file")
        << QStringList{"--settings"} << refuse << 2 << QString() << QString() << QString();
    QTest::newRow("stray argument")
        << QStringList{"COM3"} << refuse << 2 << QString() << QString() << QStringLiteral("COM3");
}

void tst_ConsoleApplication::commandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(CommandLine::Action, action);
    QFETCH(int, exitCode);
    QFETCH(QString, settings);
    QFETCH(QString, language);
    QFETCH(QString, printed);
    const CommandLine command = CommandLine::parse(QStringList{"termiva"} + arguments);
    QCOMPARE(command.action(), action);
    QCOMPARE(command.settingsFile(), settings);
    QCOMPARE(command.language(), language);
    QString out;
    QString error;
    QTextStream outStream(&out);
    QTextStream errorStream(&error);
    QCOMPARE(command.report(outStream, errorStream), exitCode);
    outStream.flush();
    errorStream.flush();
    QVERIFY2((out + error).contains(printed), qPrintable(out + error));
    QCOMPARE(error.isEmpty(), exitCode == 0);
}

void tst_ConsoleApplication::languageComesFromTheCommandLineThenTheSettings_data()
{
    QTest::addColumn<QString>("commandLine");
    QTest::addColumn<QByteArray>("settings");
    QTest::addColumn<QString>("language");
    QTest::newRow("nothing said") << QString() << QByteArray() << QStringLiteral("zh");
    QTest::newRow("settings") << QString() << QByteArray("[UI]\r\nLANG=en\r\n")
                              << QStringLiteral("en");
    QTest::newRow("command line wins")
        << QStringLiteral("zh") << QByteArray("[UI]\r\nLANG=en\r\n") << QStringLiteral("zh");
    QTest::newRow("settings naming no translation")
        << QString() << QByteArray("[UI]\r\nLANG=fr\r\n") << QStringLiteral("zh");
}

void tst_ConsoleApplication::languageComesFromTheCommandLineThenTheSettings()
{
    QFETCH(QString, commandLine);
    QFETCH(QByteArray, settings);
    QFETCH(QString, language);
    QTemporaryDir directory;
    QFile file(directory.filePath("tarvex.ini"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(settings);
    file.close();
    QCOMPARE(chosenLanguage(commandLine, file.fileName()), language);
}

void tst_ConsoleApplication::settingsLookupTakesTheFirstThatExists_data()
{
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<QString>("chosen");
    QTest::newRow("beside the program first")
        << QStringList{"program", "user"} << QStringLiteral("program");
    QTest::newRow("then the user's") << QStringList{"user", "system"} << QStringLiteral("user");
    QTest::newRow("then the system's") << QStringList{"system"} << QStringLiteral("system");
    QTest::newRow("none: beside the program") << QStringList{} << QStringLiteral("program");
}

void tst_ConsoleApplication::settingsLookupTakesTheFirstThatExists()
{
    QFETCH(QStringList, present);
    QFETCH(QString, chosen);
    QTemporaryDir root;
    const QString configHome = root.filePath("config");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(configHome));
    QStringList candidates = SettingsLookup::candidates(root.filePath("program"));
    QCOMPARE(candidates.value(1), configHome + "/Termiva/tarvex.ini");
    QCOMPARE(candidates.value(2), QStringLiteral("/etc/termiva/tarvex.ini"));
    // The system's folder is not ours to write; a stand-in takes its place.
    candidates[2] = root.filePath("system/tarvex.ini");
    const QStringList places{"program", "user", "system"};
    for (const QString &place : present) {
        const QString file = candidates[places.indexOf(place)];
        QVERIFY(QDir().mkpath(QFileInfo(file).path()));
        QFile(file).open(QIODevice::WriteOnly);
    }
    QCOMPARE(SettingsLookup::find(candidates), candidates[places.indexOf(chosen)]);
}

/// A caption the design itself lets run over (the large "℃") may run over as far in English.
void tst_ConsoleApplication::everyEnglishCaptionFitsItsControl()
{
    const QMap<QString, int> chinese =
        overflows(OfflineConsole(OfflineConsole::Visibility::Shown).window());
    QVERIFY(installLanguage(QStringLiteral("en")));
    OfflineConsole console(OfflineConsole::Visibility::Shown);
    QCOMPARE(console.text(QStringLiteral("cmdConnect")), QStringLiteral("Connect"));
    QStringList tooWide;
    const QMap<QString, int> english = overflows(console.window());
    for (auto control = english.cbegin(); control != english.cend(); ++control) {
        if (control.value() > chinese.value(control.key()))
            tooWide.append(QStringLiteral("%1 by %2 px").arg(control.key()).arg(control.value()));
    }
    QVERIFY2(tooWide.isEmpty(), qPrintable(tooWide.join(QLatin1String(", "))));
}

void tst_ConsoleApplication::signalClosesTheConsoleAsExitDoes_data()
{
    QTest::addColumn<int>("signal");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("Ctrl+C") << int(SIGINT) << 130;
    QTest::newRow("kill") << int(SIGTERM) << 143;
    QTest::newRow("closed terminal") << int(SIGHUP) << 129;
    QTest::newRow("kill -9: no exit code") << int(SIGKILL) << -1;
}

/// The real program on a pseudo-terminal, its window on Qt's VNC platform so that the test can
/// press connect. A signal arrives after the console read lines it has not written yet.
void tst_ConsoleApplication::signalClosesTheConsoleAsExitDoes()
{
    QFETCH(int, signal);
    QFETCH(int, exitCode);
    PtyPair device;
    QVERIFY(device.isValid());
    const SettingsDir settings({{1, device.devicePath()}}, "[RECORD]\r\nDIR=records\r\n");
    const QDir records(QDir(settings.path()).filePath("records"));
    // Where the buttons are, from the same window built here.
    const OfflineConsole layout(OfflineConsole::Visibility::Shown);
    const auto centre = [&layout](const QString &name) {
        const QWidget *control = layout.control(name);
        return control->mapTo(&layout.window(), control->rect().center());
    };
    const quint16 port = VncPointer::freePort();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM",
        QStringLiteral("vnc:size=%1x%2:port=%3")
            .arg(layout.window().width())
            .arg(layout.window().height())
            .arg(port));
    QProcess console;
    console.setProcessEnvironment(environment);
    console.start(QStringLiteral(TERMIVA_BINARY), {"--settings", settings.settingsFile()});
    VncPointer pointer;
    QTRY_VERIFY_WITH_TIMEOUT(pointer.connectTo(port), 10000);
    const auto connected = [&records] { return !records.entryList({"*_COM1.csv"}).isEmpty(); };
    // The server may listen before the window shows; a click on the disabled button does nothing.
    QTRY_VERIFY_WITH_TIMEOUT(pointer.click(centre("optComPort_0"))
            && pointer.click(centre("cmdConnect")) && QTest::qWaitFor(connected, 200),
        10000);
    const QString record = records.filePath(records.entryList({"*_COM1.csv"}).front());
    const QByteArray line("st=0600 pv=0585 out= 128 pid= 010, 005, 002\r\n");
    QVERIFY(device.send(line));
    QTRY_COMPARE_WITH_TIMEOUT(readCsv(record).size(), 2, 5000);
    QVERIFY(device.send(line + line));
    QTRY_COMPARE(device.waitingForDevice(), 0);
    QCOMPARE(::kill(pid_t(console.processId()), signal), 0);
    QVERIFY(console.waitForFinished(10000));

    QFile written(record);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QVERIFY(written.readAll().endsWith("\r\n"));
    const QList<QStringList> rows = readCsv(record);
    for (const QStringList &row : rows)
        QCOMPARE(row.size(), 10);
    if (exitCode < 0) {
        QCOMPARE(console.exitStatus(), QProcess::CrashExit);
        QVERIFY(rows.size() >= 2);
        return;
    }
    QCOMPARE(console.exitStatus(), QProcess::NormalExit);
    QCOMPARE(console.exitCode(), exitCode);
    QCOMPARE(rows.size(), 4);
    const QList<QStringList> runs = readCsv(records.filePath("runs.csv"));
    QCOMPARE(runs.size(), 2);
    QCOMPARE(runs[1].value(runs[0].indexOf("lines")), QStringLiteral("3"));
    QCOMPARE(runs[1].value(runs[0].indexOf("record")), QFileInfo(record).fileName());
}

QTEST_MAIN(tst_ConsoleApplication)
#include "tst_console_application.moc"
