#pragma once

/// For a harness's own functions: its comparisons are left out of the coverage feedback, since
/// they would only steer the fuzzer towards the checks and cost as much as the code under test.
#define TERMIVA_HARNESS __attribute__((no_sanitize("coverage")))
