#include "hang_watchdog.h"
#include "profile_reader.h"
#include "profile_writer.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

class tst_ProfileReader : public QObject
{
    Q_OBJECT

private slots:
    void readsKey_data();
    void readsKey();
    void missingFileGivesEmptyText();
    void cutsLongValues();
    void checksTheFile_data();
    void checksTheFile();
    void neverOpensWhatIsNoRegularFile();
    void writesKey_data();
    void writesKey();
    void writesOnlyARegularFile_data();
    void writesOnlyARegularFile();

private:
    QString writeFile(
        const QByteArray &content, const QString &name = QStringLiteral("tarvex.ini"));
    QTemporaryDir m_dir;
};

QString tst_ProfileReader::writeFile(const QByteArray &content, const QString &name)
{
    const QString path = m_dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || file.write(content) != content.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

void tst_ProfileReader::readsKey_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");

    QTest::newRow("plain") << QByteArray("[TEMP]\nSETTEMP=600\n") << "TEMP"
                           << "SETTEMP"
                           << "600";
    QTest::newRow("names without regard to case") << QByteArray("[temp]\nSetTemp=600\n") << "TEMP"
                                                  << "SETTEMP"
                                                  << "600";
    QTest::newRow("blanks around name and value")
        << QByteArray("[ TEMP ]\n  SETTEMP  =   600  \n") << "TEMP"
        << "SETTEMP"
        << "600";
    QTest::newRow("CRLF lines") << QByteArray("[TEMP]\r\nSETTEMP=600\r\nX=1\r\n") << "TEMP"
                                << "SETTEMP"
                                << "600";
    QTest::newRow("double quotes removed") << QByteArray("[TEMP]\nSETTEMP=\" 600 \"\n") << "TEMP"
                                           << "SETTEMP"
                                           << " 600 ";
    QTest::newRow("single quotes removed") << QByteArray("[TEMP]\nSETTEMP='600'\n") << "TEMP"
                                           << "SETTEMP"
                                           << "600";
    QTest::newRow("only one pair of quotes removed")
        << QByteArray("[TEMP]\nSETTEMP=\"\"600\"\"\n") << "TEMP"
        << "SETTEMP"
        << "\"600\"";
    QTest::newRow("unmatched quotes kept") << QByteArray("[TEMP]\nSETTEMP=\"600'\n") << "TEMP"
                                           << "SETTEMP"
                                           << "\"600'";
    QTest::newRow("comment lines ignored")
        << QByteArray("[TEMP]\n;SETTEMP=100\n  ; SETTEMP=200\nSETTEMP=600\n") << "TEMP"
        << "SETTEMP"
        << "600";
    QTest::newRow("first matching key wins")
        << QByteArray("[TEMP]\nSETTEMP=600\nsettemp=700\n") << "TEMP"
        << "SETTEMP"
        << "600";
    QTest::newRow("first in a repeated section")
        << QByteArray("[TEMP]\nOTHER=1\n[X]\nSETTEMP=1\n[TEMP]\nSETTEMP=650\n") << "TEMP"
        << "SETTEMP"
        << "650";
    QTest::newRow("key of another section not read")
        << QByteArray("[OTHER]\nSETTEMP=600\n[TEMP]\nX=1\n") << "TEMP"
        << "SETTEMP"
        << "";
    QTest::newRow("key before any section not read")
        << QByteArray("SETTEMP=600\n[TEMP]\n") << "TEMP"
        << "SETTEMP"
        << "";
    QTest::newRow("missing section") << QByteArray("[PORTS]\nCOM1=/dev/ttyS0\n") << "TEMP"
                                     << "SETTEMP"
                                     << "";
    QTest::newRow("missing key") << QByteArray("[TEMP]\nSET=600\n") << "TEMP"
                                 << "SETTEMP"
                                 << "";
    QTest::newRow("line without equals ignored")
        << QByteArray("[TEMP]\nSETTEMP\nSETTEMP=600\n") << "TEMP"
        << "SETTEMP"
        << "600";
    QTest::newRow("empty value") << QByteArray("[TEMP]\nSETTEMP=\nSETTEMP=600\n") << "TEMP"
                                 << "SETTEMP"
                                 << "";
    QTest::newRow("equals sign inside value") << QByteArray("[PORTS]\nCOM1=a=b\n") << "PORTS"
                                              << "COM1"
                                              << "a=b";
    QTest::newRow("byte order mark") << QByteArray("\xEF\xBB\xBF[TEMP]\nSETTEMP=600\n") << "TEMP"
                                     << "SETTEMP"
                                     << "600";
    QTest::newRow("unclosed section header") << QByteArray("[TEMP\nSETTEMP=600\n") << "TEMP"
                                             << "SETTEMP"
                                             << "600";
    QTest::newRow("no line end at the end") << QByteArray("[TEMP]\nSETTEMP=600") << "TEMP"
                                            << "SETTEMP"
                                            << "600";
    const QByteArray filler(kLargestProfile, ';');
    QTest::newRow("key past the first mebibyte not read")
        << QByteArray("[TEMP]\n" + filler + "\nSETTEMP=600\n") << "TEMP"
        << "SETTEMP"
        << "";
}

void tst_ProfileReader::checksTheFile_data()
{
    using Outcome = ProfileFileCheck::Outcome;
    QTest::addColumn<QString>("kind");
    QTest::addColumn<qint64>("size");
    QTest::addColumn<Outcome>("outcome");
    QTest::newRow("absent") << QStringLiteral("absent") << qint64(0) << Outcome::Missing;
    QTest::newRow("small") << QStringLiteral("file") << qint64(7) << Outcome::Readable;
    QTest::newRow("exactly a mebibyte")
        << QStringLiteral("file") << kLargestProfile << Outcome::Readable;
    QTest::newRow("a byte over a mebibyte")
        << QStringLiteral("file") << kLargestProfile + 1 << Outcome::TooLarge;
    QTest::newRow("folder") << QStringLiteral("folder") << qint64(0) << Outcome::NotRegular;
    QTest::newRow("FIFO") << QStringLiteral("fifo") << qint64(0) << Outcome::NotRegular;
}

void tst_ProfileReader::checksTheFile()
{
    QFETCH(QString, kind);
    QFETCH(qint64, size);
    QFETCH(ProfileFileCheck::Outcome, outcome);
    const HangWatchdog watchdog;
    const QString name = QStringLiteral("%1.ini").arg(QString::fromLatin1(QTest::currentDataTag()));
    const QString path = m_dir.filePath(name);
    if (kind == QLatin1String("file"))
        writeFile(QByteArray(size, ';'), name);
    else if (kind == QLatin1String("folder"))
        QVERIFY(QDir().mkdir(path));
    else if (kind == QLatin1String("fifo"))
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    // Opened, a FIFO without a writer would hang the check rather than fail it.
    QCOMPARE(checkProfileFile(path).outcome, outcome);
}

/// A FIFO, a folder or a device in the settings file's place reads as no file at all.
void tst_ProfileReader::neverOpensWhatIsNoRegularFile()
{
    const HangWatchdog watchdog;
    const QString fifo = m_dir.filePath(QStringLiteral("fifo.ini"));
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QCOMPARE(readProfileString(QStringLiteral("TEMP"), QStringLiteral("SETTEMP"), fifo), QString());
    QCOMPARE(readProfileString(QStringLiteral("TEMP"), QStringLiteral("SETTEMP"), m_dir.path()),
        QString());
}

void tst_ProfileReader::readsKey()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, expected);
    QCOMPARE(readProfileString(section, key, writeFile(content)), expected);
    // The bytes alone, as the fuzz target reads them, give what the file gives.
    QCOMPARE(parseProfileString(section, key, content), expected);
}

void tst_ProfileReader::missingFileGivesEmptyText()
{
    QCOMPARE(readProfileString(QStringLiteral("TEMP"), QStringLiteral("SETTEMP"),
                 m_dir.filePath(QStringLiteral("absent.ini"))),
        QString());
}

void tst_ProfileReader::cutsLongValues()
{
    const QByteArray value(300, 'x');
    const QString path = writeFile("[TEMP]\nSETTEMP=" + value + "\n");
    QCOMPARE(readProfileString(QStringLiteral("TEMP"), QStringLiteral("SETTEMP"), path),
        QString(254, u'x'));
}

void tst_ProfileReader::writesKey_data()
{
    // A null "before" is a missing file.
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("value replaced, every other line kept")
        << QByteArray("; bench 3\r\n[TEMP]\r\nSETTEMP=600\r\n\r\n[PORTS]\r\nCOM1=/dev/ttyUSB0\r\n"
                      "RECONNECT=1\r\n; end\r\n")
        << "0"
        << QByteArray("; bench 3\r\n[TEMP]\r\nSETTEMP=600\r\n\r\n[PORTS]\r\nCOM1=/dev/ttyUSB0\r\n"
                      "RECONNECT=0\r\n; end\r\n");
    QTest::newRow("names as written, blanks around the equals sign kept") << QByteArray(
        "[ ports ]\n  Reconnect = 0\n") << "1" << QByteArray("[ ports ]\n  Reconnect = 1\n");
    QTest::newRow("added after the section's last key, not before the next one's comment")
        << QByteArray("[PORTS]\r\nCOM1=x\r\n\r\n; records\r\n[RECORD]\r\nDIR=y\r\n") << "0"
        << QByteArray("[PORTS]\r\nCOM1=x\r\nRECONNECT=0\r\n\r\n; records\r\n[RECORD]\r\nDIR=y\r\n");
    QTest::newRow("a commented key is no key") << QByteArray(
        "[PORTS]\n;RECONNECT=1\n") << "0" << QByteArray("[PORTS]\nRECONNECT=0\n;RECONNECT=1\n");
    QTest::newRow("the key the reader reads: first in a repeated section")
        << QByteArray("[PORTS]\nCOM1=a\n[X]\nRECONNECT=1\n[PORTS]\nRECONNECT=1\nRECONNECT=1\n")
        << "0"
        << QByteArray("[PORTS]\nCOM1=a\n[X]\nRECONNECT=1\n[PORTS]\nRECONNECT=0\nRECONNECT=1\n");
    QTest::newRow("section added at the end, in the file's line ends")
        << QByteArray("[OTHER]\r\nRECONNECT=1\r\n") << "0"
        << QByteArray("[OTHER]\r\nRECONNECT=1\r\n\r\n[PORTS]\r\nRECONNECT=0\r\n");
    QTest::newRow("last line without a line end")
        << QByteArray("[TEMP]\nSETTEMP=600") << "0"
        << QByteArray("[TEMP]\nSETTEMP=600\n\n[PORTS]\nRECONNECT=0\n");
    QTest::newRow("the section's header is the last line, without a line end")
        << QByteArray("[PORTS]") << "0" << QByteArray("[PORTS]\nRECONNECT=0\n");
    QTest::newRow("byte order mark and bytes in another encoding kept")
        << QByteArray("\xEF\xBB\xBF[PORTS]\r\n; \xB4\xAE\xBF\xDA\r\nRECONNECT=1\r\n") << "0"
        << QByteArray("\xEF\xBB\xBF[PORTS]\r\n; \xB4\xAE\xBF\xDA\r\nRECONNECT=0\r\n");
    QTest::newRow("empty file") << QByteArray("") << "0" << QByteArray("[PORTS]\nRECONNECT=0\n");
    QTest::newRow("missing file") << QByteArray() << "0" << QByteArray("[PORTS]\nRECONNECT=0\n");
}

void tst_ProfileReader::writesKey()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, value);
    QFETCH(QByteArray, after);
    const QString path =
        before.isNull() ? m_dir.filePath(QStringLiteral("missing.ini")) : writeFile(before);
    const QString section = QStringLiteral("PORTS");
    const QString key = QStringLiteral("RECONNECT");
    QCOMPARE(writeProfileString(section, key, value, path).outcome, ProfileWrite::Outcome::Written);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), after);
    QCOMPARE(readProfileString(section, key, path), value);
}

void tst_ProfileReader::writesOnlyARegularFile_data()
{
    using Outcome = ProfileWrite::Outcome;
    QTest::addColumn<QString>("kind");
    QTest::addColumn<Outcome>("outcome");
    QTest::newRow("folder") << QStringLiteral("folder") << Outcome::NotRegular;
    QTest::newRow("FIFO") << QStringLiteral("fifo") << Outcome::NotRegular;
    QTest::newRow("larger than the reader reads") << QStringLiteral("large") << Outcome::TooLarge;
    QTest::newRow("link to a file: the file is written, the link stays")
        << QStringLiteral("link") << Outcome::Written;
    QTest::newRow("its permissions kept") << QStringLiteral("mode 640") << Outcome::Written;
    QTest::newRow("in a folder not made yet") << QStringLiteral("new folder") << Outcome::Written;
    QTest::newRow("in a folder that is a file")
        << QStringLiteral("under a file") << Outcome::Failed;
}

void tst_ProfileReader::writesOnlyARegularFile()
{
    QFETCH(QString, kind);
    QFETCH(ProfileWrite::Outcome, outcome);
    const HangWatchdog watchdog;
    QString path = m_dir.filePath(
        QStringLiteral("write %1.ini").arg(QString::fromLatin1(QTest::currentDataTag())));
    const QString real = writeFile("[PORTS]\nRECONNECT=1\n", QStringLiteral("real.ini"));
    const QByteArray large = QByteArray(kLargestProfile + 1, ';');
    if (kind == QLatin1String("folder"))
        QVERIFY(QDir().mkdir(path));
    else if (kind == QLatin1String("fifo"))
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    else if (kind == QLatin1String("large"))
        writeFile(large, QFileInfo(path).fileName());
    else if (kind == QLatin1String("link"))
        QVERIFY(QFile::link(real, path));
    else if (kind == QLatin1String("mode 640"))
        QCOMPARE(::chmod(QFile::encodeName(real).constData(), 0640), 0);
    else if (kind == QLatin1String("under a file"))
        path = real + QStringLiteral("/tarvex.ini");
    else
        path = m_dir.filePath(QStringLiteral("a/b/tarvex.ini"));
    const QString written = kind == QLatin1String("mode 640") ? real : path;

    // Opened, a FIFO without a reader would hang the write rather than fail it.
    const ProfileWrite result =
        writeProfileString(QStringLiteral("PORTS"), QStringLiteral("RECONNECT"), "0", written);
    QCOMPARE(result.outcome, outcome);
    QCOMPARE(result.reason.isEmpty(), outcome != ProfileWrite::Outcome::Failed);
    if (outcome != ProfileWrite::Outcome::Written) {
        QVERIFY(!QFileInfo(path).isFile() || QFileInfo(path).size() == large.size());
        return;
    }
    QCOMPARE(readProfileString(QStringLiteral("PORTS"), QStringLiteral("RECONNECT"), written),
        QStringLiteral("0"));
    if (kind == QLatin1String("link")) {
        QVERIFY(QFileInfo(path).isSymLink());
        QCOMPARE(readProfileString(QStringLiteral("PORTS"), QStringLiteral("RECONNECT"), real),
            QStringLiteral("0"));
    }
    if (kind == QLatin1String("mode 640")) {
        struct stat node
        {
        };
        QCOMPARE(::stat(QFile::encodeName(real).constData(), &node), 0);
        QCOMPARE(node.st_mode & 0777, 0640u);
    }
}

QTEST_GUILESS_MAIN(tst_ProfileReader)
#include "tst_profile_reader.moc"
