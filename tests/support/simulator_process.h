#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

/// termiva-sim running behind a link in a directory of the test's, driven through its standard
/// input and stopped with the test.
class SimulatorProcess
{
public:
    SimulatorProcess(const QString &binary, const QString &link, const QStringList &options);
    ~SimulatorProcess();

    /// Starts it and waits for its device; false when it did not come up.
    bool start();
    /// One command line on its standard input.
    void command(const QString &line);
    /// Everything it has logged so far.
    QString log();
    QString link() const { return m_link; }

private:
    QString m_binary;
    QString m_link;
    QStringList m_options;
    QProcess m_process;
    QString m_log;
};
