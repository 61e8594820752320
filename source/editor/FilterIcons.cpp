#include "FilterIcons.h"

#include "look/QrvxColours.h"

FilterIcon::FilterIcon (const Outline& o)
    : outline (o)
{
    path.setUsingNonZeroWinding (true);
    setSize (400, 200);
}

FilterIcon::~FilterIcon() = default;

void FilterIcon::paint (juce::Graphics& g)
{
    g.setColour (qrvx::QrvxColours::teal().withAlpha (static_cast<juce::uint8> (0x32)));
    g.fillPath (path);
    g.setColour (qrvx::QrvxColours::teal());
    g.strokePath (path, juce::PathStrokeType (2.0f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));
}

void FilterIcon::resized()
{
    const auto w = static_cast<float> (getWidth());
    const auto h = static_cast<float> (getHeight());
    const auto x = [w] (float fraction) { return static_cast<float> (juce::roundToInt (fraction * w)); };
    const auto y = [h] (float fraction) { return static_cast<float> (juce::roundToInt (fraction * h)); };
    const auto* f = outline.curvePoints;

    path.clear();
    path.startNewSubPath (x (f[0]), y (f[1]));

    for (const auto* curve = f + 2; curve < f + 14; curve += 4)
        path.quadraticTo (x (curve[0]), y (curve[1]), x (curve[2]), y (curve[3]));

    if (outline.pixelPointBeforeLast.has_value())
        path.lineTo (*outline.pixelPointBeforeLast);

    path.lineTo (x (outline.lastPoint.x), y (outline.lastPoint.y));
    path.closeSubPath();
}

LPFIcon::LPFIcon()
    : FilterIcon ({ { 0.0f, 0.42f, 0.2f, 0.44f, 0.38f, 0.28f, 0.52f, 0.16f, 0.57f, 0.48f, 0.65f, 0.84f, 0.8f, 1.0f }, { 0.0f, 1.0f }, {} })
{
}

HPFIcon::HPFIcon()
    : FilterIcon ({ { 1.0f, 0.42f, 0.8f, 0.44f, 0.62f, 0.28f, 0.52f, 0.16f, 0.43f, 0.48f, 0.35f, 0.84f, 0.2f, 1.0f }, { 1.0f, 1.0f }, {} })
{
}

BPFIcon::BPFIcon()
    : FilterIcon ({ { 0.2f, 1.0f, 0.35f, 0.84f, 0.44f, 0.48f, 0.5f, 0.16f, 0.56f, 0.48f, 0.65f, 0.84f, 0.8f, 1.0f }, { 0.2f, 1.0f }, {} })
{
}

// The band-stop outline passes through a fixed pixel point whatever the icon's size: at the size
// the editor uses it lies below and to the right of the icon, so the outline runs off the right
// edge and comes back in at the lower left corner, which is how the icon has always looked.
BSFIcon::BSFIcon()
    : FilterIcon ({ { 0.0f, 0.42f, 0.35f, 0.35f, 0.35f, 0.42f, 0.5f, 1.0f, 0.65f, 0.42f, 0.65f, 0.35f, 1.0f, 0.42f },
                    { 0.0f, 1.0f },
                    juce::Point<float> { 399.0f, 202.0f } })
{
}
