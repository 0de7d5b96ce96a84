#pragma once

#include <QString>

#include <optional>

class QSerialPort;

/// Why the device behind an open port can no longer carry data (removed, hung up, failing at the
/// driver), asked of the device itself; nothing while the line is alive. QSerialPort's error
/// after a read cannot tell: a read that finds no data reads like one on a dead line.
std::optional<QString> lineFailure(const QSerialPort &port, const QString &devicePath);
