#pragma once

#include <QObject>

class QSocketNotifier;

/// SIGINT, SIGTERM and SIGHUP as a Qt signal, so that Ctrl+C, kill and a closed terminal end
/// the console the way its exit button does. The handler only writes the signal's number to a
/// socket pair; the event loop reads it. One instance at a time.
class TerminationSignals : public QObject
{
    Q_OBJECT

public:
    explicit TerminationSignals(QObject *parent = nullptr);
    ~TerminationSignals() override;

    /// False when the socket pair or a handler could not be set up.
    bool isActive() const { return m_notifier != nullptr; }

signals:
    void received(int number);

private:
    void readSignal();

    QSocketNotifier *m_notifier = nullptr;
};
