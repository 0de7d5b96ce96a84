#include "tuning/controller_law.h"
#include "tuning/law_check.h"
#include "tuning/plant_fit.h"

#include <cmath>
#include <cstdlib>

/// The plant model and the law's check on any lines, five bytes to a line: the gap since the
/// line before (0 to 2.55 s), the temperature (-100 to 555.35 °C in hundredths), the output
/// level, and the set point's and gains' byte. They never crash, and a model has finite figures
/// with a time constant above nothing and a dead time not below it.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    PlantStretch stretch;
    qint64 milliseconds = 0;
    for (std::size_t at = 0; at + 5 <= size; at += 5) {
        milliseconds += data[at] * 10;
        PlantSample line;
        line.milliseconds = milliseconds;
        line.temperature = (data[at + 1] * 256 + data[at + 2]) / 100.0 - 100.0;
        line.output = data[at + 3];
        line.setPoint = data[at + 4] / 2.0;
        line.p = data[at + 4] % 16;
        line.i = data[at + 4] % 7;
        line.d = data[at + 4] % 3;
        stretch.push_back(line);
    }
    const PlantFit::Outcome outcome = PlantFit::fit({stretch});
    if (const std::optional<PlantModel> &model = outcome.model) {
        for (const double figure : {model->gain, model->timeConstant, model->deadTime,
                 model->offset, model->gainSd, model->timeConstantSd, model->deadTimeSd,
                 model->rms}) {
            if (!std::isfinite(figure))
                std::abort();
        }
        if (model->timeConstant <= 0 || model->deadTime < 0)
            std::abort();
    }
    const LawCheck check = LawCheck::of(stretch, ControllerLaw());
    if ((check.p.fitted && !(*check.p.fitted > 0 && std::isfinite(*check.p.fitted)))
        || (check.i.fitted && !(*check.i.fitted > 0 && std::isfinite(*check.i.fitted))))
        std::abort();
    return 0;
}
