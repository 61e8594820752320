#include "LofiRoutingSelector.h"

#include "LofiIcons.h"
#include "look/QrvxColours.h"
#include "processor/ParametersUIDs.h"

LofiRoutingSelector::LofiRoutingSelector (juce::AudioProcessorValueTreeState& valueTreeState)
    : link (ParametersUIDs().loFiRoutingID, valueTreeState)
{
    // In the order of the parameter's choices.
    icons.add (new LofiChainIcon());
    icons.add (new LofiParallelIcon());
    icons.add (new LofiRingIcon());

    for (auto* icon : icons)
        addAndMakeVisible (icon);

    // The button lies over the icons and takes every click; it is never seen.
    button.setAlpha (0.0f);
    addAndMakeVisible (button);
    button.addListener (this);

    setSize (200, 200);
    refreshFromParameter();
    showOnlyCurrentIcon();
    repaint();
}

LofiRoutingSelector::~LofiRoutingSelector()
{
    button.removeListener (this);
}

void LofiRoutingSelector::paint (juce::Graphics& g)
{
    // Clear, so the panel behind shows through around the icon.
    g.fillAll (qrvx::QrvxColours::dark_grey.withAlpha (0.0f));
}

void LofiRoutingSelector::resized()
{
    for (auto* icon : icons)
        icon->setBounds (getLocalBounds());

    button.setBounds (getLocalBounds());
}

void LofiRoutingSelector::buttonClicked (juce::Button* b)
{
    if (b != &button)
        return;

    currentIndex = currentIndex < icons.size() - 1 ? currentIndex + 1 : 0;
    link.updateIntParameter (currentIndex);
    showOnlyCurrentIcon();
    repaint();
}

void LofiRoutingSelector::refreshFromParameter()
{
    const auto index = link.readIntParameter();
    if (index == currentIndex)
        return;

    currentIndex = index;
    showOnlyCurrentIcon();
    repaint();
}

void LofiRoutingSelector::showOnlyCurrentIcon()
{
    for (int i = 0; i < icons.size(); ++i)
        icons[i]->setVisible (i == currentIndex);
}
