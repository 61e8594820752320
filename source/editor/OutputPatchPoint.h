#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** The socket a modulation cable starts from: dragging it offers its modulation source (1 LFO 1,
    2 LFO 2, 3 the LFO mix) to the input sockets.
*/
class OutputPatchPoint final : public juce::Component
{
public:
    explicit OutputPatchPoint (int sourceId);
    ~OutputPatchPoint() override;

    void mouseDrag (const juce::MouseEvent& e) override;
    void paint (juce::Graphics& g) override;
    void resized() override {}

    int getSourceId() const noexcept { return sourceId; }

private:
    int sourceId;
    std::unique_ptr<juce::Drawable> drawing;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (OutputPatchPoint)
};
