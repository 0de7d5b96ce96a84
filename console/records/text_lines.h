#pragma once

#include <QByteArrayView>

#include <functional>

class ReadProgress;
class RegularFile;

/// A file's text lines front to back, read in blocks up to the size it had when it was opened:
/// a line longer than any the console writes is skipped without ever being held whole, and a
/// last line without its line end is left out, as a row cut short.
class TextLines
{
public:
    /// Far beyond the longest row of a record: 4,094 characters of a line, each escaped to at
    /// most four.
    static constexpr qsizetype kLongestLine = 64 * 1024;

    struct Outcome
    {
        /// Lines skipped for their length.
        qint64 overlong = 0;
        /// The file ended inside a line, which was left out.
        bool cut = false;
        /// The system's error number of a failed read, else 0.
        int error = 0;
        bool cancelled = false;
    };

    /// Hands each whole line, without its CR LF, to take until take returns false.
    static Outcome read(const RegularFile &file, const ReadProgress &progress,
        const std::function<bool(QByteArrayView line)> &take);
};
