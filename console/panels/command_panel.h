#pragma once

#include "form/window_controls.h"

#include <QObject>

class ConsoleSession;

/// The send box with its buttons and the fuzzy-control bands: what the operator sends.
class CommandPanel : public QObject
{
    Q_OBJECT

public:
    static constexpr int kBandCount = 9;

    CommandPanel(const CommandControls &controls, ConsoleSession &session, QObject *parent);

private:
    // comm_send_Click
    void sendTyped();
    // send_model_Click
    void fillSample();
    // Command_Click
    void selectBand(int band);

    CommandControls m_controls;
    ConsoleSession &m_session;
};
