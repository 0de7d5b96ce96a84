#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QPoint>
#include <QString>
#include <QStringList>

/// Compares a replay report with its recorded one byte for byte and, when they differ, names
/// the first control and property that do, with the value shown first and the recorded one
/// second, so that a failure says what changed and not only in which file.
class ReportComparison
{
public:
    ReportComparison(const QByteArray &report, const QByteArray &expected);

    bool matches() const { return m_failure.isEmpty(); }
    /// Such as `lblStatus.text: "空闲" != "连接温度控制器成功！"`; empty when they match.
    const QString &failure() const { return m_failure; }

private:
    QString m_failure;
};

/// The visible controls of a report's "controls" whose rectangles (window pixels) hold point,
/// as "name [x, y, width, height]", the smallest first. The report gives no stacking order, so
/// where siblings overlap each is named.
QStringList controlsHolding(const QJsonObject &controls, const QPoint &point);
