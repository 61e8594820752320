#include "QrvxKnob.h"

#include "look/QrvxColours.h"

namespace qrvx
{

namespace
{
    // The slider's default rotary sweep, 1.2 pi .. 2.8 pi clockwise from 12 o'clock.
    constexpr float sweepStart = 1.2f * juce::MathConstants<float>::pi;
    constexpr float sweepLength = 1.6f * juce::MathConstants<float>::pi;

    // Amounts this small would only draw a sliver that reads as a glitch.
    constexpr float smallestVisibleAmount = 0.0001f;
} // namespace

QrvxKnob::QrvxKnob()
{
    // Knob faces are gradient-heavy: draw them again only when this knob itself changes.
    setBufferedToImage (true);
}

QrvxKnob::~QrvxKnob() = default;

void QrvxKnob::mouseDown (const juce::MouseEvent& e)
{
    if (e.mods.isAltDown() && mappingLabel.isNotEmpty())
    {
        menu();
        return;
    }

    juce::Slider::mouseDown (e);
}

void QrvxKnob::paint (juce::Graphics& g)
{
    if (modulationAmount > smallestVisibleAmount && getSliderStyle() == juce::Slider::RotaryVerticalDrag)
        paintModulationWedge (g);

    juce::Slider::paint (g);
}

void QrvxKnob::paintModulationWedge (juce::Graphics& g)
{
    const auto cx = (float) getWidth() * 0.5f;
    const auto cy = (float) (getHeight() - getTextBoxHeight()) * 0.5f;
    const auto r = juce::jmin (cx, cy);

    const auto p = (float) valueToProportionOfLength (getValue());
    const auto amount = squareAmount ? modulationAmount * modulationAmount : modulationAmount;

    const auto start = p * sweepLength + sweepStart;
    const auto end = (p + (1.0f - p) * amount) * sweepLength + sweepStart;

    juce::Path wedge;
    wedge.addPieSegment (cx - r, cy - r, 2.0f * r, 2.0f * r, start, end, 0.0f);

    g.setColour (QrvxColours::lime().withAlpha ((juce::uint8) (isEnabled() ? 0xcc : 0x33)));
    g.fillPath (wedge);
}

} // namespace qrvx
