#pragma once

#include <QCoreApplication>
#include <QFile>
#include <QString>

/// A file saved whole at a name the user never typed (the PDF beside a report, a suffix the
/// console added): written into a fresh file beside it, created exclusively, and renamed over
/// the name. A symbolic link at the name is refused, never followed, so that another user's
/// link cannot lead the write into a folder of its choosing.
class NoLinkSaveFile
{
    Q_DECLARE_TR_FUNCTIONS(NoLinkSaveFile)

public:
    explicit NoLinkSaveFile(const QString &path);
    /// Anything written but not committed is removed.
    ~NoLinkSaveFile();
    NoLinkSaveFile(const NoLinkSaveFile &) = delete;
    NoLinkSaveFile &operator=(const NoLinkSaveFile &) = delete;

    /// Creates the fresh file; false, with the reason, when the name is a link or nothing can
    /// be created beside it.
    bool open();
    /// Where the contents go between open and commit.
    QIODevice &device() { return m_file; }
    /// Puts the contents at the name; false, with the reason, leaving whatever was there.
    bool commit();
    /// Why open or commit failed, in the window's language.
    const QString &errorString() const { return m_error; }

    /// A symbolic link is at the path, whether or not it leads anywhere.
    static bool isLink(const QString &path);
    /// Why nothing was written at a link, in the window's language.
    static QString linkRefused();

private:
    bool fail(int error);
    void discard();

    QString m_path;
    QByteArray m_fresh;
    QFile m_file;
    QString m_error;
};
