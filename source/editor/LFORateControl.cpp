#include "LFORateControl.h"

#include "UIControlFactory.h"
#include "look/QrvxColours.h"

namespace
{
    // The longest text a parameter may return for the readout.
    constexpr int maximumTextLength = 512;
} // namespace

LFORateControl::LFORateControl (juce::AudioProcessorValueTreeState& state,
                                const juce::String& rateParameterID,
                                const juce::String& syncedRateParameterID)
    : rateKnob (qrvx::UIControlFactory::createRegularKnob (qrvx::QrvxColours::yellow())),
      syncedRateKnob (qrvx::UIControlFactory::createRegularKnob (qrvx::QrvxColours::yellow())),
      valueLabel (std::make_unique<juce::Label>()),
      rateAttachment (state, rateParameterID, *rateKnob),
      syncedRateAttachment (state, syncedRateParameterID, *syncedRateKnob),
      rateParameter (state.getParameter (rateParameterID)),
      syncedRateParameter (state.getParameter (syncedRateParameterID))
{
    valueLabel->setEditable (false, false);
    valueLabel->setJustificationType (juce::Justification::centred);
    valueLabel->setColour (juce::Label::textColourId, qrvx::QrvxColours::yellow());
    valueLabel->setColour (juce::Label::backgroundColourId, qrvx::QrvxColours::dark_grey());
    valueLabel->setFont (juce::Font (12.0f));

    addAndMakeVisible (*valueLabel);

    // The knobs are only there to be dragged: the readout is what the user sees of them. Both
    // stay hidden until the first check decides which rate is in use.
    for (auto* knob : { rateKnob.get(), syncedRateKnob.get() })
    {
        addChildComponent (*knob);
        knob->setAlpha (0.0f);
    }

    setSize (400, 100);
}

LFORateControl::~LFORateControl() = default;

void LFORateControl::paint (juce::Graphics&) {}

void LFORateControl::resized()
{
    for (auto* child : { static_cast<juce::Component*> (valueLabel.get()),
                         static_cast<juce::Component*> (rateKnob.get()),
                         static_cast<juce::Component*> (syncedRateKnob.get()) })
        child->setBounds (getLocalBounds());
}

void LFORateControl::checkParameterStatus (bool synced)
{
    if (auto* shown = synced ? syncedRateParameter : rateParameter)
        valueLabel->setText (shown->getText (shown->getValue(), maximumTextLength), juce::dontSendNotification);

    rateKnob->setVisible (! synced);
    syncedRateKnob->setVisible (synced);
}
