#include "app/application_setup.h"
#include "app/command_line.h"
#include "hang_watchdog.h"
#include "offline_console.h"
#include "panels/font_fitting.h"
#include "panels/status_line.h"
#include "profile_reader.h"
#include "pty_pair.h"
#include "records/csv_format.h"
#include "records/record_settings.h"
#include "settings_dir.h"
#include "settings_lookup.h"
#include "vnc_pointer.h"

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <QTranslator>

#include <sys/stat.h>
#include <unistd.h>

#include <csignal>

namespace {
/// A regular file that cannot be opened for reading, even by a superuser: for one, a sysfs
/// attribute that can only be written refuses a reader. False where there is none.
bool makeUnreadableFile(const QString &path)
{
    if (::geteuid() != 0) {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.setPermissions({});
    }
    for (const char *writeOnly : {"/sys/bus/platform/drivers_probe", "/sys/bus/pci/rescan"}) {
        if (QFileInfo(QString::fromLatin1(writeOnly)).isFile())
            return QFile::link(QString::fromLatin1(writeOnly), path);
    }
    return false;
}

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

/// The window's language for one test: Chinese (with Qt's own texts in Chinese) or English,
/// back to untranslated texts afterwards.
class WindowLanguage
{
public:
    explicit WindowLanguage(const QString &language) { m_loaded = installLanguage(language); }
    ~WindowLanguage()
    {
        for (QTranslator *translator : QCoreApplication::instance()->findChildren<QTranslator *>())
            delete translator;
    }
    WindowLanguage(const WindowLanguage &) = delete;
    WindowLanguage &operator=(const WindowLanguage &) = delete;
    bool loaded() const { return m_loaded; }

private:
    bool m_loaded = false;
};
QList<QStringList> readCsv(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return CsvFormat::parse(QString::fromUtf8(file.readAll()));
}

/// How long the test waits on each step of the real console process. A step takes about a second
/// (the record is written out once a second), but builds and other tests share the machine's two
/// cores, and once in 52 runs under such load a 5 s wait ran out. Four rows failing at their first
/// step still end within ctest's 120 s, each named.
constexpr int kConsoleStepMs = 20000;

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
    void settingsFileNamedOnTheCommandLineMustBeThere_data();
    void settingsFileNamedOnTheCommandLineMustBeThere();
    void languageComesFromTheCommandLineThenTheSettings_data();
    void languageComesFromTheCommandLineThenTheSettings();
    void settingsLookupTakesTheFirstThatExists_data();
    void settingsLookupTakesTheFirstThatExists();
    void recordsFolderFromTheSettings_data();
    void recordsFolderFromTheSettings();
    void qtsOwnTextsFollowTheLanguage_data();
    void qtsOwnTextsFollowTheLanguage();
    void stepResponseCaptionFollowsTheLanguage();
    void modeCaptionFollowsTheLanguageAfterASignal();
    void everyStatusTextShowsItsCauseWhole_data();
    void everyStatusTextShowsItsCauseWhole();
    void statusTooLongForItsPlaceTakesTheFreeRow();
    void verdictShowsWholeInEitherLanguage_data();
    void verdictShowsWholeInEitherLanguage();
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
    QTest::newRow("language in capitals") << QStringList{"--lang", "EN"} << run << 0 << QString()
                                          << QStringLiteral("en") << QString();
    QTest::newRow("unknown option") << QStringList{"--colour"} << refuse << 2 << QString()
                                    << QString() << QStringLiteral("未知选项：--colour\n");
    QTest::newRow("unknown option with a value")
        << QStringList{"--colour=red"} << refuse << 2 << QString() << QString()
        << QStringLiteral("未知选项：--colour\n");
    QTest::newRow("unknown beats help") << QStringList{"--help", "-x"} << refuse << 2 << QString()
                                        << QString() << QStringLiteral("未知选项：-x\n");
    QTest::newRow("language not offered") << QStringList{"--lang", "fr"} << refuse << 2 << QString()
                                          << QStringLiteral("fr") << QStringLiteral("fr");
    QTest::newRow("settings without a file")
        << QStringList{"--settings"} << refuse << 2 << QString() << QString()
        << QStringLiteral("选项 --settings 后面缺少值\n");
    QTest::newRow("language without a value")
        << QStringList{"--settings", "a.ini", "-lang"} << refuse << 2 << QStringLiteral("a.ini")
        << QString() << QStringLiteral("选项 -lang 后面缺少值\n");
    QTest::newRow("switch with a value") << QStringList{"--help=yes"} << refuse << 2 << QString()
                                         << QString() << QStringLiteral("选项 --help 不带值\n");
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

void tst_ConsoleApplication::settingsFileNamedOnTheCommandLineMustBeThere_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("printed");
    QTest::newRow("present") << QStringLiteral("file") << 0 << QString();
    QTest::newRow("over a mebibyte, read in part") << QStringLiteral("large") << 0 << QString();
    QTest::newRow("missing") << QStringLiteral("missing") << 2 << QStringLiteral("%1 不存在");
    QTest::newRow("folder") << QStringLiteral("folder") << 2
                            << QStringLiteral("无法读取设置文件：%1 不是普通文件");
    QTest::newRow("FIFO") << QStringLiteral("fifo") << 2
                          << QStringLiteral("无法读取设置文件：%1 不是普通文件");
    QTest::newRow("unreadable, the reason in the console's words")
        << QStringLiteral("unreadable") << 2 << QStringLiteral("无法读取设置文件：%1（权限不够）");
}

/// A file the user names must be the file read: never a silent start on the defaults, and never
/// a wait on a FIFO that nobody writes.
void tst_ConsoleApplication::settingsFileNamedOnTheCommandLineMustBeThere()
{
    QFETCH(QString, kind);
    QFETCH(int, exitCode);
    QFETCH(QString, printed);
    const HangWatchdog watchdog;
    QTemporaryDir directory;
    const QString path = directory.filePath(QStringLiteral("named.ini"));
    if (kind == QLatin1String("file") || kind == QLatin1String("large")) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(kind == QLatin1String("large") ? kLargestProfile + 1 : 8, ';'));
    } else if (kind == QLatin1String("folder")) {
        QVERIFY(QDir().mkdir(path));
    } else if (kind == QLatin1String("fifo")) {
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    } else if (kind == QLatin1String("unreadable") && !makeUnreadableFile(path)) {
        QSKIP("no file here that this user cannot read");
    }
    CommandLine command = CommandLine::parse({"termiva", "--settings", path});
    command.checkSettingsFile();
    QCOMPARE(
        command.action(), exitCode == 0 ? CommandLine::Action::Run : CommandLine::Action::Refuse);
    QString out;
    QString error;
    QTextStream outStream(&out);
    QTextStream errorStream(&error);
    QCOMPARE(command.report(outStream, errorStream), exitCode);
    errorStream.flush();
    QCOMPARE(error.isEmpty(), exitCode == 0);
    if (exitCode != 0)
        QVERIFY2(error.contains(printed.arg(path)), qPrintable(error));
}

void tst_ConsoleApplication::languageComesFromTheCommandLineThenTheSettings_data()
{
    QTest::addColumn<QString>("commandLine");
    QTest::addColumn<QByteArray>("settings");
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("unknown");
    QTest::newRow("nothing said") << QString() << QByteArray() << QStringLiteral("zh") << QString();
    QTest::newRow("settings") << QString() << QByteArray("[UI]\r\nLANG=en\r\n")
                              << QStringLiteral("en") << QString();
    QTest::newRow("command line wins") << QStringLiteral("zh") << QByteArray("[UI]\r\nLANG=en\r\n")
                                       << QStringLiteral("zh") << QString();
    QTest::newRow("settings naming no translation")
        << QString() << QByteArray("[UI]\r\nLANG=fr\r\n") << QStringLiteral("zh")
        << QStringLiteral("fr");
    QTest::newRow("settings in capitals")
        << QString() << QByteArray("[UI]\r\nLANG=EN\r\n") << QStringLiteral("en") << QString();
    QTest::newRow("command line in capitals")
        << QStringLiteral("EN") << QByteArray() << QStringLiteral("en") << QString();
    QTest::newRow("command line over a setting naming no translation")
        << QStringLiteral("en") << QByteArray("[UI]\r\nLANG=Deutsch\r\n") << QStringLiteral("en")
        << QStringLiteral("Deutsch");
}

void tst_ConsoleApplication::languageComesFromTheCommandLineThenTheSettings()
{
    QFETCH(QString, commandLine);
    QFETCH(QByteArray, settings);
    QFETCH(QString, language);
    QFETCH(QString, unknown);
    QTemporaryDir directory;
    QFile file(directory.filePath("tarvex.ini"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(settings);
    file.close();
    QCOMPARE(chosenLanguage(commandLine, file.fileName()), language);
    // What the file names that is no language is kept, for the status line's tooltip.
    QCOMPARE(languageSetting(file.fileName()).unknown, unknown);
}

void tst_ConsoleApplication::settingsLookupTakesTheFirstThatExists_data()
{
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<QString>("userKind"); // what the user's place holds when present
    QTest::addColumn<QString>("chosen");
    QTest::newRow("beside the program first")
        << QStringList{"program", "user"} << "file" << QStringLiteral("program");
    QTest::newRow("then the user's")
        << QStringList{"user", "system"} << "file" << QStringLiteral("user");
    QTest::newRow("then the system's")
        << QStringList{"system"} << "file" << QStringLiteral("system");
    QTest::newRow("none: beside the program")
        << QStringList{} << "file" << QStringLiteral("program");
    // Found, so that the status line names it as no regular file; never opened.
    QTest::newRow("a folder in the user's place")
        << QStringList{"user", "system"} << "folder" << QStringLiteral("user");
    QTest::newRow("a FIFO in the user's place")
        << QStringList{"user", "system"} << "fifo" << QStringLiteral("user");
}

void tst_ConsoleApplication::settingsLookupTakesTheFirstThatExists()
{
    QFETCH(QStringList, present);
    QFETCH(QString, userKind);
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
        const QString kind = place == QLatin1String("user") ? userKind : QStringLiteral("file");
        if (kind == QLatin1String("folder"))
            QVERIFY(QDir().mkdir(file));
        else if (kind == QLatin1String("fifo"))
            QCOMPARE(::mkfifo(QFile::encodeName(file).constData(), 0600), 0);
        else
            QFile(file).open(QIODevice::WriteOnly);
    }
    QCOMPARE(SettingsLookup::find(candidates), candidates[places.indexOf(chosen)]);
}

void tst_ConsoleApplication::recordsFolderFromTheSettings_data()
{
    QTest::addColumn<QString>("written");
    QTest::addColumn<QString>("folder");
    QTest::newRow("none: the default") << QString() << QStringLiteral("DEFAULT");
    QTest::newRow("beside the settings file")
        << QStringLiteral("runs") << QStringLiteral("SETTINGS/runs");
    QTest::newRow("absolute") << QStringLiteral("/srv/runs") << QStringLiteral("/srv/runs");
    QTest::newRow("in the home folder") << QStringLiteral("~/x") << QStringLiteral("HOME/x");
    QTest::newRow("the home folder itself") << QStringLiteral("~") << QStringLiteral("HOME");
    QTest::newRow("another user's home is no shorthand")
        << QStringLiteral("~bench/x") << QStringLiteral("SETTINGS/~bench/x");
}

void tst_ConsoleApplication::recordsFolderFromTheSettings()
{
    QFETCH(QString, written);
    QFETCH(QString, folder);
    QTemporaryDir directory;
    QFile file(directory.filePath("tarvex.ini"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[RECORD]\r\nDIR=" + written.toUtf8() + "\r\n");
    file.close();
    folder.replace(QLatin1String("DEFAULT"), QLatin1String("/default/records"))
        .replace(QLatin1String("SETTINGS"), directory.path())
        .replace(QLatin1String("HOME"), QDir::homePath());
    QCOMPARE(RecordSettings::read(file.fileName(), QStringLiteral("/default/records")).directory,
        folder);
}

void tst_ConsoleApplication::qtsOwnTextsFollowTheLanguage_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("undo");
    QTest::addColumn<QString>("cancel");
    QTest::newRow("Chinese") << QStringLiteral("zh") << QStringLiteral("撤消(&U)")
                             << QStringLiteral("取消");
    QTest::newRow("English") << QStringLiteral("en") << QStringLiteral("&Undo")
                             << QStringLiteral("Cancel");
}

/// The edit menu of the log and the buttons of Qt's dialogs speak the window's language.
void tst_ConsoleApplication::qtsOwnTextsFollowTheLanguage()
{
    QFETCH(QString, language);
    QFETCH(QString, undo);
    QFETCH(QString, cancel);
    const WindowLanguage chosen(language);
    QVERIFY(chosen.loaded());
    OfflineConsole console;
    const std::unique_ptr<QMenu> menu(
        console.control<QPlainTextEdit>(QStringLiteral("receive"))->createStandardContextMenu());
    QVERIFY(!menu->actions().isEmpty());
    QCOMPARE(menu->actions().constFirst()->text().section(u'\t', 0, 0), undo);
    const QDialogButtonBox buttons(QDialogButtonBox::Cancel);
    QCOMPARE(buttons.button(QDialogButtonBox::Cancel)->text(), cancel);
}

/// The picture's caption is Chinese in the Chinese window, pixel for pixel as shipped, and in the
/// English window written anew in English, the curve above it untouched.
void tst_ConsoleApplication::stepResponseCaptionFollowsTheLanguage()
{
    const QImage shipped =
        QImage(QStringLiteral(":/termiva/step_response.png")).convertToFormat(QImage::Format_RGB32);
    const auto shown = [](const OfflineConsole &console) {
        return console.control<QLabel>(QStringLiteral("Image2"))
            ->pixmap()
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    };
    {
        const WindowLanguage chinese(QStringLiteral("zh"));
        QCOMPARE(shown(OfflineConsole()), shipped);
    }
    const WindowLanguage english(QStringLiteral("en"));
    const QImage picture = shown(OfflineConsole());
    QCOMPARE(picture.size(), shipped.size());
    const int captionTop = 238;
    QCOMPARE(picture.copy(0, 0, picture.width(), captionTop),
        shipped.copy(0, 0, shipped.width(), captionTop));
    const QImage caption =
        picture.copy(0, captionTop, picture.width(), picture.height() - captionTop);
    QVERIFY(caption != shipped.copy(0, captionTop, shipped.width(), shipped.height() - captionTop));
    int inked = 0;
    for (int y = 0; y < caption.height(); ++y) {
        for (int x = 0; x < caption.width(); ++x)
            inked += qGray(caption.pixel(x, y)) < 128 ? 1 : 0;
    }
    QVERIFY2(inked > 100, qPrintable(QString::number(inked)));
}

/// The caption follows the controller's mode in the window's language, not only as it starts.
void tst_ConsoleApplication::modeCaptionFollowsTheLanguageAfterASignal()
{
    const WindowLanguage english(QStringLiteral("en"));
    OfflineConsole console;
    console.connectPort();
    console.receive("N");
    QCOMPARE(console.text(QStringLiteral("Label1_0")), QStringLiteral("Current:"));
    console.receive("O");
    QCOMPARE(console.text(QStringLiteral("Label1_0")), QStringLiteral("Set:"));
}

namespace {
/// A text the status line shows: its template, and the arguments filled into it, each either
/// plain or another translated text ("Context|source").
struct StatusText
{
    const char *context;
    const char *source;
    QStringList arguments;
    /// The argument that may be cut to make room (a path or the system's reason), or -1 when
    /// the whole text must show.
    int cuttable = -1;
    /// For a text too long for the line even at 8 pt: the argument through which it shows
    /// whole, the rest cut at its end; -1 for none.
    int wholeThrough = -1;
};

QString translated(const QString &argument)
{
    const qsizetype bar = argument.indexOf(u'|');
    if (bar < 0)
        return argument;
    return QCoreApplication::translate(
        argument.left(bar).toUtf8().constData(), argument.mid(bar + 1).toUtf8().constData());
}

QList<StatusText> everyStatusText()
{
    const QString path = QStringLiteral("/home/operator/bench/heater-loop/settings/tarvex.ini");
    QList<StatusText> texts{
        {"frmMain", "空闲", {}},
        {"ConnectionPanel", "已连接...", {}},
        {"ConnectionPanel", "已断开...", {}},
        {"StatusLine", "连接温度控制器成功！", {}},
        {"ConsoleSession", "串口未打开，未发送", {}},
        {"ReconnectPolicy", "连接已中断：COM%1 %2", {"16", "SerialComm|设备已断开"}},
        {"ReconnectPolicy", "连接已中断：COM%1 %2", {"16", "MemoryComm|设备已断开"}},
        {"ReconnectPolicy", "连接已中断：COM%1 %2，等待设备重新连接…",
            {"16", "SerialComm|设备已断开"}, -1, 1},
        {"ReconnectPolicy", "已重新连接 COM%1", {"16"}},
        {"ReconnectPolicy", "COM%1 无法打开：%2，重试中…", {"16", "SerialComm|已被其他程序占用"},
            -1, 1},
        {"ConsoleSession", "发送失败：%1", {"SerialComm|写入失败"}},
        {"ConsoleSession", "发送失败：%1", {"MSComm|端口没有打开，无法发送"}},
        {"StatusLine", "记录失败：", {}},
        {"StatusLine", "运行记录改记到 %1", {"runs-2.csv"}},
        {"StatusLine", "无法读取设置文件：%1", {path}, 0},
        {"StatusLine", "无法读取设置文件：%1 不是普通文件", {path}, 0},
        {"StatusLine", "设置文件超过 1 MB，只读取了开头：%1", {path}, 0},
        {"RunDialogsLauncher", "无法打开记录文件夹：%1", {path}, 0},
        {"ChartPanel", "无法保存曲线图片：%1", {path}, 0},
        {"ChartPanel", "无法导出曲线数据：%1", {path}, 0},
        {"ConnectionPanel", "无法写入设置文件：%1 不是普通文件", {path}, 0},
        {"ConnectionPanel", "无法写入设置文件：%1 超过 1 MB", {path}, 0},
        {"ConnectionPanel", "无法写入设置文件：%1", {path}, 0},
    };
    for (const char *cause : {"SerialComm|设备不存在", "SerialComm|已被其他程序占用",
             "SerialComm|没有访问权限", "SerialComm|设备不可用", "SerialComm|没有对应的设备",
             "MemoryComm|没有对应的设备", "MSComm|端口已经打开", "MSComm|无效的端口号"})
        texts.append({"ConnectionPanel", "无法打开 COM%1：%2", {"16", QString::fromUtf8(cause)}});
    return texts;
}
} // namespace

void tst_ConsoleApplication::everyStatusTextShowsItsCauseWhole_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<int>("index");
    const QList<StatusText> texts = everyStatusText();
    for (const char *language : {"zh", "en"}) {
        for (int index = 0; index < texts.size(); ++index) {
            const StatusText &text = texts.at(index);
            QString shown = QString::fromUtf8(text.source);
            for (const QString &argument : text.arguments)
                shown = shown.arg(argument.section(u'|', -1));
            QTest::addRow("%s: %s", language, qPrintable(shown))
                << QString::fromLatin1(language) << index;
        }
    }
}

/// Every text the status line can show, in either language, at the window's own size: whole,
/// in the design's type or a smaller one down to 8 pt; where a path or the system's reason is
/// part of it, what leads and what follows that part stay whole.
void tst_ConsoleApplication::everyStatusTextShowsItsCauseWhole()
{
    QFETCH(QString, language);
    QFETCH(int, index);
    const StatusText text = everyStatusText().at(index);
    const WindowLanguage chosen(language);
    QVERIFY(chosen.loaded());
    OfflineConsole console(OfflineConsole::Visibility::Shown);
    const QLabel *status = console.control<QLabel>(QStringLiteral("lblStatus"));
    QStringList arguments;
    for (const QString &argument : text.arguments)
        arguments.append(translated(argument));
    QString whole = QCoreApplication::translate(text.context, text.source);
    QVERIFY2(
        language == QLatin1String("zh") || whole != QString::fromUtf8(text.source), "untranslated");
    QString lead = whole;
    QString tail;
    for (int argument = 0; argument < arguments.size(); ++argument) {
        if (argument == text.cuttable) {
            const qsizetype marker = whole.indexOf(QStringLiteral("%%1").arg(argument + 1));
            lead = whole.left(marker);
            tail = whole.mid(marker + 2);
        }
    }
    if (text.wholeThrough >= 0) {
        const QString through = QStringLiteral("%%1").arg(text.wholeThrough + 1);
        lead = whole.left(whole.indexOf(through) + through.size());
        for (int argument = 0; argument <= text.wholeThrough; ++argument)
            lead = lead.arg(arguments.at(argument));
    }
    // A text with a part that may be cut has that part as its one argument.
    for (const QString &argument : arguments)
        whole = whole.arg(argument);
    if (text.cuttable < 0 && text.wholeThrough < 0)
        lead = whole;

    const int width = status->contentsRect().width();
    const FittedLine fitted = fitOneLine(status->font(), whole, width, 8.0,
        text.cuttable < 0 ? QString() : arguments.at(text.cuttable));
    QVERIFY2(
        fitted.font.pointSizeF() >= 8.0, qPrintable(QString::number(fitted.font.pointSizeF())));
    QVERIFY2(QFontMetricsF(fitted.font).horizontalAdvance(fitted.text) <= width,
        qPrintable(fitted.text));
    QVERIFY2(QFontMetrics(fitted.font).height() <= status->contentsRect().height(),
        qPrintable(fitted.font.toString()));
    // The separator after the cause may give way to the ellipsis that stands for the path.
    while (lead.endsWith(u' ') || lead.endsWith(u':') || lead.endsWith(u'：'))
        lead.chop(1);
    QVERIFY2(fitted.text.startsWith(lead), qPrintable(fitted.text + " / " + lead));
    QVERIFY2(fitted.text.endsWith(tail), qPrintable(fitted.text + " / " + tail));
    if (text.wholeThrough >= 0)
        QVERIFY2(fitted.text == whole || fitted.text.endsWith(u'…'), qPrintable(fitted.text));
}

/// A verdict too long for the status line's place even at 8 pt is shown whole in the free row to
/// its right, short of the "未记录" mark while that is shown; a short text has the place again.
void tst_ConsoleApplication::statusTooLongForItsPlaceTakesTheFreeRow()
{
    QWidget frame;
    frame.resize(284, 137);
    const QRect designed(24, 88, 190, 16);
    auto *label = new QLabel(QStringLiteral("空闲"), &frame);
    label->setGeometry(designed);
    StatusLine status(label, QStringLiteral("/nonexistent/tarvex.ini"), &frame);
    const QString verdict = QStringLiteral("控制器已确认：设定 60.0 ℃，P 10，I 5，D 2");

    status.show(verdict);
    QCOMPARE(label->text(), verdict);
    QCOMPARE(label->x(), designed.x());
    QVERIFY2(label->width() > designed.width(), qPrintable(QString::number(label->width())));

    status.setRecordingEnabled(false);
    const auto *mark = frame.findChild<QLabel *>(QStringLiteral("notRecording"));
    QVERIFY(mark && mark->isVisibleTo(&frame));
    QVERIFY2(label->geometry().right() < mark->x() && label->x() >= 4,
        qPrintable(QStringLiteral("%1 + %2").arg(label->x()).arg(label->width())));
    QVERIFY(label->text().startsWith(QStringLiteral("控制器已确认")));

    status.show(QStringLiteral("已断开..."));
    QCOMPARE(label->geometry(), designed);

    // A recording failure cleared by the next connection gives the whole row back.
    status.setRecordingEnabled(true);
    status.reportRecordingFailure(QStringLiteral("设备上没有空间"));
    QVERIFY(mark->isVisibleTo(&frame));
    status.clearRecordingFailure();
    QVERIFY(!mark->isVisibleTo(&frame));
    const QString waiting = QStringLiteral("连接已中断：COM1 设备已断开，等待设备重新连接…");
    status.show(waiting);
    QCOMPARE(label->text(), waiting);
    QVERIFY2(label->geometry().right() > mark->x(), qPrintable(QString::number(label->width())));
}

void tst_ConsoleApplication::verdictShowsWholeInEitherLanguage_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("sent");
    QTest::addColumn<QByteArray>("shown"); // the line the controller keeps sending
    const QByteArray widest("st=9999 pv=0600 out= 128 pid= 999, 999, 999\r\n");
    const QByteArray narrow("st=1000 pv=0600 out= 128 pid= 100, 100, 100\r\n");
    for (const char *language : {"zh", "en"}) {
        QTest::addRow("%s: confirmed, every field at its widest", language)
            << language << "S9999 P999 I999 D999" << widest;
        QTest::addRow("%s: set temperature not taken", language) << language << "S9999" << narrow;
        QTest::addRow("%s: P not taken", language) << language << "P999" << narrow;
        QTest::addRow("%s: D without a reading", language)
            << language << "D999" << QByteArray("st=1000 pv=0600\r\n");
    }
}

/// A verdict on one field, or a confirmation of all four, stands in the status line whole.
void tst_ConsoleApplication::verdictShowsWholeInEitherLanguage()
{
    QFETCH(QString, language);
    QFETCH(QString, sent);
    QFETCH(QByteArray, shown);
    const WindowLanguage chosen(language);
    QVERIFY(chosen.loaded());
    OfflineConsole console;
    console.time().setNow(QDateTime(QDate(2026, 12, 8), QTime(9, 30)));
    console.connectPort();
    QVERIFY(console.type(QStringLiteral("send"), sent));
    QVERIFY(console.click(QStringLiteral("comm_send")));
    for (int line = 0; line < 7; ++line) {
        console.receive(shown);
        console.tick(10);
    }
    const QLabel *status = console.control<QLabel>(QStringLiteral("lblStatus"));
    QVERIFY2(status->toolTip().contains(QStringLiteral("999")), qPrintable(status->toolTip()));
    QCOMPARE(status->text(), status->toolTip());
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
    QTRY_VERIFY_WITH_TIMEOUT(pointer.connectTo(port), kConsoleStepMs);
    const auto connected = [&records] { return !records.entryList({"*_COM1.csv"}).isEmpty(); };
    // The server may listen before the window shows; a click on the disabled button does nothing.
    QTRY_VERIFY_WITH_TIMEOUT(pointer.click(centre("optComPort_0"))
            && pointer.click(centre("cmdConnect")) && QTest::qWaitFor(connected, 200),
        kConsoleStepMs);
    const QString record = records.filePath(records.entryList({"*_COM1.csv"}).front());
    const QByteArray line("st=0600 pv=0585 out= 128 pid= 010, 005, 002\r\n");
    QVERIFY(device.send(line));
    QTRY_COMPARE_WITH_TIMEOUT(readCsv(record).size(), 2, kConsoleStepMs);
    QVERIFY(device.send(line + line));
    QTRY_COMPARE_WITH_TIMEOUT(device.waitingForDevice(), 0, kConsoleStepMs);
    QCOMPARE(::kill(pid_t(console.processId()), signal), 0);
    QVERIFY(console.waitForFinished(kConsoleStepMs));

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
