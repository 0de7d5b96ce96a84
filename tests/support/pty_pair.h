#pragma once

#include <QByteArray>
#include <QString>

/// A pseudo-terminal pair standing in for a serial device: the port under test opens the
/// device path; the test plays the far end through the other side. Both sides are raw, and a
/// descriptor of the device side stays open so the far end never sees a hang-up by accident.
class PtyPair
{
public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair &) = delete;
    PtyPair &operator=(const PtyPair &) = delete;

    bool isValid() const { return m_farEnd >= 0; }
    QString devicePath() const { return m_devicePath; }

    /// Sends bytes from the far end; true when all were written.
    bool send(const QByteArray &bytes);
    /// Bytes sent from the far end that no reader of the device has taken yet.
    int waitingForDevice() const;
    /// Everything the port has written to the far end so far (reads without blocking).
    QByteArray received();
    /// The far end goes away, as a pulled cable does.
    void vanish();

private:
    int m_farEnd = -1;
    int m_deviceSide = -1;
    QString m_devicePath;
    QByteArray m_received;
};
