#pragma once

#include <QMetaType>
#include <QString>

/// The serial component's failure codes that callers tell apart.
namespace CommCode {
constexpr int DeviceUnavailable = 68;
constexpr int InvalidPortNumber = 8002;
constexpr int PortAlreadyOpen = 8005;
constexpr int PortNotOpen = 8012;
constexpr int OperationNeedsOpenPort = 8018;
} // namespace CommCode

/// A failed serial operation: the component's code, the short cause the status line leads with,
/// and the detail behind it (device path and the system's reason) for whoever asks for more.
struct CommError
{
    int code = 0;
    QString cause;
    QString detail;
};

Q_DECLARE_METATYPE(CommError)
