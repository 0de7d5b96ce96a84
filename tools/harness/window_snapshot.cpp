#include "window_snapshot.h"

#include "controls/shape_control.h"
#include "window_timer.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QGroupBox>
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {
std::optional<QString> textOf(const QWidget &widget)
{
    if (const auto *label = qobject_cast<const QLabel *>(&widget))
        return label->text();
    if (const auto *button = qobject_cast<const QAbstractButton *>(&widget))
        return button->text();
    if (const auto *edit = qobject_cast<const QLineEdit *>(&widget))
        return edit->text();
    if (const auto *edit = qobject_cast<const QPlainTextEdit *>(&widget))
        return edit->toPlainText();
    if (const auto *frame = qobject_cast<const QGroupBox *>(&widget))
        return frame->title();
    if (widget.isWindow())
        return widget.windowTitle();
    return std::nullopt;
}

QColor backOf(const QWidget &widget)
{
    if (const auto *shape = qobject_cast<const ShapeControl *>(&widget))
        return shape->BackColor();
    if (qobject_cast<const QPushButton *>(&widget))
        return widget.palette().color(QPalette::Button);
    if (qobject_cast<const QLineEdit *>(&widget) || qobject_cast<const QPlainTextEdit *>(&widget))
        return widget.palette().color(QPalette::Base);
    // A filled widget paints its own background role: a button face for the port options.
    return widget.palette().color(
        widget.autoFillBackground() ? widget.backgroundRole() : QPalette::Window);
}

QJsonObject describeWidget(const QWidget &widget, const QWidget &window)
{
    const QPoint origin = widget.mapTo(&window, QPoint(0, 0));
    QJsonObject control{
        {QStringLiteral("enabled"), widget.isEnabled()},
        {QStringLiteral("visible"), !widget.isHidden()},
        {QStringLiteral("geometry"),
            QJsonArray{origin.x(), origin.y(), widget.width(), widget.height()}},
        {QStringLiteral("back"), backOf(widget).name()},
        {QStringLiteral("toolTip"), widget.toolTip()},
    };
    if (const std::optional<QString> text = textOf(widget))
        control.insert(QStringLiteral("text"), *text);
    if (const auto *button = qobject_cast<const QAbstractButton *>(&widget);
        button && button->isCheckable())
        control.insert(QStringLiteral("checked"), button->isChecked());
    if (const auto *slider = qobject_cast<const QAbstractSlider *>(&widget))
        control.insert(QStringLiteral("value"), slider->value());
    if (const auto *shape = qobject_cast<const ShapeControl *>(&widget))
        control.insert(QStringLiteral("fill"), shape->FillColor().name());
    return control;
}

bool isDesignControl(const QObject &object)
{
    return !object.objectName().isEmpty() && !object.objectName().startsWith(QLatin1String("qt_"));
}
} // namespace

QJsonObject snapshotControls(const QWidget &window)
{
    QJsonObject controls{{window.objectName(), describeWidget(window, window)}};
    for (const QWidget *widget : window.findChildren<QWidget *>()) {
        if (isDesignControl(*widget))
            controls.insert(widget->objectName(), describeWidget(*widget, window));
    }
    for (const WindowTimer *timer :
        window.findChildren<WindowTimer *>(QString(), Qt::FindDirectChildrenOnly)) {
        controls.insert(timer->objectName(),
            QJsonObject{{QStringLiteral("enabled"), timer->Enabled()},
                {QStringLiteral("interval"), timer->Interval()}});
    }
    return controls;
}
