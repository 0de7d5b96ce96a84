#include "controller_panel.h"

#include "controls/character_drawing.h"
#include "morph_display.h"
#include "panels/caption.h"
#include "panels/lamp.h"
#include "session/console_session.h"
#include "telemetry/display_format.h"
#include "telemetry/parameter_ranges.h"

#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScrollBar>

#include <algorithm>
#include <cmath>

namespace {
QString modeText(ModeWord mode)
{
    switch (mode) {
    case ModeWord::Ok:
        return QStringLiteral("OK");
    case ModeWord::Exit:
        return QStringLiteral("EXIT");
    case ModeWord::None:
        break;
    }
    return QString();
}
} // namespace

ControllerPanel::ControllerPanel(const ReadoutControls &readout, const LampControls &lamps,
    const ParameterControls &parameters, ConsoleSession &session, QObject *parent)
    : QObject(parent)
    , m_readout(readout)
    , m_lamps(lamps)
    , m_parameters(parameters)
    , m_session(session)
    , m_setTemperatureCaption(tr("设定温度："))
    , m_currentTemperatureCaption(tr("当前温度："))
{
    static_assert(
        ParameterRanges::kSliders.size() == std::tuple_size_v<decltype(m_parameters.sliders)>);
    for (std::size_t slider = 0; slider < m_parameters.sliders.size(); ++slider) {
        const ParameterRange &range = ParameterRanges::kSliders[slider];
        m_parameters.sliders[slider]->setRange(range.minimum, range.maximum);
    }
    for (int slider = 0; slider < int(m_parameters.sliders.size()); ++slider)
        connect(m_parameters.sliders[slider], &QScrollBar::valueChanged, this,
            [this, slider] { showSliderValue(slider); });
    for (QLabel *caption : m_readout.highestCaptions)
        caption->installEventFilter(this);
}

void ControllerPanel::showCharacterArrived()
{
    const ModeWord mode = m_session.controller().Mode;
    if (mode != ModeWord::None)
        setCaption(m_readout.temperatureCaption,
            mode == ModeWord::Ok ? m_setTemperatureCaption : m_currentTemperatureCaption);
    const auto component = [this] { return int(std::nearbyint(m_random.next() * 255)); };
    const int red = component();
    const int green = component();
    const int blue = component();
    m_parameters.drawing->setForeColor(QColor(red, green, blue));
}

void ControllerPanel::showMode()
{
    const ControllerState &controller = m_session.controller();
    setCaption(m_readout.modeWord, modeText(controller.Mode));
    light(m_lamps.normal, controller.Lamps.normal);
}

void ControllerPanel::showLine(const CompletedLine &line)
{
    showOutputLevel(line);
    showParameters(line);
    showSetTemperature(line);
    showHighestTemperature();
    showLamps();
    showCurrentTemperature();
}

void ControllerPanel::showOutputLevel(const CompletedLine &line)
{
    const ControllerState &state = m_session.controller();
    if (state.OutputLevel && line.values.outputLevel)
        setCaption(m_readout.outputLevel,
            DisplayFormat::percentage(DisplayFormat::outputPercent(*state.OutputLevel)));
}

void ControllerPanel::showParameters(const CompletedLine &line)
{
    setSliderValue(P, line.accepted.p);
    setSliderValue(I, line.accepted.i);
    setSliderValue(D, line.accepted.d);
    const ReportedGains &gains = m_session.controller().Gains;
    showReportedGain(P, QStringLiteral("P"), gains.p);
    showReportedGain(I, QStringLiteral("I"), gains.i);
    showReportedGain(D, QStringLiteral("D"), gains.d);
}

void ControllerPanel::showSetTemperature(const CompletedLine &line)
{
    const ControllerState &state = m_session.controller();
    setCaption(m_readout.setTemperature, DisplayFormat::tenthsAsDegrees(state.SetTempTenths));
    setSliderValue(Target, line.accepted.targetDegrees);
}

void ControllerPanel::showHighestTemperature()
{
    const ControllerState &state = m_session.controller();
    if (state.ShownMaxTempTenths)
        setCaption(m_readout.highestTemperature,
            DisplayFormat::tenthsAsDegrees(*state.ShownMaxTempTenths));
}

void ControllerPanel::showLamps()
{
    const ControllerState &state = m_session.controller();
    light(m_lamps.setting, state.Lamps.setting);
    light(m_lamps.alarm, state.Lamps.alarm);
    light(m_lamps.normal, state.Lamps.normal);
}

void ControllerPanel::showCurrentTemperature()
{
    const ControllerState &state = m_session.controller();
    const QString current = QString::number(state.CurTempTenths);
    setCaption(m_readout.currentTemperatureText, current);
    if (state.FollowCurrentTemp == 1)
        m_readout.display->setValue(current);
}

void ControllerPanel::setSliderValue(Slider slider, std::optional<qint16> accepted)
{
    if (accepted)
        m_parameters.sliders[slider]->setValue(*accepted);
}

/// Within the slider's range the slider itself shows the gain, and its tooltip stays empty.
void ControllerPanel::showReportedGain(
    Slider slider, const QString &name, std::optional<qint16> reported)
{
    const ParameterRange &range = ParameterRanges::kSliders[slider];
    const QString tip = reported && !range.accepted(reported)
        ? tr("控制器报告 %1 %2（滑块范围 %3–%4）")
              .arg(name, QString::number(*reported), QString::number(range.minimum),
                  QString::number(range.maximum))
        : QString();
    QString &shown = m_gainTips[std::size_t(slider - P)];
    if (tip == shown)
        return;
    shown = tip;
    m_parameters.sliders[slider]->setToolTip(tip);
}

void ControllerPanel::showSliderValue(int slider)
{
    m_parameters.sliderValues[slider]->setText(
        QString::number(m_parameters.sliders[slider]->value()));
}

bool ControllerPanel::eventFilter(QObject *watched, QEvent *event)
{
    const auto &captions = m_readout.highestCaptions;
    if (event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton
        && std::find(captions.cbegin(), captions.cend(), watched) != captions.cend())
        clearHighest();
    return QObject::eventFilter(watched, event);
}

/// Only the box is cleared: it stays empty until a line brings a temperature above the highest.
void ControllerPanel::clearHighest()
{
    m_session.clearHighestTemperature();
    m_readout.highestTemperature->clear();
}
