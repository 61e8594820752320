#pragma once

#include <algorithm>

/** A linear ramp towards a target value, restarted whenever the target changes.

    A new target re-aims the ramp from wherever it stands and always takes the full ramp length;
    once the ramp has run out the exact target comes back, free of accumulated rounding.
*/
struct RampSmoother
{
    explicit RampSmoother (float initialValue) noexcept : currentValue (initialValue), targetValue (initialValue) {}

    /** Sets the ramp length to floor (rampSeconds × sampleRate) samples and jumps to the target. */
    void reset (double sampleRate, double rampSeconds) noexcept
    {
        rampLength = (int) (rampSeconds * sampleRate);
        jumpToTarget();
    }

    /** Ends any ramp where it is headed: the next value is the target. */
    void jumpToTarget() noexcept
    {
        currentValue = targetValue;
        remainingSteps = 0;
    }

    /** Starts a ramp of rampLength samples from the current value to newTarget (same units as the value). */
    void setTarget (float newTarget) noexcept
    {
        if (newTarget == targetValue)
            return;

        targetValue = newTarget;
        remainingSteps = rampLength;

        if (remainingSteps <= 0)
            currentValue = newTarget;
        else
            step = (newTarget - currentValue) / (float) remainingSteps;
    }

    /** Advances the ramp by one sample and returns the value for that sample. */
    float nextValue() noexcept
    {
        if (remainingSteps <= 0)
            return targetValue;

        --remainingSteps;
        currentValue += step;
        return currentValue;
    }

    /** Writes the next numSamples values to dest; a settled smoother just repeats its target. */
    void render (float* dest, int numSamples) noexcept
    {
        // A local copy keeps the running ramp in registers; dest might alias this smoother.
        auto ramp = *this;
        int i = 0;

        for (; i < numSamples && ramp.remainingSteps > 0; ++i)
            dest[i] = ramp.nextValue();

        if (i < numSamples)
            std::fill (dest + i, dest + numSamples, ramp.targetValue);

        *this = ramp;
    }

    float currentValue;
    float targetValue;
    float step = 0.0f;
    int remainingSteps = 0;
    int rampLength = 0;
};
