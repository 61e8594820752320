#pragma once

#include "IconChoiceSelector.h"

/** Shows the filter type as one of four response icons and steps through the types on each left
    click (low-pass, high-pass, band-pass, band-stop, and round again).
*/
class FilterTypeSelector final : public IconChoiceSelector
{
public:
    explicit FilterTypeSelector (juce::AudioProcessorValueTreeState& valueTreeState);
    ~FilterTypeSelector() override;

    void mouseUp (const juce::MouseEvent& e) override;
    void paint (juce::Graphics& g) override;
    void paintOverChildren (juce::Graphics& g) override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (FilterTypeSelector)
};
