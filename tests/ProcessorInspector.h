#pragma once

#include "processor/PluginProcessor.h"

/** Reaches the processor's private signal state for the tests (the processor names it a friend).
    Shared by every test file: one definition in the whole test binary.
*/
struct ProcessorInspector
{
    using Processor = VevareroAudioProcessor;

    static auto& filters (Processor& p)                  { return p.filters; }
    static auto& reducers (Processor& p)                 { return p.reducers; }
    static auto& dcFilters (Processor& p)                { return p.dcFilters; }
    static auto& lfos (Processor& p)                     { return p.lfos; }

    /** In the order cutoff, drive, gain, dry/wet. */
    static auto smoothers (Processor& p)                 { return p.smoothers(); }

    static auto& cutoffBuffer (Processor& p)             { return p.cutoffBuffer; }
    static auto& lfoBuffers (Processor& p)               { return p.lfoBuffers; }
    static auto& lfoMixBuffer (Processor& p)             { return p.lfoMixBuffer; }
    static auto& modulatedCutoffBuffer (Processor& p)    { return p.modulatedCutoffBuffer; }
    static auto& modulatedResonanceBuffer (Processor& p) { return p.modulatedResonanceBuffer; }
    static auto& modulatedRateBuffer (Processor& p)      { return p.modulatedRateBuffer; }
    static auto& modulatedBitsBuffer (Processor& p)      { return p.modulatedBitsBuffer; }
    static auto& modulatedDryWetBuffer (Processor& p)    { return p.modulatedDryWetBuffer; }

    static constexpr int workBufferSlack = Processor::workBufferSlack;

    static float bpm (const Processor& p)                { return p.bpm; }
    static float resonanceScale (const Processor& p)     { return p.resonanceScale; }
};
