#include "FilterTypeSelector.h"

#include "FilterIcons.h"
#include "look/QrvxColours.h"
#include "processor/ParametersUIDs.h"

FilterTypeSelector::FilterTypeSelector (juce::AudioProcessorValueTreeState& valueTreeState)
    : IconChoiceSelector (ParametersUIDs().filterTypeID, valueTreeState)
{
    icons.add (new LPFIcon());
    icons.add (new HPFIcon());
    icons.add (new BPFIcon());
    icons.add (new BSFIcon());

    for (auto* icon : icons)
    {
        // Every click must reach the selector, whichever icon is showing.
        icon->setInterceptsMouseClicks (false, false);
        addChildComponent (icon);
    }

    setSize (400, 200);
    showParameterValue();
}

FilterTypeSelector::~FilterTypeSelector() = default;

void FilterTypeSelector::mouseUp (const juce::MouseEvent& e)
{
    // The modifiers of a mouse-up still hold the button that went up.
    if (e.mods.isLeftButtonDown())
        selectNextChoice();
}

void FilterTypeSelector::paint (juce::Graphics& g)
{
    g.fillAll (qrvx::QrvxColours::dark_grey());
}

void FilterTypeSelector::paintOverChildren (juce::Graphics& g)
{
    g.setColour (qrvx::QrvxColours::grey());
    g.drawRect (getLocalBounds().toFloat(), 1.0f);
}
