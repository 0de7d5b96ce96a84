#include "c_escapes.h"

#include <QTest>

class tst_CEscapes : public QObject
{
    Q_OBJECT

private slots:
    void decodesCEscapes_data();
    void decodesCEscapes();
    void escapesRoundTripEveryByte();
};

namespace {
QByteArray decoded(const QString &text)
{
    return QByteArray::fromStdString(decodeCEscapes(text.toStdString()));
}

QString encoded(const QByteArray &bytes)
{
    return QString::fromStdString(encodeCEscapes(bytes.toStdString()));
}
} // namespace

void tst_CEscapes::decodesCEscapes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("plain") << "S0600 P010" << QByteArray("S0600 P010");
    QTest::newRow("line end") << "abc\\r\\n" << QByteArray("abc\r\n");
    QTest::newRow("tab and bell") << "\\t\\a" << QByteArray("\t\a");
    QTest::newRow("hex") << "\\x4F\\x4e" << QByteArray("ON");
    QTest::newRow("hex stops after two digits") << "\\x4142" << QByteArray("A42");
    QTest::newRow("one hex digit") << "\\x7." << QByteArray("\x07.");
    QTest::newRow("nul and high bytes") << "\\x00\\xff\\200" << QByteArray("\x00\xff\x80", 3);
    QTest::newRow("octal stops after three digits") << "\\1011" << QByteArray("A1");
    QTest::newRow("backslash and quote") << "\\\\\\\"" << QByteArray("\\\"");
    QTest::newRow("unknown escape is the character") << "\\q" << QByteArray("q");
    QTest::newRow("trailing backslash kept") << "a\\" << QByteArray("a\\");
    QTest::newRow("utf-8 text") << "温度" << QStringLiteral("温度").toUtf8();
}

void tst_CEscapes::decodesCEscapes()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(decoded(text), bytes);
}

void tst_CEscapes::escapesRoundTripEveryByte()
{
    QByteArray every;
    for (int code = 0; code < 256; ++code)
        every.append(char(code));
    const QString text = encoded(every);
    for (const QChar c : text)
        QVERIFY(c.unicode() >= 0x20 && c.unicode() < 0x7F);
    QCOMPARE(decoded(text), every);
    QCOMPARE(encoded("S0450\r\n"), QStringLiteral("S0450\\r\\n"));
}

QTEST_GUILESS_MAIN(tst_CEscapes)
#include "tst_c_escapes.moc"
