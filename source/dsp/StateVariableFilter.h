#pragma once

#include <juce_core/juce_core.h>

#include <cmath>

namespace qrvx
{
/** The filter's output tap, numbered like the "Filter_Type" choices. */
enum class FilterType
{
    lowpass = 0,
    highpass,
    bandpass,
    notch
};

/** Where the sine drive sits, numbered like the "Distortion_Routing" choices. */
enum class DriveRouting
{
    preFilter = 0,
    postFilter
};

/** One channel of a zero-delay state-variable filter whose band integrator is saturated by a tanh,
    with a sine drive before or after it.

    The mix of float and double steps is deliberate: the coefficients and the integrator updates
    run in double where rounding would otherwise colour the resonance, the rest stays in float.
*/
template <typename SampleType>
struct StateVariableFilter
{
    /** How much harder than unity the band integrator drives its tanh, wherever the filter's
        damping outweighs that gain.
    */
    static constexpr auto fullBandFactor = (SampleType) 1.04;

    SampleType g = 1, h = 1, k = 1;
    SampleType s1 = 0, s2 = 1;
    SampleType R = 1;
    SampleType bandFactor = fullBandFactor;

    /** Clears both integrators; the coefficients are rewritten by the next sample anyway. */
    void reset() noexcept
    {
        s1 = 0;
        s2 = 0;
    }

    /** The drive shaper: sin (factor · x), with factor 1..15 and x in signal units. */
    static SampleType drive (SampleType x, SampleType factor) noexcept
    {
        return std::sin (factor * x);
    }

    /** The per-sample coefficients. They depend on cutoff and resonance alone, never on a
        channel's signal, so channels fed the same cutoff and resonance can share them.
    */
    struct Coefficients
    {
        SampleType g, h, k, R, bandFactor;
    };

    /** The coefficients for a cutoff in Hz, a resonance amount 0..1 and a sample period in seconds. */
    static Coefficients makeCoefficients (SampleType cutoffHz, SampleType resonance, SampleType samplePeriod) noexcept
    {
        Coefficients c;

        const SampleType q = resonance * resonance * (SampleType) 9.5 + (SampleType) 0.5;
        c.R = (SampleType) (1.0 / (2.0 * (double) q));

        // The prewarp stays in double all the way into h and k; only the stored g is narrowed.
        const double period = (double) samplePeriod;
        const double half = period * 0.5;
        const double gain = std::tan ((double) cutoffHz * juce::MathConstants<double>::twoPi * half) * (2.0 / period) * half;
        c.g = (SampleType) gain;

        const double twoR = 2.0 * (double) c.R;
        c.h = (SampleType) (1.0 / (gain * gain + (gain * twoR + 1.0)));
        c.k = (SampleType) (twoR + gain);

        // At low cutoffs and high resonances the full factor would let the band integrator gain
        // more per sample than the damping takes away, and the saturated filter would hold a tone
        // forever after its input stops. Capped, the pole product stays at most (1 + g² + Rg) · h,
        // which is below 1 for every g and R, so a tail always dies away; above the cap's reach
        // the full factor, and so every sample, stays as it is.
        const double settlingFactor = 1.0 + 3.0 * (double) c.R * gain / (1.0 + 2.0 * gain * gain);
        c.bandFactor = juce::jmin (fullBandFactor, (SampleType) settlingFactor);

        return c;
    }

    void setCoefficients (const Coefficients& c) noexcept
    {
        g = c.g;
        h = c.h;
        k = c.k;
        R = c.R;
        bandFactor = c.bandFactor;
    }

    /** Recomputes g, h, k, R and the band factor for a cutoff in Hz, a resonance amount 0..1 and a
        sample period in seconds.
    */
    void updateCoefficients (SampleType cutoffHz, SampleType resonance, SampleType samplePeriod) noexcept
    {
        setCoefficients (makeCoefficients (cutoffHz, resonance, samplePeriod));
    }

    /** Runs one sample through the integrators with the current coefficients and returns the chosen tap. */
    template <FilterType type>
    SampleType filter (SampleType input) noexcept
    {
        const SampleType hp = ((input - k * s1) - s2) * h;
        const SampleType gHp = g * hp;
        const double bp = std::tanh ((double) ((s1 + gHp) * bandFactor));
        const double lp = (double) s2 + (double) g * bp;

        s1 = (SampleType) ((double) gHp + bp);
        s2 = (SampleType) ((double) g * bp + lp);

        if constexpr (type == FilterType::lowpass)
            return (SampleType) lp;
        else if constexpr (type == FilterType::highpass)
            return hp;
        else if constexpr (type == FilterType::bandpass)
            return (SampleType) bp;
        else
            return (SampleType) (lp * 0.5 + (double) hp * 0.5);
    }
};
}
