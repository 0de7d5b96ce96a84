#include "vnc_pointer.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
constexpr int kReadTimeoutMs = 5000;
constexpr quint8 kPointerEvent = 5;
constexpr quint8 kLeftButton = 1;

sockaddr_in localAddress(quint16 port)
{
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    return address;
}

QByteArray pointerEvent(quint8 buttons, const QPoint &place)
{
    const quint16 x = htons(quint16(place.x()));
    const quint16 y = htons(quint16(place.y()));
    QByteArray message;
    message.append(char(kPointerEvent)).append(char(buttons));
    message.append(reinterpret_cast<const char *>(&x), 2);
    message.append(reinterpret_cast<const char *>(&y), 2);
    return message;
}
} // namespace

quint16 VncPointer::freePort()
{
    const int probe = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address = localAddress(0);
    socklen_t length = sizeof(address);
    quint16 port = 0;
    if (::bind(probe, reinterpret_cast<sockaddr *>(&address), sizeof(address)) == 0
        && ::getsockname(probe, reinterpret_cast<sockaddr *>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    ::close(probe);
    return port;
}

VncPointer::~VncPointer()
{
    if (m_socket >= 0)
        ::close(m_socket);
}

/// The server speaks version 3.3: its version, no authentication, the client's "shared" flag,
/// then its screen's size, pixel format and name.
bool VncPointer::connectTo(quint16 port)
{
    if (m_socket >= 0)
        ::close(m_socket);
    const sockaddr_in address = localAddress(port);
    m_socket = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (::connect(m_socket, reinterpret_cast<const sockaddr *>(&address), sizeof(address)) != 0) {
        ::close(m_socket);
        m_socket = -1;
        return false;
    }
    QByteArray version(12, '\0');
    QByteArray security(4, '\0');
    QByteArray screen(24, '\0');
    if (!readExactly(version.data(), version.size()) || !version.startsWith("RFB ")
        || !sendAll("RFB 003.003\n") || !readExactly(security.data(), security.size())
        || !sendAll(QByteArray(1, '\1')) || !readExactly(screen.data(), screen.size()))
        return false;
    const quint32 nameLength = ntohl(*reinterpret_cast<const quint32 *>(screen.constData() + 20));
    QByteArray name(qsizetype(nameLength), '\0');
    return readExactly(name.data(), name.size());
}

bool VncPointer::click(const QPoint &place)
{
    return sendAll(pointerEvent(kLeftButton, place) + pointerEvent(0, place));
}

bool VncPointer::readExactly(char *data, qsizetype size)
{
    qsizetype done = 0;
    while (done < size) {
        pollfd ready{m_socket, POLLIN, 0};
        if (::poll(&ready, 1, kReadTimeoutMs) <= 0)
            return false;
        const ssize_t count = ::read(m_socket, data + done, size_t(size - done));
        if (count <= 0 && errno != EINTR)
            return false;
        done += std::max<ssize_t>(count, 0);
    }
    return true;
}

bool VncPointer::sendAll(const QByteArray &bytes)
{
    qsizetype done = 0;
    while (m_socket >= 0 && done < bytes.size()) {
        const ssize_t count =
            ::send(m_socket, bytes.constData() + done, size_t(bytes.size() - done), MSG_NOSIGNAL);
        if (count < 0 && errno != EINTR)
            return false;
        done += std::max<ssize_t>(count, 0);
    }
    return done == bytes.size();
}
