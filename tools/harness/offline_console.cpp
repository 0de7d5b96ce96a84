#include "offline_console.h"

#include "c_escapes.h"
#include "control_text.h"
#include "controls/shape_control.h"
#include "panels/lamp.h"
#include "settings_lookup.h"
#include "window_snapshot.h"
#include "window_timer.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QCoreApplication>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTableView>
#include <QThreadPool>

namespace {
constexpr qint64 kTickMilliseconds = 100;

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

OfflineConsole::OfflineConsole(Visibility visibility, const QString &applicationDir)
    : m_time(std::make_shared<ManualTime>())
{
    QString directory = applicationDir;
    if (directory.isEmpty())
        directory = m_ownDir.emplace().path();
    auto port = std::make_unique<MemoryComm>();
    m_port = port.get();
    m_window = std::make_unique<frmMain>(
        std::move(port), m_time, SettingsLookup::besideExecutable(directory), m_ownRecords.path());
    for (WindowTimer *timer : m_window->findChildren<WindowTimer *>())
        m_time->drive(timer);
    if (visibility == Visibility::Shown)
        m_window->show();
    settle();
}

OfflineConsole::~OfflineConsole() = default;

void OfflineConsole::connectPort()
{
    click(QStringLiteral("cmdConnect"));
}

void OfflineConsole::receive(const QByteArray &bytes)
{
    m_port->feed(bytes);
    settle();
}

void OfflineConsole::tick(qint64 count)
{
    for (qint64 step = 0; step < count; ++step) {
        m_time->advance(kTickMilliseconds);
        settle();
    }
}

bool OfflineConsole::click(const QString &name)
{
    QWidget *target = control(name);
    if (!target)
        return false;
    if (auto *button = qobject_cast<QAbstractButton *>(target))
        button->click();
    else
        clickAtCentre(target);
    settle();
    return true;
}

bool OfflineConsole::type(const QString &name, const QString &text)
{
    QWidget *target = control(name);
    if (auto *edit = qobject_cast<QLineEdit *>(target)) {
        // Typed over the whole text, so that the box reports the operator's edit.
        edit->selectAll();
        edit->insert(text);
    } else if (auto *box = qobject_cast<QPlainTextEdit *>(target)) {
        box->setPlainText(text);
    } else {
        return false;
    }
    settle();
    return true;
}

bool OfflineConsole::move(const QString &name, int value)
{
    auto *slider = control<QAbstractSlider>(name);
    if (!slider)
        return false;
    slider->setValue(value);
    settle();
    return true;
}

bool OfflineConsole::choose(const QString &name, const QString &entry)
{
    QWidget *target = control(name);
    if (!target || target->contextMenuPolicy() != Qt::CustomContextMenu)
        return false;
    const QList<QMenu *> before = m_window->findChildren<QMenu *>();
    emit target->customContextMenuRequested(target->rect().center());
    QMenu *menu = nullptr;
    for (QMenu *made : m_window->findChildren<QMenu *>()) {
        if (!before.contains(made))
            menu = made;
    }
    if (!menu)
        return false;
    const QList<QAction *> actions = menu->actions();
    const auto chosen = std::find_if(actions.cbegin(), actions.cend(),
        [&entry](const QAction *action) { return action->text() == entry; });
    const bool enabled = chosen != actions.cend() && (*chosen)->isEnabled();
    if (enabled)
        (*chosen)->trigger();
    menu->close();
    settle();
    return enabled;
}

bool OfflineConsole::selectRows(const QString &name, const QList<int> &rows)
{
    auto *table = control<QTableView>(name);
    if (!table || !table->model())
        return false;
    const QAbstractItemModel &model = *table->model();
    table->clearSelection();
    for (const int row : rows) {
        if (row < 1 || row > model.rowCount())
            return false;
        table->selectionModel()->select(
            model.index(row - 1, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    settle();
    return true;
}

QString OfflineConsole::text(const QString &name) const
{
    return controlText(*m_window, name);
}

bool OfflineConsole::lit(const QString &lamp) const
{
    return isLit(*control<ShapeControl>(lamp));
}

int OfflineConsole::sliderValue(int index) const
{
    return control<QScrollBar>(QStringLiteral("HScroll1_%1").arg(index))->value();
}

WindowTimer *OfflineConsole::timer(const QString &name) const
{
    return m_window->findChild<WindowTimer *>(name);
}

QJsonObject OfflineConsole::snapshot() const
{
    return {
        {QStringLiteral("controls"), snapshotControls(*m_window)},
        {QStringLiteral("sent"),
            QString::fromStdString(encodeCEscapes(m_port->sent().toStdString()))},
    };
}

/// Lets queued work finish, received bytes and the log's end-of-turn append included, and what
/// is read in the background (the run history, records compared) with what it hands over.
void OfflineConsole::settle()
{
    m_port->deliverFed();
    QCoreApplication::processEvents();
    QThreadPool *pool = QThreadPool::globalInstance();
    while (pool->activeThreadCount() > 0) {
        pool->waitForDone();
        QCoreApplication::processEvents();
    }
}
