#include "first_order_response.h"

#include <cmath>
#include <cstddef>

std::vector<double> FirstOrderResponse::atSamples(const std::vector<double> &seconds,
    const std::vector<double> &input, double timeConstant, double deadTime, double restingInput)
{
    std::vector<double> response(seconds.size());
    double state = restingInput;
    double now = seconds.empty() ? 0.0 : seconds.front();
    // Until seconds[0] + deadTime the plant feels the resting input; from then on input[k] until
    // seconds[k] + deadTime.
    double delayed = restingInput;
    std::size_t applied = 0;
    const auto advance = [&](double until) {
        state = delayed + (state - delayed) * std::exp(-(until - now) / timeConstant);
        now = until;
    };
    for (std::size_t sample = 0; sample < seconds.size(); ++sample) {
        while (applied + 1 < input.size() && seconds[applied] + deadTime < seconds[sample]) {
            advance(std::max(now, seconds[applied] + deadTime));
            delayed = input[++applied];
        }
        advance(seconds[sample]);
        response[sample] = state;
    }
    return response;
}
