#pragma once

#include "ParameterLink.h"

#include <juce_gui_basics/juce_gui_basics.h>

/** A row of the seven LFO waveforms; the selected one is drawn in yellow, the rest in grey. Each
    waveform sits under an invisible button of its own.
*/
class WaveformSelector final : public juce::Component,
                               public juce::Button::Listener
{
public:
    WaveformSelector (juce::AudioProcessorValueTreeState& valueTreeState, const juce::String& waveParameterID);
    ~WaveformSelector() override;

    void paint (juce::Graphics& g) override;
    void resized() override;
    void buttonClicked (juce::Button* b) override;

    /** Shows the parameter's current waveform; writes nothing. Called by the editor's timer. */
    void refreshFromParameter();

    int getCurrentIndex() const noexcept { return currentIndex; }

    /** The glyph of a waveform, in the selector's own coordinates. */
    juce::Rectangle<float> getGlyphArea (int waveIndex) const;

    static constexpr int numWaveforms = 7;

private:
    int currentIndex = 0;
    ParameterLink link;
    juce::OwnedArray<juce::TextButton> buttons;
    juce::OwnedArray<juce::Drawable> activeIcons;
    juce::OwnedArray<juce::Drawable> idleIcons;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (WaveformSelector)
};
