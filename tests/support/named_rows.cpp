#include "named_rows.h"

#include "records/csv_format.h"

#include <QFile>

QList<QMap<QString, QString>> namedRows(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QList<QStringList> rows = CsvFormat::parse(QString::fromUtf8(file.readAll()));
    QList<QMap<QString, QString>> named;
    for (qsizetype row = 1; row < rows.size(); ++row) {
        QMap<QString, QString> cells;
        for (qsizetype column = 0; column < rows.front().size(); ++column)
            cells.insert(rows.front()[column], rows[row].value(column));
        named.append(cells);
    }
    return named;
}
