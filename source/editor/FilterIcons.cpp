#include "FilterIcons.h"

#include "look/QrvxColours.h"

namespace
{
    float scaled (float fraction, float size) { return static_cast<float> (juce::roundToInt (fraction * size)); }

    // The band-stop outline closes through this point whatever the icon's size: at the size the
    // editor uses it lies below and to the right of the icon, so the outline runs off the right
    // edge and comes back in at the lower left corner, which is how the icon has always looked.
    const juce::Point<float> bandStopReturnPoint { 399.0f, 202.0f };
}

FilterIcon::FilterIcon()
{
    path.setUsingNonZeroWinding (true);
}

FilterIcon::~FilterIcon() = default;

void FilterIcon::paint (juce::Graphics& g)
{
    g.setColour (qrvx::QrvxColours::teal.withAlpha (static_cast<juce::uint8> (0x32)));
    g.fillPath (path);
    g.setColour (qrvx::QrvxColours::teal);
    g.strokePath (path, juce::PathStrokeType (2.0f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));
}

void FilterIcon::resized()
{
    path.clear();
    buildPath (static_cast<float> (getWidth()), static_cast<float> (getHeight()));
}

void FilterIcon::startWithCurves (float width, float height, const float (&f)[14])
{
    path.startNewSubPath (scaled (f[0], width), scaled (f[1], height));

    for (int curve = 0; curve < 3; ++curve)
    {
        const auto* p = f + 2 + curve * 4;
        path.quadraticTo (scaled (p[0], width), scaled (p[1], height), scaled (p[2], width), scaled (p[3], height));
    }
}

void LPFIcon::buildPath (float w, float h)
{
    startWithCurves (w, h, { 0.0f, 0.42f, 0.2f, 0.44f, 0.38f, 0.28f, 0.52f, 0.16f, 0.57f, 0.48f, 0.65f, 0.84f, 0.8f, 1.0f });
    path.lineTo (scaled (0.0f, w), scaled (1.0f, h));
    path.closeSubPath();
}

void HPFIcon::buildPath (float w, float h)
{
    startWithCurves (w, h, { 1.0f, 0.42f, 0.8f, 0.44f, 0.62f, 0.28f, 0.52f, 0.16f, 0.43f, 0.48f, 0.35f, 0.84f, 0.2f, 1.0f });
    path.lineTo (scaled (1.0f, w), scaled (1.0f, h));
    path.closeSubPath();
}

void BPFIcon::buildPath (float w, float h)
{
    startWithCurves (w, h, { 0.2f, 1.0f, 0.35f, 0.84f, 0.44f, 0.48f, 0.5f, 0.16f, 0.56f, 0.48f, 0.65f, 0.84f, 0.8f, 1.0f });
    path.lineTo (scaled (0.2f, w), scaled (1.0f, h));
    path.closeSubPath();
}

void BSFIcon::buildPath (float w, float h)
{
    startWithCurves (w, h, { 0.0f, 0.42f, 0.35f, 0.35f, 0.35f, 0.42f, 0.5f, 1.0f, 0.65f, 0.42f, 0.65f, 0.35f, 1.0f, 0.42f });
    path.lineTo (bandStopReturnPoint);
    path.lineTo (scaled (0.0f, w), scaled (1.0f, h));
    path.closeSubPath();
}
