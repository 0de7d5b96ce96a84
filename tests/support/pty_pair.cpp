#include "pty_pair.h"

#include <fcntl.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>

PtyPair::PtyPair()
{
    std::array<char, 256> name{};
    termios raw{};
    cfmakeraw(&raw);
    if (openpty(&m_farEnd, &m_deviceSide, name.data(), &raw, nullptr) != 0) {
        m_farEnd = m_deviceSide = -1;
        return;
    }
    fcntl(m_farEnd, F_SETFL, fcntl(m_farEnd, F_GETFL) | O_NONBLOCK);
    m_devicePath = QString::fromLocal8Bit(name.data());
}

PtyPair::~PtyPair()
{
    vanish();
    if (m_deviceSide >= 0)
        ::close(m_deviceSide);
}

bool PtyPair::send(const QByteArray &bytes)
{
    qsizetype written = 0;
    while (m_farEnd >= 0 && written < bytes.size()) {
        const ssize_t n =
            ::write(m_farEnd, bytes.constData() + written, size_t(bytes.size() - written));
        if (n > 0)
            written += n;
        else if (n < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        else
            usleep(1000);
    }
    return written == bytes.size();
}

int PtyPair::waitingForDevice() const
{
    int count = 0;
    return m_deviceSide >= 0 && ::ioctl(m_deviceSide, FIONREAD, &count) == 0 ? count : -1;
}

QByteArray PtyPair::received()
{
    std::array<char, 4096> buffer{};
    ssize_t n = 0;
    while (m_farEnd >= 0 && (n = ::read(m_farEnd, buffer.data(), buffer.size())) > 0)
        m_received.append(buffer.data(), n);
    return m_received;
}

void PtyPair::vanish()
{
    if (m_farEnd >= 0)
        ::close(m_farEnd);
    m_farEnd = -1;
}
