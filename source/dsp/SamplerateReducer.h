#pragma once

#include <juce_core/juce_core.h>

#include <cmath>

namespace qrvx
{
/** How the sample-and-hold and the quantiser are combined, numbered like the "LoFi_Routing" choices. */
enum class LoFiRouting
{
    chain = 0,
    mix,
    ring
};

/** The level count at which the quantiser lets the signal through untouched. */
constexpr int quantiserOffLevels = 16;

/** Magnitudes below this pass the quantiser untouched, as silence does: 2^-24, the step of 24-bit
    audio (about -144 dBFS). A filter whose input has stopped keeps a residue of that order (its
    state never settles on exact zero), and a quarter step for it would be a tone that never ends.
*/
constexpr float quantiserSilenceFloor = 0x1.0p-24f;

/** Sample-and-hold state of one channel. */
template <typename SampleType>
struct SamplerateReducer
{
    int counter = 0;
    SampleType heldValue = 0;

    /** Forgets the held sample and restarts the count. */
    void reset() noexcept
    {
        counter = 0;
        heldValue = 0;
    }

    /** Holds each taken sample for holdCount + 1 samples; a hold count of 0 passes the input and leaves the state alone. */
    SampleType process (SampleType input, int holdCount) noexcept
    {
        if (holdCount == 0)
            return input;

        if (counter == 0)
            heldValue = input;

        counter = counter >= holdCount ? 0 : counter + 1;
        return heldValue;
    }
};

/** Amplitude quantiser with a step of 1 / levels: the mean of a half-step-low rounding and a ceiling. */
template <typename SampleType>
forcedinline SampleType quantise (SampleType input, int levels) noexcept
{
    if (std::abs (input) < (SampleType) quantiserSilenceFloor || levels >= quantiserOffLevels)
        return input;

    const auto levelCount = (SampleType) levels;
    const SampleType inverse = (SampleType) 1 / levelCount;
    const SampleType scaled = input * levelCount;

    return ((std::floor (scaled + (SampleType) 0.5) - (SampleType) 0.5) * inverse + std::ceil (scaled) * inverse) * (SampleType) 0.5;
}

/** The lo-fi stage for one sample: sample-and-hold (holdCount) and quantiser (levels) combined by routing.

    Forced inline, as is the quantiser: in the processor's long per-sample loops the compiler
    would otherwise call it out of line and send the hold state through memory at every sample.
*/
template <LoFiRouting routing, typename SampleType>
forcedinline SampleType processLoFi (SampleType input, SamplerateReducer<SampleType>& reducer, int holdCount, int levels) noexcept
{
    const auto held = reducer.process (input, holdCount);

    if constexpr (routing == LoFiRouting::chain)
        return quantise (held, levels);
    else if constexpr (routing == LoFiRouting::mix)
        return (held + quantise (input, levels)) * (SampleType) 0.5;
    else
        return quantise (input, levels) * held;
}
}
