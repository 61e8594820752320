#pragma once

namespace qrvx
{
/** One-pole DC blocker state of one channel. */
template <typename SampleType>
struct DCFilter
{
    SampleType previousInput = 0, previousOutput = 0, pole = 0;

    /** The corner in radians per second: 2π × 20 Hz, rounded to a whole number. */
    static constexpr double cornerRadiansPerSecond = 126.0;

    /** Clears the history and sets the pole for a sample rate in Hz (corner near 20 Hz at any rate). */
    void prepare (double sampleRate) noexcept
    {
        previousInput = 0;
        previousOutput = 0;
        pole = (SampleType) (1.0 + (-cornerRadiansPerSecond / (double) (SampleType) sampleRate));
    }

    /** Removes the DC from one sample: pole · last output + (input − last input). */
    SampleType process (SampleType input) noexcept
    {
        const SampleType output = pole * previousOutput + (input - previousInput);
        previousInput = input;
        previousOutput = output;
        return output;
    }
};
}
