#include "pty_device.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <pty.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

PtyDevice::PtyDevice(const std::string &link)
    : m_link(link)
{
    std::array<char, 256> name{};
    if (openpty(&m_controller, &m_device, name.data(), nullptr, nullptr) != 0) {
        m_error = std::string("openpty: ") + std::strerror(errno);
        m_controller = m_device = -1;
        return;
    }
    m_devicePath = name.data();
    fcntl(m_controller, F_SETFL, fcntl(m_controller, F_GETFL) | O_NONBLOCK);
    if (!configureRaw(m_device) || !makeLink())
        close();
}

PtyDevice::~PtyDevice()
{
    close();
}

bool PtyDevice::configureRaw(int descriptor)
{
    termios settings{};
    if (tcgetattr(descriptor, &settings) != 0) {
        m_error = std::string("tcgetattr: ") + std::strerror(errno);
        return false;
    }
    cfmakeraw(&settings);
    settings.c_cflag &= ~tcflag_t(CSIZE | PARENB | CSTOPB | CRTSCTS);
    settings.c_cflag |= CS8 | CLOCAL | CREAD;
    cfsetispeed(&settings, B9600);
    cfsetospeed(&settings, B9600);
    if (tcsetattr(descriptor, TCSANOW, &settings) != 0) {
        m_error = std::string("tcsetattr: ") + std::strerror(errno);
        return false;
    }
    return true;
}

bool PtyDevice::makeLink()
{
    if (m_link.empty())
        return true;
    struct stat existing
    {
    };
    if (lstat(m_link.c_str(), &existing) == 0) {
        if (!S_ISLNK(existing.st_mode)) {
            m_error = m_link + " exists and is not a link; not replacing it";
            m_link.clear();
            return false;
        }
        unlink(m_link.c_str());
    }
    if (symlink(m_devicePath.c_str(), m_link.c_str()) != 0) {
        m_error = "symlink " + m_link + ": " + std::strerror(errno);
        m_link.clear();
        return false;
    }
    return true;
}

long PtyDevice::write(const std::string &bytes)
{
    if (bytes.empty())
        return 0;
    const ssize_t written = ::write(m_controller, bytes.data(), bytes.size());
    if (written >= 0)
        return long(written);
    return errno == EAGAIN || errno == EINTR ? 0 : -1;
}

std::string PtyDevice::read()
{
    std::array<char, 4096> buffer{};
    const ssize_t count = ::read(m_controller, buffer.data(), buffer.size());
    return count > 0 ? std::string(buffer.data(), std::size_t(count)) : std::string();
}

void PtyDevice::flushUnread()
{
    tcflush(m_device, TCIFLUSH);
}

void PtyDevice::close()
{
    if (!m_link.empty())
        unlink(m_link.c_str());
    m_link.clear();
    if (m_controller >= 0)
        ::close(m_controller);
    if (m_device >= 0)
        ::close(m_device);
    m_controller = m_device = -1;
}
