#pragma once

#include "ParameterLink.h"

#include <juce_gui_basics/juce_gui_basics.h>

/** Shows the filter type as one of four response icons and steps through the types on each left
    click (low-pass, high-pass, band-pass, band-stop, and round again).
*/
class FilterTypeSelector final : public juce::Component
{
public:
    explicit FilterTypeSelector (juce::AudioProcessorValueTreeState& valueTreeState);
    ~FilterTypeSelector() override;

    void mouseUp (const juce::MouseEvent& e) override;
    void paint (juce::Graphics& g) override;
    void paintOverChildren (juce::Graphics& g) override;
    void resized() override;

    /** Shows the parameter's current type; writes nothing. Called by the editor's timer. */
    void refreshFromParameter();

    int getCurrentIndex() const noexcept { return currentIndex; }

private:
    void showOnlyCurrentIcon();

    int currentIndex = 0;
    ParameterLink link;
    juce::OwnedArray<juce::Component> icons;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (FilterTypeSelector)
};
