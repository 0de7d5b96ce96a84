#pragma once

#include "form/window_controls.h"
#include "uniform_random.h"

#include <QObject>
#include <QString>

#include <array>
#include <optional>

class ConsoleSession;
struct CompletedLine;

/// What the controller reports, as the window shows it: the readout with the set, highest and
/// current temperature and the output level, the status lamps, the parameter sliders and the
/// character drawing that changes colour with every character.
class ControllerPanel : public QObject
{
    Q_OBJECT

public:
    /// The sliders by what they set.
    enum Slider { Target = 0, Dead, Alarm, P, I, D };

    ControllerPanel(const ReadoutControls &readout, const LampControls &lamps,
        const ParameterControls &parameters, ConsoleSession &session, QObject *parent);

    /// Every character: the readout's caption follows the mode, the drawing takes a new colour.
    void showCharacterArrived();
    /// The hidden box that holds the controller's mode word, and the normal lamp.
    void showMode();
    void showLine(const CompletedLine &line);

private:
    void showOutputLevel(const CompletedLine &line);
    void showParameters(const CompletedLine &line);
    void showSetTemperature(const CompletedLine &line);
    void showHighestTemperature();
    void showLamps();
    void showCurrentTemperature();
    /// Only a value the line's ranges accepted moves a slider.
    void setSliderValue(Slider slider, std::optional<qint16> accepted);
    /// A gain past its slider's end leaves the slider as it was: its tooltip says what the
    /// controller reports.
    void showReportedGain(Slider slider, const QString &name, std::optional<qint16> reported);
    // HScroll1_Change
    void showSliderValue(int slider);
    // Label5_Click
    void clearHighest();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    ReadoutControls m_readout;
    LampControls m_lamps;
    ParameterControls m_parameters;
    ConsoleSession &m_session;
    UniformRandom m_random;
    /// The tooltips of the P, I and D sliders as last set.
    std::array<QString, 3> m_gainTips;
    /// The mode captions, translated once: they are set on every received character.
    const QString m_setTemperatureCaption;
    const QString m_currentTemperatureCaption;
};
