#pragma once

#include <string>

/// The controller's end of a pseudo-terminal pair, raw at 9600 8N1, with a stable symbolic
/// link to the device end for the console to open. Keeps a descriptor of the device end open
/// so that the console closing its port is not a hang-up here.
class PtyDevice
{
public:
    /// Opens the pair and, when link is not empty, points the link at the device end.
    explicit PtyDevice(const std::string &link);
    ~PtyDevice();
    PtyDevice(const PtyDevice &) = delete;
    PtyDevice &operator=(const PtyDevice &) = delete;

    bool isOpen() const { return m_controller >= 0; }
    const std::string &error() const { return m_error; }
    const std::string &devicePath() const { return m_devicePath; }
    int descriptor() const { return m_controller; }

    /// Writes what the line takes without blocking; returns the count, or -1 on failure.
    long write(const std::string &bytes);
    /// Reads what the console sent without blocking; empty when nothing waits.
    std::string read();
    /// Throws away what the console has not read yet.
    void flushUnread();
    /// Closes both ends and removes the link: the device is gone.
    void close();

private:
    bool configureRaw(int descriptor);
    bool makeLink();

    std::string m_link;
    std::string m_devicePath;
    std::string m_error;
    int m_controller = -1;
    int m_device = -1;
};
