#pragma once

#include <algorithm>

/** Where one modulation target is pushed to, and the per-sample signal chosen for it this block. */
struct ModulationInput
{
    float maxValue = 0.0f;
    const float* source = nullptr;

    /** Pushes a per-sample base towards maxValue by depth × source (source 0..1); without a
        source the base passes unchanged.
    */
    void modulate (float* dest, const float* base, float depth, int numSamples) const noexcept
    {
        if (source == nullptr)
        {
            std::copy (base, base + numSamples, dest);
            return;
        }

        for (int i = 0; i < numSamples; ++i)
            dest[i] = (maxValue - base[i]) * (depth * source[i]) + base[i];
    }

    /** The same for a base that stands still for the whole block. */
    void modulate (float* dest, float base, float depth, int numSamples) const noexcept
    {
        if (source == nullptr)
        {
            std::fill (dest, dest + numSamples, base);
            return;
        }

        const auto range = maxValue - base;

        for (int i = 0; i < numSamples; ++i)
            dest[i] = range * (depth * source[i]) + base;
    }
};

/** The source and depth of one modulation target, refreshed every block. */
struct ModulationAssignment
{
    int source = 0;
    float depth = 0.0f;
};
