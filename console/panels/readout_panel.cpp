#include "readout_panel.h"

#include "controls/character_drawing.h"
#include "controls/shape_control.h"
#include "morph_display.h"
#include "panels/caption.h"
#include "telemetry/display_format.h"
#include "telemetry/parameter_ranges.h"
#include "telemetry/telemetry_receiver.h"
#include "telemetry/window_state.h"

#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScrollBar>

#include <algorithm>
#include <cmath>

namespace {
const QColor kLampLit(255, 0, 0);
const QColor kLampOff(255, 255, 255);

void light(ShapeControl *lamp, bool lit)
{
    lamp->setFillColor(lit ? kLampLit : kLampOff);
}

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

ReadoutPanel::ReadoutPanel(const ReadoutControls &readout, const LampControls &lamps,
    const ParameterControls &parameters, WindowState &state, QObject *parent)
    : QObject(parent)
    , m_readout(readout)
    , m_lamps(lamps)
    , m_parameters(parameters)
    , m_state(state)
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

void ReadoutPanel::showMode(bool signalArrived)
{
    if (signalArrived) {
        showModeWord();
        light(m_lamps.normal, m_state.Lamps.normal);
    }
    if (m_state.Mode != ModeWord::None)
        setCaption(m_readout.temperatureCaption,
            m_state.Mode == ModeWord::Ok ? m_setTemperatureCaption : m_currentTemperatureCaption);
}

void ReadoutPanel::showModeWord()
{
    setCaption(m_readout.modeWord, modeText(m_state.Mode));
}

void ReadoutPanel::recolourDrawing()
{
    const auto component = [this] { return int(std::nearbyint(m_random.next() * 255)); };
    const int red = component();
    const int green = component();
    const int blue = component();
    m_parameters.drawing->setForeColor(QColor(red, green, blue));
}

void ReadoutPanel::showLine(const CompletedLine &line)
{
    showOutputLevel(line);
    showParameters(line);
    showSetTemperature(line);
    showHighestTemperature();
    showLamps();
    showCurrentTemperature();
}

void ReadoutPanel::showOutputLevel(const CompletedLine &line)
{
    if (m_state.OutputLevel && line.values.outputLevel)
        setCaption(m_readout.outputLevel,
            DisplayFormat::percentage(DisplayFormat::outputPercent(*m_state.OutputLevel)));
}

void ReadoutPanel::showParameters(const CompletedLine &line)
{
    setSliderValue(P, line.accepted.p);
    setSliderValue(I, line.accepted.i);
    setSliderValue(D, line.accepted.d);
}

void ReadoutPanel::showSetTemperature(const CompletedLine &line)
{
    setCaption(m_readout.setTemperature, DisplayFormat::tenthsAsDegrees(m_state.SetTempTenths));
    setSliderValue(Target, line.accepted.targetDegrees);
}

void ReadoutPanel::showHighestTemperature()
{
    if (m_state.ShownMaxTempTenths)
        setCaption(m_readout.highestTemperature,
            DisplayFormat::tenthsAsDegrees(*m_state.ShownMaxTempTenths));
}

void ReadoutPanel::showLamps()
{
    light(m_lamps.setting, m_state.Lamps.setting);
    light(m_lamps.alarm, m_state.Lamps.alarm);
    light(m_lamps.normal, m_state.Lamps.normal);
}

void ReadoutPanel::showCurrentTemperature()
{
    const QString current = QString::number(m_state.CurTempTenths);
    setCaption(m_readout.currentTemperatureText, current);
    if (m_state.FollowCurrentTemp == 1)
        m_readout.display->setValue(current);
}

void ReadoutPanel::setSliderValue(Slider slider, std::optional<qint16> accepted)
{
    if (accepted)
        m_parameters.sliders[slider]->setValue(*accepted);
}

void ReadoutPanel::showSliderValue(int slider)
{
    m_parameters.sliderValues[slider]->setText(
        QString::number(m_parameters.sliders[slider]->value()));
}

bool ReadoutPanel::eventFilter(QObject *watched, QEvent *event)
{
    const auto &captions = m_readout.highestCaptions;
    if (event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton
        && std::find(captions.cbegin(), captions.cend(), watched) != captions.cend())
        clearHighest();
    return QObject::eventFilter(watched, event);
}

/// Only the box is cleared: it stays empty until a line brings a temperature above the highest.
void ReadoutPanel::clearHighest()
{
    m_state.ShownMaxTempTenths.reset();
    m_readout.highestTemperature->clear();
}
