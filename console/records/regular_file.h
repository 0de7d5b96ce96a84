#pragma once

#include <QCoreApplication>
#include <QString>

/// A file of the records folder, opened only while it is a regular file: a FIFO, a device or a
/// folder put there by someone else is refused without being opened, so that nothing waits for
/// a writer that never comes or wakes a device. Rows are never appended through a symbolic
/// link: nobody typed these names, and another user's link would lead the rows elsewhere.
class RegularFile
{
    Q_DECLARE_TR_FUNCTIONS(RegularFile)

public:
    enum class Access { Read, Append };

    RegularFile(const QString &path, Access access);
    ~RegularFile();
    RegularFile(const RegularFile &) = delete;
    RegularFile &operator=(const RegularFile &) = delete;

    bool isOpen() const { return m_descriptor >= 0; }
    int descriptor() const { return m_descriptor; }
    /// Its size when it was opened.
    qint64 size() const { return m_size; }
    /// Something other than a regular file is at the path.
    bool isNotRegular() const { return m_notRegular; }
    /// A symbolic link is at the path that was to be appended to.
    bool isLink() const { return m_link; }
    /// The system's error number when it could not be opened for another reason, else 0.
    int error() const { return m_error; }
    /// Why it is not open, in the window's language; empty while it is.
    QString reason() const;

private:
    int m_descriptor = -1;
    qint64 m_size = 0;
    bool m_notRegular = false;
    bool m_link = false;
    int m_error = 0;
};
