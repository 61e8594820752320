#pragma once

#include "ParameterLink.h"

#include <juce_gui_basics/juce_gui_basics.h>

/** Shows one icon per choice of a parameter, only the current one visible, and steps to the next
    choice (round to the first after the last) when its subclass sees a click.
*/
class IconChoiceSelector : public juce::Component
{
public:
    ~IconChoiceSelector() override;

    void resized() override;

    /** Shows the parameter's current choice; writes nothing. Called by the editor's timer. */
    void refreshFromParameter();

    int getCurrentIndex() const noexcept { return currentIndex; }

protected:
    IconChoiceSelector (const juce::String& parameterID, juce::AudioProcessorValueTreeState& valueTreeState);

    /** For the end of a subclass's construction, once its icons are in. */
    void showParameterValue();

    void selectNextChoice();

    int currentIndex = 0;
    ParameterLink link;
    juce::OwnedArray<juce::Component> icons; // in the order of the parameter's choices

private:
    void showOnlyCurrentIcon();

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (IconChoiceSelector)
};
