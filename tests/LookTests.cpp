#include "look/QXBipolarLook.h"
#include "look/QXLook.h"
#include "look/QrvxColours.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace
{
    using qrvx::QXBipolarLook;
    using qrvx::QXLook;

    constexpr float pi = juce::MathConstants<float>::pi;

    juce::Image makeImage (int width, int height)
    {
        return { juce::Image::ARGB, width, height, true, juce::SoftwareImageType() };
    }

    /** Makes a look the process-wide default for one test, as the editor does, with the typeface
        cache emptied on both sides so that fonts resolve through it and nothing outlives it.
    */
    struct ScopedDefaultLook
    {
        explicit ScopedDefaultLook (juce::LookAndFeel& look)
        {
            juce::Typeface::clearTypefaceCache();
            juce::LookAndFeel::setDefaultLookAndFeel (&look);
        }

        ~ScopedDefaultLook()
        {
            juce::LookAndFeel::setDefaultLookAndFeel (nullptr);
            juce::Typeface::clearTypefaceCache();
        }
    };

    /** A rotary knob as the control factory makes them, 60 x 60, optionally inside a disabled panel. */
    juce::Image renderKnob (juce::LookAndFeel& look, double value, juce::Colour fill, bool enabled)
    {
        juce::Component panel;
        juce::Slider knob (juce::Slider::RotaryVerticalDrag, juce::Slider::NoTextBox);
        knob.setLookAndFeel (&look);
        knob.setRange (0.0, 1.0);
        knob.setValue (value, juce::dontSendNotification);
        knob.setColour (juce::Slider::rotarySliderFillColourId, fill);
        knob.setBounds (0, 0, 60, 60);
        panel.addAndMakeVisible (knob);
        panel.setEnabled (enabled);

        auto image = makeImage (60, 60);
        {
            juce::Graphics g (image);
            knob.paintEntireComponent (g, false);
        }

        knob.setLookAndFeel (nullptr);
        return image;
    }

    /** Renders twice, with a white and a black value colour: per pixel, the difference of the two
        is the coverage of that colour there (0 to 255), whatever lies underneath.
    */
    template <typename Render>
    juce::Image valueCoverage (Render&& render)
    {
        const auto white = render (juce::Colours::white);
        const auto black = render (juce::Colours::black);
        auto coverage = makeImage (white.getWidth(), white.getHeight());

        for (int y = 0; y < white.getHeight(); ++y)
            for (int x = 0; x < white.getWidth(); ++x)
            {
                const auto difference = juce::jlimit (0, 255, (int) white.getPixelAt (x, y).getGreen()
                                                                  - (int) black.getPixelAt (x, y).getGreen());
                coverage.setPixelAt (x, y, juce::Colour ((juce::uint8) difference, (juce::uint8) difference,
                                                         (juce::uint8) difference, (juce::uint8) 255));
            }

        return coverage;
    }

    int coverageAt (const juce::Image& coverage, int x, int y)
    {
        return coverage.getPixelAt (x, y).getGreen();
    }

    /** Coverage at a distance from the 60 x 60 knob's centre along a ray (clockwise from 12 o'clock). */
    int coverageOnRay (const juce::Image& coverage, float angle, float distance)
    {
        return coverageAt (coverage, (int) std::floor (30.0f + distance * std::sin (angle)),
                           (int) std::floor (30.0f - distance * std::cos (angle)));
    }

    struct Span
    {
        int start, width;
        bool operator== (const Span& other) const { return start == other.start && width == other.width; }
    };

    std::ostream& operator<< (std::ostream& os, const Span& run)
    {
        return os << "[" << run.start << " +" << run.width << "]";
    }

    /** The horizontal spans of a row whose pixels pass a test. */
    template <typename Test>
    std::vector<Span> spansWhere (const juce::Image& image, int row, Test&& test)
    {
        std::vector<Span> spans;

        for (int x = 0; x < image.getWidth(); ++x)
        {
            if (! test (image.getPixelAt (x, row)))
                continue;

            if (! spans.empty() && spans.back().start + spans.back().width == x)
                ++spans.back().width;
            else
                spans.push_back ({ x, 1 });
        }

        return spans;
    }

    /** The spans of a row that are (mostly) covered by the value colour. */
    std::vector<Span> coveredSpans (const juce::Image& coverage, int row)
    {
        return spansWhere (coverage, row, [] (juce::Colour c) { return c.getGreen() >= 128; });
    }

    void expectColour (juce::Colour actual, juce::Colour expected, int tolerance, const juce::String& where)
    {
        const auto near = [tolerance] (juce::uint8 a, juce::uint8 b) { return std::abs ((int) a - (int) b) <= tolerance; };

        EXPECT_TRUE (near (actual.getAlpha(), expected.getAlpha()) && near (actual.getRed(), expected.getRed())
                     && near (actual.getGreen(), expected.getGreen()) && near (actual.getBlue(), expected.getBlue()))
            << where << ": got " << actual.toDisplayString (true) << ", expected " << expected.toDisplayString (true);
    }

    const juce::Colour darkGrey { 0xff272727 };
    const juce::Colour grey { 0xff303030 };
    const juce::Colour lightGrey { 0xffbdbdbd };

    class LookTest : public ::testing::Test
    {
    protected:
        float scale = 1.0f;
        QXLook look { scale };
        QXBipolarLook bipolar { scale };
    };
} // namespace

//==============================================================================
TEST_F (LookTest, KnobLayersSitAtTheirRadii)
{
    // Value at the maximum: the wedge covers 9 o'clock, the pointer points to about 5 o'clock.
    const auto full = valueCoverage ([this] (juce::Colour c) { return renderKnob (look, 1.0, c, true); });
    const auto fullBlack = renderKnob (look, 1.0, juce::Colours::black, true);

    // Along row 30 leftwards from the centre; column c spans distances 29 - c .. 30 - c.
    enum class Layer { outside, black, value, face };
    struct RowProbe { int column; Layer layer; const char* what; };
    const RowProbe rowProbes[] = {
        {  0, Layer::outside, "outside the knob (beyond 28)" },
        {  3, Layer::black,   "black rim (25.2 .. 28)" },
        {  5, Layer::value,   "value wedge (inside 25.2)" },
        { 10, Layer::black,   "face outline (19.6, 2 px)" },
        { 12, Layer::face,    "face (inside 18.6)" },
        { 22, Layer::face,    "cap (inside 8.4)" },
    };

    for (const auto& probe : rowProbes)
    {
        SCOPED_TRACE (probe.what);
        EXPECT_NEAR (coverageAt (full, probe.column, 30), probe.layer == Layer::value ? 204 : 0, 3);

        const auto pixel = fullBlack.getPixelAt (probe.column, 30);
        EXPECT_NEAR (pixel.getAlpha(), probe.layer == Layer::outside ? 0 : 255, 3);

        if (probe.layer == Layer::black)
        {
            expectColour (pixel, juce::Colours::black, 2, probe.what);
        }
        else if (probe.layer == Layer::face)
        {
            EXPECT_GE (pixel.getRed(), 0x27);
            EXPECT_LE (pixel.getRed(), 0x3f);
        }
    }

    // Value in the middle: the pointer stands straight up, 2.8 thick, from under the cap to the face edge.
    const auto middle = valueCoverage ([this] (juce::Colour c) { return renderKnob (look, 0.5, c, true); });

    struct PointerProbe { int column, row, coverage; const char* where; };
    const PointerProbe pointerProbes[] = {
        { 29, 22,   0, "under the cap (7 .. 8 from the centre)" },
        { 29, 20, 255, "just outside the cap (9 .. 10)" },
        { 30, 12, 255, "near the tip (17 .. 18)" },
        { 29, 10,   0, "on the face outline (19 .. 20)" },
        { 27, 15,   0, "left of the pointer" },
        { 32, 15,   0, "right of the pointer" },
    };

    for (const auto& probe : pointerProbes)
        EXPECT_NEAR (coverageAt (middle, probe.column, probe.row), probe.coverage, 3) << probe.where;
}

TEST_F (LookTest, DisabledKnobDrawsWedgeAndPointerFainter)
{
    for (const auto enabled : { true, false })
    {
        SCOPED_TRACE (enabled ? "enabled" : "disabled panel");
        const auto coverage = valueCoverage ([&] (juce::Colour c) { return renderKnob (look, 0.5, c, enabled); });

        EXPECT_NEAR (coverageAt (coverage, 5, 30), enabled ? 204 : 102, 3);  // wedge at 9 o'clock
        EXPECT_NEAR (coverageAt (coverage, 29, 15), enabled ? 255 : 127, 3); // pointer, straight up
    }
}

TEST_F (LookTest, WedgeSpansFromStartOrFromTheTop)
{
    struct Case { bool isBipolar; double value; float angle; bool covered; const char* what; };
    const Case cases[] = {
        { false, 0.0,  1.5f * pi, false, "plain at minimum: empty, 9 o'clock" },
        { false, 0.0,  2.5f * pi, false, "plain at minimum: empty, 3 o'clock" },
        { false, 0.5,  1.5f * pi, true,  "plain at middle: 9 o'clock covered" },
        { false, 0.5,  2.5f * pi, false, "plain at middle: 3 o'clock not yet" },
        { false, 1.0,  1.3f * pi, true,  "plain at maximum: near the start" },
        { false, 1.0,  2.7f * pi, true,  "plain at maximum: near the end" },
        { false, 1.0,  1.0f * pi, false, "plain at maximum: the gap at 6 o'clock" },
        { true,  0.5,  1.5f * pi, false, "bipolar at middle: nothing left" },
        { true,  0.5,  2.5f * pi, false, "bipolar at middle: nothing right" },
        { true,  0.0,  1.3f * pi, true,  "bipolar at minimum: from 1.2 pi" },
        { true,  0.0,  1.9f * pi, true,  "bipolar at minimum: up to 2 pi" },
        { true,  0.0,  2.1f * pi, false, "bipolar at minimum: nothing past the top" },
        { true,  1.0,  1.9f * pi, false, "bipolar at maximum: nothing before the top" },
        { true,  1.0,  2.1f * pi, true,  "bipolar at maximum: from 2 pi" },
        { true,  1.0,  2.7f * pi, true,  "bipolar at maximum: up to 2.8 pi" },
        { true,  0.25, 1.8f * pi, true,  "bipolar at a quarter: between pointer and top" },
        { true,  0.25, 1.4f * pi, false, "bipolar at a quarter: before the pointer" },
    };

    for (const auto& c : cases)
    {
        auto& lookToUse = c.isBipolar ? static_cast<juce::LookAndFeel&> (bipolar) : look;
        const auto coverage = valueCoverage ([&] (juce::Colour colour) { return renderKnob (lookToUse, c.value, colour, true); });
        EXPECT_NEAR (coverageOnRay (coverage, c.angle, 23.0f), c.covered ? 204 : 0, 3) << c.what;
    }
}

//==============================================================================
TEST_F (LookTest, LinearValueBarRunsFromTheLeftEdgeToTheValue)
{
    constexpr int x = 10, y = 5, w = 100, h = 10;

    struct Case { float sliderPos; std::vector<Span> runs; };
    const Case cases[] = {
        { (float) x,            {} },
        { (float) x + 50.0f,    { { x + 2, 46 } } },
        { (float) (x + w),      { { x + 2, 96 } } },
    };

    for (const auto& c : cases)
    {
        juce::Slider slider;
        const auto coverage = valueCoverage ([&] (juce::Colour colour)
        {
            slider.setColour (juce::Slider::thumbColourId, colour);
            auto image = makeImage (x + w + 10, y + h + 5);
            juce::Graphics g (image);
            look.drawLinearSlider (g, x, y, w, h, c.sliderPos, 0.0f, 0.0f, juce::Slider::LinearHorizontal, slider);
            return image;
        });

        EXPECT_EQ (coveredSpans (coverage, y + h / 2), c.runs) << "sliderPos " << c.sliderPos;
    }
}

TEST_F (LookTest, BipolarBarGrowsOutOfTheCentre)
{
    constexpr int x = 10, y = 5, w = 100, h = 10;
    const Span centreMark { x + 49, 2 };

    struct Case { double proportion; std::vector<Span> runs; };
    const Case cases[] = {
        { 0.0,  { { x + 2, 46 }, centreMark } },
        { 0.25, { { x + 27, 21 }, centreMark } },
        { 0.5,  { centreMark } },
        { 0.75, { centreMark, { x + 52, 21 } } },
        { 1.0,  { centreMark, { x + 52, 46 } } },
    };

    for (const auto& c : cases)
    {
        juce::Slider slider;
        slider.setRange (-1.0, 1.0);
        slider.setValue (-1.0 + 2.0 * c.proportion, juce::dontSendNotification);

        const auto coverage = valueCoverage ([&] (juce::Colour colour)
        {
            slider.setColour (juce::Slider::thumbColourId, colour);
            auto image = makeImage (x + w + 10, y + h + 5);
            juce::Graphics g (image);
            // The bar follows the slider's value, not the position it is handed.
            bipolar.drawLinearSliderBackground (g, x, y, w, h, 0.0f, 0.0f, 0.0f, juce::Slider::LinearHorizontal, slider);
            return image;
        });

        EXPECT_EQ (coveredSpans (coverage, y + h / 2), c.runs) << "proportion " << c.proportion;
    }
}

//==============================================================================
TEST_F (LookTest, PopupMenuItemSizesFollowTheStandardHeight)
{
    const ScopedDefaultLook scopedDefault (look);
    const juce::String text ("Zodad_Ide");

    struct Case { bool separator; int standardHeight; int height; float fontHeight; int separatorWidth; };
    const Case cases[] = {
        { false,  0, 18, 14.0f,         0 },
        { false, 20, 20, 14.0f,         0 },
        { false, 16, 16, 16.0f / 1.3f,  0 },
        { true,   0, 10, 0.0f,         50 },
        { true,  16,  8, 0.0f,         50 },
    };

    for (const auto& c : cases)
    {
        int width = -1, height = -1;
        look.getIdealPopupMenuItemSize (text, c.separator, c.standardHeight, width, height);

        SCOPED_TRACE ("standard height " + juce::String (c.standardHeight) + (c.separator ? ", separator" : ""));
        EXPECT_EQ (height, c.height);

        if (c.separator)
        {
            EXPECT_EQ (width, c.separatorWidth);
        }
        else
        {
            const juce::Font embedded (look.getTypefaceForFont ({}));
            const auto textWidth = embedded.withHeight (c.fontHeight).getStringWidthFloat (text);
            EXPECT_EQ (width - 2 * height, (int) std::ceil (textWidth));
        }
    }
}

TEST_F (LookTest, FontsAndMetricsFollowTheScale)
{
    struct Case { float scale; int boxHeight; float comboFont; float menuFont; };
    const Case cases[] = {
        { 1.0f, 20, 14.0f, 14.0f },
        { 1.0f,  0,  0.1f, 14.0f }, // JUCE's smallest font height, not 0
        { 2.0f, 20, 28.0f, 28.0f }, // the scale is read at every use, not copied
    };

    for (const auto& c : cases)
    {
        scale = c.scale;
        juce::ComboBox box;
        box.setSize (120, c.boxHeight);

        for (auto* l : { static_cast<QXLook*> (&look), static_cast<QXLook*> (&bipolar) })
        {
            EXPECT_FLOAT_EQ (l->getComboBoxFont (box).getHeight(), c.comboFont);
            EXPECT_FLOAT_EQ (l->getPopupMenuFont().getHeight(), c.menuFont);
        }
    }

    juce::ScrollBar scrollBar (true);

    for (auto* l : { static_cast<QXLook*> (&look), static_cast<QXLook*> (&bipolar) })
    {
        EXPECT_EQ (l->getDefaultScrollbarWidth(), 8);
        EXPECT_EQ (l->getScrollbarButtonSize (scrollBar), 0);
    }

    // The bipolar look differs from the plain one only in how sliders are drawn.
    const int colourIds[] = { juce::PopupMenu::textColourId, juce::PopupMenu::highlightedBackgroundColourId,
                              juce::ComboBox::backgroundColourId, juce::ComboBox::outlineColourId,
                              juce::TreeView::backgroundColourId, juce::DrawableButton::backgroundColourId,
                              juce::Slider::trackColourId };

    for (const auto id : colourIds)
        EXPECT_EQ (bipolar.findColour (id), look.findColour (id)) << juce::String::toHexString (id);
}

TEST_F (LookTest, EveryFontResolvesToTheEmbeddedTypeface)
{
    const auto embedded = look.getTypefaceForFont ({});
    ASSERT_NE (embedded, nullptr);
    EXPECT_TRUE (embedded->getName().containsIgnoreCase ("Roboto")) << embedded->getName();
    EXPECT_EQ (bipolar.getTypefaceForFont (juce::Font ("Courier", 12.0f, juce::Font::plain))->getName(),
               embedded->getName());

    const ScopedDefaultLook scopedDefault (look);
    const juce::String sample ("LFO MIX 1/128");
    const auto embeddedWidth = juce::Font (embedded).withHeight (20.0f).getStringWidthFloat (sample);

    const juce::String names[] = { "Courier", "Times New Roman", juce::Font::getDefaultSerifFontName(),
                                   juce::Font::getDefaultMonospacedFontName(), juce::Font::getDefaultSansSerifFontName() };

    for (const auto& name : names)
    {
        for (const auto style : { juce::Font::plain, juce::Font::bold, juce::Font::italic })
        {
            const juce::Font font (name, 20.0f, style);
            SCOPED_TRACE (name + " style " + juce::String (style));
            EXPECT_EQ (font.getTypefacePtr().get(), embedded.get());

            if (style == juce::Font::plain)
            {
                EXPECT_FLOAT_EQ (font.getStringWidthFloat (sample), embeddedWidth);
            }
        }
    }
}

//==============================================================================
TEST_F (LookTest, PopupMenuBackgroundAndItems)
{
    const ScopedDefaultLook scopedDefault (look);

    auto image = makeImage (100, 60);
    {
        juce::Graphics g (image);
        look.drawPopupMenuBackground (g, 100, 60);
    }

    struct Probe { int x, y; juce::Colour colour; };
    const Probe backgroundProbes[] = {
        { 0, 0, grey }, { 1, 30, grey }, { 98, 30, grey }, { 50, 59, grey },
        { 2, 30, darkGrey }, { 50, 30, darkGrey }, { 97, 57, darkGrey },
    };

    for (const auto& p : backgroundProbes)
        expectColour (image.getPixelAt (p.x, p.y), p.colour, 0, "background at " + juce::String (p.x) + "," + juce::String (p.y));

    // Rows are drawn by JUCE's own item drawing, fed by this look's colours and font.
    const auto presetColour = qrvx::QrvxColours::orange;

    struct Row { bool highlighted; const juce::Colour* ownColour; juce::Colour bar; juce::Colour textColour; };
    const Row rows[] = {
        { false, nullptr,       juce::Colours::transparentBlack, lightGrey },
        { false, &presetColour, juce::Colours::transparentBlack, presetColour },
        { true,  &presetColour, lightGrey,                       darkGrey },
        { true,  nullptr,       lightGrey,                       darkGrey },
    };

    for (const auto& row : rows)
    {
        auto item = makeImage (140, 18);
        {
            juce::Graphics g (item);
            look.drawPopupMenuItem (g, 140, 18, false, true, row.highlighted, false, false, "ZODAD IDE", {}, nullptr, row.ownColour);
        }

        expectColour (item.getPixelAt (70, 0), juce::Colours::transparentBlack, 0, "above the bar");
        expectColour (item.getPixelAt (137, 9), row.bar, 0, "right of the text");

        // The most opaque text pixel shows the text colour itself.
        auto strongest = juce::Colours::transparentBlack;
        auto strongestDistance = -1;

        for (int y = 2; y < 16; ++y)
            for (int x = 24; x < 130; ++x)
            {
                const auto pixel = item.getPixelAt (x, y);
                const auto distance = std::abs ((int) pixel.getRed() - (int) row.bar.getRed())
                                      + std::abs ((int) pixel.getAlpha() - (int) row.bar.getAlpha());

                if (distance > strongestDistance)
                {
                    strongestDistance = distance;
                    strongest = pixel;
                }
            }

        expectColour (strongest, row.textColour, 12, row.highlighted ? "highlighted text" : "text");
    }
}

TEST_F (LookTest, ButtonsComboBoxScrollbarAndTreeBox)
{
    const ScopedDefaultLook scopedDefault (look);

    // Text colour: "on" while held down or toggled, "off" otherwise.
    {
        juce::TextButton button ("HOLD");
        button.setSize (80, 24);
        button.setColour (juce::TextButton::textColourOnId, juce::Colours::red);
        button.setColour (juce::TextButton::textColourOffId, juce::Colours::lime);

        struct Case { bool toggled, down, showsOn; };
        for (const auto& c : { Case { false, false, false }, Case { false, true, true }, Case { true, false, true } })
        {
            button.setToggleState (c.toggled, juce::dontSendNotification);
            auto image = makeImage (80, 24);
            {
                juce::Graphics g (image);
                look.drawButtonText (g, button, false, c.down);
            }

            int red = 0, green = 0;
            for (int y = 0; y < 24; ++y)
                for (int x = 0; x < 80; ++x)
                {
                    const auto pixel = image.getPixelAt (x, y);
                    red += pixel.getRed() > 0 ? 1 : 0;
                    green += pixel.getGreen() > 0 ? 1 : 0;
                }

            SCOPED_TRACE (juce::String ("toggled ") + (c.toggled ? "yes" : "no") + ", down " + (c.down ? "yes" : "no"));
            EXPECT_GT (c.showsOn ? red : green, 20);
            EXPECT_EQ (c.showsOn ? green : red, 0);
        }
    }

    // A disabled combo box has no arrow.
    {
        juce::ComboBox box;
        box.setSize (120, 20);

        for (const auto enabled : { true, false })
        {
            box.setEnabled (enabled);
            auto image = makeImage (120, 20);
            {
                juce::Graphics g (image);
                look.drawComboBox (g, 120, 20, false, 100, 0, 20, 20, box);
            }

            SCOPED_TRACE (enabled ? "enabled" : "disabled");
            expectColour (image.getPixelAt (110, 10), enabled ? lightGrey : darkGrey, 1, "arrow");
            expectColour (image.getPixelAt (0, 10), juce::Colours::black, 0, "outer edge");
            expectColour (image.getPixelAt (2, 10), grey, 0, "inner outline");
            expectColour (image.getPixelAt (60, 19), juce::Colours::black, 0, "bottom bar");
        }
    }

    // Scroll bars without buttons: light slot, dark thumb; the slot is inset from 16 wide on.
    struct ScrollProbe { int width, x, y; juce::Colour colour; const char* what; };
    const ScrollProbe scrollProbes[] = {
        {  8, 0, 10, lightGrey, "slot edge" },
        {  8, 4, 10, lightGrey, "slot" },
        {  8, 4, 40, darkGrey,  "thumb" },
        { 16, 0, 10, darkGrey,  "inset beside the slot" },
        { 16, 1, 10, lightGrey, "slot edge" },
        { 16, 8, 40, darkGrey,  "thumb" },
    };

    for (const auto& probe : scrollProbes)
    {
        juce::ScrollBar scrollBar (true);
        auto image = makeImage (probe.width, 100);
        {
            juce::Graphics g (image);
            look.drawScrollbar (g, scrollBar, 0, 0, probe.width, 100, true, 20, 40, false, false);
        }

        expectColour (image.getPixelAt (probe.x, probe.y), probe.colour, 0,
                      juce::String (probe.width) + " wide, " + probe.what);
    }

    // Tree-view box: odd, at most 16 x 0.7, centred on whole pixels.
    struct TreeCase { juce::Rectangle<float> area; int size; int left; };
    const TreeCase treeCases[] = {
        { { 0.0f, 0.0f, 30.0f, 30.0f }, 11, 9 },
        { { 5.0f, 5.0f, 10.0f, 10.0f }, 7, 6 },
        { { 0.0f, 0.0f, 8.0f, 8.0f }, 7, 0 },
        { { 0.0f, 0.0f, 100.0f, 40.0f }, 11, 44 },
    };

    for (const auto& c : treeCases)
    {
        for (const auto open : { false, true })
        {
            auto image = makeImage (110, 50);
            {
                juce::Graphics g (image);
                look.drawTreeviewPlusMinusBox (g, c.area, juce::Colours::white, open, false);
            }

            const auto top = ((int) c.area.getHeight() - c.size) / 2 + (int) c.area.getY();
            const auto middle = c.size / 2;
            const auto rowToScan = top + 1;

            const auto drawn = spansWhere (image, rowToScan, [] (juce::Colour pixel) { return pixel.getAlpha() > 128; });

            SCOPED_TRACE ("area " + c.area.toString() + (open ? " open" : " closed"));
            EXPECT_EQ (drawn, std::vector<Span> ({ { c.left, c.size } }));
            expectColour (image.getPixelAt (c.left, top + middle), darkGrey, 0, "outline");
            expectColour (image.getPixelAt (c.left + 1, top + 1), lightGrey, 0, "inside");
            expectColour (image.getPixelAt (c.left + middle - 1, top + middle), darkGrey, 0, "minus bar");

            // Only the closed box has the vertical bar of the plus sign.
            expectColour (image.getPixelAt (c.left + middle, top + middle - 1), open ? lightGrey : darkGrey, 0, "plus bar");
        }
    }
}

TEST_F (LookTest, SliderTextBoxIsDarkAndIgnoresTheWheel)
{
    juce::Slider slider (juce::Slider::LinearHorizontal, juce::Slider::NoTextBox);
    slider.setLookAndFeel (&look);
    slider.setRange (0.0, 1.0, 0.01);
    slider.setValue (0.5, juce::dontSendNotification);
    slider.setColour (juce::Slider::textBoxBackgroundColourId, juce::Colours::transparentBlack);
    slider.setTextBoxStyle (juce::Slider::TextBoxBelow, false, 60, 16);
    slider.setBounds (0, 0, 100, 40);

    QXLook::SliderLabelComp* box = nullptr;
    for (auto* child : slider.getChildren())
        if (auto* label = dynamic_cast<QXLook::SliderLabelComp*> (child))
            box = label;

    ASSERT_NE (box, nullptr);
    EXPECT_FLOAT_EQ (box->getFont().getHeight(), 10.0f);
    EXPECT_EQ (box->getJustificationType(), juce::Justification (juce::Justification::centred));

    auto image = makeImage (box->getWidth(), box->getHeight());
    {
        juce::Graphics g (image);
        box->paintEntireComponent (g, false);
    }
    expectColour (image.getPixelAt (1, 1), darkGrey.withMultipliedBrightness (0.3f), 1, "text box corner");

    // A wheel turn over a plain child label would reach the slider; over the text box it must not.
    const auto wheelOver = [&slider] (juce::Component& target)
    {
        const juce::MouseEvent event (juce::Desktop::getInstance().getMainMouseSource(), { 5.0f, 5.0f },
                                      juce::ModifierKeys(), 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, &target, &target,
                                      juce::Time::getCurrentTime(), { 5.0f, 5.0f }, juce::Time::getCurrentTime(), 0, false);
        juce::MouseWheelDetails wheel { 0.0f, 0.5f, false, false, false };
        const auto before = slider.getValue();
        target.mouseWheelMove (event, wheel);
        return slider.getValue() != before;
    };

    juce::Label plain;
    slider.addChildComponent (plain);
    EXPECT_TRUE (wheelOver (plain));
    EXPECT_FALSE (wheelOver (*box));

    slider.removeChildComponent (&plain);
    slider.setLookAndFeel (nullptr);
}

//==============================================================================
// Writes a sheet of every widget the look draws to the test output folder, for the eye.
TEST_F (LookTest, WritesWidgetSheet)
{
    const ScopedDefaultLook scopedDefault (look);

    auto sheet = makeImage (760, 520);
    juce::Graphics g (sheet);
    g.fillAll (qrvx::QrvxColours::grey);

    // Each widget paints only inside its own bounds, as it would as a component.
    const auto drawAt = [&g] (juce::Rectangle<int> bounds, auto&& draw)
    {
        juce::Graphics::ScopedSaveState state (g);
        g.reduceClipRegion (bounds);
        g.setOrigin (bounds.getPosition());
        draw();
    };

    const auto caption = [&g] (const juce::String& text, int x, int y)
    {
        g.setColour (qrvx::QrvxColours::light_grey);
        g.setFont (12.0f);
        g.drawText (text, x, y, 400, 14, juce::Justification::centredLeft);
    };

    // Knobs
    caption ("knobs: 0, 0.25, 0.5, 0.75, 1, disabled 0.6 - bipolar: 0, 0.25, 0.5, 0.75, 1", 10, 4);
    const double values[] = { 0.0, 0.25, 0.5, 0.75, 1.0 };
    int knobX = 10;

    for (const auto value : values)
    {
        const auto knob = renderKnob (look, value, qrvx::QrvxColours::yellow, true);
        g.drawImageAt (knob, knobX, 20);
        knobX += 64;
    }

    g.drawImageAt (renderKnob (look, 0.6, qrvx::QrvxColours::blue, false), knobX, 20);
    knobX += 72;

    for (const auto value : values)
    {
        g.drawImageAt (renderKnob (bipolar, value, qrvx::QrvxColours::teal, true), knobX, 20);
        knobX += 64;
    }

    // Linear sliders
    caption ("linear: 0, 0.5, 1 - bipolar: 0.25, 0.5, 0.75", 10, 88);
    int sliderX = 10;

    const std::pair<QXLook*, double> linearSliders[] = { { &look, 0.0 }, { &look, 0.5 }, { &look, 1.0 },
                                                         { &bipolar, 0.25 }, { &bipolar, 0.5 }, { &bipolar, 0.75 } };

    for (const auto& [lookToUse, value] : linearSliders)
    {
        juce::Slider slider (juce::Slider::LinearHorizontal, juce::Slider::NoTextBox);
        slider.setLookAndFeel (lookToUse);
        slider.setColour (juce::Slider::backgroundColourId, qrvx::QrvxColours::dark_grey.withAlpha ((juce::uint8) 0));
        slider.setColour (juce::Slider::thumbColourId, lookToUse == &look ? qrvx::QrvxColours::green : qrvx::QrvxColours::yellow);
        slider.setRange (0.0, 1.0);
        slider.setValue (value, juce::dontSendNotification);
        slider.setBounds (0, 0, 110, 14);
        drawAt ({ sliderX, 106, 110, 14 }, [&] { slider.paintEntireComponent (g, false); });
        slider.setLookAndFeel (nullptr);
        sliderX += 122;
    }

    // Popup menu
    caption ("popup menu with scroll arrows", 10, 130);
    drawAt ({ 10, 146, 180, 160 }, [&]
    {
        constexpr int width = 180, rowHeight = 18;
        const auto presetColour = qrvx::QrvxColours::orange;
        look.drawPopupMenuBackground (g, width, 160);

        struct Item { const char* text; bool separator, active, highlighted, ticked, subMenu; const juce::Colour* colour; };
        const Item items[] = {
            { "INITIALIZE", false, true, false, false, false, nullptr },
            { "SAVE AS DEFAULT", false, true, true, false, false, nullptr },
            { "", true, true, false, false, false, nullptr },
            { "Zodad_Ide", false, true, false, true, false, &presetColour },
            { "User_Default", false, true, false, false, false, nullptr },
            { "PRESETS", false, true, false, false, true, nullptr },
            { "Version 1.0.0", false, false, false, false, false, nullptr },
        };

        int rowY = 2;
        for (const auto& item : items)
        {
            const auto height = item.separator ? 10 : rowHeight;
            drawAt ({ 2, rowY, width - 4, height }, [&]
            {
                look.drawPopupMenuItem (g, width - 4, height, item.separator, item.active, item.highlighted,
                                        item.ticked, item.subMenu, item.text, {}, nullptr, item.colour);
            });
            rowY += height;
        }

        drawAt ({ 0, rowY + 4, width, 14 }, [&] { look.drawPopupMenuUpDownArrow (g, width, 14, true); });
        drawAt ({ 0, rowY + 20, width, 14 }, [&] { look.drawPopupMenuUpDownArrow (g, width, 14, false); });
    });

    // Buttons, combo boxes, scroll bars, tree boxes, a label
    caption ("buttons up / down / toggled, combo enabled / disabled, scroll bars, tree boxes, label", 210, 130);
    {
        juce::TextButton button ("RANDOM");
        button.setSize (90, 26);
        button.setColour (juce::TextButton::buttonColourId, qrvx::QrvxColours::dark_grey);
        button.setColour (juce::TextButton::textColourOffId, qrvx::QrvxColours::light_grey);
        button.setColour (juce::TextButton::textColourOnId, qrvx::QrvxColours::blue);

        struct State { bool down, toggled; };
        int buttonX = 210;

        for (const auto& state : { State { false, false }, State { true, false }, State { false, true } })
        {
            button.setToggleState (state.toggled, juce::dontSendNotification);
            drawAt ({ buttonX, 150, 90, 26 }, [&]
            {
                look.drawButtonBackground (g, button, button.findColour (juce::TextButton::buttonColourId), false, state.down);
                look.drawButtonText (g, button, false, state.down);
            });
            buttonX += 100;
        }
    }
    {
        juce::ComboBox box;
        box.setSize (140, 22);
        int boxX = 210;

        for (const auto enabled : { true, false })
        {
            box.setEnabled (enabled);
            drawAt ({ boxX, 190, 140, 22 }, [&]
            {
                look.drawComboBox (g, 140, 22, false, 118, 0, 22, 22, box);
                g.setColour (box.findColour (juce::ComboBox::textColourId).withMultipliedAlpha (enabled ? 1.0f : 0.5f));
                g.setFont (look.getComboBoxFont (box));
                g.drawText ("LOWPASS", 6, 0, 110, 22, juce::Justification::centredLeft);
            });
            boxX += 150;
        }
    }
    {
        juce::ScrollBar vertical (true), horizontal (false);
        drawAt ({ 520, 150, 8, 120 }, [&] { look.drawScrollbar (g, vertical, 0, 0, 8, 120, true, 30, 40, false, false); });
        drawAt ({ 540, 150, 160, 8 }, [&] { look.drawScrollbar (g, horizontal, 0, 0, 160, 8, false, 60, 50, false, false); });
        drawAt ({ 540, 170, 160, 16 }, [&] { look.drawScrollbar (g, horizontal, 0, 0, 160, 16, false, 20, 80, false, false); });
    }
    drawAt ({ 540, 200, 70, 30 }, [&]
    {
        look.drawTreeviewPlusMinusBox (g, { 0.0f, 0.0f, 30.0f, 30.0f }, {}, false, false);
        look.drawTreeviewPlusMinusBox (g, { 40.0f, 0.0f, 30.0f, 30.0f }, {}, true, false);
    });
    {
        juce::Label label ({}, "LFO 1 RATE");
        label.setBounds (0, 0, 140, 20);
        label.setColour (juce::Label::textColourId, qrvx::QrvxColours::light_grey);
        label.setFont (juce::Font (14.0f));
        label.setJustificationType (juce::Justification::centred);
        drawAt ({ 210, 230, 140, 20 }, [&] { look.drawLabel (g, label); });
    }

    // The same knobs three times enlarged, pixel for pixel, to judge the rings and the pointer.
    caption ("x3: plain 0.75, disabled 0.6, bipolar 0.25", 10, 312);
    {
        juce::Graphics::ScopedSaveState state (g);
        g.setImageResamplingQuality (juce::Graphics::lowResamplingQuality);
        g.drawImage (renderKnob (look, 0.75, qrvx::QrvxColours::yellow, true), { 10.0f, 330.0f, 180.0f, 180.0f });
        g.drawImage (renderKnob (look, 0.6, qrvx::QrvxColours::blue, false), { 200.0f, 330.0f, 180.0f, 180.0f });
        g.drawImage (renderKnob (bipolar, 0.25, qrvx::QrvxColours::teal, true), { 390.0f, 330.0f, 180.0f, 180.0f });
    }

    const auto outputFolder = juce::File (VEVARERO_TEST_OUTPUT_DIR);
    outputFolder.createDirectory();
    const auto file = outputFolder.getChildFile ("look-sheet.png");
    file.deleteFile();

    {
        juce::FileOutputStream stream (file);
        ASSERT_TRUE (stream.openedOk());
        ASSERT_TRUE (juce::PNGImageFormat().writeImageToStream (sheet, stream));
    }

    const auto reloaded = juce::ImageFileFormat::loadFrom (file);
    EXPECT_EQ (reloaded.getWidth(), sheet.getWidth());
    EXPECT_EQ (reloaded.getHeight(), sheet.getHeight());
}
