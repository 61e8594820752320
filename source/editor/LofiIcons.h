#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** Two stacked boxes joined in series. */
class LofiChainIcon final : public juce::Component
{
public:
    LofiChainIcon();
    ~LofiChainIcon() override;

    void paint (juce::Graphics& g) override;
    void resized() override {}

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (LofiChainIcon)
};

/** Two stacked boxes whose outputs meet in a common bar. */
class LofiParallelIcon final : public juce::Component
{
public:
    LofiParallelIcon();
    ~LofiParallelIcon() override;

    void paint (juce::Graphics& g) override;
    void resized() override {}

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (LofiParallelIcon)
};

/** Two stacked boxes with a ring through both. */
class LofiRingIcon final : public juce::Component
{
public:
    LofiRingIcon();
    ~LofiRingIcon() override;

    void paint (juce::Graphics& g) override;
    void resized() override {}

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (LofiRingIcon)
};
