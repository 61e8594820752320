#pragma once

/** A linear ramp towards a target value, restarted whenever the target changes. */
struct RampSmoother
{
    explicit RampSmoother (float initialValue) noexcept : currentValue (initialValue), targetValue (initialValue) {}

    float currentValue;
    float targetValue;
    float step = 0.0f;
    int remainingSteps = 0;
    int rampLength = 0;
};
