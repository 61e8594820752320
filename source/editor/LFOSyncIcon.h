#pragma once

#include "ParameterLink.h"

#include <juce_gui_basics/juce_gui_basics.h>

/** A clock that turns yellow while its LFO follows the host's tempo; a click toggles it. */
class LFOSyncIcon final : public juce::Component,
                          public juce::Button::Listener
{
public:
    LFOSyncIcon (juce::AudioProcessorValueTreeState& valueTreeState, const juce::String& syncParameterID);
    ~LFOSyncIcon() override;

    void paint (juce::Graphics& g) override;
    void resized() override;
    void buttonClicked (juce::Button* b) override;

    /** Shows the parameter's current state; writes nothing. Called by the editor's timer. */
    void refreshFromParameter();

    /** The state shown, which tells the LFO's rate control which rate to show. */
    bool getIsSynced() const noexcept { return isSynced; }

    /** The transparent button that takes the clicks. */
    juce::Button& getButton() noexcept { return button; }

private:
    ParameterLink link;
    bool isSynced = false;
    juce::TextButton button;
    std::unique_ptr<juce::Drawable> offDrawing;
    std::unique_ptr<juce::Drawable> onDrawing;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (LFOSyncIcon)
};
