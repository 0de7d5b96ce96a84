#pragma once

#include "form/window_controls.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>

class Clock;
class QDateTime;
struct CompletedLine;
struct ControllerState;

/// The time-stamped log of what the controller sent, with the count of its lines.
class ReceiveLog : public QObject
{
    Q_OBJECT

public:
    /// Entries the log keeps; older ones are dropped as new ones arrive.
    static constexpr int kLogEntries = 10000;

    /// The count of lines comes from what the controller reports.
    ReceiveLog(const ReceiveLogControls &controls, const ControllerState &controller,
        std::shared_ptr<const Clock> clock, QObject *parent);

    /// A completed line, logged and counted.
    void showLine(const CompletedLine &line);
    /// An overlong line is not counted or read; the log says it was dropped.
    void logDroppedLine(qsizetype length);
    /// An entry of the console's own between the controller's lines, such as a gap in the link.
    void logEvent(const QString &text);

signals:
    void openRecordsFolderRequested();

private:
    // clearbox_Click
    void clearLog();
    void appendEntry(const QString &entry);
    QString stamp(const QDateTime &now);
    void flush();

    ReceiveLogControls m_controls;
    const ControllerState &m_controller;
    std::shared_ptr<const Clock> m_clock;
    QString m_pending;
    QTimer m_flush;
    qint64 m_stampSecond = 0;
    QString m_stamp;
};
