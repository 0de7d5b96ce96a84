#include "record_checks.h"

#include <QDateTime>
#include <QDir>
#include <QRegularExpression>

QByteArray RecordChecks::line(int set, int current, int p)
{
    return QStringLiteral("st=%1 pv=%2 out= 128 pid= %3, 005, 002\r\n")
        .arg(set, 4, 10, QLatin1Char('0'))
        .arg(current, 4, 10, QLatin1Char('0'))
        .arg(p, 3, 10, QLatin1Char('0'))
        .toLatin1();
}

QStringList RecordChecks::recordFiles(const QString &directory)
{
    return QDir(directory).entryList({QStringLiteral("*_COM*.csv")}, QDir::Files, QDir::Name);
}

bool RecordChecks::isRecordTime(const QString &text)
{
    static const QRegularExpression form(
        QStringLiteral("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\\.\\d{3}[+-]\\d\\d:\\d\\d$"));
    const QDateTime moment = QDateTime::fromString(text, Qt::ISODateWithMs);
    return form.match(text).hasMatch()
        && moment.offsetFromUtc() == moment.toLocalTime().offsetFromUtc();
}
