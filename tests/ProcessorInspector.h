#pragma once

#include "processor/PluginProcessor.h"

/** Reaches the processor's private signal state for the tests (the processor names it a friend).
    Shared by every test file: one definition in the whole test binary.
*/
struct ProcessorInspector
{
    using Processor = VevareroAudioProcessor;

    static auto& filters (Processor& p)                 { return p.filters; }
    static auto& reducers (Processor& p)                { return p.reducers; }
    static auto& dcFilters (Processor& p)               { return p.dcFilters; }
    static auto& lfos (Processor& p)                    { return p.lfos; }

    static auto& cutoffSmoother (Processor& p)          { return p.cutoffSmoother; }
    static auto& driveSmoother (Processor& p)           { return p.driveSmoother; }
    static auto& gainSmoother (Processor& p)            { return p.gainSmoother; }
    static auto& dryWetSmoother (Processor& p)          { return p.dryWetSmoother; }

    static auto& cutoffBuffer (Processor& p)            { return p.cutoffBuffer; }
    static auto& gainBuffer (Processor& p)              { return p.gainBuffer; }
    static auto& lfoBuffers (Processor& p)              { return p.lfoBuffers; }
    static auto& lfoMixBuffer (Processor& p)            { return p.lfoMixBuffer; }
    static auto& modulatedCutoffBuffer (Processor& p)   { return p.modulatedCutoffBuffer; }
    static auto& modulatedResonanceBuffer (Processor& p) { return p.modulatedResonanceBuffer; }
    static auto& modulatedDryWetBuffer (Processor& p)   { return p.modulatedDryWetBuffer; }

    static auto& modulationAssignments (Processor& p)   { return p.modulationAssignments; }
    static auto& modulationInputs (Processor& p)        { return p.modulationInputs; }

    static float bpm (const Processor& p)               { return p.bpm; }
    static float msPerWholeNote (const Processor& p)    { return p.msPerWholeNote; }
    static float resonanceScale (const Processor& p)    { return p.resonanceScale; }
    static double inverseSampleRate (const Processor& p) { return p.inverseSampleRate; }
};
