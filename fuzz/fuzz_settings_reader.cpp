#include "profile_reader.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdlib>

/// The settings reader on any file: the first line names the section and the key (separated by
/// a tab), the rest is the file. It never crashes and never returns more than 254 characters.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QTemporaryDir dir;
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    const qsizetype lineEnd = input.indexOf('\n');
    const QList<QByteArray> names = input.left(lineEnd < 0 ? 0 : lineEnd).split('\t');
    const QString path = dir.filePath(QStringLiteral("tarvex.ini"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 0;
    file.write(input.mid(lineEnd + 1));
    file.close();
    const QString value = readProfileString(
        QString::fromUtf8(names.value(0)), QString::fromUtf8(names.value(1)), path);
    if (value.size() > 254)
        std::abort();
    return 0;
}
