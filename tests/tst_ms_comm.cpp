#include "memory_comm.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

/// The serial component's rules that hold whatever transport lies beneath, on the in-memory one.
class tst_MSComm : public QObject
{
    Q_OBJECT

private slots:
    void failureCodes();
    void absentPortFailsToOpenAndClosesQuietly();
    void oneEventPerWaitingCharacter();
    void inputLengthZeroTakesEverything();
    void thresholdZeroRaisesNoEvents();
    void handlerThatReadsNothingIsNotFlooded();
    void largeBurstIsSpreadOverEventLoopTurns();
    void outputIsByteExact();
    void vanishedDeviceClosesThePortOnce();
};

void tst_MSComm::failureCodes()
{
    MemoryComm port;
    QCOMPARE(port.setCommPort(0)->code, CommCode::InvalidPortNumber);
    QCOMPARE(port.setCommPort(17)->code, CommCode::InvalidPortNumber);
    QCOMPARE(port.CommPort(), 1);
    QVERIFY(!port.setCommPort(16));
    QCOMPARE(port.CommPort(), 16);

    QVERIFY(!port.setPortOpen(false));
    QVERIFY(!port.PortOpen());
    QCOMPARE(port.Input().error->code, CommCode::OperationNeedsOpenPort);
    QCOMPARE(port.setOutput(QStringLiteral("x"))->code, CommCode::OperationNeedsOpenPort);
    QVERIFY(port.sent().isEmpty());

    QVERIFY(!port.setPortOpen(true));
    QCOMPARE(port.setPortOpen(true)->code, CommCode::PortAlreadyOpen);
    QVERIFY(port.PortOpen());
    QVERIFY(!port.setPortOpen(false));
    QVERIFY(!port.PortOpen());
}

void tst_MSComm::absentPortFailsToOpenAndClosesQuietly()
{
    MemoryComm port;
    port.setPresent(5, false);
    QVERIFY(!port.setCommPort(5));
    const std::optional<CommError> open = port.setPortOpen(true);
    QVERIFY(open);
    QCOMPARE(open->code, CommCode::InvalidPortNumber);
    QVERIFY(!open->cause.isEmpty());
    QVERIFY(!port.setPortOpen(false));
    QVERIFY(port.DeviceName(5).isEmpty());
}

void tst_MSComm::oneEventPerWaitingCharacter()
{
    MemoryComm port;
    port.setInputLen(1);
    port.setRThreshold(1);
    int events = 0;
    QString text;
    connect(&port, &MSComm::OnComm, this, [&] {
        ++events;
        QCOMPARE(port.CommEvent(), MSComm::comEvReceive);
        const CommInput input = port.Input();
        QVERIFY(!input.error);
        QCOMPARE(input.text.size(), 1);
        text += input.text;
    });
    QVERIFY(!port.setPortOpen(true));
    const QByteArray burst("A\x00\x80\xFF\r\n", 6);
    port.feed(burst);
    QCOMPARE(events, 6);
    QCOMPARE(text.size(), 6);
    for (int i = 0; i < burst.size(); ++i)
        QCOMPARE(text.at(i).unicode(), static_cast<unsigned char>(burst.at(i)));
}

void tst_MSComm::inputLengthZeroTakesEverything()
{
    MemoryComm port;
    port.setRThreshold(1);
    QStringList reads;
    connect(&port, &MSComm::OnComm, this, [&] { reads.append(port.Input().text); });
    QVERIFY(!port.setPortOpen(true));
    port.feed("hello");
    QCOMPARE(reads, QStringList{QStringLiteral("hello")});
}

void tst_MSComm::thresholdZeroRaisesNoEvents()
{
    MemoryComm port;
    port.setInputLen(1);
    QSignalSpy events(&port, &MSComm::OnComm);
    QVERIFY(!port.setPortOpen(true));
    port.feed("abc");
    QCoreApplication::processEvents();
    QCOMPARE(events.count(), 0);
    QCOMPARE(port.Input().text, QStringLiteral("a"));
}

void tst_MSComm::handlerThatReadsNothingIsNotFlooded()
{
    MemoryComm port;
    port.setInputLen(1);
    port.setRThreshold(1);
    QSignalSpy events(&port, &MSComm::OnComm);
    QVERIFY(!port.setPortOpen(true));
    port.feed("abc");
    for (int turn = 0; turn < 10; ++turn)
        QCoreApplication::processEvents();
    QCOMPARE(events.count(), 1);
    port.feed("d");
    QCOMPARE(events.count(), 2);
    QCOMPARE(port.InBufferCount(), 3);
}

void tst_MSComm::largeBurstIsSpreadOverEventLoopTurns()
{
    MemoryComm port;
    port.setInputLen(1);
    port.setRThreshold(1);
    QByteArray received;
    connect(&port, &MSComm::OnComm, this, [&] {
        received.append(port.Input().text.toLatin1());
        QElapsedTimer slowHandler;
        slowHandler.start();
        while (slowHandler.nsecsElapsed() < 20000) { }
    });
    QVERIFY(!port.setPortOpen(true));
    QByteArray burst;
    for (int i = 0; i < 5000; ++i)
        burst.append(char(i % 251));
    port.feed(burst);
    QVERIFY(received.size() > 0);
    QVERIFY(received.size() < burst.size());

    qsizetype receivedWhenTimerFired = -1;
    QTimer::singleShot(0, this, [&] { receivedWhenTimerFired = received.size(); });
    QTRY_COMPARE(received.size(), burst.size());
    QVERIFY(receivedWhenTimerFired >= 0);
    QVERIFY(receivedWhenTimerFired < burst.size());
    QCOMPARE(received, burst);
}

void tst_MSComm::outputIsByteExact()
{
    MemoryComm port;
    QVERIFY(!port.setPortOpen(true));
    QString text;
    for (int code = 0; code < 256; ++code)
        text.append(QChar(code));
    QVERIFY(!port.setOutput(text));
    QVERIFY(!port.setOutput(QStringLiteral(" s0450 p009 \r\n")));
    QVERIFY(!port.setOutput(QString()));
    QByteArray expected;
    for (int code = 0; code < 256; ++code)
        expected.append(char(code));
    QCOMPARE(port.sent(), expected + " s0450 p009 \r\n");
}

void tst_MSComm::vanishedDeviceClosesThePortOnce()
{
    MemoryComm port;
    QSignalSpy lost(&port, &MSComm::connectionLost);
    port.vanish();
    QCOMPARE(lost.count(), 0);
    QVERIFY(!port.setPortOpen(true));
    port.vanish();
    port.vanish();
    QCOMPARE(lost.count(), 1);
    QVERIFY(!port.PortOpen());
    QCOMPARE(lost.first().first().value<CommError>().code, CommCode::DeviceUnavailable);
    QVERIFY(!port.setPortOpen(true));
}

QTEST_GUILESS_MAIN(tst_MSComm)
#include "tst_ms_comm.moc"
