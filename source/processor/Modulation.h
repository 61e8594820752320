#pragma once

/** Where one modulation target is pushed to, and the per-sample signal chosen for it this block. */
struct ModulationInput
{
    float maxValue = 0.0f;
    const float* source = nullptr;
};

/** The source and depth of one modulation target, refreshed every block. */
struct ModulationAssignment
{
    int source = 0;
    float depth = 0.0f;
};
