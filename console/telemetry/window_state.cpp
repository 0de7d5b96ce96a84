#include "window_state.h"

#include "telemetry/step_response.h"

void StepFigures::setShownOvershoot(const QString &text)
{
    overshoot = StepResponse::shownPercentage(text);
}
