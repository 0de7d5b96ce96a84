#include "profile_reader.h"

#include <QByteArrayList>
#include <QString>

#include <cstdlib>

/// The settings reader on any file's bytes, read from memory as the file path reads them: the
/// first line names the section and the key (separated by a tab), the rest is the file. It never
/// crashes and gives at most 254 characters of one line.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input =
        QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const qsizetype lineEnd = input.indexOf('\n');
    const QList<QByteArray> names = input.left(lineEnd < 0 ? 0 : lineEnd).split('\t');
    const QString value = parseProfileString(QString::fromUtf8(names.value(0)),
        QString::fromUtf8(names.value(1)), input.mid(lineEnd + 1));
    if (value.size() > 254 || value.contains(u'\n'))
        std::abort();
    return 0;
}
