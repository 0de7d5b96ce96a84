#pragma once

#include <QCoreApplication>
#include <QStringList>

#include <optional>

/// A run started by applying predicted gains: the model the prediction came from, and the
/// predicted and measured overshoot (°C past the target), settling (s to within ±0.5 °C) and
/// integral of absolute error (°C·s), as runs.csv keeps them. Empty where not known.
struct RunVerification
{
    Q_DECLARE_TR_FUNCTIONS(RunVerification)

public:
    std::optional<double> modelGain;
    std::optional<double> modelTimeConstant;
    std::optional<double> modelDeadTime;
    std::optional<double> predictedOvershoot;
    std::optional<double> measuredOvershoot;
    std::optional<double> predictedSettling;
    std::optional<double> measuredSettling;
    std::optional<double> predictedIae;
    std::optional<double> measuredIae;
    /// Where the step was predicted from and to, and the temperature its first line measured.
    std::optional<double> predictedFrom;
    std::optional<double> predictedTo;
    std::optional<double> measuredFrom;
    /// The law check of the run the model came from: agreed, disputed, or could not tell.
    std::optional<bool> lawAgreed;
    /// The model was known too loosely for close predictions.
    std::optional<bool> modelLoose;
    /// Why the run tested nothing the prediction said, when it did not.
    enum class Untested { NotConfirmed, GainsChanged, NoStep, EndedBeforePeak, GapInRise };
    std::optional<Untested> untested;

    /// How far measured may stray from predicted before the model is no longer to be trusted.
    static constexpr double kOvershootGate = 0.15;
    static constexpr double kSettlingGate = 3.0;
    static constexpr double kIaeGate = 0.2;

    /// The figures measured that stray past their gate, named in the window's language; empty
    /// when all agree, are not known, or the run tested nothing.
    QStringList strayed() const;
    /// Pairs of figures both sides have, which a verdict can compare.
    int comparable() const;
    /// What the figures say, with the likeliest cause of a stray that the run shows: the step
    /// not made, the law's scales disputed, the model known loosely, before the model itself.
    QString verdict() const;
    /// Settling measured over the whole span and not reached: the run left the band, or swung.
    bool neverSettled() const { return predictedSettling && !measuredSettling && measuredIae; }

    /// The runs.csv columns, in order, after the columns every run has.
    static const QStringList &columns();
    /// The cells of a row in columns() order; empty cells for a run without a prediction.
    QStringList cells() const;
    /// From a runs.csv row, its columns named by heading; none when the row holds no
    /// prediction.
    static std::optional<RunVerification> fromRow(
        const QStringList &heading, const QStringList &row);
};
