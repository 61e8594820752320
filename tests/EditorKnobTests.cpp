#include "ControlTestSupport.h"

#include "editor/UIControlFactory.h"
#include "look/QrvxColours.h"

#include <optional>

namespace
{
    namespace colours = qrvx::QrvxColours;
    using Attachment = juce::AudioProcessorValueTreeState::SliderAttachment;
    const juce::Point<float> centre (30.0f, 30.0f);

    // A point at a proportion (0..1) of the sweep, which runs clockwise from 1.2 pi to 2.8 pi from 12 o'clock.
    juce::Point<float> onSweep (float radius, float proportion)
    {
        const auto angle = juce::MathConstants<float>::pi * (1.2f + 1.6f * proportion);
        return centre + juce::Point<float> (std::sin (angle), -std::cos (angle)) * radius;
    }

    bool isWedge (juce::Colour c) { return c.getAlpha() > 0x20 && c.getGreen() > c.getRed() && c.getGreen() > c.getBlue(); }

    struct KnobTest : ControlTest
    {
        std::unique_ptr<qrvx::QrvxKnob> makeKnob (double value = 0.0, float amount = 0.0f)
        {
            auto knob = qrvx::UIControlFactory::createRegularKnob (colours::teal());
            knob->setBounds (0, 0, 60, 60);
            knob->setValue (value);
            knob->modulationAmount = amount;
            panel.addAndMakeVisible (*knob);
            return knob;
        }

        juce::Component panel;
    };
} // namespace

TEST_F (KnobTest, ReadsZeroToOneUntilAttachedThenItsParameter)
{
    auto knob = qrvx::UIControlFactory::createRegularKnob (colours::orange());
    EXPECT_EQ (knob->getSliderStyle(), juce::Slider::RotaryVerticalDrag);
    EXPECT_EQ (knob->getTextBoxPosition(), juce::Slider::NoTextBox);
    EXPECT_FALSE (knob->getWantsKeyboardFocus());
    EXPECT_EQ (knob->findColour (juce::Slider::rotarySliderFillColourId), colours::orange());
    EXPECT_EQ (knob->findColour (juce::Slider::backgroundColourId).getAlpha(), 0);
    knob->setValue (0.12345);
    EXPECT_EQ (knob->getRange(), juce::Range<double> (0.0, 1.0));
    EXPECT_DOUBLE_EQ (knob->getValue(), 0.123);

    Attachment attachment (processor.valueTreeState, "Bits", *knob);
    const auto& range = parameter ("Bits").getNormalisableRange();
    EXPECT_EQ (knob->getRange(), juce::Range<double> (range.start, range.end));
}

TEST_F (KnobTest, AltClickReturnsToTheDefaultOrOpensTheLearnMenuOnceLabelled)
{
    using Mods = juce::ModifierKeys;
    const Mods altClick (Mods::leftButtonModifier | Mods::altModifier);
    auto knob = makeKnob();
    auto attachment = std::make_unique<Attachment> (processor.valueTreeState, "Cutoff", *knob);
    const auto atDefault = parameter ("Cutoff").convertFrom0to1 (parameter ("Cutoff").getDefaultValue());

    // Alt alone jumps to the default and no drag follows; with another key held it drags. Either
    // way the host hears one gesture.
    for (const auto& [what, mods] : { std::pair ("alt", altClick),
                                      std::pair ("alt and shift", altClick.withFlags (Mods::shiftModifier)),
                                      std::pair ("alt and ctrl", altClick.withFlags (Mods::ctrlModifier)),
                                      std::pair ("no modifier", Mods (Mods::leftButtonModifier)) })
    {
        SCOPED_TRACE (what);
        knob->setValue (5000.0, juce::sendNotificationSync);
        host.clear();
        pressDragRelease (*knob, centre, -30.0f, mods);
        const auto value = (float) knob->getValue();
        if (mods == altClick)
        {
            EXPECT_TRUE (juce::approximatelyEqual (value, atDefault)) << "value " << value << ", default " << atDefault;
        }
        else
        {
            EXPECT_GT (value, 5000.0f) << "value after dragging up from 5000";
        }
        EXPECT_EQ (std::pair (host.gestureBegins(), host.gestureEnds()), std::pair (1, 1)) << host.describe();
    }

    // Labelled, it opens the menu instead and leaves the value. Picked by keyboard (0 dismisses).
    struct Counter final : juce::ChangeListener
    {
        void changeListenerCallback (juce::ChangeBroadcaster*) override { ++calls; }
        int calls = 0;
    } counter;
    const auto pickFromOpenMenu = [] (int item)
    {
        auto* menu = juce::Component::getCurrentlyModalComponent();
        for (int i = 0; i < item && menu != nullptr; ++i)
            menu->keyPressed (juce::KeyPress (juce::KeyPress::downKey));
        if (menu != nullptr)
            menu->keyPressed (juce::KeyPress (item > 0 ? juce::KeyPress::returnKey : juce::KeyPress::escapeKey));
        dispatchMessagesFor (50);
        return menu != nullptr;
    };

    knob->mappingLabel = "CC 74";
    knob->addChangeListener (&counter);
    knob->setValue (5000.0, juce::sendNotificationSync);
    host.clear();
    // Picks in turn on the same knob: what it has been asked for so far, and how many messages it sent.
    struct Pick { int item; bool assign, clear; int messages; };
    const Pick picks[] = {
        { 0, false, false, 0 },
        { 1, true, false, 1 },
        { 1, true, false, 2 },
        { 0, true, false, 2 },
        { 2, true, true, 3 },
    };
    for (size_t turn = 0; turn < std::size (picks); ++turn)
    {
        const auto& pick = picks[turn];
        SCOPED_TRACE ("pick " + juce::String ((int) turn) + ", item " + juce::String (pick.item));
        knob->mouseDown (mouseEventOn (*knob, centre, altClick, centre));
        ASSERT_TRUE (pickFromOpenMenu (pick.item)) << "no menu opened";
        EXPECT_EQ (std::tuple (knob->assignRequested, knob->clearRequested, counter.calls),
                   std::tuple (pick.assign, pick.clear, pick.messages))
            << "assign asked, clear asked, messages sent";
    }
    EXPECT_DOUBLE_EQ (knob->getValue(), 5000.0) << "the value after the menu picks";
    EXPECT_TRUE (host.events().empty()) << "the menu picks: " << host.describe();
    knob->removeChangeListener (&counter);

    // A pick that arrives after the knob has gone lands nowhere.
    knob->mouseDown (mouseEventOn (*knob, centre, altClick, centre));
    attachment.reset();
    knob.reset();
    EXPECT_TRUE (pickFromOpenMenu (qrvx::MIDITarget::assignItem)) << "no menu opened before the knob went";
    EXPECT_EQ (juce::Component::getCurrentlyModalComponent(), nullptr) << "a menu still open after the pick";
}

TEST_F (KnobTest, ModulationWedgeCoversItsShareOfTheTravelLeftInItsColour)
{
    // The wedge starts at the value's place on the knob's own (skewed) travel; a disabled panel fades it.
    struct Case { float value, amount; bool squared; double skew; bool enabled; std::optional<juce::Range<float>> expected; };
    for (const auto& c : { Case { 0.25f, 0.0f, false, 1.0, true, std::nullopt },
                           Case { 0.25f, 0.5f, false, 1.0, true, juce::Range<float> (0.25f, 0.625f) },
                           Case { 0.25f, 0.5f, true, 1.0, true, juce::Range<float> (0.25f, 0.4375f) }, // squared: a quarter
                           Case { 0.0f, 1.0f, false, 1.0, false, juce::Range<float> (0.0f, 1.0f) },
                           Case { 1.0f, 1.0f, false, 1.0, true, std::nullopt },                         // at the end stop
                           Case { 0.5f, 0.02f, false, 1.0, true, juce::Range<float> (0.5f, 0.51f) },
                           Case { 0.25f, 0.5f, false, 0.5, true, juce::Range<float> (0.5f, 0.75f) } })
    {
        SCOPED_TRACE ("value " + juce::String (c.value) + ", amount " + juce::String (c.amount)
                      + ", skew " + juce::String (c.skew) + (c.squared ? ", squared" : "") + (c.enabled ? "" : ", disabled"));
        auto knob = makeKnob (0.0, c.amount);
        knob->setSkewFactor (c.skew);
        knob->setValue (c.value);
        knob->squareAmount = c.squared;
        panel.setEnabled (c.enabled);
        const auto image = renderComponent (*knob);

        // Read on the ring that the face (radius 28) leaves visible of the wedge (radius 30).
        std::optional<juce::Range<float>> extent;
        for (float proportion = 0.0f; proportion <= 1.0005f; proportion += 0.001f)
            if (const auto at = onSweep (29.2f, proportion).toInt(); isWedge (image.getPixelAt (at.x, at.y)))
                extent = extent ? extent->getUnionWith (proportion) : juce::Range<float> (proportion, proportion);

        ASSERT_EQ (extent.has_value(), c.expected.has_value()) << "whether a wedge shows";
        if (! extent)
            continue;
        EXPECT_NEAR (extent->getStart(), c.expected->getStart(), 0.006f) << "where the wedge starts";
        EXPECT_NEAR (extent->getEnd(), c.expected->getEnd(), 0.006f) << "where the wedge ends";
        const auto rim = onSweep (29.0f, extent->getStart() + extent->getLength() / 2.0f).toInt();
        const auto wedgeColour = colours::lime().withAlpha ((juce::uint8) (c.enabled ? 0xcc : 0x33));
        if (extent->getLength() >= 0.1f)
        {
            EXPECT_TRUE (coloursNear (image.getPixelAt (rim.x, rim.y), wedgeColour))
                << "the wedge's middle at " << rim.toString() << ", " << extent->getLength() << " of the travel long";
        }
    }
}

TEST_F (KnobTest, ModulationWedgeThresholdAndStyles)
{
    // Magnified 1000 times around the wedge's starting edge, where the face is far off and a wedge
    // just over the threshold is some 15 pixels wide.
    for (const auto amount : { 0.0001f, 0.00011f })
    {
        auto knob = makeKnob (0.0, amount);
        juce::Image image (juce::Image::ARGB, 60, 60, true, juce::SoftwareImageType());
        {
            juce::Graphics g (image);
            g.addTransform (juce::AffineTransform::translation (-onSweep (29.5f, 0.0f)).scaled (1000.0f).translated (centre));
            knob->paint (g);
        }
        int wedgePixels = 0;
        for (int i = 0; i < 60 * 60; ++i)
            wedgePixels += isWedge (image.getPixelAt (i % 60, i / 60)) ? 1 : 0;
        EXPECT_EQ (wedgePixels > 0, amount > 0.0001f) << "amount " << amount << ": " << wedgePixels << " wedge pixels";
    }

    // Only the vertical-drag rotary knob carries a wedge.
    for (const auto style : { juce::Slider::LinearHorizontal, juce::Slider::LinearBar, juce::Slider::Rotary })
    {
        auto plain = makeKnob (0.3), modulated = makeKnob (0.3, 1.0f);
        plain->setSliderStyle (style);
        modulated->setSliderStyle (style);
        EXPECT_TRUE (sameImage (renderComponent (*plain), renderComponent (*modulated)))
            << "slider style " << style << " draws a wedge";
    }
}
