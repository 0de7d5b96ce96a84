#include "tuning/command_fields.h"

#include <QTest>

Q_DECLARE_METATYPE(CommandFields)
Q_DECLARE_METATYPE(std::optional<CommandFields>)

namespace {
CommandFields fields(std::optional<qint16> s, std::optional<qint16> p, std::optional<qint16> i,
    std::optional<qint16> d, std::optional<qint16> t = std::nullopt)
{
    return CommandFields{s, p, i, d, t};
}
} // namespace

namespace QTest {
template <> char *toString(const std::optional<CommandFields> &fields)
{
    return qstrdup(
        fields ? qPrintable(QStringLiteral("{%1}").arg(fields->commandText())) : "no command");
}
} // namespace QTest

/// Reading the fields out of text sent to the controller, as the controller reads them.
class tst_CommandFields : public QObject
{
    Q_OBJECT

private slots:
    void read_data();
    void read();
    void commandText_data();
    void commandText();
};

void tst_CommandFields::read_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<std::optional<CommandFields>>("expected");
    const std::optional<CommandFields> none;
    QTest::newRow("sample command")
        << "S0450 P009 I004 D002 T040" << std::optional(fields(450, 9, 4, 2, 40));
    QTest::newRow("a step to 60 with gains")
        << "S0600 P012 I005 D002" << std::optional(fields(600, 12, 5, 2));
    QTest::newRow("lower case") << "s0600 p010 i005 d002" << std::optional(fields(600, 10, 5, 2));
    QTest::newRow("any order") << "D002 t7 S0600 I005" << std::optional(fields(600, {}, 5, 2, 7));
    QTest::newRow("one field") << "P012" << std::optional(fields({}, 12, {}, {}));
    QTest::newRow("fewer digits") << "S60 P1" << std::optional(fields(60, 1, {}, {}));
    QTest::newRow("line breaks and tabs from the send box")
        << "  S0600\r\n\tP010 \r\n"
        << std::optional(fields(600, 10, {}, {}));
    QTest::newRow("only T: a command, nothing the lines show")
        << "T040" << std::optional(fields({}, {}, {}, {}, 40));
    QTest::newRow("free text") << "hello controller" << none;
    QTest::newRow("empty") << "" << none;
    QTest::newRow("blanks") << " \r\n" << none;
    QTest::newRow("band digits") << "11111111111" << none;
    QTest::newRow("unknown letter") << "S0600 X010" << none;
    QTest::newRow("letter alone") << "S0600 P" << none;
    QTest::newRow("sign") << "S-600" << none;
    QTest::newRow("not digits") << "P0a9" << none;
    QTest::newRow("field twice") << "P010 p012" << none;
    QTest::newRow("glued fields") << "S0600P010" << none;
    QTest::newRow("over-long S") << "S06000 P010" << none;
    QTest::newRow("over-long P") << "S0600 P0100" << none;
    QTest::newRow("full-width digits") << QStringLiteral("P０１０") << none;
    QTest::newRow("a long paste") << QString(5000, u'S') << none;
}

void tst_CommandFields::read()
{
    QFETCH(QString, text);
    QFETCH(std::optional<CommandFields>, expected);
    QCOMPARE(CommandFields::read(text), expected);
}

void tst_CommandFields::commandText_data()
{
    QTest::addColumn<CommandFields>("given");
    QTest::addColumn<QString>("text");
    QTest::newRow("all") << fields(600, 10, 5, 2, 40) << "S0600 P010 I005 D002 T040";
    QTest::newRow("padded") << fields(5, 0, 999, {}) << "S0005 P000 I999";
    QTest::newRow("only those given") << fields({}, 14, {}, 3) << "P014 D003";
    QTest::newRow("none") << CommandFields{} << "";
}

void tst_CommandFields::commandText()
{
    QFETCH(CommandFields, given);
    QFETCH(QString, text);
    QCOMPARE(given.commandText(), text);
    if (!text.isEmpty())
        QCOMPARE(CommandFields::read(text), std::optional(given));
}

QTEST_GUILESS_MAIN(tst_CommandFields)
#include "tst_command_fields.moc"
