#pragma once

#include <QString>

class QWidget;

/// The text a window's control shows (label, line edit, text box or button), found by name;
/// a name with no such control stops the test run.
QString controlText(const QWidget &window, const QString &name);
