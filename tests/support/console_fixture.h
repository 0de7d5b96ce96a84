#pragma once

#include "frm_main.h"
#include "manual_time.h"
#include "memory_comm.h"

#include <QTemporaryDir>

#include <memory>

class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;
class ShapeControl;
class WindowTimer;

/// A real console window on an in-memory port and manual time, for driving it at the serial
/// component's interface.
class ConsoleFixture
{
public:
    ConsoleFixture();

    frmMain &window() const { return *m_window; }
    MemoryComm &port() const { return *m_port; }
    ManualTime &time() const { return *m_time; }

    /// Presses connect.
    void connectPort();
    /// The controller sends these bytes; returns once every one has been handled.
    void receive(const QByteArray &bytes);

    template <typename Control = QWidget> Control *control(const QString &name) const
    {
        return m_window->findChild<Control *>(name);
    }
    QString text(const QString &name) const;
    bool lit(const QString &lamp) const;
    int sliderValue(int index) const;
    WindowTimer *timer(const QString &name) const;

private:
    QTemporaryDir m_dir;
    std::shared_ptr<ManualTime> m_time;
    MemoryComm *m_port;
    std::unique_ptr<frmMain> m_window;
};
