#include "context_menu.h"

#include <QMenu>
#include <QWidget>

void offerContextMenu(QWidget *widget, std::function<QMenu *()> populate)
{
    widget->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(widget, &QWidget::customContextMenuRequested, widget,
        [widget, populate = std::move(populate)](const QPoint &position) {
            QMenu *menu = populate();
            menu->setAttribute(Qt::WA_DeleteOnClose);
            menu->popup(widget->mapToGlobal(position));
        });
}
