#include "window_state.h"

#include "step_response.h"

void StepFigures::setShownOvershoot(const QString &text)
{
    overshoot = StepResponse::shownPercentage(text);
}
