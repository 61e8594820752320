#include "ControlTestSupport.h"

#include "editor/UIControlFactory.h"
#include "look/QrvxColours.h"

#include <memory>
#include <optional>

namespace
{
    namespace colours = qrvx::QrvxColours;
    using qrvx::QrvxKnob;
    using qrvx::UIControlFactory;

    constexpr float pi = juce::MathConstants<float>::pi;

    // Angles clockwise from 12 o'clock, as the knobs sweep them.
    juce::Point<float> pointAt (juce::Point<float> centre, float radius, float angle)
    {
        return centre + juce::Point<float> (radius * std::sin (angle), -radius * std::cos (angle));
    }

    float sweepAngle (float proportion) { return 1.2f * pi + proportion * 1.6f * pi; }

    bool isWedgePixel (juce::Colour c)
    {
        return c.getAlpha() > 0x20 && c.getGreen() > c.getRed() && c.getGreen() > c.getBlue();
    }

    /** The part of the sweep (as proportions 0..1) that the wedge covers, read from a ring between
        the knob face's rim (radius 28 on a 60 x 60 knob) and the wedge's edge (radius 30); nothing
        when the ring is clear.
    */
    std::optional<juce::Range<float>> wedgeExtent (const juce::Image& image)
    {
        const juce::Point<float> centre (30.0f, 30.0f);
        std::optional<juce::Range<float>> extent;

        for (int step = 0; step <= 1000; ++step)
        {
            const auto proportion = (float) step / 1000.0f;
            const auto at = pointAt (centre, 29.2f, sweepAngle (proportion));

            if (isWedgePixel (image.getPixelAt ((int) at.x, (int) at.y)))
                extent = extent ? extent->getUnionWith (proportion) : juce::Range<float> (proportion, proportion);
        }

        return extent;
    }

    class KnobTest : public ControlTest
    {
    protected:
        std::unique_ptr<QrvxKnob> makeKnob (juce::Component* parent = nullptr)
        {
            auto knob = UIControlFactory::createRegularKnob (colours::teal);
            knob->setBounds (0, 0, 60, 60);
            if (parent != nullptr)
                parent->addAndMakeVisible (*knob);
            return knob;
        }
    };
} // namespace

//==============================================================================
TEST_F (KnobTest, FactorySettingsUntilAnAttachmentGivesTheParameterRange)
{
    auto knob = UIControlFactory::createRegularKnob (colours::orange);

    EXPECT_EQ (knob->getSliderStyle(), juce::Slider::RotaryVerticalDrag);
    EXPECT_EQ (knob->getRange(), juce::Range<double> (0.0, 1.0));
    EXPECT_DOUBLE_EQ (knob->getInterval(), 0.001);
    EXPECT_EQ (knob->getTextBoxPosition(), juce::Slider::NoTextBox);
    EXPECT_FALSE (knob->isTextBoxEditable());
    EXPECT_EQ (knob->getTextBoxWidth(), 0);
    EXPECT_EQ (knob->getTextBoxHeight(), 0);
    EXPECT_FALSE (knob->getWantsKeyboardFocus());
    EXPECT_EQ (knob->findColour (juce::Slider::backgroundColourId).getARGB(), 0x00272727u);
    EXPECT_EQ (knob->findColour (juce::Slider::rotarySliderFillColourId), colours::orange);
    EXPECT_TRUE (knob->getCachedComponentImage() != nullptr);
    EXPECT_TRUE (knob->mappingLabel.isEmpty() && ! knob->assignRequested && ! knob->clearRequested);
    EXPECT_EQ (knob->modulationAmount, 0.0f);
    EXPECT_FALSE (knob->squareAmount);

    // Attached, each knob maps its travel the way its parameter does, skew included.
    for (const auto* id : { "Cutoff", "Bits", "Amplitude", "LFO_1_Synced_Rate", "Dry_Wet_Mix_Mod_Depth" })
    {
        SCOPED_TRACE (id);
        auto attached = UIControlFactory::createRegularKnob (colours::teal);
        juce::AudioProcessorValueTreeState::SliderAttachment attachment (processor.valueTreeState, id, *attached);
        const auto& range = parameter (id).getNormalisableRange();

        EXPECT_FLOAT_EQ ((float) attached->getMinimum(), range.start);
        EXPECT_FLOAT_EQ ((float) attached->getMaximum(), range.end);
        EXPECT_FLOAT_EQ ((float) attached->getInterval(), range.interval);
        const auto probe = range.snapToLegalValue (range.convertFrom0to1 (0.3f));
        EXPECT_NEAR (attached->valueToProportionOfLength (probe), range.convertTo0to1 (probe), 1e-6);
        EXPECT_FLOAT_EQ ((float) attached->getDoubleClickReturnValue(), range.convertFrom0to1 (parameter (id).getDefaultValue()));
    }
}

TEST_F (KnobTest, AltClickAloneReturnsToTheDefaultAnyOtherAltClickDrags)
{
    const auto left = juce::ModifierKeys::leftButtonModifier;
    const auto alt = juce::ModifierKeys::altModifier;

    struct Case { int modifiers; bool returnsToDefault; };
    const Case cases[] = { { left | alt, true },
                           { left | alt | juce::ModifierKeys::shiftModifier, false },
                           { left | alt | juce::ModifierKeys::ctrlModifier, false },
                           { left, false } };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.modifiers);
        juce::Component panel;
        panel.setSize (60, 60);
        auto knob = makeKnob (&panel);
        juce::AudioProcessorValueTreeState::SliderAttachment attachment (processor.valueTreeState, "Cutoff", *knob);
        knob->setValue (5000.0, juce::sendNotificationSync);
        const auto defaultValue = knob->getDoubleClickReturnValue();
        host.clear();

        const juce::ModifierKeys mods (c.modifiers);
        knob->mouseDown (mouseEventOn (*knob, { 30.0f, 30.0f }, mods, { 30.0f, 30.0f }));

        if (c.returnsToDefault)
        {
            EXPECT_DOUBLE_EQ (knob->getValue(), defaultValue);
            EXPECT_TRUE (host.everyValueInItsOwnGesture());
            EXPECT_EQ (host.valueChanges(), 1);
        }
        else
        {
            // A drag has begun: the host hears the gesture open, and moving the mouse up raises the value.
            EXPECT_DOUBLE_EQ (knob->getValue(), 5000.0);
            EXPECT_EQ (host.gestureBegins(), 1);
            knob->mouseDrag (mouseEventOn (*knob, { 30.0f, 0.0f }, mods, { 30.0f, 30.0f }));
            EXPECT_GT (knob->getValue(), 5000.0);
        }

        knob->mouseUp (mouseEventOn (*knob, { 30.0f, 0.0f }, mods, { 30.0f, 30.0f }));
        EXPECT_EQ (host.gestureBegins(), 1);
        EXPECT_EQ (host.gestureEnds(), 1);
    }
}

//==============================================================================
TEST_F (KnobTest, LearnMenuOpensOnAltClickOnceLabelledAndRaisesOneRequestPerPick)
{
    struct Counter final : juce::ChangeListener
    {
        void changeListenerCallback (juce::ChangeBroadcaster*) override { ++calls; }
        int calls = 0;
    };

    // Picks in order, with the flags and the number of change messages after each.
    struct Pick { int result; bool assign, clear; int messages; };
    const Pick picks[] = { { 0, false, false, 0 }, { 1, true, false, 1 }, { 1, true, false, 2 },
                           { 0, true, false, 2 }, { 2, true, true, 3 }, { 7, true, true, 3 } };

    auto knob = makeKnob();
    Counter counter;
    knob->addChangeListener (&counter);

    for (const auto& pick : picks)
    {
        SCOPED_TRACE (pick.result);
        knob->handleMenuResult (pick.result);
        knob->dispatchPendingMessages();
        EXPECT_EQ (knob->assignRequested, pick.assign);
        EXPECT_EQ (knob->clearRequested, pick.clear);
        EXPECT_EQ (counter.calls, pick.messages);
    }

    knob->removeChangeListener (&counter);

    // With a mapping label, Alt opens the menu instead of touching the value, and a pick in the
    // menu lands in the knob; the knob may even be gone before the pick.
    const auto pickFromOpenMenu = [] (int item)
    {
        auto* menu = juce::Component::getCurrentlyModalComponent();
        if (menu == nullptr)
            return false;
        for (int i = 0; i < item; ++i)
            menu->keyPressed (juce::KeyPress (juce::KeyPress::downKey));
        menu->keyPressed (juce::KeyPress (juce::KeyPress::returnKey));
        juce::MessageManager::getInstance()->runDispatchLoopUntil (50);
        return true;
    };

    auto labelled = makeKnob();
    auto attachment = std::make_unique<juce::AudioProcessorValueTreeState::SliderAttachment> (processor.valueTreeState, "Cutoff", *labelled);
    labelled->setValue (5000.0, juce::sendNotificationSync);
    labelled->mappingLabel = "CC 74";
    host.clear();

    const juce::ModifierKeys altClick (juce::ModifierKeys::leftButtonModifier | juce::ModifierKeys::altModifier);
    labelled->mouseDown (mouseEventOn (*labelled, { 30.0f, 30.0f }, altClick, { 30.0f, 30.0f }));
    EXPECT_DOUBLE_EQ (labelled->getValue(), 5000.0);
    EXPECT_TRUE (host.events().empty());
    ASSERT_TRUE (pickFromOpenMenu (qrvx::MIDITarget::clearItem));
    EXPECT_TRUE (labelled->clearRequested);
    EXPECT_FALSE (labelled->assignRequested);

    labelled->mouseDown (mouseEventOn (*labelled, { 30.0f, 30.0f }, altClick, { 30.0f, 30.0f }));
    attachment.reset();
    labelled.reset();
    EXPECT_TRUE (pickFromOpenMenu (qrvx::MIDITarget::assignItem));
    EXPECT_EQ (juce::Component::getCurrentlyModalComponent(), nullptr);
}

//==============================================================================
TEST_F (KnobTest, ModulationWedgeCoversItsShareOfTheRemainingTravel)
{
    // Proportions of the sweep: the wedge starts at the value and covers the given share of what
    // is left up to the end stop.
    struct Case { const char* what; float value, amount; bool squared; std::optional<juce::Range<float>> expected; };
    const Case cases[] = {
        { "off",                      0.25f, 0.0f,    false, std::nullopt },
        { "half of the rest",         0.25f, 0.5f,    false, juce::Range<float> (0.25f, 0.625f) },
        { "squared half, a quarter",  0.25f, 0.5f,    true,  juce::Range<float> (0.25f, 0.4375f) },
        { "all of it from the start", 0.0f,  1.0f,    false, juce::Range<float> (0.0f, 1.0f) },
        { "at the end stop, empty",   1.0f,  1.0f,    false, std::nullopt },
        { "small but visible",        0.5f,  0.02f,   false, juce::Range<float> (0.5f, 0.51f) },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        auto knob = makeKnob();
        knob->setValue (c.value);
        knob->modulationAmount = c.amount;
        knob->squareAmount = c.squared;
        const auto extent = wedgeExtent (renderComponent (*knob));

        ASSERT_EQ (extent.has_value(), c.expected.has_value());
        if (extent)
        {
            EXPECT_NEAR (extent->getStart(), c.expected->getStart(), 0.006f);
            EXPECT_NEAR (extent->getEnd(), c.expected->getEnd(), 0.006f);
        }
    }

    // The wedge follows the knob's own mapping: a skewed parameter's value sits off the linear spot.
    auto knob = makeKnob();
    juce::AudioProcessorValueTreeState::SliderAttachment attachment (processor.valueTreeState, "Cutoff", *knob);
    knob->setValue (1000.0);
    knob->modulationAmount = 1.0f;
    const auto extent = wedgeExtent (renderComponent (*knob));
    ASSERT_TRUE (extent.has_value());
    EXPECT_NEAR (extent->getStart(), parameter ("Cutoff").convertTo0to1 (1000.0f), 0.006f);
    EXPECT_NEAR (extent->getEnd(), 1.0f, 0.006f);
}

TEST_F (KnobTest, ModulationWedgeColourThresholdAndStyles)
{
    // Colour, read in the middle of the visible rim, enabled and inside a disabled panel.
    for (const auto enabled : { true, false })
    {
        juce::Component panel;
        panel.setSize (60, 60);
        auto knob = makeKnob (&panel);
        knob->setValue (0.0);
        knob->modulationAmount = 1.0f;
        panel.setEnabled (enabled);

        const auto rim = pointAt ({ 30.0f, 30.0f }, 29.0f, sweepAngle (0.5f));
        const auto pixel = renderComponent (*knob).getPixelAt ((int) rim.x, (int) rim.y);
        EXPECT_TRUE (coloursNear (pixel, colours::lime.withAlpha ((juce::uint8) (enabled ? 0xcc : 0x33)))) << enabled;
    }

    // The threshold, magnified 1000 times at the wedge's starting edge where a wedge just over it
    // is some 15 pixels wide.
    for (const auto amount : { 0.0001f, 0.00011f })
    {
        SCOPED_TRACE (amount);
        auto knob = makeKnob();
        knob->setValue (0.0);
        knob->modulationAmount = amount;

        constexpr float zoom = 1000.0f;
        const auto edge = pointAt ({ 30.0f, 30.0f }, 29.5f, sweepAngle (0.0f));
        juce::Image image (juce::Image::ARGB, 60, 60, true, juce::SoftwareImageType());
        {
            juce::Graphics g (image);
            g.addTransform (juce::AffineTransform::translation (-edge).scaled (zoom).translated (30.0f, 30.0f));
            knob->paint (g);
        }

        // Clockwise along the rim from the edge lies the wedge, counter-clockwise nothing.
        const juce::Point<float> clockwise (std::cos (sweepAngle (0.0f)), std::sin (sweepAngle (0.0f)));
        const auto inside = juce::Point<float> (30.0f, 30.0f) + clockwise * 8.0f;
        const auto outside = juce::Point<float> (30.0f, 30.0f) - clockwise * 8.0f;
        EXPECT_EQ (isWedgePixel (image.getPixelAt ((int) inside.x, (int) inside.y)), amount > 0.0001f);
        EXPECT_FALSE (isWedgePixel (image.getPixelAt ((int) outside.x, (int) outside.y)));
    }

    // Only the vertical-drag rotary knob carries a wedge; bars and other knobs never do.
    for (const auto style : { juce::Slider::LinearHorizontal, juce::Slider::LinearVertical, juce::Slider::LinearBar,
                              juce::Slider::Rotary, juce::Slider::RotaryHorizontalVerticalDrag })
    {
        SCOPED_TRACE (style);
        auto plain = makeKnob();
        auto modulated = makeKnob();
        for (auto* knob : { plain.get(), modulated.get() })
        {
            knob->setSliderStyle (style);
            knob->setValue (0.3);
        }
        modulated->modulationAmount = 1.0f;

        const auto a = renderComponent (*plain), b = renderComponent (*modulated);
        int differing = 0;
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < 60; ++x)
                differing += a.getPixelAt (x, y) != b.getPixelAt (x, y) ? 1 : 0;
        EXPECT_EQ (differing, 0);
    }
}
