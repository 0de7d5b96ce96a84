#pragma once

#include <QByteArray>
#include <QPoint>

/// A viewer of Qt's VNC platform that only points and clicks, so that a test can press a button
/// in a real console process, whose window it cannot otherwise reach.
class VncPointer
{
public:
    /// A TCP port that is free at the moment of asking, for the process to serve on.
    static quint16 freePort();

    VncPointer() = default;
    ~VncPointer();
    VncPointer(const VncPointer &) = delete;
    VncPointer &operator=(const VncPointer &) = delete;

    /// Connects to the server on this machine and greets it; false while nothing listens.
    bool connectTo(quint16 port);
    /// A left click at this place on the served screen.
    bool click(const QPoint &place);

private:
    bool readExactly(char *data, qsizetype size);
    bool sendAll(const QByteArray &bytes);

    int m_socket = -1;
};
