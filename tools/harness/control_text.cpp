#include "control_text.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

QString controlText(const QWidget &window, const QString &name)
{
    const QObject *object = window.findChild<QObject *>(name);
    if (const auto *label = qobject_cast<const QLabel *>(object))
        return label->text();
    if (const auto *edit = qobject_cast<const QLineEdit *>(object))
        return edit->text();
    if (const auto *box = qobject_cast<const QPlainTextEdit *>(object))
        return box->toPlainText();
    if (const auto *button = qobject_cast<const QAbstractButton *>(object))
        return button->text();
    qFatal("no text control %s", qPrintable(name));
}
