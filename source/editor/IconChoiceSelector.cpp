#include "IconChoiceSelector.h"

IconChoiceSelector::IconChoiceSelector (const juce::String& parameterID, juce::AudioProcessorValueTreeState& valueTreeState)
    : link (parameterID, valueTreeState)
{
}

IconChoiceSelector::~IconChoiceSelector() = default;

void IconChoiceSelector::resized()
{
    for (auto* icon : icons)
        icon->setBounds (getLocalBounds());
}

void IconChoiceSelector::refreshFromParameter()
{
    const auto index = link.readIntParameter();
    if (index == currentIndex)
        return;

    currentIndex = index;
    showOnlyCurrentIcon();
    repaint();
}

void IconChoiceSelector::showParameterValue()
{
    refreshFromParameter();
    showOnlyCurrentIcon();
    repaint();
}

void IconChoiceSelector::selectNextChoice()
{
    currentIndex = currentIndex < icons.size() - 1 ? currentIndex + 1 : 0;
    link.updateIntParameter (currentIndex);
    showOnlyCurrentIcon();
    repaint();
}

void IconChoiceSelector::showOnlyCurrentIcon()
{
    for (int i = 0; i < icons.size(); ++i)
        icons[i]->setVisible (i == currentIndex);
}
