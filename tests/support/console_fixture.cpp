#include "console_fixture.h"

#include "control_text.h"
#include "shape_control.h"
#include "window_timer.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QScrollBar>

ConsoleFixture::ConsoleFixture()
    : m_time(std::make_shared<ManualTime>())
{
    auto port = std::make_unique<MemoryComm>();
    m_port = port.get();
    m_window = std::make_unique<frmMain>(std::move(port), m_time, m_dir.path());
    for (WindowTimer *timer : m_window->findChildren<WindowTimer *>())
        m_time->drive(timer);
}

void ConsoleFixture::connectPort()
{
    control<QAbstractButton>(QStringLiteral("cmdConnect"))->click();
}

void ConsoleFixture::receive(const QByteArray &bytes)
{
    m_port->feed(bytes);
    m_port->deliverFed();
    QCoreApplication::processEvents(); // work the window leaves for the end of the turn
}

QString ConsoleFixture::text(const QString &name) const
{
    return controlText(*m_window, name);
}

bool ConsoleFixture::lit(const QString &lamp) const
{
    return control<ShapeControl>(lamp)->FillColor() == QColor(255, 0, 0);
}

int ConsoleFixture::sliderValue(int index) const
{
    return control<QScrollBar>(QStringLiteral("HScroll1_%1").arg(index))->value();
}

WindowTimer *ConsoleFixture::timer(const QString &name) const
{
    return m_window->findChild<WindowTimer *>(name);
}
