#include "FilterTypeSelector.h"

#include "FilterIcons.h"
#include "look/QrvxColours.h"
#include "processor/ParametersUIDs.h"

FilterTypeSelector::FilterTypeSelector (juce::AudioProcessorValueTreeState& valueTreeState)
    : link (ParametersUIDs().filterTypeID, valueTreeState)
{
    // In the order of the parameter's choices.
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
    refreshFromParameter();
    showOnlyCurrentIcon();
    repaint();
}

FilterTypeSelector::~FilterTypeSelector() = default;

void FilterTypeSelector::mouseUp (const juce::MouseEvent& e)
{
    if (! e.mods.isLeftButtonDown())
        return;

    currentIndex = currentIndex == icons.size() - 1 ? 0 : currentIndex + 1;
    link.updateIntParameter (currentIndex);
    showOnlyCurrentIcon();
    repaint();
}

void FilterTypeSelector::paint (juce::Graphics& g)
{
    g.fillAll (qrvx::QrvxColours::dark_grey);
}

void FilterTypeSelector::paintOverChildren (juce::Graphics& g)
{
    g.setColour (qrvx::QrvxColours::grey);
    g.drawRect (getLocalBounds().toFloat(), 1.0f);
}

void FilterTypeSelector::resized()
{
    for (auto* icon : icons)
        icon->setBounds (getLocalBounds());
}

void FilterTypeSelector::refreshFromParameter()
{
    const auto index = link.readIntParameter();
    if (index == currentIndex)
        return;

    currentIndex = index;
    showOnlyCurrentIcon();
    repaint();
}

void FilterTypeSelector::showOnlyCurrentIcon()
{
    for (int i = 0; i < icons.size(); ++i)
        icons[i]->setVisible (i == currentIndex);
}
