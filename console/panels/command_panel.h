#pragma once

#include "form/window_controls.h"

#include <QObject>
#include <QString>

#include <optional>

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

    /// Sends text as "发送数据" does: nothing while the port is closed, a failure shown. Why it
    /// was not sent, as the status line says it, or nothing once it went out.
    std::optional<QString> sendCommand(const QString &text);

signals:
    /// What went out on the line, exactly.
    void sent(const QString &text);
    /// Writing to the port failed.
    void sendFailed();

private:
    // comm_send_Click
    void sendTyped();
    // send_model_Click
    void fillSample();
    // Command_Click
    void selectBand(int band);
    std::optional<QString> refusalWhileClosed();
    std::optional<QString> send(const QString &text);

    CommandControls m_controls;
    MSComm &m_port;
    StatusLine &m_status;
};
