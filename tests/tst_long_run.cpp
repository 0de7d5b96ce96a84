#include "offline_console.h"
#include "uc_histogram.h"

#include <QTest>

/// A long session: 100,000 lines and 1,000,000 timer ticks, past every 16-bit limit, with the
/// values still right at the end.
class tst_LongRun : public QObject
{
    Q_OBJECT

private slots:
    void hundredThousandLinesAndAMillionTicks();
};

void tst_LongRun::hundredThousandLinesAndAMillionTicks()
{
    OfflineConsole console;
    console.connectPort();
    constexpr int kLines = 100000;
    constexpr int kLinesPerBatch = 100;
    constexpr int kTicksPerLine = 10;
    const auto line = [](int n) {
        return QStringLiteral("st=0600 pv=%1 out= %2 pid= 010, 005, 002\r\n")
            .arg(250 + n % 400, 4, 10, QLatin1Char('0'))
            .arg(n % 256, 3, 10, QLatin1Char('0'))
            .toLatin1();
    };
    for (int first = 0; first < kLines; first += kLinesPerBatch) {
        QByteArray batch;
        for (int n = first; n < first + kLinesPerBatch; ++n)
            batch += line(n);
        console.receive(batch);
        console.time().advance(100 * kTicksPerLine * kLinesPerBatch);
    }

    const ControllerState &state = console.window().session().controller();
    QCOMPARE(state.FrameCount, kLines);
    QCOMPARE(console.text("rece_quantity"), QStringLiteral("100000"));
    QCOMPARE(console.text("run"), QStringLiteral("100000.0"));
    QCOMPARE(console.window().session().run().RunSeconds, 100000);
    const int lastCurrent = 250 + (kLines - 1) % 400;
    QCOMPARE(state.CurTempTenths, lastCurrent);
    QCOMPARE(console.text("txtBarcode"), QString::number(lastCurrent));
    QCOMPARE(console.text("Text2_1"), QStringLiteral("64.9"));
    QCOMPARE(
        console.text("Text2_2"), QStringLiteral("%1%").arg((kLines - 1) % 256 / 2.55, 0, 'f', 2));
    const PointBuffer &samples = console.control<ucHistogram>("ucHistogram1")->pointBuffer();
    QVERIFY(samples.isFull());
    QCOMPARE(samples.slot(samples.capacity()), lastCurrent);
    // 600 is first reached on line 350, received with the fourth batch, after 3,000 ticks.
    QCOMPARE(console.text("perfor_index_0"), QStringLiteral("300.0s"));
}

QTEST_MAIN(tst_LongRun)
#include "tst_long_run.moc"
