#pragma once

#include <QFont>
#include <QObject>
#include <QString>

#include <memory>

class Clock;
class QLabel;
class WindowTimer;

/// The clock's date and weekday, each on a line of its own.
class DateClock : public QObject
{
    Q_OBJECT

public:
    DateClock(
        QLabel *caption, WindowTimer &timer, std::shared_ptr<const Clock> clock, QObject *parent);

private:
    // Timer3_Timer
    void showClock();
    void fitFont(const QString &caption);

    QLabel *m_caption;
    std::shared_ptr<const Clock> m_clock;
    QFont m_designFont;
    QString m_shown;
};
