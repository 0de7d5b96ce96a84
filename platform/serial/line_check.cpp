#include "line_check.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSerialPort>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <poll.h>
#include <termios.h>

std::optional<QString> lineFailure(const QSerialPort &port, const QString &devicePath)
{
    pollfd line{port.handle(), POLLIN, 0};
    if (::poll(&line, 1, 0) > 0 && (line.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0)
        return QCoreApplication::translate("SerialComm", "线路已挂断");
    if (!QFileInfo::exists(devicePath))
        return QCoreApplication::translate("SerialComm", "设备文件已移除");
    // A device whose driver has let go may still poll readable; its terminal settings fail.
    termios settings{};
    if (::tcgetattr(port.handle(), &settings) != 0 && errno != EINTR)
        return qt_error_string(errno);
    return std::nullopt;
}
#else
std::optional<QString> lineFailure(const QSerialPort &port, const QString &devicePath)
{
    Q_UNUSED(devicePath);
    // Elsewhere a read finding nothing is no error; a removed device is a resource error.
    if (port.error() == QSerialPort::ResourceError)
        return port.errorString();
    return std::nullopt;
}
#endif
