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

/** Equal-power blend of a dry and a wet sample; wetAmount 0 is all dry, 1 all wet. */
template <typename SampleType>
SampleType crossfade (SampleType dry, SampleType wet, SampleType wetAmount) noexcept
{
    constexpr auto halfPi = juce::MathConstants<double>::halfPi;

    const auto dryGain = equalPowerGain ((SampleType) ((double) wetAmount * halfPi));
    const auto wetGain = equalPowerGain ((SampleType) ((1.0 - (double) wetAmount) * halfPi));

    return wetGain * wet + dry * dryGain;
}
}
