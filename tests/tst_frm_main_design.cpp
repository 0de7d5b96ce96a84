#include "app/application_setup.h"
#include "controls/shape_control.h"
#include "form/design_details.h"
#include "form/window_controls.h"
#include "frm_main.h"
#include "hang_watchdog.h"
#include "memory_comm.h"
#include "morph_display.h"
#include "ole_color.h"
#include "profile_reader.h"
#include "session/console_session.h"
#include "settings_dir.h"
#include "settings_lookup.h"
#include "system_clock.h"
#include "uc_histogram.h"
#include "window_timer.h"

#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <memory>

#include <sys/stat.h>

/// Checks that would catch a broken form: a control of each kind at its place, with its
/// caption, colours and starting state, and the stacking the design relies on.
class tst_FrmMainDesign : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void windowItself();
    void controlsOfEachKind();
    void designColours_data();
    void designColours();
    void startingState();
    void loadSequenceState();
    void stacking();
    void renderedPixels();
    void axisCaptionsBesideTheChart();
    void settingsFileProblemsAreReported_data();
    void settingsFileProblemsAreReported();
    void missingControlIsNamed_data();
    void missingControlIsNamed();

private:
    template <typename Control = QWidget> Control *control(const QString &name) const
    {
        auto *found = m_window->findChild<Control *>(name);
        if (!found)
            qFatal("no control %s", qPrintable(name));
        return found;
    }
    QRect placeOf(const QString &name) const;
    QWidget *topmostAt(const QString &name) const;

    std::unique_ptr<SettingsDir> m_settings;
    std::unique_ptr<frmMain> m_window;
};

void tst_FrmMainDesign::initTestCase()
{
    setUpConsoleApplication();
    m_settings = std::make_unique<SettingsDir>(QMap<int, QString>{}, "[TEMP]\r\nSETTEMP=0600\r\n");
    m_window = std::make_unique<frmMain>(std::make_unique<MemoryComm>(),
        std::make_shared<SystemClock>(), m_settings->settingsFile());
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

QRect tst_FrmMainDesign::placeOf(const QString &name) const
{
    const QWidget *widget = control(name);
    return QRect(widget->mapTo(m_window.get(), QPoint(0, 0)), widget->size());
}

QWidget *tst_FrmMainDesign::topmostAt(const QString &name) const
{
    return m_window->childAt(placeOf(name).center());
}

void tst_FrmMainDesign::windowItself()
{
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Termiva "));
    QCOMPARE(m_window->size(), QSize(1217, 715));
    QCOMPARE(m_window->minimumSize(), m_window->maximumSize());
    QCOMPARE(m_window->palette().color(QPalette::Window), QColor(255, 255, 192));
    QVERIFY(!m_window->windowIcon().isNull());
}

void tst_FrmMainDesign::controlsOfEachKind()
{
    auto *serialFrame = control<QGroupBox>("fraFrames_2");
    QCOMPARE(serialFrame->title(), QStringLiteral("串口连接选项"));
    QCOMPARE(placeOf("fraFrames_2"), QRect(8, 0, 284, 137));
    QCOMPARE(control<QGroupBox>("fraFrames_1")->palette().color(QPalette::WindowText),
        QColor(255, 255, 0));

    auto *com7 = control<QRadioButton>("optComPort_6");
    QCOMPARE(com7->text(), QStringLiteral("COM7"));
    QCOMPARE(placeOf("optComPort_6"), QRect(82, 49, 53, 17));
    QCOMPARE(com7->palette().color(com7->backgroundRole()), QColor(255, 128, 0));

    QCOMPARE(control<QPushButton>("cmdConnect")->text(), QStringLiteral("连接"));
    QCOMPARE(placeOf("cmdConnect"), QRect(13, 104, 58, 25));
    QCOMPARE(control<QPushButton>("clearbox")->text(), QStringLiteral("(╰_╯)# clear↑"));
    QCOMPARE(control<QPushButton>("enlarge")->text(), QStringLiteral("←　→"));

    QCOMPARE(control<QLabel>("Label1_6")->text(), QStringLiteral("Target  Value"));
    QCOMPARE(control<QLabel>("Label12_2")->text(), QStringLiteral("快速档  90  ~ "));
    QVERIFY(control<QLabel>("Label9")->text().contains(
        QStringLiteral("Sxxxx Pxxx Ixxx Dxxx Txxx (比如温度60度，则S0600 )")));
    const QFont degrees = control<QLabel>("Label5_1")->font();
    QCOMPARE(degrees.pointSizeF(), 26.25);
    QVERIFY(degrees.bold());
    QCOMPARE(control<QLabel>("Label1_0")->palette().color(QPalette::WindowText),
        *OleTranslateColor(SystemColor::Highlight));
    QCOMPARE(control<QLineEdit>("Text2_1")->palette().color(QPalette::Base),
        *OleTranslateColor(SystemColor::WindowFrame));

    auto *slider = control<QScrollBar>("HScroll1_0");
    QCOMPARE(slider->orientation(), Qt::Horizontal);
    QCOMPARE(slider->minimum(), 0);
    QCOMPARE(slider->maximum(), 100);
    QCOMPARE(placeOf("HScroll1_0"), QRect(144, 168, 167, 25));

    QCOMPARE(control<ShapeControl>("Shape3")->FillColor(), QColor(Qt::white));
    QCOMPARE(control<ShapeControl>("Shape4_8")->FillStyle(), ShapeControl::Solid);
    QCOMPARE(control<ShapeControl>("ShapeDot_1")->BackColor(), QColor(255, 255, 0));
    QVERIFY(!control<QLabel>("Image2")->pixmap().isNull());
    QVERIFY(control<QLabel>("Image2")->hasScaledContents());
    QCOMPARE(control<QPlainTextEdit>("receive")->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);

    QCOMPARE(placeOf("Mo"), QRect(400, 8, 185, 73));
    QVERIFY(qobject_cast<MorphDisplay *>(control("Mo")));
    QCOMPARE(placeOf("ucHistogram1"), QRect(24, 352, 609, 333));
    QVERIFY(qobject_cast<ucHistogram *>(control("ucHistogram1")));
}

void tst_FrmMainDesign::designColours_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QPalette::ColorGroup>("group");
    QTest::addColumn<QPalette::ColorRole>("role");
    QTest::addColumn<QColor>("colour");
    QTest::newRow("band button face")
        << "CommandC" << QPalette::Active << QPalette::Button << QColor(0, 0, 255);
    QTest::newRow("disconnect face while disabled")
        << "cmdDisconnect" << QPalette::Disabled << QPalette::Button << QColor(192, 255, 255);
    QTest::newRow("COM16 face while inactive")
        << "optComPort_15" << QPalette::Inactive << QPalette::Button << QColor(192, 64, 0);
    QTest::newRow("temperature frame back")
        << "fraFrames_1" << QPalette::Active << QPalette::Window << QColor(0, 0, 0);
    QTest::newRow("temperature caption while disabled")
        << "fraFrames_1" << QPalette::Disabled << QPalette::WindowText << QColor(255, 255, 0);
    QTest::newRow("band caption back")
        << "Label12_1" << QPalette::Active << QPalette::Window << QColor(192, 192, 0);
    QTest::newRow("clock text") << "Label13_0" << QPalette::Active << QPalette::WindowText
                                << QColor(0, 64, 0);
    QTest::newRow("highest temperature digits")
        << "Text2_1" << QPalette::Active << QPalette::Text << QColor(0, 255, 0);
    QTest::newRow("figure on the illustration")
        << "Label8_1" << QPalette::Active << QPalette::Window << QColor(192, 255, 192);
    QTest::newRow("caption takes its frame's back")
        << "Label6_0" << QPalette::Active << QPalette::Window << QColor(128, 128, 255);
    QTest::newRow("lamp caption on the button face")
        << "Label2" << QPalette::Active << QPalette::Window
        << *OleTranslateColor(SystemColor::ButtonFace);
}

void tst_FrmMainDesign::designColours()
{
    QFETCH(QString, name);
    QFETCH(QPalette::ColorGroup, group);
    QFETCH(QPalette::ColorRole, role);
    QFETCH(QColor, colour);
    QCOMPARE(control(name)->palette().color(group, role), colour);
}

void tst_FrmMainDesign::startingState()
{
    QVERIFY(control<QRadioButton>("optComPort_0")->isChecked());
    QVERIFY(control<QPushButton>("cmdConnect")->isEnabled());
    QVERIFY(!control<QPushButton>("cmdDisconnect")->isEnabled());
    QCOMPARE(control<QLabel>("lblStatus")->text(), QStringLiteral("空闲"));
    QVERIFY(control("txtBarcode")->isHidden());
    QVERIFY(control("Text1")->isHidden());
    QCOMPARE(control<QLineEdit>("Text1")->text(), QString());
    QCOMPARE(control<QLineEdit>("run")->text(), QStringLiteral("0"));
    QCOMPARE(control<QLabel>("rece_quantity")->text(), QStringLiteral("0"));
    QCOMPARE(control<QLabel>("Label8_2")->text(), QStringLiteral("0"));
    QCOMPARE(control<QPlainTextEdit>("receive")->toPlainText(), QString());
    // The readout shows "00" in the last two of its four hexagonal cells: segment a's middle
    // is yellow there and dark red (burn-in) in the blank cells.
    const auto *readout = control<MorphDisplay>("Mo");
    QCOMPARE(readout->Value(), QStringLiteral("00"));
    QCOMPARE(readout->NumDigits(), 4);
    QCOMPARE(QColor(readout->surface().pixel(138 + 9 + 10, 9)), QColor(255, 255, 0));
    QCOMPARE(QColor(readout->surface().pixel(6 + 9 + 10, 9)), QColor(0x60, 0, 0));
    QCOMPARE(QColor(readout->surface().pixel(0, 30)), QColor(0x40, 0, 0));
    for (int index = 0; index < 6; ++index)
        QCOMPARE(control<QScrollBar>(QStringLiteral("HScroll1_%1").arg(index))->value(), 0);

    const std::map<QString, std::pair<int, bool>> timers{
        {"Timer2", {100, false}}, {"Timer3", {200, true}}, {"Timer4", {100, false}}};
    for (const auto &[name, expected] : timers) {
        const auto *timer = control<WindowTimer>(name);
        QCOMPARE(timer->Interval(), expected.first);
        QCOMPARE(timer->Enabled(), expected.second);
    }
}

void tst_FrmMainDesign::loadSequenceState()
{
    const ConsoleSession &session = m_window->session();
    QCOMPARE(session.controller().FollowCurrentTemp, 1);
    QVERIFY(session.run().ReachPending);
    QVERIFY(session.run().RunClockArmed);
    QCOMPARE(control<QPushButton>("stoporrun")->text(), QStringLiteral("暂停"));
    QCOMPARE(control<QLineEdit>("txtBarcode")->text(), QStringLiteral("0"));
}

void tst_FrmMainDesign::stacking()
{
    // The fuzzy-control group and the set-point marker lie beneath other controls.
    QVERIFY(control("Frame5")->isAncestorOf(topmostAt("CommandA")));
    QVERIFY(control("Frame6")->isAncestorOf(topmostAt("CommandI"))
        || topmostAt("CommandI") == control("Frame6"));
    QVERIFY(topmostAt("Shape4_0") != control("Shape4_0"));
    QCOMPARE(topmostAt("set_v"), control("ucHistogram1"));
    // Windows-level controls over frames, and sliders over the drawing beneath them.
    QCOMPARE(topmostAt("Mo"), control("Mo"));
    QCOMPARE(topmostAt("Text2_0"), control("Text2_0"));
    QVERIFY(control("HScroll1_2")->isAncestorOf(topmostAt("HScroll1_2"))
        || topmostAt("HScroll1_2") == control("HScroll1_2"));
    QCOMPARE(topmostAt("Label8_0"), control("Label8_0"));
}

void tst_FrmMainDesign::renderedPixels()
{
    const QImage image = m_window->grab().toImage();
    const QRect lamp = placeOf("Shape3");
    QCOMPARE(image.pixelColor(lamp.center()), QColor(Qt::white));
    QCOMPARE(image.pixelColor(placeOf("Frame8").topLeft() + QPoint(20, 5)), QColor(128, 128, 255));
    QCOMPARE(image.pixelColor(placeOf("ShapeDot_1").center()), QColor(255, 255, 0));
    QCOMPARE(image.pixelColor(placeOf("Label7_0").topLeft() + QPoint(1, 1)), QColor(255, 240, 180));

    // The run-time box's "0" is drawn dark, not in faint grey.
    const QRect inside = placeOf("run").adjusted(3, 3, -3, -3);
    int darkest = 255;
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x)
            darkest = std::min(darkest, qGray(image.pixel(x, y)));
    }
    QVERIFY2(darkest <= 0x40, qPrintable(QString::number(darkest, 16)));
}

void tst_FrmMainDesign::axisCaptionsBesideTheChart()
{
    const int chartLeft = placeOf("ucHistogram1").left();
    for (const char *name : {"Y_T_0", "Y_T_1", "Y_T_2"}) {
        const auto *caption = control<QLabel>(name);
        const int textWidth = caption->fontMetrics().horizontalAdvance(caption->text());
        QVERIFY2(textWidth <= caption->width(), name);
        QVERIFY2(placeOf(name).left() + textWidth <= chartLeft, name);
    }
}

void tst_FrmMainDesign::settingsFileProblemsAreReported_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<qint64>("size");
    QTest::addColumn<QString>("status");
    QTest::newRow("cannot be read: a folder")
        << "folder" << qint64(0) << "无法读取设置文件：%1 不是普通文件";
    QTest::newRow("cannot be read: a FIFO")
        << "fifo" << qint64(0) << "无法读取设置文件：%1 不是普通文件";
    QTest::newRow("over a mebibyte")
        << "file" << 2 * kLargestProfile << "设置文件超过 1 MB，只读取了开头：%1";
    QTest::newRow("a byte over a mebibyte")
        << "file" << kLargestProfile + 1 << "设置文件超过 1 MB，只读取了开头：%1";
    QTest::newRow("exactly a mebibyte") << "file" << kLargestProfile << QString();
}

void tst_FrmMainDesign::settingsFileProblemsAreReported()
{
    QFETCH(QString, kind);
    QFETCH(qint64, size);
    QFETCH(QString, status);
    const HangWatchdog watchdog;
    QTemporaryDir dir;
    const QString settings = SettingsLookup::besideExecutable(dir.path());
    if (kind == QLatin1String("folder")) {
        QVERIFY(QDir().mkdir(settings));
    } else if (kind == QLatin1String("fifo")) {
        // Opened for reading, a FIFO nobody writes would hold the window back for good.
        QCOMPARE(::mkfifo(QFile::encodeName(settings).constData(), 0600), 0);
    } else {
        QFile file(settings);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(QByteArray(size, ';')), size);
    }
    const frmMain window(std::make_unique<MemoryComm>(), std::make_shared<SystemClock>(),
        SettingsLookup::besideExecutable(dir.path()));
    const QLabel *label = window.findChild<QLabel *>("lblStatus");
    if (status.isEmpty()) {
        QCOMPARE(label->text(), QStringLiteral("空闲"));
        QCOMPARE(label->toolTip(), QString());
        return;
    }
    QCOMPARE(label->toolTip(), status.arg(QDir::toNativeSeparators(settings)));
    // The cause leads whole; the path after it may give way to an ellipsis, colon and all.
    QVERIFY2(
        label->text().startsWith(status.section(u'%', 0, 0).chopped(1)), qPrintable(label->text()));
}

QTEST_MAIN(tst_FrmMainDesign)
#include "tst_frm_main_design.moc"

void tst_FrmMainDesign::missingControlIsNamed_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("a figure's box") << QStringLiteral("perfor_index_2");
    QTest::newRow("a port option") << QStringLiteral("optComPort_7");
    QTest::newRow("a band button") << QStringLiteral("CommandE");
    QTest::newRow("a caption only coloured") << QStringLiteral("Label6_0");
    QTest::newRow("a caption only sized") << QStringLiteral("receive_label");
}

/// A design that lacks a control the console uses is named, not dereferenced.
void tst_FrmMainDesign::missingControlIsNamed()
{
    QFETCH(QString, name);
    frmMain window(std::make_unique<MemoryComm>(), std::make_shared<SystemClock>(),
        m_settings->settingsFile());
    delete window.findChild<QWidget *>(name);
    WindowControls controls;
    QCOMPARE(bindDesignedControls(window, controls), QStringList{name});
}
