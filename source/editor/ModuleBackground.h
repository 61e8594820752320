#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

/** The panel behind one module of the editor: a framed dark field with the module's title on a
    faint strip, underlined in the module's colour.
*/
class ModuleBackground final : public juce::Component
{
public:
    ModuleBackground (const juce::String& title, const juce::Colour& colour);
    ~ModuleBackground() override;

    void paint (juce::Graphics&) override;
    void resized() override;

    juce::Colour colour;
    std::unique_ptr<juce::Label> titleLabel;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ModuleBackground)
};
