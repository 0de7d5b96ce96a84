#pragma once

#include "frm_main.h"
#include "manual_time.h"
#include "memory_comm.h"
#include "session/console_session.h"

#include <QJsonObject>
#include <QList>
#include <QTemporaryDir>

#include <algorithm>
#include <memory>
#include <optional>

class WindowTimer;

/// The real console window on an in-memory port and manual time, driven the way a person and
/// the controller would: receive, tick, click, type, move. The replay tool, the tests, the fuzz
/// target and the benchmarks all build the window through it.
class OfflineConsole
{
public:
    enum class Visibility { Hidden, Shown };

    /// With no application directory the console gets an empty one of its own; its records go
    /// to a folder of its own unless the settings file names one.
    explicit OfflineConsole(
        Visibility visibility = Visibility::Hidden, const QString &applicationDir = {});
    ~OfflineConsole();

    frmMain &window() const { return *m_window; }
    MemoryComm &port() const { return *m_port; }
    ManualTime &time() const { return *m_time; }

    /// Presses connect.
    void connectPort();
    /// The controller sends these bytes; returns once every one has been handled.
    void receive(const QByteArray &bytes);
    /// count steps of 100 ms pass; every enabled timer fires as its interval says.
    void tick(qint64 count = 1);
    /// A button is clicked, anything else gets a left click at its centre; false when there is
    /// no such control.
    bool click(const QString &name);
    /// Replaces a text box's text as the operator would, a line box reporting the edit; false
    /// when there is no such box.
    bool type(const QString &name, const QString &text);
    /// Sets a slider; false when there is no such slider.
    bool move(const QString &name, int value);
    /// Opens the control's context menu and chooses the entry shown as entry; false when there
    /// is no such control, menu or enabled entry.
    bool choose(const QString &name, const QString &entry);
    /// Selects these rows of a table, 1 for the top one, as a ctrl-click on each would; false
    /// when there is no such table or row.
    bool selectRows(const QString &name, const QList<int> &rows);

    /// The control by name; of several, as a dialog opened again has, the one shown.
    template <typename Control = QWidget> Control *control(const QString &name) const
    {
        if (name == m_window->objectName())
            return qobject_cast<Control *>(m_window.get());
        const QList<Control *> named = m_window->findChildren<Control *>(name);
        const auto shown = std::find_if(named.cbegin(), named.cend(),
            [](const Control *control) { return control->isVisible(); });
        return shown != named.cend() ? *shown : named.value(0);
    }
    /// A label's, box's or button's text; fails the process for any other name.
    QString text(const QString &name) const;
    bool lit(const QString &lamp) const;
    int sliderValue(int index) const;
    WindowTimer *timer(const QString &name) const;

    /// Every control with what it shows, and every byte sent, C-escaped.
    QJsonObject snapshot() const;

private:
    void settle();

    std::optional<QTemporaryDir> m_ownDir;
    QTemporaryDir m_ownRecords;
    std::shared_ptr<ManualTime> m_time;
    MemoryComm *m_port = nullptr;
    std::unique_ptr<frmMain> m_window;
};
