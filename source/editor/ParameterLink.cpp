#include "ParameterLink.h"

#include "HostQuirks.h"

ParameterLink::ParameterLink (const juce::String& parameterID, juce::AudioProcessorValueTreeState& valueTreeState)
    : parameter (valueTreeState.getParameter (parameterID)),
      range (valueTreeState.getParameterRange (parameterID)),
      isAbletonLive (qrvx::HostQuirks::isAbletonLive())
{
}

void ParameterLink::updateIntParameter (int index)
{
    writeValue (range.convertTo0to1 (static_cast<float> (index)));
}

int ParameterLink::readIntParameter() const
{
    if (parameter == nullptr)
        return 0;

    return juce::roundToInt (range.convertFrom0to1 (parameter->getValue()));
}

void ParameterLink::writeValue (float normalisedValue)
{
    writeValue (parameter, normalisedValue, isAbletonLive);
}

void ParameterLink::writeValue (juce::AudioProcessorParameter* target, float normalisedValue, bool isAbletonLive)
{
    // A socket built for a target the processor does not have holds no parameter.
    if (target == nullptr)
        return;

    if (isAbletonLive)
    {
        target->setValueNotifyingHost (normalisedValue);
        return;
    }

    target->beginChangeGesture();
    target->setValueNotifyingHost (normalisedValue);
    target->endChangeGesture();
}
