#include "dialog_parts.h"

#include <QDateTime>
#include <QLabel>
#include <QScreen>
#include <QWidget>

#include <algorithm>

QString DialogParts::runStart(const QStringList &heading, const QStringList &run)
{
    const QString text = run.value(heading.indexOf(QLatin1String("start")));
    const QDateTime start = QDateTime::fromString(text, Qt::ISODateWithMs);
    return start.isValid() ? start.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
                           : text;
}

QLabel *DialogParts::wrappedLabel(const QString &name, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->hide();
    return label;
}

void DialogParts::keepOnScreen(QWidget &window)
{
    if (!window.screen())
        return;
    const QRect free = window.screen()->availableGeometry();
    const QRect frame = window.frameGeometry();
    const int left =
        std::max(free.left(), std::min(frame.left(), free.right() + 1 - frame.width()));
    const int top = std::max(free.top(), std::min(frame.top(), free.bottom() + 1 - frame.height()));
    if (left != frame.left() || top != frame.top())
        window.move(window.pos() + QPoint(left - frame.left(), top - frame.top()));
}
