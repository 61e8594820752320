#pragma once

#include "DistortionRoutingSelector.h"
#include "FilterTypeSelector.h"
#include "Footer.h"
#include "InputPatchPoint.h"
#include "LFOControls.h"
#include "LofiRoutingSelector.h"
#include "ModuleBackground.h"
#include "OutputPatchPoint.h"
#include "ParameterWithModControls.h"
#include "ParameterWithNameControls.h"
#include "QrvxKnob.h"
#include "look/DefaultLookHolder.h"
#include "look/QXBipolarLook.h"
#include "look/QXLook.h"
#include "processor/PluginProcessor.h"

#include <array>
#include <memory>

/** The plug-in's window, 640 x 400: six module panels with their controls, the LFO sockets, the
    modulation cables and the footer. Every knob, selector and socket is a direct child, so all
    socket bounds share the editor's coordinates, which the cables are drawn in.

    Choice, switch and modulation-source parameters are polled every 50 ms rather than listened
    to: a host may write them from any thread, and polling keeps all drawing on the message thread.
    Knobs and sliders follow their parameters through their attachments.
*/
class VevareroAudioProcessorEditor final : public juce::AudioProcessorEditor,
                                           public juce::Timer,
                                           public juce::DragAndDropContainer
{
public:
    explicit VevareroAudioProcessorEditor (VevareroAudioProcessor&);
    ~VevareroAudioProcessorEditor() override;

    void paint (juce::Graphics&) override;
    void paintOverChildren (juce::Graphics&) override;
    void resized() override;

private:
    friend struct EditorInspector; // read-only access for the tests and the benchmark

    void timerCallback() override;

    /** A socket's centre in editor coordinates, in whole pixels. */
    static juce::Point<int> socketCentre (const juce::Component& socket);

    // The base holds the same processor as a plain AudioProcessor; this typed reference hides it
    // on purpose.
    JUCE_BEGIN_IGNORE_WARNINGS_GCC_LIKE ("-Wshadow-field")
    VevareroAudioProcessor& processor;
    JUCE_END_IGNORE_WARNINGS_GCC_LIKE

    // Before every component: each child that draws with a look is gone before its look.
    qrvx::QXLook look;
    qrvx::QXBipolarLook bipolarLook;

    /** Keeps `look` the default of popup menus, alerts and dialogs while this editor is open, and
        hands the default to another open editor's look when it closes.
    */
    qrvx::DefaultLookHolder defaultLook;
    juce::DropShadowEffect shadow;

    /** Filter, LoFi, Output, the LFOs, and the cables. */
    std::array<juce::Colour, 5> moduleColours;
    static constexpr int cableColourIndex = 4;

    /** The input socket of each modulatable control, by modulation target; owned by the groups. */
    std::array<InputPatchPoint*, ModulationTarget::numTargets> inputs {};

    /** Entry k offers modulation source k + 1 (LFO 1, LFO 2, LFO MIX). */
    juce::OwnedArray<OutputPatchPoint> outputs;

    /** The "_Mod_Source" values the cables were last drawn for, by modulation target. */
    std::array<float, ModulationTarget::numTargets> lastModSource {};

    ModuleBackground filterBackground, loFiBackground, outputBackground,
                     lfo1Background, lfo2Background, lfoMixBackground;

    ParameterWithModControls cutoffControls, resonanceControls;
    ParameterWithNameControls driveControls;
    FilterTypeSelector filterTypeSelector;
    DistortionRoutingSelector distortionRoutingSelector;
    ParameterWithModControls rateControls, bitsControls;
    LofiRoutingSelector loFiRoutingSelector;
    ParameterWithModControls dryWetControls;
    ParameterWithNameControls amplitudeControls;

    juce::OwnedArray<LFOControls> lfoControls;

    std::unique_ptr<qrvx::QrvxKnob> lfoMixSlider;
    juce::AudioProcessorValueTreeState::SliderAttachment lfoMixAttachment;

    Footer footer;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (VevareroAudioProcessorEditor)
};
