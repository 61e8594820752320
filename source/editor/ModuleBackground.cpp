#include "ModuleBackground.h"

namespace
{
    const juce::Colour frameColour { 0xff303030 };
    const juce::Colour insideColour { 0xff191919 };
    const juce::Colour titleStripColour { 0x26bdbdbd };

    constexpr int frameWidth = 4;
    constexpr int titleHeight = 20;
    constexpr int ruleHeight = 2;
    constexpr int titleIndent = 4;
} // namespace

ModuleBackground::ModuleBackground (const juce::String& title, const juce::Colour& moduleColour)
    : colour (moduleColour)
{
    titleLabel = std::make_unique<juce::Label>();
    addAndMakeVisible (*titleLabel);
    titleLabel->setFont (juce::Font (14.0f));
    titleLabel->setJustificationType (juce::Justification::centredLeft);
    titleLabel->setEditable (false, false);
    titleLabel->setColour (juce::Label::textColourId, juce::Colours::white);
    titleLabel->setText (title.toUpperCase(), juce::dontSendNotification);

    // The editor's layout gives every panel its place; this only keeps a lone panel drawable.
    setSize (600, 400);
}

ModuleBackground::~ModuleBackground() = default;

void ModuleBackground::paint (juce::Graphics& g)
{
    const auto inside = getLocalBounds().reduced (frameWidth);
    auto title = inside.withHeight (titleHeight);

    g.fillAll (frameColour);
    g.setColour (insideColour);
    g.fillRect (inside);
    g.setColour (titleStripColour);
    g.fillRect (title);
    g.setColour (colour);
    g.fillRect (title.withY (title.getBottom()).withHeight (ruleHeight));
}

void ModuleBackground::resized()
{
    titleLabel->setBounds (frameWidth + titleIndent, frameWidth, getWidth() - 2 * (frameWidth + titleIndent), titleHeight);
}
