#pragma once

#include <QtGlobal>

#include <vector>

struct PlantSample;

/// A first-order-plus-dead-time model of the plant, fitted to a run: the temperature moves
/// towards offset + gain × output (output 0 to 255) with the time constant, the output acting a
/// dead time late. The ± shown are two standard errors, which hold the truth about 19 times in
/// 20; rms is what the record and the model differ by.
struct PlantModel
{
    static constexpr double kFullOutput = 255.0;
    static constexpr double kErrorSpan = 2.0;

    /// °C per output count.
    double gain = 0.0;
    double timeConstant = 0.0;
    double deadTime = 0.0;
    /// The temperature at no output (the ambient, where the plant has no other heat).
    double offset = 0.0;
    /// Standard errors.
    double gainSd = 0.0;
    double timeConstantSd = 0.0;
    double deadTimeSd = 0.0;
    double rms = 0.0;
    /// The lines' own noise, rounding included, from their second differences: what the model
    /// cannot follow apart, where known.
    double lineNoise = 0.0;
    /// The lines it was fitted to, and the times of the first and the last.
    int lines = 0;
    qint64 fromMilliseconds = 0;
    qint64 toMilliseconds = 0;
    /// The output the plant rested at before the stretch fitted.
    double restingOutput = 0.0;
    /// The fitted stretch did not start at rest: a decaying term took up its first state.
    double initialDeviation = 0.0;

    /// °C at full output above the offset.
    double fullOutputGain() const { return gain * kFullOutput; }
    double gainError() const { return kErrorSpan * gainSd; }
    double timeConstantError() const { return kErrorSpan * timeConstantSd; }
    double deadTimeError() const { return kErrorSpan * deadTimeSd; }
    /// The deviation of the controller's own measurement: the lines' noise less their rounding
    /// to tenths, or the fit's rms where the lines' noise is not known.
    double measurementNoise() const;
    /// Every figure a finite number, the gain and time constant above nothing and the dead time
    /// not below it: a model the advice can simulate.
    bool isUsable() const;
    /// The model's temperature at each line of the stretch it was fitted to.
    std::vector<double> predicted(const std::vector<PlantSample> &fitted) const;
};
