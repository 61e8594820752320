#pragma once

#include "editor/PluginEditor.h"

/** Reaches the editor's members for the tests (the editor names it a friend). */
struct EditorInspector
{
    using Editor = VevareroAudioProcessorEditor;

    static auto& look (Editor& e)                       { return e.look; }
    static auto& bipolarLook (Editor& e)                { return e.bipolarLook; }
    static auto& shadow (Editor& e)                     { return e.shadow; }
    static auto& inputs (Editor& e)                     { return e.inputs; }
    static auto& outputs (Editor& e)                    { return e.outputs; }

    static auto& filterBackground (Editor& e)           { return e.filterBackground; }
    static auto& loFiBackground (Editor& e)             { return e.loFiBackground; }
    static auto& outputBackground (Editor& e)           { return e.outputBackground; }
    static auto& lfo1Background (Editor& e)             { return e.lfo1Background; }
    static auto& lfo2Background (Editor& e)             { return e.lfo2Background; }
    static auto& lfoMixBackground (Editor& e)           { return e.lfoMixBackground; }

    static auto& cutoffControls (Editor& e)             { return e.cutoffControls; }
    static auto& resonanceControls (Editor& e)          { return e.resonanceControls; }
    static auto& driveControls (Editor& e)              { return e.driveControls; }
    static auto& filterTypeSelector (Editor& e)         { return e.filterTypeSelector; }
    static auto& distortionRoutingSelector (Editor& e)  { return e.distortionRoutingSelector; }
    static auto& rateControls (Editor& e)               { return e.rateControls; }
    static auto& bitsControls (Editor& e)               { return e.bitsControls; }
    static auto& loFiRoutingSelector (Editor& e)        { return e.loFiRoutingSelector; }
    static auto& dryWetControls (Editor& e)             { return e.dryWetControls; }
    static auto& amplitudeControls (Editor& e)          { return e.amplitudeControls; }
    static auto& lfoControls (Editor& e, int index)     { return *e.lfoControls[index]; }
    static auto& lfoMixSlider (Editor& e)               { return *e.lfoMixSlider; }
    static auto& footer (Editor& e)                     { return e.footer; }

    /** One tick of the editor's polling timer, as the timer thread would deliver it. */
    static void tick (Editor& e)                        { static_cast<juce::Timer&> (e).timerCallback(); }
};
