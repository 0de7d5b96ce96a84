#include "receive_log.h"

#include "clock.h"
#include "panels/context_menu.h"
#include "telemetry/controller_state.h"
#include "telemetry/display_format.h"
#include "telemetry/telemetry_receiver.h"

#include <QDateTime>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>

ReceiveLog::ReceiveLog(const ReceiveLogControls &controls, const ControllerState &controller,
    std::shared_ptr<const Clock> clock, QObject *parent)
    : QObject(parent)
    , m_controls(controls)
    , m_controller(controller)
    , m_clock(std::move(clock))
{
    m_controls.log->setMaximumBlockCount(kLogEntries);
    m_flush.setSingleShot(true);
    m_flush.setInterval(0);
    connect(&m_flush, &QTimer::timeout, this, &ReceiveLog::flush);
    connect(m_controls.clear, &QPushButton::clicked, this, &ReceiveLog::clearLog);
    offerContextMenu(m_controls.log, [this] {
        QMenu *menu = m_controls.log->createStandardContextMenu();
        menu->addSeparator();
        menu->addAction(tr("打开记录文件夹"), this, &ReceiveLog::openRecordsFolderRequested);
        return menu;
    });
}

/// Entries are written to the log once per turn of the event loop, so that a burst of lines
/// costs one append and one scroll rather than one of each per line.
void ReceiveLog::showLine(const CompletedLine &line)
{
    m_controls.lineCount->setText(QString::number(m_controller.FrameCount));
    // The log's own line break stands for the line's CR LF.
    appendEntry(stamp(m_clock->now()) + line.text.chopped(2));
}

void ReceiveLog::logDroppedLine(qsizetype length)
{
    logEvent(tr("(过长的一行，已丢弃 %1 个字符)").arg(length));
}

void ReceiveLog::logEvent(const QString &text)
{
    appendEntry(stamp(m_clock->now()) + text);
}

void ReceiveLog::clearLog()
{
    m_flush.stop();
    m_pending.clear();
    m_controls.log->clear();
}

void ReceiveLog::appendEntry(const QString &entry)
{
    if (!m_pending.isEmpty())
        m_pending += u'\n';
    m_pending += entry;
    m_flush.start();
}

/// " date time " in the system's short formats, formatted once per second.
QString ReceiveLog::stamp(const QDateTime &now)
{
    const qint64 second = now.toSecsSinceEpoch();
    if (second != m_stampSecond || m_stamp.isEmpty()) {
        const QLocale locale = DisplayFormat::dateTimeLocale();
        m_stampSecond = second;
        m_stamp = u' ' + locale.toString(now.date(), QLocale::ShortFormat) + u' '
            + locale.toString(now.time(), QLocale::ShortFormat) + u' ';
    }
    return m_stamp;
}

void ReceiveLog::flush()
{
    m_controls.log->appendPlainText(m_pending);
    m_controls.log->moveCursor(QTextCursor::End);
    m_pending.clear();
}
