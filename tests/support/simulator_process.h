#pragma once

#include <QProcess>
#include <QString>

/// termiva-sim running behind a link in a directory of the caller's, driven through its standard
/// input and stopped with its owner. The one way tests and benchmarks start the simulator.
class SimulatorProcess
{
public:
    struct Options
    {
        int periodMs = 500;
        /// Simulated seconds per real second.
        double speed = 1.0;
        bool noise = true;
        unsigned seed = 1;
        /// The set point it starts with, in tenths of a degree.
        int setTenths = 600;
    };

    SimulatorProcess(const QString &link, const Options &options);
    ~SimulatorProcess();

    /// Starts it and waits for its device; false when it did not come up.
    [[nodiscard]] bool start();
    /// Terminates it; true when it then ended on its own with exit code 0.
    [[nodiscard]] bool stop();
    /// One command line on its standard input.
    void command(const QString &line);
    /// Everything it has logged so far.
    QString log();
    QString link() const { return m_link; }
    /// The pseudo-terminal it announced on its first output line.
    QString device() const { return m_device; }

private:
    QStringList arguments() const;

    QString m_link;
    Options m_options;
    QProcess m_process;
    QString m_device;
    QString m_log;
};
