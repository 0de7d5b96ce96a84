#pragma once

#include <QByteArray>
#include <QString>

/// Text with C escapes (\r \n \t \\ \" \xHH \ooo ...) as the bytes it stands for; other
/// characters are taken as UTF-8.
QByteArray decodeCEscapes(QStringView text);
/// Bytes as printable text with C escapes, so that every byte can be read back exactly.
QString encodeCEscapes(const QByteArray &bytes);
