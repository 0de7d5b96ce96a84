#include "recorded_plant.h"

#include "records/record_scan.h"
#include "tuning/plant_fit.h"

#include <QFileInfo>

#include <algorithm>

namespace {

/// The fit's share of the progress, against the bytes read before it.
qint64 progressWhole(qint64 bytes)
{
    return bytes + bytes / 2 + 1;
}

RecordedPlant fittedTo(
    const RunSamples &samples, qint64 bytes, const ControllerLaw &law, const ReadProgress &progress)
{
    RecordedPlant plant;
    plant.cancelled = samples.isCancelled();
    plant.notes = samples.notes();
    if (!samples.isValid()) {
        plant.refusal = samples.problem();
        plant.readProblem = samples.problemKind();
        return plant;
    }
    plant.runStart = samples.runStart();
    const qint64 whole = progressWhole(bytes);
    PlantFit::Outcome outcome =
        PlantFit::fitRun(samples.stretches(), samples.runStart(), [&](int permille) {
            progress.reached(bytes + (whole - bytes) * permille / 1000, whole);
            return !progress.isCancelled();
        });
    plant.cancelled = progress.isCancelled();
    plant.notes += outcome.notes;
    plant.refusal = outcome.refusal;
    plant.model = outcome.model;
    if (!outcome.fitted.empty())
        plant.lawCheck = LawCheck::of(outcome.fitted, law);
    plant.fitted = std::move(outcome.fitted);
    return plant;
}

} // namespace

RecordedPlant RecordedPlant::ofRun(const QString &directory, const QStringList &heading,
    const QStringList &run, const ControllerLaw &law, const ReadProgress &progress)
{
    const qint64 bytes = RecordScan::ofRun(directory, heading, run).bytes();
    return fittedTo(
        RunSamples::ofRun(directory, heading, run, progress.part(0, progressWhole(bytes))), bytes,
        law, progress);
}

RecordedPlant RecordedPlant::ofRecord(const QString &path, std::optional<qint64> runAt,
    const ControllerLaw &law, const ReadProgress &progress)
{
    const qint64 bytes = QFileInfo(path).size();
    return fittedTo(RunSamples::ofRecord(path, runAt, progress.part(0, progressWhole(bytes))),
        bytes, law, progress);
}

std::optional<GainSet> RecordedPlant::lastGains() const
{
    if (fitted.empty())
        return std::nullopt;
    const PlantSample &last = fitted.back();
    if (!last.p || !last.i || !last.d)
        return std::nullopt;
    return GainSet{*last.p, *last.i, *last.d};
}

std::optional<AdviceStart> RecordedPlant::stepOfRun(std::optional<double> setPoint) const
{
    const auto first = std::find_if(fitted.cbegin(), fitted.cend(),
        [this](const PlantSample &line) { return line.milliseconds >= runStart; });
    if (first == fitted.cend())
        return std::nullopt;
    const std::optional<double> target = setPoint ? setPoint : fitted.back().setPoint;
    if (!target)
        return std::nullopt;
    AdviceStart start = AdviceStart::between(first->temperature, *target);
    start.current = lastGains();
    start.fromRun = true;
    return start;
}
