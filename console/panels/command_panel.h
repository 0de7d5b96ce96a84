#pragma once

#include "window_controls.h"

#include <QObject>
#include <QString>

class MSComm;
class StatusLine;

/// The send box with its buttons and the fuzzy-control bands: what the operator sends.
class CommandPanel : public QObject
{
    Q_OBJECT

public:
    static constexpr int kBandCount = 9;

    CommandPanel(
        const CommandControls &controls, MSComm &port, StatusLine &status, QObject *parent);

signals:
    /// What went out on the line, exactly.
    void sent(const QString &text);

private:
    // comm_send_Click
    void sendTyped();
    // send_model_Click
    void fillSample();
    // Command_Click
    void selectBand(int band);
    bool portOpenForSending();
    bool send(const QString &text);

    CommandControls m_controls;
    MSComm &m_port;
    StatusLine &m_status;
};
