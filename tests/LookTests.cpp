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

    /** What a pixel test judged, row by row, for the eye. */
    class WidgetSheet
    {
    public:
        void startRow()  { rows.emplace_back(); }

        /** Adds an image, enlarged pixel for pixel by scale. */
        void add (const juce::Image& image, int scale = 1)
        {
            if (rows.empty())
                startRow();

            rows.back().push_back (image.rescaled (image.getWidth() * scale, image.getHeight() * scale,
                                                   juce::Graphics::lowResamplingQuality));
        }

        /** Writes the sheet as a PNG file; a test that added nothing writes nothing. */
        void write (const juce::File& file) const
        {
            if (rows.empty())
                return;

            constexpr int gap = 6;
            int width = gap, height = gap;

            for (const auto& row : rows)
            {
                int rowWidth = gap, rowHeight = 0;

                for (const auto& image : row)
                {
                    rowWidth += image.getWidth() + gap;
                    rowHeight = juce::jmax (rowHeight, image.getHeight());
                }

                width = juce::jmax (width, rowWidth);
                height += rowHeight + gap;
            }

            juce::Image sheet (juce::Image::ARGB, width, height, true, juce::SoftwareImageType());
            juce::Graphics g (sheet);
            g.fillAll (colours::grey);

            int y = gap;

            for (const auto& row : rows)
            {
                int x = gap, rowHeight = 0;

                for (const auto& image : row)
                {
                    g.drawImageAt (image, x, y);
                    x += image.getWidth() + gap;
                    rowHeight = juce::jmax (rowHeight, image.getHeight());
                }

                y += rowHeight + gap;
            }

            file.getParentDirectory().createDirectory();
            file.deleteFile();
            juce::FileOutputStream stream (file);
            jassert (stream.openedOk());
            juce::PNGImageFormat().writeImageToStream (sheet, stream);
        }

    private:
        std::vector<std::vector<juce::Image>> rows;
    };

    /** The editor makes its look the process-wide default; the typeface cache is emptied on both
        sides so that fonts resolve through this look and nothing outlives it.
    */
    class LookTest : public ::testing::Test
    {
    protected:
        void SetUp() override { juce::Typeface::clearTypefaceCache(); juce::LookAndFeel::setDefaultLookAndFeel (&look); }

        // Each test's sheet goes to the test output folder under the test's name, so that tests
        // run in separate processes never write the same file.
        void TearDown() override
        {
            juce::LookAndFeel::setDefaultLookAndFeel (nullptr);
            juce::Typeface::clearTypefaceCache();

            const auto name = juce::String ("look-") + ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".png";
            sheet.write (juce::File (VEVARERO_TEST_OUTPUT_DIR).getChildFile (name));
        }

        float scale = 1.0f;
        QXLook look { scale };
        qrvx::QXBipolarLook bipolar { scale };
        WidgetSheet sheet;
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
        sheet.add (coverage.white, 3);

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
        sheet.add (coverage.white);

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

        sheet.add (coverage.white);
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

    for (const auto& image : images)
        sheet.add (image, 2);

    // A held button already shows its "on" colour, before the release toggles anything.
    juce::TextButton button ("HOLD");
    button.setSize (80, 24);
    button.setColour (juce::TextButton::textColourOffId, juce::Colours::transparentBlack);
    sheet.startRow();

    for (int state = 0; state < 3; ++state) // up, held down, toggled
    {
        button.setToggleState (state == 2, juce::dontSendNotification);
        const Coverage coverage ([&] (juce::Colour c)
        {
            button.setColour (juce::TextButton::textColourOnId, c);
            return paint (80, 24, [&] (juce::Graphics& g) { look.drawButtonText (g, button, false, state == 1); });
        });
        sheet.add (coverage.white, 2);
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
