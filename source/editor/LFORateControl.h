#pragma once

#include "QrvxKnob.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <memory>

/** An LFO's rate readout. The LFO has a free rate and a tempo-synced one; the readout shows the
    one the LFO uses, and a drag on it changes exactly that rate: two invisible knobs lie over the
    text, and only the one for the rate in use takes the mouse.
*/
class LFORateControl final : public juce::Component
{
public:
    LFORateControl (juce::AudioProcessorValueTreeState& state,
                    const juce::String& rateParameterID,
                    const juce::String& syncedRateParameterID);
    ~LFORateControl() override;

    void paint (juce::Graphics&) override;
    void resized() override;

    /** Shows the rate in use and hands the mouse to its knob; the editor's timer calls it with the
        LFO's sync state on every tick.
    */
    void checkParameterStatus (bool synced);

    std::unique_ptr<qrvx::QrvxKnob> rateKnob;
    std::unique_ptr<qrvx::QrvxKnob> syncedRateKnob;
    std::unique_ptr<juce::Label> valueLabel;
    juce::AudioProcessorValueTreeState::SliderAttachment rateAttachment;
    juce::AudioProcessorValueTreeState::SliderAttachment syncedRateAttachment;
    juce::AudioProcessorParameter* rateParameter = nullptr;
    juce::AudioProcessorParameter* syncedRateParameter = nullptr;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (LFORateControl)
};
