#include "WaveformSelector.h"

#include "EmbeddedDrawing.h"
#include "VevareroBinaryData.h"
#include "look/QrvxColours.h"

#include <array>

namespace
{
    struct Glyph
    {
        const char* svg;
        int size;
    };

    // In the order of the waveform parameter's choices. Built when asked rather than as a table
    // filled while the program loads: the drawings' pointers are variables of the binary-data
    // files, and nothing orders their initialisation before this file's.
    std::array<Glyph, WaveformSelector::numWaveforms> glyphs()
    {
        return { {
            { VevareroBinaryData::waveform_sine_svg, VevareroBinaryData::waveform_sine_svgSize },
            { VevareroBinaryData::waveform_square_svg, VevareroBinaryData::waveform_square_svgSize },
            { VevareroBinaryData::waveform_saw_up_svg, VevareroBinaryData::waveform_saw_up_svgSize },
            { VevareroBinaryData::waveform_saw_down_svg, VevareroBinaryData::waveform_saw_down_svgSize },
            { VevareroBinaryData::waveform_tri_svg, VevareroBinaryData::waveform_tri_svgSize },
            { VevareroBinaryData::waveform_rnd_svg, VevareroBinaryData::waveform_rnd_svgSize },
            { VevareroBinaryData::waveform_smooth_rnd_svg, VevareroBinaryData::waveform_smooth_rnd_svgSize },
        } };
    }

    // Left edges of the glyphs as fractions of the row's width. The last glyph stands a little
    // to the right of the even spacing; its button does not move with it.
    constexpr float glyphLeft[WaveformSelector::numWaveforms] { 0.02f, 0.16f, 0.30f, 0.44f, 0.58f, 0.72f, 0.87f };
    constexpr float glyphWidth = 0.1f;
    constexpr float buttonWidth = 0.14f;

    const juce::Colour idleGlyphColour { 0xff474747 };
    const juce::Colour rowBackground = qrvx::QrvxColours::yellow().withAlpha (static_cast<juce::uint8> (0x20));
}

WaveformSelector::WaveformSelector (juce::AudioProcessorValueTreeState& valueTreeState, const juce::String& waveParameterID)
    : link (waveParameterID, valueTreeState)
{
    const auto drawings = glyphs();

    for (auto& glyph : drawings)
        idleIcons.add (EmbeddedDrawing::loadTinted (glyph.svg, glyph.size, juce::Colours::white, idleGlyphColour).release());

    for (auto& glyph : drawings)
    {
        auto* button = buttons.add (new juce::TextButton());
        addAndMakeVisible (button);
        button->setAlpha (0.0f);
        button->addListener (this);

        // Kept as children so they share the selector's lifetime in the hierarchy, but only ever
        // painted by the selector itself.
        auto* active = activeIcons.add (EmbeddedDrawing::loadTinted (glyph.svg, glyph.size, juce::Colours::white,
                                                                      qrvx::QrvxColours::yellow()).release());
        if (active != nullptr)
            addChildComponent (active);
    }

    setSize (600, 60);
    refreshFromParameter();
    repaint();
}

WaveformSelector::~WaveformSelector()
{
    for (auto* button : buttons)
        button->removeListener (this);

    idleIcons.clear();
    activeIcons.clear();
    buttons.clear();
}

juce::Rectangle<float> WaveformSelector::getGlyphArea (int waveIndex) const
{
    const auto w = static_cast<float> (getWidth());
    const auto h = static_cast<float> (getHeight());
    const auto left = glyphLeft[juce::jlimit (0, numWaveforms - 1, waveIndex)];

    return { static_cast<float> (juce::roundToInt (left * w)), static_cast<float> (juce::roundToInt (0.25f * h)),
             static_cast<float> (juce::roundToInt (glyphWidth * w)), static_cast<float> (juce::roundToInt (0.5f * h)) };
}

void WaveformSelector::paint (juce::Graphics& g)
{
    g.setColour (rowBackground);
    g.fillRect (getLocalBounds());

    for (int i = 0; i < idleIcons.size(); ++i)
        if (auto* glyph = idleIcons[i])
            glyph->drawWithin (g, getGlyphArea (i), juce::RectanglePlacement::stretchToFit, 1.0f);

    g.setColour (qrvx::QrvxColours::yellow());
    g.fillRect (0, getHeight() - 1, getWidth(), 1);

    if (juce::isPositiveAndBelow (currentIndex, numWaveforms))
        if (auto* glyph = activeIcons[currentIndex])
            glyph->drawWithin (g, getGlyphArea (currentIndex), juce::RectanglePlacement::stretchToFit, 1.0f);
}

void WaveformSelector::resized()
{
    for (int i = 0; i < buttons.size(); ++i)
        buttons[i]->setBoundsRelative (buttonWidth * static_cast<float> (i), 0.0f, buttonWidth, 1.0f);
}

void WaveformSelector::buttonClicked (juce::Button* b)
{
    const auto clicked = buttons.indexOf (dynamic_cast<juce::TextButton*> (b));
    if (clicked >= 0)
        currentIndex = clicked;

    // Written on every click, also when the waveform was already selected.
    link.updateIntParameter (currentIndex);
    repaint();
}

void WaveformSelector::refreshFromParameter()
{
    const auto index = link.readIntParameter();
    if (index == currentIndex)
        return;

    currentIndex = index;
    repaint();
}
