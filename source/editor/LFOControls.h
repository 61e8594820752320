#pragma once

#include "LFORateControl.h"
#include "LFOSyncIcon.h"
#include "WaveformSelector.h"
#include "processor/PluginProcessor.h"

/** One LFO's controls: its waveform row, its sync switch and its rate readout. The editor adds
    the three to itself and has them placed here.
*/
class LFOControls final
{
public:
    LFOControls (VevareroAudioProcessor& processor,
                 const juce::String& waveParameterID,
                 const juce::String& syncParameterID,
                 const juce::String& rateParameterID,
                 const juce::String& syncedRateParameterID);
    ~LFOControls();

    /** Puts the sync switch and the rate readout side by side in the top half of the area and the
        waveform row in the bottom half; the area is left as that bottom half.
    */
    void position (juce::Rectangle<int>& area);

    WaveformSelector waveformSelector;
    LFOSyncIcon syncIcon;
    LFORateControl rateControl;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (LFOControls)
};
