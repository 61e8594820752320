#pragma once

#include <juce_audio_processors/juce_audio_processors.h>
#include <juce_gui_basics/juce_gui_basics.h>

/** Shows whether the drive comes before or after the filter as chevrons pointing along the signal,
    and flips it on each left click.
*/
class DistortionRoutingSelector final : public juce::Component
{
public:
    explicit DistortionRoutingSelector (juce::AudioProcessorValueTreeState& valueTreeState);
    ~DistortionRoutingSelector() override;

    void mouseDown (const juce::MouseEvent& e) override;
    void paint (juce::Graphics& g) override;
    void resized() override;

    /** Shows the parameter's current routing; writes nothing. Called by the editor's timer. */
    void refreshFromParameter();

    int getCurrentValue() const noexcept { return currentValue; }

private:
    int currentValue = 0;
    // The parameter runs from 0 to 1 in steps of 1, so its normalised value is the routing itself
    // and no range is needed.
    juce::AudioProcessorParameter* parameter = nullptr;
    bool isAbletonLive = false;
    std::unique_ptr<juce::Drawable> leftChevrons;
    std::unique_ptr<juce::Drawable> rightChevrons;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (DistortionRoutingSelector)
};
