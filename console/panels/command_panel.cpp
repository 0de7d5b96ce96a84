#include "command_panel.h"

#include "panels/lamp.h"
#include "session/console_session.h"

#include <QPlainTextEdit>
#include <QPushButton>

namespace {
const QString kSampleCommand = QStringLiteral("S0450 P009 I004 D002 T040");
constexpr int kBandRepeat = 11;
} // namespace

CommandPanel::CommandPanel(
    const CommandControls &controls, ConsoleSession &session, QObject *parent)
    : QObject(parent)
    , m_controls(controls)
    , m_session(session)
{
    connect(m_controls.send, &QPushButton::clicked, this, &CommandPanel::sendTyped);
    connect(m_controls.sample, &QPushButton::clicked, this, &CommandPanel::fillSample);
    for (int band = 0; band < kBandCount; ++band)
        connect(m_controls.bandButtons[band], &QPushButton::clicked, this,
            [this, band] { selectBand(band); });
}

/// The send box is what the operator typed: read, not rendered.
void CommandPanel::sendTyped()
{
    // A line break typed into the box is a carriage return and line feed on the line.
    (void)m_session.sendText(
        m_controls.sendBox->toPlainText().replace(u'\n', QLatin1String("\r\n")));
}

void CommandPanel::fillSample()
{
    m_controls.sendBox->setPlainText(kSampleCommand);
}

/// The band's digit goes out eleven times and its lamp alone is lit; on a closed port nothing
/// changes.
void CommandPanel::selectBand(int band)
{
    const std::optional<ConsoleSession::Refusal> refusal =
        m_session.sendRepeated(QString::number(band + 1), kBandRepeat);
    if (refusal && refusal->portClosed)
        return;
    for (int lamp = 0; lamp < kBandCount; ++lamp)
        light(m_controls.bandLamps[lamp], lamp == band);
}
