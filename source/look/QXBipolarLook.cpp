#include "QXBipolarLook.h"

namespace qrvx
{

namespace
{
    float proportionOf (juce::Slider& slider)
    {
        return (float) slider.valueToProportionOfLength (slider.getValue());
    }
} // namespace

QXBipolarLook::QXBipolarLook (float const& scale)
    : QXLook (scale),
      centreAngle (juce::MathConstants<float>::twoPi)
{
}

QXBipolarLook::~QXBipolarLook() = default;

void QXBipolarLook::drawLinearSliderBackground (juce::Graphics& g, int x, int y, int width, int height,
                                                float /*sliderPos*/, float /*minSliderPos*/, float /*maxSliderPos*/,
                                                juce::Slider::SliderStyle style, juce::Slider& slider)
{
    if (style != juce::Slider::LinearHorizontal)
        return;

    const juce::Rectangle<int> area (x, y, width, height);
    fillTrack (g, area, slider);

    const auto innerHeight = juce::jmax (0, height - 4);
    g.setColour (slider.findColour (juce::Slider::thumbColourId));

    g.fillRect (x + (width - 2) / 2, y + 2, 2, innerHeight);

    const auto p = proportionOf (slider);
    const auto half = width / 2;

    if (p >= 0.5f)
    {
        const auto length = (int) ((float) half * 2.0f * (p - 0.5f));
        g.fillRect (x + 2 + half, y + 2, juce::jmax (0, length - 4), innerHeight);
    }
    else
    {
        const auto length = (int) ((float) half * (1.0f - 2.0f * p));
        g.fillRect (x + 2 + half - length, y + 2, juce::jmax (0, length - 4), innerHeight);
    }

    drawGlossAndOutline (g, area, false);
}

void QXBipolarLook::drawRotarySlider (juce::Graphics& g, int x, int y, int width, int height,
                                      float sliderPos, float rotaryStartAngle, float rotaryEndAngle,
                                      juce::Slider& slider)
{
    const auto angle = rotaryStartAngle + sliderPos * (rotaryEndAngle - rotaryStartAngle);

    if (proportionOf (slider) >= 0.5f)
        drawKnob (g, x, y, width, height, angle, centreAngle, angle, slider);
    else
        drawKnob (g, x, y, width, height, angle, angle, centreAngle, slider);
}

} // namespace qrvx
