#include "LofiRoutingSelector.h"

#include "LofiIcons.h"
#include "look/QrvxColours.h"
#include "processor/ParametersUIDs.h"

LofiRoutingSelector::LofiRoutingSelector (juce::AudioProcessorValueTreeState& valueTreeState)
    : IconChoiceSelector (ParametersUIDs().loFiRoutingID, valueTreeState)
{
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
    showParameterValue();
}

LofiRoutingSelector::~LofiRoutingSelector()
{
    button.removeListener (this);
}

void LofiRoutingSelector::paint (juce::Graphics& g)
{
    // Clear, so the panel behind shows through around the icon.
    g.fillAll (qrvx::QrvxColours::dark_grey().withAlpha (0.0f));
}

void LofiRoutingSelector::resized()
{
    IconChoiceSelector::resized();
    button.setBounds (getLocalBounds());
}

void LofiRoutingSelector::buttonClicked (juce::Button* b)
{
    if (b == &button)
        selectNextChoice();
}
