#pragma once

#include "ParameterLink.h"

#include <juce_gui_basics/juce_gui_basics.h>

class VevareroAudioProcessor;

/** The socket of a modulatable control: dropping an output socket on it routes that source to the
    control, a right click unplugs it. The routing lives only in the "_Mod_Source" parameter.
*/
class InputPatchPoint final : public juce::Component,
                              public juce::DragAndDropTarget
{
public:
    InputPatchPoint (int modulationTarget, VevareroAudioProcessor& processor);
    ~InputPatchPoint() override;

    void mouseUp (const juce::MouseEvent& e) override;
    void paint (juce::Graphics& g) override;
    void resized() override {}

    bool isInterestedInDragSource (const SourceDetails& details) override;
    void itemDragEnter (const SourceDetails& details) override;
    void itemDragExit (const SourceDetails& details) override;
    void itemDropped (const SourceDetails& details) override;

    int getModulationTarget() const noexcept { return modulationTarget; }

    /** The target's "_Mod_Source" parameter and its range, which the editor reads to draw cables. */
    const ParameterLink& getLink() const noexcept { return link; }

    bool getIsHovered() const noexcept { return isHovered; }

private:
    int modulationTarget;
    VevareroAudioProcessor& processor;
    ParameterLink link;
    bool isHovered = false;
    std::unique_ptr<juce::Drawable> drawing;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (InputPatchPoint)
};
