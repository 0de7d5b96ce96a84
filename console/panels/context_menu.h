#pragma once

#include <functional>

class QMenu;
class QWidget;

/// Gives the widget a context menu made afresh each time by populate, deleted once closed.
void offerContextMenu(QWidget *widget, std::function<QMenu *()> populate);
