#include "LFOSyncIcon.h"

#include "EmbeddedDrawing.h"
#include "VevareroBinaryData.h"
#include "look/QrvxColours.h"

LFOSyncIcon::LFOSyncIcon (juce::AudioProcessorValueTreeState& valueTreeState, const juce::String& syncParameterID)
    : link (syncParameterID, valueTreeState),
      offDrawing (EmbeddedDrawing::load (VevareroBinaryData::sync_clock_svg, VevareroBinaryData::sync_clock_svgSize)),
      onDrawing (EmbeddedDrawing::loadTinted (VevareroBinaryData::sync_clock_svg, VevareroBinaryData::sync_clock_svgSize,
                                              qrvx::QrvxColours::light_grey(), qrvx::QrvxColours::yellow()))
{
    addAndMakeVisible (button);
    button.setAlpha (0.0f);
    button.addListener (this);

    refreshFromParameter();
    repaint();
}

LFOSyncIcon::~LFOSyncIcon()
{
    button.removeListener (this);
}

void LFOSyncIcon::paint (juce::Graphics& g)
{
    if (auto& drawing = isSynced ? onDrawing : offDrawing)
        drawing->drawWithin (g, getLocalBounds().toFloat(), juce::RectanglePlacement::centred, 1.0f);
}

void LFOSyncIcon::resized()
{
    button.setBounds (getLocalBounds());
}

void LFOSyncIcon::buttonClicked (juce::Button* b)
{
    if (b != &button)
        return;

    isSynced = ! isSynced;
    link.writeValue (isSynced ? 1.0f : 0.0f);
    repaint();
}

void LFOSyncIcon::refreshFromParameter()
{
    if (link.parameter == nullptr)
        return;

    const auto on = link.parameter->getValue() > 0.5f;
    if (on == isSynced)
        return;

    isSynced = on;
    repaint();
}
