#pragma once

#include "form/window_controls.h"
#include "uniform_random.h"

#include <QObject>
#include <QString>

#include <optional>

struct CompletedLine;
struct WindowState;

/// What the controller reports, as the window shows it: the readout with the set, highest and
/// current temperature and the output level, the status lamps, the parameter sliders and the
/// character drawing that changes colour with every character.
class ReadoutPanel : public QObject
{
    Q_OBJECT

public:
    /// The sliders by what they set.
    enum Slider { Target = 0, Dead, Alarm, P, I, D };

    ReadoutPanel(const ReadoutControls &readout, const LampControls &lamps,
        const ParameterControls &parameters, WindowState &state, QObject *parent);

    /// The mode word is shown on every character, the normal lamp only when a signal changed it.
    void showMode(bool signalArrived);
    /// The hidden box that holds the controller's mode word.
    void showModeWord();
    void recolourDrawing();
    void showLine(const CompletedLine &line);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showOutputLevel(const CompletedLine &line);
    void showParameters(const CompletedLine &line);
    void showSetTemperature(const CompletedLine &line);
    void showHighestTemperature();
    void showLamps();
    void showCurrentTemperature();
    /// Only a value the line's ranges accepted moves a slider.
    void setSliderValue(Slider slider, std::optional<qint16> accepted);
    // HScroll1_Change
    void showSliderValue(int slider);
    // Label5_Click
    void clearHighest();

    ReadoutControls m_readout;
    LampControls m_lamps;
    ParameterControls m_parameters;
    WindowState &m_state;
    UniformRandom m_random;
    /// The mode captions, translated once: they are set on every received character.
    const QString m_setTemperatureCaption;
    const QString m_currentTemperatureCaption;
};
