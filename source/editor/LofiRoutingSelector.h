#pragma once

#include "ParameterLink.h"

#include <juce_gui_basics/juce_gui_basics.h>

/** Shows how the lo-fi stage meets the signal (chain, parallel mix, ring) and steps through the
    three on each click of the invisible button that covers it.
*/
class LofiRoutingSelector final : public juce::Component,
                                  public juce::Button::Listener
{
public:
    explicit LofiRoutingSelector (juce::AudioProcessorValueTreeState& valueTreeState);
    ~LofiRoutingSelector() override;

    void paint (juce::Graphics& g) override;
    void resized() override;
    void buttonClicked (juce::Button* b) override;

    /** Shows the parameter's current routing; writes nothing. Called by the editor's timer. */
    void refreshFromParameter();

    int getCurrentIndex() const noexcept { return currentIndex; }

    /** The transparent button that takes the clicks. */
    juce::Button& getButton() noexcept { return button; }

private:
    void showOnlyCurrentIcon();

    int currentIndex = 0;
    ParameterLink link;
    juce::OwnedArray<juce::Component> icons;
    juce::TextButton button;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (LofiRoutingSelector)
};
