#include "ControlTestSupport.h"
#include "look/QXBipolarLook.h"
#include "look/QrvxColours.h"

#include <cmath>
#include <functional>
#include <vector>

namespace
{
    using qrvx::QXLook;
    namespace colours = qrvx::QrvxColours;
    using Runs = std::vector<std::pair<int, int>>; // (start, length)

    juce::Image paint (int width, int height, const std::function<void (juce::Graphics&)>& draw)
    {
        juce::Image image (juce::Image::ARGB, width, height, true, juce::SoftwareImageType());
        juce::Graphics g (image);
        draw (g);
        return image;
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
        knob.setValue (value * 10.0, juce::dontSendNotification); // the default range is 0 .. 10
        knob.setColour (juce::Slider::rotarySliderFillColourId, fill);
        knob.setBounds (0, 0, 60, 60);
        panel.addAndMakeVisible (knob);
        panel.setEnabled (enabled);
        const auto image = paint (60, 60, [&] (juce::Graphics& g) { knob.paintEntireComponent (g, false); });
        knob.setLookAndFeel (nullptr);
        return image;
    }

    /** The editor's look as the default, and its bipolar sibling; what a test judged goes side by
        side to look-<test>.png, for the eye.
    */
    class LookTest : public ControlTest
    {
    protected:
        void show (const juce::Image& image, int zoom = 1)
        {
            const auto x = sheet.getWidth() + 4, w = image.getWidth() * zoom, h = image.getHeight() * zoom;
            juce::Image wider (juce::Image::ARGB, x + w, juce::jmax (sheet.getHeight(), h), true);
            juce::Graphics g (wider);
            g.fillAll (colours::grey());
            g.drawImageAt (sheet, 0, 0);
            g.drawImageAt (image.rescaled (w, h, juce::Graphics::lowResamplingQuality), x, 0);
            sheet = wider;
            const auto file = juce::File (VEVARERO_TEST_OUTPUT_DIR).getChildFile (juce::String ("look-")
                                  + ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".png");
            file.deleteFile();
            juce::PNGImageFormat().writeImageToStream (sheet, *file.createOutputStream());
        }

        qrvx::QXBipolarLook bipolar { scale };
        juce::Image sheet;
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
        { 29, 22,   0,   0, face,    "cap over the pointer's root" },
        { 29, 20, 255, 127, black,   "pointer just outside the cap" },
        { 30, 12, 255, 127, black,   "pointer near its tip" },
        { 29, 10,   0,   0, black,   "outline over the pointer's tip" },
        { 27, 15,   0,   0, face,    "left of the pointer" },
        { 32, 15,   0,   0, face,    "right of the pointer" },
    };

    for (const auto enabled : { true, false })
    {
        const Coverage coverage ([&] (juce::Colour c) { return renderKnob (look, 0.5, c, enabled); });
        show (coverage.white, 3);

        for (const auto& p : probes)
        {
            SCOPED_TRACE (juce::String (p.what) + (enabled ? "" : ", disabled panel"));
            EXPECT_NEAR (coverage (p.x, p.y), enabled ? p.enabled : p.disabled, 3)
                << "coverage at " << p.x << ", " << p.y;

            // The black rendering shows the layers themselves (a disabled pointer is no longer black).
            const auto pixel = coverage.black.getPixelAt (p.x, p.y);
            const auto where = juce::String (p.what) + " at " + juce::String (p.x) + ", " + juce::String (p.y) + " is "
                             + pixel.toDisplayString (true);

            if (p.layer == outside)
            {
                EXPECT_EQ ((int) pixel.getAlpha(), 0) << "nothing drawn: " << where;
            }

            if (p.layer == black && enabled)
            {
                EXPECT_EQ (pixel.getARGB(), 0xff000000u) << "opaque black: " << where;
            }

            if (p.layer == face)
            {
                EXPECT_GE ((int) pixel.getRed(), 0x27) << "face grey, red at least 0x27: " << where;
                EXPECT_LE ((int) pixel.getRed(), 0x3f) << "face grey, red at most 0x3f: " << where;
            }
        }
    }
}

TEST_F (LookTest, WedgesAndValueBarsGrowFromTheStartOrFromTheCentre)
{
    // Knob angles in units of pi, clockwise from 12 o'clock: the sweep runs 1.2 .. 2.8, with 2 at the
    // top. Bars are drawn at x = 10 .. 110; a bipolar bar always shows its 2 px centre mark.
    constexpr int x = 10, y = 5, w = 100, h = 10;
    const std::pair<int, int> centre { x + 49, 2 };
    struct Case { bool isBipolar; double value; float from, to; Runs bar; };
    const Case cases[] = {
        { false, 0.0,  0.0f, 0.0f, {} },
        { false, 0.5,  1.2f, 2.0f, { { x + 2, 46 } } },
        { false, 1.0,  1.2f, 2.8f, { { x + 2, 96 } } },
        { true,  0.0,  1.2f, 2.0f, { { x + 2, 46 }, centre } },
        { true,  0.25, 1.6f, 2.0f, { { x + 27, 21 }, centre } },
        { true,  0.5,  0.0f, 0.0f, { centre } },
        { true,  0.75, 2.0f, 2.4f, { centre, { x + 52, 21 } } },
        { true,  1.0,  2.0f, 2.8f, { centre, { x + 52, 46 } } },
    };

    for (const auto& c : cases)
    {
        QXLook& lookToUse = c.isBipolar ? bipolar : look;
        const auto name = juce::String (c.isBipolar ? "bipolar at " : "plain at ") + juce::String (c.value);
        const Coverage knob ([&] (juce::Colour colour) { return renderKnob (lookToUse, c.value, colour); });

        // Across the sweep and into the gap, halfway between possible edges, on a ring inside the wedge.
        for (auto turn = 1.05f; turn < 3.0f; turn += 0.1f)
        {
            const auto angle = turn * juce::MathConstants<float>::pi;
            const auto px = (int) std::floor (30.0f + 23.0f * std::sin (angle));
            const auto py = (int) std::floor (30.0f - 23.0f * std::cos (angle));
            const auto inWedge = turn > c.from && turn < c.to;
            EXPECT_NEAR (knob (px, py), inWedge ? 204 : 0, 3)
                << name << ", angle " << turn << " pi at " << px << ", " << py
                << (inWedge ? ", inside" : ", outside") << " the wedge";
        }

        juce::Slider slider;
        slider.setValue (c.value * 10.0, juce::dontSendNotification);
        const Coverage bar ([&] (juce::Colour colour)
        {
            slider.setColour (juce::Slider::thumbColourId, colour);
            return paint (120, 20, [&] (juce::Graphics& g)
            {
                const auto position = (float) (x + c.value * w);
                lookToUse.drawLinearSlider (g, x, y, w, h, position, 0, 0, juce::Slider::LinearHorizontal, slider);
            });
        });

        EXPECT_EQ (bar.coveredRuns (y + h / 2), c.bar) << "covered runs (start, length) of the bar, " << name;
        show (knob.white);
        show (bar.white);
    }
}

//==============================================================================
TEST_F (LookTest, MenuRowsAndFontsFollowTheScaleAndTheEmbeddedTypeface)
{
    // Menu rows are their text plus twice their height wide, separators 50.
    const juce::Font embedded (look.getTypefaceForFont ({}));
    struct Row { bool separator; int standardHeight, height; float fontHeight; };
    for (const auto& r : { Row { false, 0, 18, 14.0f },
                           Row { false, 20, 20, 14.0f },
                           Row { false, 16, 16, 16.0f / 1.3f },
                           Row { true, 0, 10, 0.0f },
                           Row { true, 16, 8, 0.0f } })
    {
        int width = -1, height = -1;
        look.getIdealPopupMenuItemSize ("Zodad_Ide", r.separator, r.standardHeight, width, height);
        const auto text = embedded.withHeight (juce::jmax (0.1f, r.fontHeight)).getStringWidthFloat ("Zodad_Ide");
        const auto expectedWidth = r.separator ? 50 : (int) std::ceil (text) + 2 * r.height;
        EXPECT_EQ (juce::Point<int> (width, height), juce::Point<int> (expectedWidth, r.height))
            << "menu item size (width, height) at standard height " << r.standardHeight
            << (r.separator ? ", separator" : "");
    }

    juce::ComboBox box;
    box.setSize (120, 20);
    for (const auto s : { 1.0f, 2.0f }) // the scale is read at every use, not copied
    {
        scale = s;
        EXPECT_EQ (look.getComboBoxFont (box).getHeight(), 14.0f * s) << "combo box font height at scale " << s;
        EXPECT_EQ (look.getPopupMenuFont().getHeight(), 14.0f * s) << "popup menu font height at scale " << s;
    }

    const auto typeface = embedded.getTypefacePtr();
    EXPECT_TRUE (typeface->getName().containsIgnoreCase ("Roboto")) << "embedded typeface is " << typeface->getName();

    for (const auto& name : { juce::String ("Courier"),
                              juce::String ("Times New Roman"),
                              juce::Font::getDefaultSerifFontName(),
                              juce::Font::getDefaultMonospacedFontName(),
                              juce::Font::getDefaultSansSerifFontName() })
        for (const auto style : { juce::Font::plain, juce::Font::bold, juce::Font::italic })
            EXPECT_EQ (juce::Font (name, 20.0f, style).getTypefacePtr(), typeface)
                << name << " style " << style << " should use the embedded typeface";
}

//==============================================================================
TEST_F (LookTest, MenuComboBoxScrollBarTreeBoxAndButtonPixels)
{
    juce::ComboBox box, disabled;
    box.setSize (120, 20);
    disabled.setSize (120, 20);
    disabled.setEnabled (false);
    juce::ScrollBar bar (true);
    EXPECT_EQ (look.getDefaultScrollbarWidth(), 8) << "default scroll bar width";
    EXPECT_EQ (look.getScrollbarButtonSize (bar), 0) << "scroll bar button size";

    // Tree boxes: 0.7 of the smaller side, at most 16, made odd and centred on whole pixels.
    using G = juce::Graphics;
    const juce::Image images[] = {
        paint (100, 60, [&] (G& g) { look.drawPopupMenuBackground (g, 100, 60); }),
        paint (120, 20, [&] (G& g) { look.drawComboBox (g, 120, 20, false, 100, 0, 20, 20, box); }),
        paint (120, 20, [&] (G& g) { look.drawComboBox (g, 120, 20, false, 100, 0, 20, 20, disabled); }),
        paint (8, 100, [&] (G& g) { look.drawScrollbar (g, bar, 0, 0, 8, 100, true, 20, 40, false, false); }),
        paint (16, 100, [&] (G& g) { look.drawScrollbar (g, bar, 0, 0, 16, 100, true, 20, 40, false, false); }),
        paint (30, 30, [&] (G& g) { look.drawTreeviewPlusMinusBox (g, { 30, 30 }, {}, false, false); }),
        paint (30, 30, [&] (G& g) { look.drawTreeviewPlusMinusBox (g, { 30, 30 }, {}, true, false); }),
        paint (30, 30, [&] (G& g) { look.drawTreeviewPlusMinusBox (g, { 4, 4, 8, 8 }, {}, false, false); }),
    };

    const auto black = juce::Colours::black, none = juce::Colours::transparentBlack;
    const auto grey = colours::grey(), dark = colours::dark_grey(), light = colours::light_grey();
    struct Probe { int image, x, y; juce::Colour colour; const char* what; };
    const Probe probes[] = {
        { 0,   0,  0, grey,  "menu border corner" },
        { 0,   1, 30, grey,  "menu border, 2 px" },
        { 0,  98, 30, grey,  "menu border right" },
        { 0,  50, 59, grey,  "menu border bottom" },
        { 0,   2, 30, dark,  "menu inside the border" },
        { 0,  97, 57, dark,  "menu" },
        { 1, 110, 10, light, "combo arrow" },
        { 2, 110, 10, dark,  "no arrow on a disabled combo" },
        { 1,   0, 10, black, "combo outer edge" },
        { 1,   2, 10, grey,  "combo inner outline" },
        { 1,  60, 19, black, "combo bottom bar" },
        { 3,   0, 10, light, "8 wide: slot to the edge" },
        { 3,   4, 40, dark,  "8 wide: thumb" },
        { 4,   0, 10, dark,  "16 wide: slot inset" },
        { 4,   1, 10, light, "16 wide: slot" },
        { 4,   8, 40, dark,  "16 wide: thumb" },
        { 5,   8, 10, none,  "left of the 11 x 11 tree box" },
        { 5,   9, 10, dark,  "its left edge" },
        { 5,  19, 10, dark,  "its right edge" },
        { 5,  20, 10, none,  "right of it" },
        { 5,  10,  8, none,  "above it" },
        { 5,  10,  9, dark,  "its top edge" },
        { 5,  10, 19, dark,  "its bottom edge" },
        { 5,  10, 20, none,  "below it" },
        { 5,  10, 10, light, "inside" },
        { 5,  13, 14, dark,  "minus bar" },
        { 5,  14, 13, dark,  "plus bar" },
        { 6,  13, 14, dark,  "open: minus bar" },
        { 6,  14, 13, light, "open: no plus bar" },
        { 7,   3,  7, none,  "left of the 7 x 7 box in 8 x 8" },
        { 7,   4,  7, dark,  "its left edge" },
        { 7,  10, 10, dark,  "its far corner" },
        { 7,  11, 10, none,  "beyond it" },
    };

    for (const auto& p : probes)
        EXPECT_EQ (images[p.image].getPixelAt (p.x, p.y).toString(), p.colour.toString())
            << p.what << " (image " << p.image << " at " << p.x << ", " << p.y << ")";

    for (const auto& image : images)
        show (image, 2);

    // A held button already shows its "on" colour, before the release toggles anything.
    juce::TextButton button ("HOLD");
    button.setSize (80, 24);
    button.setColour (juce::TextButton::textColourOffId, none);

    for (int state = 0; state < 3; ++state) // up, held down, toggled
    {
        button.setToggleState (state == 2, juce::dontSendNotification);
        const Coverage coverage ([&] (juce::Colour c)
        {
            button.setColour (juce::TextButton::textColourOnId, c);
            return paint (80, 24, [&] (G& g) { look.drawButtonText (g, button, false, state == 1); });
        });
        show (coverage.white, 2);
        EXPECT_EQ (coverage.coveredRuns (12).empty(), state == 0) << "up, held down, toggled: " << state;
    }
}

TEST_F (LookTest, SliderTextBoxIgnoresTheWheel)
{
    // Over a plain child label a wheel turn reaches the slider; over the value box it must not.
    juce::Slider slider (juce::Slider::LinearHorizontal, juce::Slider::TextBoxBelow);
    auto* box = dynamic_cast<QXLook::SliderLabelComp*> (slider.getChildComponent (0));
    ASSERT_NE (box, nullptr) << "the slider's first child should be the look's value box";
    juce::Label plain;
    slider.addChildComponent (plain);

    const auto event = mouseEventOn (slider, {}, {}, {});
    box->mouseWheelMove (event, { 0.0f, 0.5f, false, false, false });
    EXPECT_EQ (slider.getValue(), 0.0) << "after a wheel turn over the value box";
    plain.mouseWheelMove (event, { 0.0f, 0.5f, false, false, false });
    EXPECT_NE (slider.getValue(), 0.0) << "after a wheel turn over a plain child label";
}
