#include "profile_writer.h"

#include "profile_reader.h"

#include <QByteArrayView>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <optional>

namespace {
const QByteArray kByteOrderMark("\xEF\xBB\xBF");

bool sameName(QByteArrayView a, const QString &b)
{
    return QString::fromLocal8Bit(a).trimmed().compare(b, Qt::CaseInsensitive) == 0;
}

/// One line of the file: where it starts, and where its text and its line end stop.
struct Line
{
    qsizetype start = 0;
    qsizetype textEnd = 0;
    qsizetype end = 0;
};

QList<Line> splitLines(const QByteArray &text)
{
    QList<Line> lines;
    qsizetype start = text.startsWith(kByteOrderMark) ? kByteOrderMark.size() : 0;
    while (start < text.size()) {
        const qsizetype newline = text.indexOf('\n', start);
        const qsizetype end = newline < 0 ? text.size() : newline + 1;
        qsizetype textEnd = newline < 0 ? end : newline;
        if (textEnd > start && text.at(textEnd - 1) == '\r')
            --textEnd;
        lines.append({start, textEnd, end});
        start = end;
    }
    return lines;
}

QByteArray lineEndOf(const QByteArray &text)
{
    const qsizetype newline = text.indexOf('\n');
    return newline > 0 && text.at(newline - 1) == '\r' ? QByteArray("\r\n") : QByteArray("\n");
}

/// The file's text with the key set, as readProfileString reads sections and keys.
QByteArray withKey(
    QByteArray text, const QString &section, const QString &key, const QByteArray &value)
{
    const QByteArray lineEnd = lineEndOf(text);
    const QByteArray keyLine = key.toLocal8Bit() + '=' + value + lineEnd;
    const QList<Line> lines = splitLines(text);
    bool inSection = false;
    bool inFirstSection = false;
    // The first matching section's last key, or its header while it has none.
    std::optional<Line> insertAfter;
    for (const Line &line : lines) {
        const QByteArrayView content =
            QByteArrayView(text).sliced(line.start, line.textEnd - line.start).trimmed();
        if (content.isEmpty() || content.front() == ';')
            continue;
        if (content.front() == '[') {
            const qsizetype close = content.indexOf(']');
            inSection =
                sameName(content.sliced(1, (close < 0 ? content.size() : close) - 1), section);
            inFirstSection = inSection && !insertAfter;
            if (inFirstSection)
                insertAfter = line;
            continue;
        }
        const qsizetype equals = content.indexOf('=');
        if (!inSection || equals < 0)
            continue;
        if (sameName(content.first(equals), key)) {
            // The value starts after the equals sign and the blanks that follow it.
            qsizetype valueStart = text.indexOf('=', line.start) + 1;
            while (
                valueStart < line.textEnd && (text[valueStart] == ' ' || text[valueStart] == '\t'))
                ++valueStart;
            return text.replace(valueStart, line.textEnd - valueStart, value);
        }
        if (inFirstSection)
            insertAfter = line;
    }
    if (insertAfter) {
        const bool ended = insertAfter->end > insertAfter->textEnd;
        return text.insert(insertAfter->end, ended ? keyLine : lineEnd + keyLine);
    }
    if (!lines.isEmpty()) {
        if (!text.endsWith('\n'))
            text += lineEnd;
        const Line &last = lines.last();
        if (!QByteArrayView(text).sliced(last.start, last.textEnd - last.start).trimmed().isEmpty())
            text += lineEnd;
    }
    return text + '[' + section.toLocal8Bit() + ']' + lineEnd + keyLine;
}

ProfileWrite failed(const QString &reason)
{
    return {ProfileWrite::Outcome::Failed, reason};
}
} // namespace

ProfileWrite writeProfileString(
    const QString &section, const QString &key, const QString &value, const QString &path)
{
    const QFileInfo info(path);
    // Opening a FIFO or a device would block, or write into something that is no settings file.
    if (info.exists() && !info.isFile())
        return {ProfileWrite::Outcome::NotRegular, {}};
    if (info.size() > kLargestProfile)
        return {ProfileWrite::Outcome::TooLarge, {}};
    QByteArray text;
    if (info.exists()) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return failed(file.errorString());
        text = file.readAll();
    } else {
        // Where it fails, opening the file below gives the system's reason.
        QDir().mkpath(info.absolutePath());
    }
    // Written beside the file and put in its place, through a link to the file it names.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return failed(file.errorString());
    file.write(withKey(text, section, key, value.toLocal8Bit()));
    if (!file.commit())
        return failed(file.errorString());
    return {};
}
