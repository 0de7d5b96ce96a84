#include "dialog_parts.h"

#include <QDateTime>
#include <QLabel>

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
