#pragma once

/** The arithmetic that Vevarero's chain cannot do without, with nothing else around it: per sample
    and channel one double tangent and one double division (the filter coefficients, recomputed every
    sample because cutoff and resonance are smoothed and modulated), one double hyperbolic tangent
    (the filter's saturated integrator) and one float sine (the drive's waveshaper).

    Kept in its own translation unit so that the compiler sees none of the values it runs on.
*/
struct CostFloor
{
    /** Runs the arithmetic over one block, channel after channel as the plug-in does, reading the
        input and a per-sample cutoff and drive and writing the output. Returns a checksum that the
        caller keeps, so that none of the work can be dropped.
    */
    static double processBlock (const float* const* input, float* const* output,
                                int numChannels, int numSamples,
                                const float* cutoffHz, const float* drive,
                                double inverseSampleRate) noexcept;
};
