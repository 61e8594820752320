#include "LofiIcons.h"

#include "look/QrvxColours.h"

namespace
{
    struct Fractions
    {
        float x, y, w, h;
    };

    juce::Rectangle<int> scaled (const Fractions& f, juce::Component& icon)
    {
        const auto width = static_cast<float> (icon.getWidth());
        const auto height = static_cast<float> (icon.getHeight());
        return { juce::roundToInt (f.x * width), juce::roundToInt (f.y * height),
                 juce::roundToInt (f.w * width), juce::roundToInt (f.h * height) };
    }

    template <size_t N>
    void fillBoxes (juce::Graphics& g, juce::Component& icon, const Fractions (&boxes)[N])
    {
        for (auto& box : boxes)
        {
            g.setColour (qrvx::QrvxColours::green());
            g.fillRect (scaled (box, icon));
        }
    }

    // The two stages every routing shows, one above the other.
    constexpr Fractions upperBox { 0.35f, 0.1f, 0.3f, 0.3f };
    constexpr Fractions lowerBox { 0.35f, 0.6f, 0.3f, 0.3f };
    constexpr Fractions outputLead { 0.65f, 0.72f, 0.2f, 0.06f };
}

LofiChainIcon::LofiChainIcon() { setSize (400, 400); }
LofiChainIcon::~LofiChainIcon() = default;

void LofiChainIcon::paint (juce::Graphics& g)
{
    fillBoxes (g, *this, { upperBox, lowerBox, { 0.47f, 0.4f, 0.06f, 0.2f }, outputLead });
}

LofiParallelIcon::LofiParallelIcon() { setSize (400, 400); }
LofiParallelIcon::~LofiParallelIcon() = default;

void LofiParallelIcon::paint (juce::Graphics& g)
{
    fillBoxes (g, *this, { upperBox, lowerBox, { 0.8f, 0.22f, 0.06f, 0.3f }, outputLead, { 0.65f, 0.22f, 0.2f, 0.06f },
                           { 0.8f, 0.48f, 0.06f, 0.3f }, { 0.8f, 0.47f, 0.2f, 0.06f } });
}

LofiRingIcon::LofiRingIcon() { setSize (200, 200); }
LofiRingIcon::~LofiRingIcon() = default;

void LofiRingIcon::paint (juce::Graphics& g)
{
    fillBoxes (g, *this, { upperBox, lowerBox });

    g.setColour (qrvx::QrvxColours::green());
    g.drawEllipse (scaled ({ 0.25f, 0.25f, 0.5f, 0.5f }, *this).toFloat(), 2.0f);
}
