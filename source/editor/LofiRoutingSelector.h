#pragma once

#include "IconChoiceSelector.h"

/** Shows how the lo-fi stage meets the signal (chain, parallel mix, ring) and steps through the
    three on each click of the invisible button that covers it.
*/
class LofiRoutingSelector final : public IconChoiceSelector,
                                  public juce::Button::Listener
{
public:
    explicit LofiRoutingSelector (juce::AudioProcessorValueTreeState& valueTreeState);
    ~LofiRoutingSelector() override;

    void paint (juce::Graphics& g) override;
    void resized() override;
    void buttonClicked (juce::Button* b) override;

    /** The transparent button that takes the clicks. */
    juce::Button& getButton() noexcept { return button; }

private:
    juce::TextButton button;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (LofiRoutingSelector)
};
