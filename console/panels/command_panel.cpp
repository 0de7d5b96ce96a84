#include "command_panel.h"

#include "controls/shape_control.h"
#include "ms_comm.h"
#include "panels/status_line.h"

#include <QPlainTextEdit>
#include <QPushButton>

namespace {
const QString kSampleCommand = QStringLiteral("S0450 P009 I004 D002 T040");
constexpr int kBandRepeat = 11;
const QColor kLampLit(255, 0, 0);
const QColor kLampOff(255, 255, 255);
} // namespace

CommandPanel::CommandPanel(
    const CommandControls &controls, MSComm &port, StatusLine &status, QObject *parent)
    : QObject(parent)
    , m_controls(controls)
    , m_port(port)
    , m_status(status)
{
    connect(m_controls.send, &QPushButton::clicked, this, &CommandPanel::sendTyped);
    connect(m_controls.sample, &QPushButton::clicked, this, &CommandPanel::fillSample);
    for (int band = 0; band < kBandCount; ++band)
        connect(m_controls.bandButtons[band], &QPushButton::clicked, this,
            [this, band] { selectBand(band); });
}

void CommandPanel::sendTyped()
{
    if (refusalWhileClosed())
        return;
    // A line break typed into the box is a carriage return and line feed on the line.
    (void)sendCommand(m_controls.sendBox->toPlainText().replace(u'\n', QLatin1String("\r\n")));
}

std::optional<QString> CommandPanel::sendCommand(const QString &text)
{
    std::optional<QString> refusal = refusalWhileClosed();
    if (!refusal)
        refusal = send(text);
    if (!refusal)
        emit sent(text);
    return refusal;
}

void CommandPanel::fillSample()
{
    m_controls.sendBox->setPlainText(kSampleCommand);
}

/// The band's lamp alone is lit and its digit goes out eleven times.
void CommandPanel::selectBand(int band)
{
    if (refusalWhileClosed())
        return;
    for (ShapeControl *lamp : m_controls.bandLamps)
        lamp->setFillColor(kLampOff);
    m_controls.bandLamps[band]->setFillColor(kLampLit);
    const QString digit = QString::number(band + 1);
    int sentCount = 0;
    for (int repeat = 0; repeat < kBandRepeat; ++repeat)
        sentCount += send(digit) ? 0 : 1;
    if (sentCount > 0)
        emit sent(digit.repeated(sentCount));
}

/// Nothing goes out on a closed port; the operator is told so and loses nothing.
std::optional<QString> CommandPanel::refusalWhileClosed()
{
    if (m_port.PortOpen())
        return std::nullopt;
    const QString refusal = tr("串口未打开，未发送");
    m_status.show(refusal);
    return refusal;
}

std::optional<QString> CommandPanel::send(const QString &text)
{
    const std::optional<CommError> error = m_port.setOutput(text);
    if (!error)
        return std::nullopt;
    const QString failure = tr("发送失败：%1").arg(error->cause);
    m_status.show(failure, error->detail);
    emit sendFailed();
    return failure;
}
