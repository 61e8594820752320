#pragma once

#include <juce_core/juce_core.h>

namespace qrvx
{
/** Polynomial stand-in for cos t on 0..π/2 (t in radians): 1 at 0, about 4.77e-6 at π/2. */
template <typename SampleType>
SampleType equalPowerGain (SampleType t) noexcept
{
    const SampleType t2 = t * t;
    return ((t2 * (SampleType) 0.03705 - (SampleType) 0.4967) * t2) + (SampleType) 1;
}

/** The dry and wet gains of an equal-power blend. */
template <typename SampleType>
struct CrossfadeGains
{
    SampleType dry, wet;
};

/** The gains for a wet amount (0 is all dry, 1 all wet); they depend on the amount alone, so
    channels blended by the same amount can share them.
*/
template <typename SampleType>
CrossfadeGains<SampleType> crossfadeGains (SampleType wetAmount) noexcept
{
    constexpr auto halfPi = juce::MathConstants<double>::halfPi;

    return { equalPowerGain ((SampleType) ((double) wetAmount * halfPi)),
             equalPowerGain ((SampleType) ((1.0 - (double) wetAmount) * halfPi)) };
}

/** Blends a dry and a wet sample with gains from crossfadeGains. */
template <typename SampleType>
SampleType crossfade (SampleType dry, SampleType wet, CrossfadeGains<SampleType> gains) noexcept
{
    return gains.wet * wet + dry * gains.dry;
}

/** Equal-power blend of a dry and a wet sample; wetAmount 0 is all dry, 1 all wet. */
template <typename SampleType>
SampleType crossfade (SampleType dry, SampleType wet, SampleType wetAmount) noexcept
{
    return crossfade (dry, wet, crossfadeGains (wetAmount));
}
}
