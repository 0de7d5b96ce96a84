#include "replay_session.h"

#include "c_escapes.h"
#include "frm_main.h"
#include "manual_time.h"
#include "memory_comm.h"
#include "window_timer.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QCoreApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QRegularExpression>

namespace {
constexpr qint64 kTickMilliseconds = 100;

std::pair<QString, QString> splitFirstWord(const QString &text)
{
    const qsizetype space = text.indexOf(u' ');
    if (space < 0)
        return {text, QString()};
    return {text.left(space), text.mid(space + 1)};
}

void clickAtCentre(QWidget *widget)
{
    const QPointF centre = QRectF(widget->rect()).center();
    const QPointF global = widget->mapToGlobal(centre);
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, centre, global, Qt::LeftButton,
            type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(widget, &event);
    }
}
} // namespace

ReplaySession::ReplaySession(const QString &applicationDir)
    : m_time(std::make_shared<ManualTime>())
{
    auto port = std::make_unique<MemoryComm>();
    m_port = port.get();
    m_window = std::make_unique<frmMain>(std::move(port), m_time, applicationDir);
    for (WindowTimer *timer : m_window->findChildren<WindowTimer *>())
        m_time->drive(timer);
    m_window->show();
    settle();
}

ReplaySession::~ReplaySession() = default;

std::optional<QString> ReplaySession::run(const QString &line)
{
    const qsizetype start = line.indexOf(QRegularExpression(QStringLiteral("\\S")));
    if (start < 0 || line.at(start) == u'#')
        return std::nullopt;
    // Arguments keep their trailing blanks: received text and typed text may end in them.
    const auto [command, arguments] = splitFirstWord(line.mid(start));
    std::optional<QString> failure;
    if (command == QLatin1String("connect"))
        failure = click(QStringLiteral("cmdConnect"));
    else if (command == QLatin1String("rx"))
        failure = receive(arguments);
    else if (command == QLatin1String("tick"))
        failure = tick(arguments);
    else if (command == QLatin1String("click"))
        failure = click(arguments.trimmed());
    else if (command == QLatin1String("type"))
        failure = type(arguments);
    else if (command == QLatin1String("move"))
        failure = move(arguments);
    else if (command == QLatin1String("clock"))
        failure = setClock(arguments.trimmed());
    else
        failure = QStringLiteral("unknown command \"%1\"").arg(command);
    settle();
    return failure;
}

std::optional<QString> ReplaySession::receive(const QString &text)
{
    m_port->feed(QByteArray::fromStdString(decodeCEscapes(text.toStdString())));
    return std::nullopt;
}

std::optional<QString> ReplaySession::tick(const QString &count)
{
    bool ok = false;
    const qint64 ticks = count.trimmed().toLongLong(&ok);
    if (!ok || ticks < 0)
        return QStringLiteral("tick needs a count of 100 ms steps, not \"%1\"").arg(count);
    for (qint64 step = 0; step < ticks; ++step) {
        m_time->advance(kTickMilliseconds);
        settle();
    }
    return std::nullopt;
}

std::optional<QString> ReplaySession::click(const QString &name)
{
    QWidget *target = control(name);
    if (!target)
        return QStringLiteral("no control \"%1\"").arg(name);
    if (auto *button = qobject_cast<QAbstractButton *>(target))
        button->click();
    else
        clickAtCentre(target);
    return std::nullopt;
}

std::optional<QString> ReplaySession::type(const QString &arguments)
{
    const auto [name, text] = splitFirstWord(arguments);
    const QString value = QString::fromStdString(decodeCEscapes(text.toStdString()));
    QWidget *target = control(name);
    if (auto *edit = qobject_cast<QLineEdit *>(target))
        edit->setText(value);
    else if (auto *box = qobject_cast<QPlainTextEdit *>(target))
        box->setPlainText(value);
    else
        return QStringLiteral("no text box \"%1\"").arg(name);
    return std::nullopt;
}

std::optional<QString> ReplaySession::move(const QString &arguments)
{
    const auto [name, valueText] = splitFirstWord(arguments.trimmed());
    auto *slider = qobject_cast<QAbstractSlider *>(control(name));
    bool ok = false;
    const int value = valueText.trimmed().toInt(&ok);
    if (!slider)
        return QStringLiteral("no slider \"%1\"").arg(name);
    if (!ok)
        return QStringLiteral("move needs a whole number, not \"%1\"").arg(valueText);
    slider->setValue(value);
    return std::nullopt;
}

std::optional<QString> ReplaySession::setClock(const QString &moment)
{
    const QDateTime dateTime = QDateTime::fromString(moment, Qt::ISODate);
    if (!dateTime.isValid())
        return QStringLiteral("clock needs a moment such as 2026-12-06T14:30:00, not \"%1\"")
            .arg(moment);
    m_time->setNow(dateTime);
    return std::nullopt;
}

QWidget *ReplaySession::control(const QString &name) const
{
    if (name == m_window->objectName())
        return m_window.get();
    return m_window->findChild<QWidget *>(name);
}

/// Lets queued work finish, received bytes included, before the next line runs.
void ReplaySession::settle()
{
    m_port->deliverFed();
}
