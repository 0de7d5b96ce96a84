#include "fuzz_harness.h"
#include "records/recorded_plant.h"
#include "tuning/plant_model_text.h"
#include "tuning/tuning_advice.h"

#include <QByteArray>
#include <QString>

#include <cmath>
#include <cstdlib>
#include <sys/mman.h>
#include <unistd.h>

namespace {
/// The advice's work grows with τ + θ (it predicts six of them for every set it tries): past
/// this the model alone is checked, so that each input takes milliseconds.
constexpr double kLongestAdvised = 600.0;

TERMIVA_HARNESS void finite(double value)
{
    if (!std::isfinite(value))
        std::abort();
}

TERMIVA_HARNESS void finite(const std::optional<double> &value)
{
    if (value)
        finite(*value);
}

/// Shown text holds no figure that is not a number, nor one rounded out of an int's range.
TERMIVA_HARNESS void shown(const QString &text)
{
    for (const char *broken : {"nan", "inf", "2147483648"}) {
        if (text.contains(QLatin1String(broken), Qt::CaseInsensitive))
            std::abort();
    }
}

TERMIVA_HARNESS void checkModel(const PlantModel &model)
{
    if (!model.isUsable())
        std::abort();
    for (const PlantModelText::Figure &figure : PlantModelText::figures(model))
        shown(figure.value);
    shown(PlantModelText::oneLine(model));
    shown(PlantModelText::looseness(model));
}

TERMIVA_HARNESS void checkPrediction(const LoopPrediction &prediction)
{
    const ResponseFigures &figures = prediction.figures;
    for (const double value : {figures.overshoot, figures.overshootPercent,
             figures.absoluteErrorIntegral, figures.steadyError, figures.saturatedSeconds})
        finite(value);
    for (const std::optional<double> &value : {figures.rise10To90Seconds,
             figures.settling2PercentSeconds, figures.settlingHalfDegreeSeconds})
        finite(value);
}

TERMIVA_HARNESS void checkAdvice(const RecordedPlant &plant)
{
    const std::optional<AdviceStart> start = plant.stepOfRun(std::nullopt);
    if (!start || plant.model->timeConstant + plant.model->deadTime > kLongestAdvised)
        return;
    TuningAdvice::Request request;
    request.model = *plant.model;
    request.current = start->current;
    request.plan.from = start->from;
    request.plan.to = start->to;
    request.plan.restingGains = start->current;
    request.lawDisputed = plant.lawCheck && plant.lawCheck->disagrees();
    const TuningAdvice advice = TuningAdvice::of(request);
    shown(advice.weighed);
    for (const TuningAdvice::Candidate &candidate : advice.candidates) {
        checkPrediction(candidate.prediction);
        if (candidate.kept)
            checkPrediction(*candidate.kept);
        finite(candidate.outputActivity);
        shown(TuningAdvice::cells(candidate).join(u' '));
    }
}
} // namespace

/// Any bytes as a record file, read as termiva-tune reads one (its longest run), fitted, and
/// advised on with the run's own step as the window advises while disconnected: nothing crashes,
/// a model is usable, and every figure shown of it and of the advice is a finite number.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // The reading opens a path and takes regular files only: a file in memory is one.
    static const int record = memfd_create("record", 0);
    if (record < 0 || ftruncate(record, 0) != 0
        || pwrite(record, data, size, 0) != static_cast<ssize_t>(size))
        return 0;
    const RecordedPlant plant = RecordedPlant::ofRecord(
        QStringLiteral("/proc/self/fd/%1").arg(record), std::nullopt, ControllerLaw());
    shown(plant.refusal);
    for (const QString &note : plant.notes)
        shown(note);
    if (!plant.model)
        return 0;
    checkModel(*plant.model);
    checkAdvice(plant);
    return 0;
}
