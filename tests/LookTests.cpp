#include "look/QXBipolarLook.h"
#include "look/QXLook.h"
#include "look/QrvxColours.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

namespace
{
    using qrvx::QXLook;
    namespace colours = qrvx::QrvxColours;
    using Draw = std::function<void (juce::Graphics&)>;
    using Runs = std::vector<std::pair<int, int>>; // (start, length)

    juce::Image paint (int width, int height, const Draw& draw)
    {
        juce::Image image (juce::Image::ARGB, width, height, true, juce::SoftwareImageType());
        juce::Graphics g (image);
        draw (g);
        return image;
    }

    testing::AssertionResult near (juce::Colour actual, juce::Colour expected, int tolerance = 1)
    {
        for (const auto shift : { 0, 8, 16, 24 })
            if (std::abs ((int) (actual.getARGB() >> shift & 0xff) - (int) (expected.getARGB() >> shift & 0xff)) > tolerance)
                return testing::AssertionFailure() << actual.toDisplayString (true) << " not " << expected.toDisplayString (true);
        return testing::AssertionSuccess();
    }

    /** Renders with a white and with a black value colour: per pixel, the difference of the two is
        the coverage of that colour there (0 to 255), whatever lies underneath.
    */
    struct Coverage
    {
        explicit Coverage (const std::function<juce::Image (juce::Colour)>& render)
            : white (render (juce::Colours::white)), black (render (juce::Colours::black)) {}

        int operator() (int x, int y) const
        {
            return juce::jmax (0, white.getPixelAt (x, y).getGreen() - black.getPixelAt (x, y).getGreen());
        }

        /** The runs of a row that are mostly covered. */
        Runs coveredRuns (int y) const
        {
            Runs runs;
            for (int x = 0; x < white.getWidth(); ++x)
                if ((*this) (x, y) >= 128 && ! runs.empty() && runs.back().first + runs.back().second == x)
                    ++runs.back().second;
                else if ((*this) (x, y) >= 128)
                    runs.push_back ({ x, 1 });
            return runs;
        }

        juce::Image white, black;
    };

    /** A rotary knob as the editor makes them, 60 x 60, optionally inside a disabled panel. */
    juce::Image renderKnob (juce::LookAndFeel& look, double value, juce::Colour fill, bool enabled = true)
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
        const auto image = paint (60, 60, [&] (juce::Graphics& g) { knob.paintEntireComponent (g, false); });
        knob.setLookAndFeel (nullptr);
        return image;
    }

    /** The editor makes its look the process-wide default; the typeface cache is emptied on both
        sides so that fonts resolve through this look and nothing outlives it.
    */
    class LookTest : public ::testing::Test
    {
    protected:
        void SetUp() override { juce::Typeface::clearTypefaceCache(); juce::LookAndFeel::setDefaultLookAndFeel (&look); }
        void TearDown() override { juce::LookAndFeel::setDefaultLookAndFeel (nullptr); juce::Typeface::clearTypefaceCache(); }

        float scale = 1.0f;
        QXLook look { scale };
        qrvx::QXBipolarLook bipolar { scale };
    };
} // namespace

//==============================================================================
TEST_F (LookTest, KnobLayersSitAtTheirRadiiAndFadeWhenDisabled)
{
    // At the middle value the wedge covers 9 o'clock and the pointer stands straight up. Along row
    // 30, column c spans distances 29 - c .. 30 - c from the centre.
    enum Layer { outside, black, face, wedge };
    struct Probe { int x, y, enabled, disabled; Layer layer; const char* what; };
    const Probe probes[] = {
        {  0, 30,   0,   0, outside, "beyond the rim (28)" },
        {  3, 30,   0,   0, black,   "rim (25.2 .. 28)" },
        {  5, 30, 204, 102, wedge,   "wedge (inside 25.2)" },
        { 10, 30,   0,   0, black,   "face outline (2 px at 19.6)" },
        { 12, 30,   0,   0, face,    "face" },
        { 29, 22,   0,   0, face,    "cap over the pointer's root (inside 8.4)" },
        { 29, 20, 255, 127, black,   "pointer just outside the cap" },
        { 30, 12, 255, 127, black,   "pointer near its tip" },
        { 29, 10,   0,   0, black,   "outline over the pointer's tip" },
        { 27, 15,   0,   0, face,    "left of the pointer" },
        { 32, 15,   0,   0, face,    "right of the pointer" },
    };

    for (const auto enabled : { true, false })
    {
        const Coverage coverage ([&] (juce::Colour c) { return renderKnob (look, 0.5, c, enabled); });

        for (const auto& p : probes)
        {
            SCOPED_TRACE (juce::String (p.what) + (enabled ? "" : ", disabled panel"));
            EXPECT_NEAR (coverage (p.x, p.y), enabled ? p.enabled : p.disabled, 3);

            // The black rendering shows the layers themselves (a disabled pointer is no longer black).
            const auto pixel = coverage.black.getPixelAt (p.x, p.y);
            EXPECT_TRUE (p.layer != outside || pixel.getAlpha() == 0);
            EXPECT_TRUE (p.layer != black || ! enabled || near (pixel, juce::Colours::black, 2));
            EXPECT_TRUE (p.layer != face || (pixel.getRed() >= 0x27 && pixel.getRed() <= 0x3f)) << pixel.toDisplayString (true);
        }
    }
}

TEST_F (LookTest, WedgeRunsFromTheStartOrFromTheTop)
{
    // Angles in units of pi, clockwise from 12 o'clock: the sweep runs 1.2 .. 2.8, with 2 at the top.
    struct Case { bool isBipolar; double value; float from, to; };
    const Case cases[] = { { false, 0.0, 0.0f, 0.0f }, { false, 0.5, 1.2f, 2.0f }, { false, 1.0, 1.2f, 2.8f },
                           { true, 0.0, 1.2f, 2.0f }, { true, 0.25, 1.6f, 2.0f }, { true, 0.5, 0.0f, 0.0f },
                           { true, 1.0, 2.0f, 2.8f } };

    for (const auto& c : cases)
    {
        const Coverage coverage ([&] (juce::Colour colour) { return renderKnob (c.isBipolar ? bipolar : look, c.value, colour); });

        // Across the sweep and into the gap, halfway between possible edges, on a ring inside the wedge.
        for (auto turn = 1.05f; turn < 3.0f; turn += 0.1f)
        {
            const auto angle = turn * juce::MathConstants<float>::pi;
            const auto x = (int) std::floor (30.0f + 23.0f * std::sin (angle));
            const auto y = (int) std::floor (30.0f - 23.0f * std::cos (angle));
            EXPECT_NEAR (coverage (x, y), turn > c.from && turn < c.to ? 204 : 0, 3)
                << (c.isBipolar ? "bipolar" : "plain") << " at " << c.value << ", angle " << turn << " pi";
        }
    }
}

TEST_F (LookTest, ValueBarsGrowFromTheLeftEdgeOrFromTheCentre)
{
    constexpr int x = 10, y = 5, w = 100, h = 10;
    constexpr auto horizontal = juce::Slider::LinearHorizontal;
    const std::pair<int, int> centre { x + 49, 2 };

    struct Case { bool isBipolar; double proportion; Runs covered; };
    const Case cases[] = { { false, 0.0, {} }, { false, 0.5, { { x + 2, 46 } } }, { false, 1.0, { { x + 2, 96 } } },
                           { true, 0.0, { { x + 2, 46 }, centre } }, { true, 0.25, { { x + 27, 21 }, centre } },
                           { true, 0.5, { centre } }, { true, 0.75, { centre, { x + 52, 21 } } },
                           { true, 1.0, { centre, { x + 52, 46 } } } };

    for (const auto& c : cases)
    {
        QXLook& lookToUse = c.isBipolar ? bipolar : look;
        juce::Slider slider;
        slider.setRange (0.0, 1.0);
        slider.setValue (c.proportion, juce::dontSendNotification);
        const auto position = (float) (x + c.proportion * w);

        const Coverage coverage ([&] (juce::Colour colour)
        {
            slider.setColour (juce::Slider::thumbColourId, colour);
            return paint (120, 20, [&] (juce::Graphics& g) { lookToUse.drawLinearSlider (g, x, y, w, h, position, 0, 0, horizontal, slider); });
        });

        EXPECT_EQ (coverage.coveredRuns (y + h / 2), c.covered) << (c.isBipolar ? "bipolar at " : "plain at ") << c.proportion;
    }
}

//==============================================================================
TEST_F (LookTest, MenuRowsAndFontsFollowTheScaleAndTheEmbeddedTypeface)
{
    // Menu rows are their text plus twice their height wide, separators 50.
    const juce::Font embedded (look.getTypefaceForFont ({}));
    struct Row { bool separator; int standardHeight, height; float fontHeight; };
    for (const auto& r : { Row { false, 0, 18, 14.0f }, Row { false, 20, 20, 14.0f }, Row { false, 16, 16, 16.0f / 1.3f },
                           Row { true, 0, 10, 0.0f }, Row { true, 16, 8, 0.0f } })
    {
        int width = -1, height = -1;
        look.getIdealPopupMenuItemSize ("Zodad_Ide", r.separator, r.standardHeight, width, height);
        const auto text = embedded.withHeight (juce::jmax (0.1f, r.fontHeight)).getStringWidthFloat ("Zodad_Ide");

        SCOPED_TRACE ("standard height " + juce::String (r.standardHeight) + (r.separator ? ", separator" : ""));
        EXPECT_EQ (height, r.height);
        EXPECT_EQ (width, r.separator ? 50 : (int) std::ceil (text) + 2 * r.height);
    }

    struct Case { float scale; int boxHeight; float comboFont, menuFont; };
    for (const auto& c : { Case { 1.0f, 20, 14.0f, 14.0f },
                           Case { 1.0f, 0, 0.1f, 14.0f },    // JUCE's smallest font height, not 0
                           Case { 2.0f, 20, 28.0f, 28.0f } }) // the scale is read at every use, not copied
    {
        scale = c.scale;
        juce::ComboBox box;
        box.setSize (120, c.boxHeight);
        EXPECT_FLOAT_EQ (look.getComboBoxFont (box).getHeight(), c.comboFont) << "scale " << c.scale;
        EXPECT_FLOAT_EQ (look.getPopupMenuFont().getHeight(), c.menuFont) << "scale " << c.scale;
    }

    const auto typeface = embedded.getTypefacePtr();
    EXPECT_TRUE (typeface->getName().containsIgnoreCase ("Roboto")) << typeface->getName();

    for (const auto& name : { juce::String ("Courier"), juce::String ("Times New Roman"), juce::Font::getDefaultSerifFontName(),
                              juce::Font::getDefaultMonospacedFontName(), juce::Font::getDefaultSansSerifFontName() })
        for (const auto style : { juce::Font::plain, juce::Font::bold, juce::Font::italic })
            EXPECT_EQ (juce::Font (name, 20.0f, style).getTypefacePtr(), typeface) << name << " style " << style;
}

//==============================================================================
TEST_F (LookTest, MenuComboBoxScrollBarAndTreeBoxPixels)
{
    juce::ComboBox box;
    box.setSize (120, 20);
    juce::ScrollBar bar (true);
    EXPECT_EQ (look.getDefaultScrollbarWidth(), 8);
    EXPECT_EQ (look.getScrollbarButtonSize (bar), 0);

    const auto combo = [&] (bool enabled)
    {
        box.setEnabled (enabled);
        return paint (120, 20, [&] (juce::Graphics& g) { look.drawComboBox (g, 120, 20, false, 100, 0, 20, 20, box); });
    };
    const auto scroll = [&] (int w)
    {
        return paint (w, 100, [&] (juce::Graphics& g) { look.drawScrollbar (g, bar, 0, 0, w, 100, true, 20, 40, false, false); });
    };
    // Tree boxes: 0.7 of the smaller side, at most 16, made odd and centred on whole pixels.
    const auto tree = [&] (juce::Rectangle<float> area, bool open)
    {
        return paint (30, 30, [&] (juce::Graphics& g) { look.drawTreeviewPlusMinusBox (g, area, {}, open, false); });
    };
    const juce::Image images[] = { paint (100, 60, [&] (juce::Graphics& g) { look.drawPopupMenuBackground (g, 100, 60); }),
                                   combo (true), combo (false), scroll (8), scroll (16),
                                   tree ({ 30, 30 }, false), tree ({ 30, 30 }, true), tree ({ 4, 4, 8, 8 }, false) };

    const auto black = juce::Colours::black, none = juce::Colours::transparentBlack;
    const auto grey = colours::grey, dark = colours::dark_grey, light = colours::light_grey;
    struct Probe { int image, x, y; juce::Colour colour; const char* what; };
    const Probe probes[] = {
        { 0, 0, 0, grey, "menu border corner" }, { 0, 1, 30, grey, "menu border, 2 px" }, { 0, 98, 30, grey, "menu border right" },
        { 0, 50, 59, grey, "menu border bottom" }, { 0, 2, 30, dark, "menu inside the border" }, { 0, 97, 57, dark, "menu" },
        { 1, 110, 10, light, "combo arrow" }, { 2, 110, 10, dark, "no arrow on a disabled combo" },
        { 1, 0, 10, black, "combo outer edge" }, { 1, 2, 10, grey, "combo inner outline" }, { 1, 60, 19, black, "combo bottom bar" },
        { 3, 0, 10, light, "8 wide: slot to the edge" }, { 3, 4, 40, dark, "8 wide: thumb" },
        { 4, 0, 10, dark, "16 wide: slot inset" }, { 4, 1, 10, light, "16 wide: slot" }, { 4, 8, 40, dark, "16 wide: thumb" },
        { 5, 8, 10, none, "left of the 11 x 11 tree box" }, { 5, 9, 10, dark, "its left edge" }, { 5, 19, 10, dark, "its right edge" },
        { 5, 20, 10, none, "right of it" }, { 5, 10, 8, none, "above it" }, { 5, 10, 9, dark, "its top edge" },
        { 5, 10, 19, dark, "its bottom edge" }, { 5, 10, 20, none, "below it" }, { 5, 10, 10, light, "inside" },
        { 5, 13, 14, dark, "minus bar" }, { 5, 14, 13, dark, "plus bar" }, { 6, 13, 14, dark, "open: minus bar" },
        { 6, 14, 13, light, "open: no plus bar" }, { 7, 3, 7, none, "left of the 7 x 7 box in 8 x 8" },
        { 7, 4, 7, dark, "its left edge" }, { 7, 10, 10, dark, "its far corner" }, { 7, 11, 10, none, "beyond it" },
    };

    for (const auto& p : probes)
        EXPECT_TRUE (near (images[p.image].getPixelAt (p.x, p.y), p.colour)) << p.what;

    // A held button already shows its "on" colour, before the release toggles anything.
    juce::TextButton button ("HOLD");
    button.setSize (80, 24);
    button.setColour (juce::TextButton::textColourOffId, juce::Colours::transparentBlack);

    for (int state = 0; state < 3; ++state) // up, held down, toggled
    {
        button.setToggleState (state == 2, juce::dontSendNotification);
        const Coverage coverage ([&] (juce::Colour c)
        {
            button.setColour (juce::TextButton::textColourOnId, c);
            return paint (80, 24, [&] (juce::Graphics& g) { look.drawButtonText (g, button, false, state == 1); });
        });
        EXPECT_EQ (coverage.coveredRuns (12).empty(), state == 0) << "up, held down, toggled: " << state;
    }
}

TEST_F (LookTest, SliderTextBoxIgnoresTheWheel)
{
    juce::Slider slider (juce::Slider::LinearHorizontal, juce::Slider::TextBoxBelow);
    slider.setRange (0.0, 1.0, 0.01);
    slider.setValue (0.5, juce::dontSendNotification);
    auto* box = dynamic_cast<QXLook::SliderLabelComp*> (slider.getChildComponent (0));
    ASSERT_NE (box, nullptr);

    // Over a plain child label a wheel turn reaches the slider; over the value box it must not.
    const auto now = juce::Time::getCurrentTime();
    const juce::MouseEvent event (juce::Desktop::getInstance().getMainMouseSource(), {}, {}, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f,
                                  &slider, &slider, now, {}, now, 0, false);
    const juce::MouseWheelDetails wheel { 0.0f, 0.5f, false, false, false };
    juce::Label plain;
    slider.addChildComponent (plain);

    box->mouseWheelMove (event, wheel);
    EXPECT_DOUBLE_EQ (slider.getValue(), 0.5);
    plain.mouseWheelMove (event, wheel);
    EXPECT_NE (slider.getValue(), 0.5);
}

//==============================================================================
// Writes a sheet of the widgets this look draws to the test output folder, for the eye.
TEST_F (LookTest, WritesWidgetSheet)
{
    juce::Image sheet (juce::Image::ARGB, 760, 460, true, juce::SoftwareImageType());
    juce::Graphics g (sheet);
    g.fillAll (colours::grey);
    g.setColour (colours::light_grey);
    g.drawText ("knobs 0 .. 1, disabled 0.6, bipolar 0 .. 1 - sliders 0, 0.5, 1, bipolar 0.25, 0.5, 0.75 - x3: 0.75, "
                "disabled 0.6, bipolar 0.25", 10, 2, 740, 14, juce::Justification::centredLeft);
    const auto tile = [&g] (int x, int y, int w, int h, const Draw& draw) { g.drawImageAt (paint (w, h, draw), x, y); };

    for (int i = 0; i < 11; ++i)
    {
        const auto isBipolar = i > 5;
        const auto colour = isBipolar ? colours::teal : i == 5 ? colours::blue : colours::yellow;
        const auto value = i == 5 ? 0.6 : 0.25 * (isBipolar ? i - 6 : i);
        g.drawImageAt (renderKnob (isBipolar ? bipolar : look, value, colour, i != 5), 10 + 64 * i + (isBipolar ? 8 : 0), 20);
    }

    juce::Slider slider;
    for (int i = 0; i < 6; ++i)
    {
        QXLook& lookToUse = i < 3 ? look : bipolar;
        const auto proportion = i < 3 ? 0.5 * i : 0.25 * (i - 2);
        slider.setValue (10.0 * proportion, juce::dontSendNotification);
        slider.setColour (juce::Slider::thumbColourId, i < 3 ? colours::green : colours::yellow);
        const auto position = (float) (110.0 * proportion);
        tile (10 + 122 * i, 90, 110, 14, [&] (juce::Graphics& sg)
        {
            lookToUse.drawLinearSlider (sg, 0, 0, 110, 14, position, 0, 0, juce::Slider::LinearHorizontal, slider);
        });
    }

    tile (10, 120, 180, 160, [&] (juce::Graphics& mg)
    {
        look.drawPopupMenuBackground (mg, 180, 160);
        const juce::StringArray items { "INITIALIZE", "SAVE AS DEFAULT", "", "Zodad_Ide", "User_Default", "PRESETS", "Version 1.0.0" };
        for (int i = 0, top = 2; i < items.size(); top += items[i++].isEmpty() ? 10 : 18)
            look.drawPopupMenuItem (mg, { 2, top, 176, items[i].isEmpty() ? 10 : 18 }, items[i].isEmpty(), i != 6, i == 1, i == 3,
                                    i == 5, items[i], {}, nullptr, i == 3 ? &colours::orange : nullptr);
        mg.setOrigin ({ 0, 124 });
        look.drawPopupMenuUpDownArrow (mg, 180, 14, true);
        mg.setOrigin ({ 0, 16 });
        look.drawPopupMenuUpDownArrow (mg, 180, 14, false);
    });

    juce::TextButton button ("RANDOM");
    button.setSize (90, 26);
    button.setColour (juce::TextButton::textColourOnId, colours::blue);
    button.setColour (juce::TextButton::textColourOffId, colours::light_grey);
    for (int i = 0; i < 3; ++i) // up, held down, toggled
        tile (210 + 100 * i, 124, 90, 26, [&] (juce::Graphics& bg)
        {
            button.setToggleState (i == 2, juce::dontSendNotification);
            look.drawButtonBackground (bg, button, colours::dark_grey, false, i == 1);
            look.drawButtonText (bg, button, false, i == 1);
        });

    // A real combo box, so that its text goes through the look's label drawing and font.
    juce::ComboBox box;
    box.addItem ("LOWPASS", 1);
    box.setSelectedId (1);
    box.setSize (140, 22);
    for (const auto enabled : { true, false })
    {
        box.setEnabled (enabled);
        tile (enabled ? 210 : 360, 164, 140, 22, [&] (juce::Graphics& cg) { box.paintEntireComponent (cg, false); });
    }

    juce::ScrollBar bar (true);
    tile (530, 124, 8, 120, [&] (juce::Graphics& sg) { look.drawScrollbar (sg, bar, 0, 0, 8, 120, true, 30, 40, false, false); });
    tile (550, 124, 160, 8, [&] (juce::Graphics& sg) { look.drawScrollbar (sg, bar, 0, 0, 160, 8, false, 60, 50, false, false); });
    tile (550, 140, 160, 16, [&] (juce::Graphics& sg) { look.drawScrollbar (sg, bar, 0, 0, 160, 16, false, 20, 80, false, false); });
    look.drawTreeviewPlusMinusBox (g, { 550.0f, 170.0f, 30.0f, 30.0f }, {}, false, false);
    look.drawTreeviewPlusMinusBox (g, { 590.0f, 170.0f, 30.0f, 30.0f }, {}, true, false);

    // Enlarged pixel for pixel, to judge the rings and the pointer.
    g.setImageResamplingQuality (juce::Graphics::lowResamplingQuality);
    g.drawImage (renderKnob (look, 0.75, colours::yellow), { 10.0f, 280.0f, 180.0f, 180.0f });
    g.drawImage (renderKnob (look, 0.6, colours::blue, false), { 200.0f, 280.0f, 180.0f, 180.0f });
    g.drawImage (renderKnob (bipolar, 0.25, colours::teal), { 390.0f, 280.0f, 180.0f, 180.0f });

    const auto file = juce::File (VEVARERO_TEST_OUTPUT_DIR).getChildFile ("look-sheet.png");
    file.getParentDirectory().createDirectory();
    file.deleteFile();
    juce::FileOutputStream stream (file);
    EXPECT_TRUE (stream.openedOk() && juce::PNGImageFormat().writeImageToStream (sheet, stream));
}
