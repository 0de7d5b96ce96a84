#pragma once

#include <QJsonObject>

class QWidget;

/// What a window shows, control by control, keyed by object name: text, enabled, visible,
/// geometry in window coordinates, checked, value, fill, back and tooltip where they apply;
/// timers with their enabled state and interval.
QJsonObject snapshotControls(const QWidget &window);
