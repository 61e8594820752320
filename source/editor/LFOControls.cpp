#include "LFOControls.h"

namespace
{
    constexpr int syncIconSize = 20;
    constexpr int rateWidth = 60;
    constexpr int rateHeight = 20;
    constexpr int waveformMargin = 10;
} // namespace

LFOControls::LFOControls (VevareroAudioProcessor& processor,
                          const juce::String& waveParameterID,
                          const juce::String& syncParameterID,
                          const juce::String& rateParameterID,
                          const juce::String& syncedRateParameterID)
    : waveformSelector (processor.valueTreeState, waveParameterID),
      syncIcon (processor.valueTreeState, syncParameterID),
      rateControl (processor.valueTreeState, rateParameterID, syncedRateParameterID)
{
}

LFOControls::~LFOControls() = default;

void LFOControls::position (juce::Rectangle<int>& area)
{
    auto top = area.removeFromTop (area.getHeight() / 2);
    const auto left = top.removeFromLeft (top.getWidth() / 2);

    syncIcon.setBounds (left.withSizeKeepingCentre (syncIconSize, syncIconSize));
    rateControl.setBounds (top.withSizeKeepingCentre (rateWidth, rateHeight));
    waveformSelector.setBounds (area.reduced (waveformMargin));
}
