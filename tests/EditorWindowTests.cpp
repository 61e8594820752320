#include "EditorInspector.h"
#include "EditorTestSupport.h"
#include "look/QrvxColours.h"

#include <gtest/gtest.h>

#include <cmath>
#include <malloc.h>

namespace
{
    using Editor = VevareroAudioProcessorEditor;
    using I = EditorInspector;

    const juce::Colour cableColour { 0x7f96ca30 };

    /** An editor with its processor and what the host hears of it. */
    class EditorWindowTest : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            // Fonts resolve through the editor's look, not a typeface cached by an earlier test.
            juce::Typeface::clearTypefaceCache();
            editor = std::make_unique<Editor> (processor);
        }

        void TearDown() override
        {
            editor.reset();
            juce::Typeface::clearTypefaceCache();
        }

        juce::RangedAudioParameter& parameter (const juce::String& id)
        {
            auto* p = processor.valueTreeState.getParameter (id);
            jassert (p != nullptr);
            return *p;
        }

        VevareroAudioProcessor processor;
        HostEventRecorder host { processor };
        std::unique_ptr<Editor> editor;
    };

    /** Records the regions a component asks to have repainted, its children's requests included, in
        its own coordinates. It borrows the component's cached-image slot while it lives.
    */
    class RepaintedRegions final
    {
    public:
        explicit RepaintedRegions (juce::Component& c) : component (c)
        {
            component.setVisible (true); // JUCE drops the repaints of hidden components
            component.setCachedComponentImage (new Probe (*this));
            regions.clear(); // installing the probe repaints once
        }

        ~RepaintedRegions() { component.setCachedComponentImage (nullptr); }

        /** What was asked for since the last call. */
        juce::RectangleList<int> take() { return std::exchange (regions, {}); }

    private:
        struct Probe final : juce::CachedComponentImage
        {
            explicit Probe (RepaintedRegions& o) : owner (o) {}
            void paint (juce::Graphics&) override {}
            bool invalidateAll() override { owner.regions.add (owner.component.getLocalBounds()); return true; }
            bool invalidate (const juce::Rectangle<int>& area) override { owner.regions.add (area); return true; }
            void releaseResources() override {}
            RepaintedRegions& owner;
        };

        juce::Component& component;
        juce::RectangleList<int> regions;
    };

    /** Puts a component on the desktop, as a host's window holds it, for mouse events that go
        through the window the way the windowing system sends them.
    */
    class WindowOnDesktop final : public juce::Component
    {
    public:
        explicit WindowOnDesktop (juce::Component& content)
        {
            setSize (content.getWidth(), content.getHeight());
            addAndMakeVisible (content);
            addToDesktop (0);
            setVisible (true);
        }

        ~WindowOnDesktop() override { removeFromDesktop(); }

        void mouse (juce::Point<int> position, juce::ModifierKeys buttons)
        {
            if (auto* peer = getPeer())
                peer->handleMouseEvent (juce::MouseInputSource::InputSourceType::mouse, position.toFloat(), buttons,
                                        juce::MouseInputSource::defaultPressure, 0.0f, time += 20);
        }

        void click (juce::Point<int> position, juce::ModifierKeys buttons = juce::ModifierKeys::leftButtonModifier)
        {
            mouse (position, {});
            mouse (position, buttons);
            mouse (position, {});
        }

        /** Presses at one point, moves to the other in steps with the button held, and lets go. */
        void drag (juce::Point<int> from, juce::Point<int> to,
                   juce::ModifierKeys buttons = juce::ModifierKeys::leftButtonModifier)
        {
            constexpr int steps = 10;
            mouse (from, {});
            mouse (from, buttons);

            for (int i = 1; i <= steps; ++i)
                mouse (from + (to - from) * i / steps, buttons);

            mouse (to, {});
        }

    private:
        juce::int64 time = juce::Time::currentTimeMillis();
    };

    juce::String describe (juce::Rectangle<int> r) { return r.toString(); }

    /** Distance from a point to the quadratic curve p0 -> (control c) -> p2, by dense sampling. */
    float distanceToCurve (juce::Point<float> p, juce::Point<float> p0, juce::Point<float> c, juce::Point<float> p2)
    {
        auto best = std::numeric_limits<float>::max();

        for (int i = 0; i <= 2000; ++i)
        {
            const auto t = (float) i / 2000.0f;
            const auto q = p0 * ((1 - t) * (1 - t)) + c * (2 * (1 - t) * t) + p2 * (t * t);
            best = juce::jmin (best, q.getDistanceFrom (p));
        }

        return best;
    }

    /** The pixels that differ between two renderings of the same size. */
    juce::Array<juce::Point<int>> changedPixels (const juce::Image& a, const juce::Image& b)
    {
        juce::Array<juce::Point<int>> changed;

        for (int y = 0; y < a.getHeight(); ++y)
            for (int x = 0; x < a.getWidth(); ++x)
                if (a.getPixelAt (x, y) != b.getPixelAt (x, y))
                    changed.add ({ x, y });

        return changed;
    }

    /** Every parameter's normalised value, in the processor's order. */
    juce::Array<float> allValues (VevareroAudioProcessor& p)
    {
        juce::Array<float> values;

        for (auto* parameter : p.getParameters())
            values.add (parameter->getValue());

        return values;
    }

    size_t heapInUse() { return mallinfo2().uordblks; }

    bool sameColour (juce::Colour a, juce::Colour b, int tolerance = 2)
    {
        return std::abs (a.getRed() - b.getRed()) <= tolerance && std::abs (a.getGreen() - b.getGreen()) <= tolerance
            && std::abs (a.getBlue() - b.getBlue()) <= tolerance;
    }
} // namespace

//==============================================================================
TEST_F (EditorWindowTest, EveryChildGetsItsRectangleAt640x400)
{
    auto& e = *editor;
    auto& cut = I::cutoffControls (e);
    auto& res = I::resonanceControls (e);
    auto& rate = I::rateControls (e);
    auto& bits = I::bitsControls (e);
    auto& dryWet = I::dryWetControls (e);
    auto& lfo1 = I::lfoControls (e, 0);
    auto& lfo2 = I::lfoControls (e, 1);

    const struct { const char* name; juce::Component& component; juce::Rectangle<int> expected; } table[] = {
        { "Filter panel",          I::filterBackground (e),          { 1, 1, 318, 218 } },
        { "CUT knob",              *cut.knob,                        { 60, 39, 40, 40 } },
        { "CUT label",             cut.nameLabel,                    { 1, 79, 159, 14 } },
        { "CUT depth",             *cut.depthSlider,                 { 14, 101, 80, 12 } },
        { "CUT socket",            cut.inputPatchPoint,              { 113, 99, 16, 16 } },
        { "RES knob",              *res.knob,                        { 219, 39, 40, 40 } },
        { "RES label",             res.nameLabel,                    { 160, 79, 159, 14 } },
        { "RES depth",             *res.depthSlider,                 { 173, 101, 80, 12 } },
        { "RES socket",            res.inputPatchPoint,              { 272, 99, 16, 16 } },
        { "DRIVE knob",            *I::driveControls (e).knob,       { 60, 144, 40, 40 } },
        { "DRIVE label",           I::driveControls (e).nameLabel,   { 1, 184, 159, 14 } },
        { "filter type",           I::filterTypeSelector (e),        { 199, 151, 80, 40 } },
        { "distortion routing",    I::distortionRoutingSelector (e), { 140, 163, 38, 16 } },
        { "LoFi panel",            I::loFiBackground (e),            { 321, 1, 158, 218 } },
        { "RATE knob",             *rate.knob,                       { 380, 39, 40, 40 } },
        { "RATE label",            rate.nameLabel,                   { 321, 79, 158, 14 } },
        { "RATE depth",            *rate.depthSlider,                { 333, 101, 80, 12 } },
        { "RATE socket",           rate.inputPatchPoint,             { 431, 99, 16, 16 } },
        { "lo-fi routing",         I::loFiRoutingSelector (e),       { 441, 33, 32, 32 } },
        { "BITS knob",             *bits.knob,                       { 380, 135, 40, 40 } },
        { "BITS label",            bits.nameLabel,                   { 321, 175, 158, 14 } },
        { "BITS depth",            *bits.depthSlider,                { 333, 197, 80, 12 } },
        { "BITS socket",           bits.inputPatchPoint,             { 431, 195, 16, 16 } },
        { "Output panel",          I::outputBackground (e),          { 481, 1, 158, 218 } },
        { "AMP knob",              *I::amplitudeControls (e).knob,   { 540, 48, 40, 40 } },
        { "AMP label",             I::amplitudeControls (e).nameLabel, { 481, 88, 158, 14 } },
        { "DRY/WET knob",          *dryWet.knob,                     { 540, 135, 40, 40 } },
        { "DRY/WET label",         dryWet.nameLabel,                 { 481, 175, 158, 14 } },
        { "DRY/WET depth",         *dryWet.depthSlider,              { 493, 197, 80, 12 } },
        { "DRY/WET socket",        dryWet.inputPatchPoint,           { 591, 195, 16, 16 } },
        { "LFO 1 panel",           I::lfo1Background (e),            { 1, 221, 211, 106 } },
        { "LFO 1 output socket",   *I::outputs (e)[0],               { 189, 226, 16, 16 } },
        { "LFO 1 sync",            lfo1.syncIcon,                    { 43, 257, 20, 20 } },
        { "LFO 1 rate",            lfo1.rateControl,                 { 129, 257, 60, 20 } },
        { "LFO 1 waveforms",       lfo1.waveformSelector,            { 11, 297, 191, 20 } },
        { "LFO MIX panel",         I::lfoMixBackground (e),          { 214, 221, 211, 106 } },
        { "LFO MIX output socket", *I::outputs (e)[2],               { 402, 226, 16, 16 } },
        { "LFO MIX slider",        I::lfoMixSlider (e),              { 229, 277, 181, 20 } },
        { "LFO 2 panel",           I::lfo2Background (e),            { 427, 221, 212, 106 } },
        { "LFO 2 output socket",   *I::outputs (e)[1],               { 616, 226, 16, 16 } },
        { "LFO 2 sync",            lfo2.syncIcon,                    { 470, 257, 20, 20 } },
        { "LFO 2 rate",            lfo2.rateControl,                 { 556, 257, 60, 20 } },
        { "LFO 2 waveforms",       lfo2.waveformSelector,            { 437, 297, 192, 20 } },
        { "footer",                I::footer (e),                    { 2, 332, 636, 66 } },
    };

    EXPECT_EQ (e.getWidth(), 640);
    EXPECT_EQ (e.getHeight(), 400);
    EXPECT_FALSE (e.isResizable());

    for (const auto& row : table)
    {
        EXPECT_EQ (row.component.getParentComponent(), &e) << row.name << " is not a direct child of the editor";
        EXPECT_TRUE (row.component.isVisible()) << row.name;
        EXPECT_EQ (row.component.getBounds(), row.expected)
            << row.name << ": " << describe (row.component.getBounds()) << ", expected " << describe (row.expected);
    }

    // Stacking: the panels lowest, then the footer, then the controls; the output sockets on top.
    const juce::Component* panels[] = { &I::filterBackground (e), &I::loFiBackground (e), &I::outputBackground (e),
                                        &I::lfo1Background (e), &I::lfo2Background (e), &I::lfoMixBackground (e) };

    for (int i = 0; i < 6; ++i)
        EXPECT_EQ (e.getChildComponent (i), panels[i]) << "child " << i;

    EXPECT_EQ (e.getChildComponent (6), &I::footer (e));

    for (int k = 0; k < 3; ++k)
        EXPECT_EQ (e.getChildComponent (e.getNumChildComponents() - 3 + k), I::outputs (e)[k]);
}

TEST_F (EditorWindowTest, SocketsShadowsAndLooksSitWhereTheyBelong)
{
    auto& e = *editor;

    // Each input socket under its target's number, each output socket offering its source.
    ParameterWithModControls* groups[] = { &I::cutoffControls (e), &I::resonanceControls (e), &I::rateControls (e),
                                           &I::bitsControls (e), &I::dryWetControls (e) };
    const char* modSourceIDs[] = { "Cutoff_Mod_Source", "Resonance_Mod_Source", "Rate_Mod_Source",
                                   "Bits_Mod_Source", "Dry_Wet_Mix_Mod_Source" };

    for (int t = 0; t < 5; ++t)
    {
        auto* socket = I::inputs (e)[(size_t) t];
        ASSERT_EQ (socket, &groups[t]->inputPatchPoint) << "target " << t;
        EXPECT_EQ (socket->getModulationTarget(), t);
        EXPECT_EQ (socket->getLink().parameter, &parameter (modSourceIDs[t])) << "target " << t;
    }

    ASSERT_EQ (I::outputs (e).size(), 3);

    for (int k = 0; k < 3; ++k)
        EXPECT_EQ (I::outputs (e)[k]->getSourceId(), k + 1);

    // The seven main knobs carry the shadow, nothing else does; two children draw bipolar.
    const juce::Component* shadowed[] = { I::cutoffControls (e).knob.get(), I::resonanceControls (e).knob.get(),
                                          I::driveControls (e).knob.get(), I::rateControls (e).knob.get(),
                                          I::bitsControls (e).knob.get(), I::amplitudeControls (e).knob.get(),
                                          I::dryWetControls (e).knob.get() };
    const juce::Component* bipolar[] = { I::dryWetControls (e).knob.get(), &I::lfoMixSlider (e) };

    int withShadow = 0, drawnBipolar = 0;

    for (auto* child : e.getChildren())
    {
        const auto isShadowed = std::find (std::begin (shadowed), std::end (shadowed), child) != std::end (shadowed);
        const auto isBipolar = std::find (std::begin (bipolar), std::end (bipolar), child) != std::end (bipolar);

        EXPECT_EQ (child->getComponentEffect(), isShadowed ? &I::shadow (e) : nullptr) << child->getName();
        EXPECT_EQ (&child->getLookAndFeel(), isBipolar ? static_cast<juce::LookAndFeel*> (&I::bipolarLook (e))
                                                       : static_cast<juce::LookAndFeel*> (&I::look (e)));
        withShadow += child->getComponentEffect() != nullptr ? 1 : 0;
        drawnBipolar += &child->getLookAndFeel() == &I::bipolarLook (e) ? 1 : 0;
    }

    EXPECT_EQ (withShadow, 7);
    EXPECT_EQ (drawnBipolar, 2);
    EXPECT_EQ (&juce::LookAndFeel::getDefaultLookAndFeel(), &I::look (e));

    // The LFO mix bar: a horizontal bar in yellow bound to "LFOs_Mix" with the parameter's range.
    auto& mix = I::lfoMixSlider (e);
    EXPECT_EQ (mix.getSliderStyle(), juce::Slider::LinearHorizontal);
    EXPECT_EQ (mix.findColour (juce::Slider::thumbColourId), qrvx::QrvxColours::yellow);
    EXPECT_EQ (mix.getMaximum(), 100.0);
    parameter ("LFOs_Mix").setValueNotifyingHost (0.25f);
    EXPECT_NEAR (mix.getValue(), 25.0, 1.0e-3);
}

TEST_F (EditorWindowTest, EachTickShowsWhatTheHostChangedAndRepaintsOnlyThat)
{
    auto& e = *editor;
    auto& lfo1 = I::lfoControls (e, 0);
    auto& lfo2 = I::lfoControls (e, 1);

    EXPECT_TRUE (e.isTimerRunning());
    EXPECT_EQ (e.getTimerInterval(), 50);

    RepaintedRegions window (e);

    // The first tick fills both rate readouts and the preset name, which start empty; nothing else
    // changes.
    EXPECT_TRUE (lfo1.rateControl.valueLabel->getText().isEmpty());
    I::tick (e);
    EXPECT_EQ (lfo1.rateControl.valueLabel->getText(), "1.000 Hz");
    EXPECT_EQ (lfo2.rateControl.valueLabel->getText(), "1.000 Hz");
    {
        auto painted = window.take();
        EXPECT_FALSE (painted.isEmpty());
        for (auto* c : { static_cast<juce::Component*> (&lfo1.rateControl), static_cast<juce::Component*> (&lfo2.rateControl),
                         static_cast<juce::Component*> (&I::footer (e)) })
            painted.subtract (c->getBounds());
        EXPECT_TRUE (painted.isEmpty()) << describe (painted.getBounds());
    }

    // A tick with nothing changed paints nothing at all.
    I::tick (e);
    EXPECT_TRUE (window.take().isEmpty());

    const auto syncShown = [] (LFOControls& lfo)
    {
        return lfo.syncIcon.getIsSynced() && lfo.rateControl.valueLabel->getText() == "1 BAR"
            && lfo.rateControl.syncedRateKnob->isVisible() && ! lfo.rateControl.rateKnob->isVisible();
    };

    const juce::Rectangle<int> wholeEditor = e.getLocalBounds();

    const struct
    {
        const char* id;
        float value;
        std::function<bool()> shows;
        std::vector<juce::Rectangle<int>> repainted;
    } changes[] = {
        { "Filter_Type", 2.0f / 3.0f, [&] { return I::filterTypeSelector (e).getCurrentIndex() == 2; }, { I::filterTypeSelector (e).getBounds() } },
        { "Distortion_Routing", 1.0f, [&] { return I::distortionRoutingSelector (e).getCurrentValue() == 1; }, { I::distortionRoutingSelector (e).getBounds() } },
        { "LoFi_Routing", 0.5f, [&] { return I::loFiRoutingSelector (e).getCurrentIndex() == 1; }, { I::loFiRoutingSelector (e).getBounds() } },
        { "LFO_1_Wave", 4.0f / 6.0f, [&] { return lfo1.waveformSelector.getCurrentIndex() == 4; }, { lfo1.waveformSelector.getBounds() } },
        { "LFO_2_Wave", 1.0f, [&] { return lfo2.waveformSelector.getCurrentIndex() == 6; }, { lfo2.waveformSelector.getBounds() } },
        { "LFO_1_Sync", 1.0f, [&] { return syncShown (lfo1); }, { lfo1.syncIcon.getBounds(), lfo1.rateControl.getBounds() } },
        { "LFO_2_Sync", 1.0f, [&] { return syncShown (lfo2); }, { lfo2.syncIcon.getBounds(), lfo2.rateControl.getBounds() } },
        { "Cutoff_Mod_Source", 1.0f / 3.0f, [&] { return I::lastModSource (e)[0] == 1.0f / 3.0f; }, { wholeEditor } },
        { "Resonance_Mod_Source", 2.0f / 3.0f, [&] { return I::lastModSource (e)[1] == 2.0f / 3.0f; }, { wholeEditor } },
        { "Rate_Mod_Source", 1.0f, [&] { return I::lastModSource (e)[2] == 1.0f; }, { wholeEditor } },
        { "Bits_Mod_Source", 1.0f / 3.0f, [&] { return I::lastModSource (e)[3] == 1.0f / 3.0f; }, { wholeEditor } },
        { "Dry_Wet_Mix_Mod_Source", 2.0f / 3.0f, [&] { return I::lastModSource (e)[4] == 2.0f / 3.0f; }, { wholeEditor } },
    };

    for (const auto& change : changes)
    {
        SCOPED_TRACE (change.id);

        // As automation does: the value changes, and nothing is shown until the editor looks.
        parameter (change.id).setValueNotifyingHost (change.value);
        EXPECT_FALSE (change.shows());
        EXPECT_TRUE (window.take().isEmpty());

        I::tick (e);
        EXPECT_TRUE (change.shows());

        // Everything that changed is repainted, and nothing more.
        auto painted = window.take();

        for (const auto& r : change.repainted)
        {
            EXPECT_TRUE (painted.containsRectangle (r)) << describe (r) << " not repainted";
            painted.subtract (r);
        }

        EXPECT_TRUE (painted.isEmpty()) << "also painted " << describe (painted.getBounds());

        I::tick (e);
        EXPECT_TRUE (window.take().isEmpty());
    }

    // The preset name is polled too: a load elsewhere shows in the footer at the next tick.
    processor.presetName = "Bass Walk";
    EXPECT_TRUE (window.take().isEmpty());
    I::tick (e);
    {
        auto painted = window.take();
        EXPECT_FALSE (painted.isEmpty());
        painted.subtract (I::footer (e).getBounds());
        EXPECT_TRUE (painted.isEmpty()) << describe (painted.getBounds());
    }

    // A value that cannot be ordered counts as a change of routing.
    I::lastModSource (e)[2] = std::numeric_limits<float>::quiet_NaN();
    I::tick (e);
    EXPECT_TRUE (window.take().containsRectangle (wholeEditor));
}

//==============================================================================
TEST_F (EditorWindowTest, CablesRunFromTheSourceSocketToTheTargetSocketUntilUnplugged)
{
    auto& e = *editor;
    e.setVisible (true);
    I::tick (e);
    const auto withoutCables = renderComponent (e);

    // Ends and control points of two routings as drawn at this size.
    const struct
    {
        const char* modSourceID;
        int target;
        float value;
        juce::Point<float> from, control, to;
    } cables[] = {
        { "Cutoff_Mod_Source", ModulationTarget::cutoff, 1.0f / 3.0f, { 197, 234 }, { 197, 122 }, { 121, 107 } },
        { "Dry_Wet_Mix_Mod_Source", ModulationTarget::dryWet, 1.0f, { 410, 234 }, { 410, 206 }, { 599, 203 } },
    };

    for (const auto& cable : cables)
    {
        SCOPED_TRACE (cable.modSourceID);
        parameter (cable.modSourceID).setValueNotifyingHost (cable.value);
        I::tick (e);

        const auto withCable = renderComponent (e);
        const auto changed = changedPixels (withoutCables, withCable);
        ASSERT_GT (changed.size(), 150);

        // Only a band of three pixels along the curve changes...
        for (const auto& p : changed)
            ASSERT_LE (distanceToCurve (p.toFloat() + juce::Point<float> (0.5f, 0.5f), cable.from, cable.control, cable.to), 2.3f)
                << "pixel " << p.toString() << " changed";

        // ...and where the stroke covers a pixel whole, it is the cable colour over what lay beneath.
        int covered = 0;

        const auto near = juce::Rectangle<float> (cable.from, cable.to).getUnion (juce::Rectangle<float> (cable.control, cable.control))
                              .expanded (3.0f).getSmallestIntegerContainer();

        for (int y = near.getY(); y < near.getBottom(); ++y)
        {
            for (int x = near.getX(); x < near.getRight(); ++x)
            {
                const juce::Point<float> centre ((float) x + 0.5f, (float) y + 0.5f);

                if (distanceToCurve (centre, cable.from, cable.control, cable.to) > 0.4f
                    || centre.getDistanceFrom (cable.from) < 3.0f || centre.getDistanceFrom (cable.to) < 3.0f)
                    continue;

                const auto beneath = withoutCables.getPixelAt (x, y);
                const auto expected = beneath.overlaidWith (cableColour);
                EXPECT_TRUE (sameColour (withCable.getPixelAt (x, y), expected))
                    << "at " << x << "," << y << ": " << withCable.getPixelAt (x, y).toDisplayString (false)
                    << ", expected " << expected.toDisplayString (false);
                ++covered;
            }
        }

        EXPECT_GT (covered, 100);

        // A right click on the target's socket unplugs it; the cable goes at the next tick, which
        // repaints everything.
        host.clear();
        {
            RepaintedRegions repainted (e);
            auto* socket = I::inputs (e)[(size_t) cable.target];
            clickComponent (*socket, socket->getLocalBounds().getCentre().toFloat(), juce::ModifierKeys::rightButtonModifier);
            EXPECT_EQ (parameter (cable.modSourceID).getValue(), 0.0f);
            EXPECT_TRUE (host.everyValueInItsOwnGesture());
            EXPECT_EQ (host.changedParameters(), juce::StringArray (cable.modSourceID));
            EXPECT_FALSE (repainted.take().containsRectangle (e.getLocalBounds()));

            I::tick (e);
            EXPECT_TRUE (repainted.take().containsRectangle (e.getLocalBounds()));
        }

        EXPECT_TRUE (sameImage (renderComponent (e), withoutCables));
    }

    // Two targets fed by one LFO: two cables leave the same socket.
    parameter ("Resonance_Mod_Source").setValueNotifyingHost (2.0f / 3.0f);
    parameter ("Bits_Mod_Source").setValueNotifyingHost (2.0f / 3.0f);
    I::tick (e);
    const auto twoCables = renderComponent (e);
    testOutputFile ("editor-window-two-cables.png").deleteFile();
    juce::FileOutputStream sheet (testOutputFile ("editor-window-two-cables.png"));
    juce::PNGImageFormat().writeImageToStream (twoCables, sheet);
    const auto lfo2Socket = I::outputs (e)[1]->getBounds();
    const auto leaving = changedPixels (withoutCables, twoCables);
    int besideTheSocket = 0;

    for (const auto& p : leaving)
        besideTheSocket += lfo2Socket.expanded (2).contains (p) ? 1 : 0;

    EXPECT_GT (besideTheSocket, 0);
    EXPECT_TRUE (std::any_of (leaving.begin(), leaving.end(), [] (auto p) { return p.y < 110; }));  // to RES
    EXPECT_TRUE (std::any_of (leaving.begin(), leaving.end(), [] (auto p) { return p.x < 440 && p.y > 190 && p.y < 210; })); // to BITS
}

TEST_F (EditorWindowTest, BlackShowsOnlyInTheGapsAndEachPanelCarriesItsFrameAndRule)
{
    auto& e = *editor;
    e.setVisible (true);
    I::tick (e);
    const auto image = renderComponent (e);

    juce::PNGImageFormat png;
    auto file = testOutputFile ("editor-window.png");
    file.deleteFile();
    juce::FileOutputStream out (file);
    png.writeImageToStream (image, out);

    const auto black = juce::Colours::black;
    const auto isBlack = [&] (int x, int y) { return image.getPixelAt (x, y) == black; };

    // Gaps: around the window, between the top panels, between the bands, between the LFO panels,
    // and around the footer.
    const struct { const char* name; juce::Rectangle<int> area; } gaps[] = {
        { "left edge", { 0, 0, 1, 332 } },        { "right edge", { 639, 0, 1, 332 } },
        { "top edge", { 0, 0, 640, 1 } },         { "bottom edge", { 0, 398, 640, 2 } },
        { "Filter | LoFi", { 319, 0, 2, 220 } },  { "LoFi | Output", { 479, 0, 2, 220 } },
        { "top | LFOs", { 0, 219, 640, 2 } },     { "LFO 1 | MIX", { 212, 220, 2, 108 } },
        { "MIX | LFO 2", { 425, 220, 2, 108 } },  { "LFOs | footer", { 0, 327, 640, 5 } },
        { "footer left", { 0, 327, 2, 73 } },     { "footer right", { 638, 327, 2, 73 } },
    };

    for (const auto& gap : gaps)
        for (int y = gap.area.getY(); y < gap.area.getBottom(); ++y)
            for (int x = gap.area.getX(); x < gap.area.getRight(); ++x)
                ASSERT_TRUE (isBlack (x, y)) << gap.name << " at " << x << "," << y;

    // No black inside the panels and the footer: they cover all the rest.
    int blackInside = 0;

    for (auto* area : { &I::filterBackground (e), &I::loFiBackground (e), &I::outputBackground (e),
                        &I::lfo1Background (e), &I::lfoMixBackground (e), &I::lfo2Background (e) })
        for (auto p : { area->getBounds().getTopLeft(), area->getBounds().getBottomRight() - juce::Point<int> (1, 1) })
            blackInside += isBlack (p.x, p.y) ? 1 : 0;

    EXPECT_EQ (blackInside, 0);

    // Each panel: a frame of 0xFF303030 along its edges, and the title rule in its module's colour.
    const juce::Colour frame { 0xff303030 };
    const struct { const char* name; juce::Component& panel; juce::Colour rule; } panels[] = {
        { "Filter", I::filterBackground (e), qrvx::QrvxColours::teal },
        { "LoFi", I::loFiBackground (e), qrvx::QrvxColours::green },
        { "Output", I::outputBackground (e), qrvx::QrvxColours::orange },
        { "LFO 1", I::lfo1Background (e), qrvx::QrvxColours::yellow },
        { "LFO MIX", I::lfoMixBackground (e), qrvx::QrvxColours::yellow },
        { "LFO 2", I::lfo2Background (e), qrvx::QrvxColours::yellow },
    };

    for (const auto& p : panels)
    {
        const auto b = p.panel.getBounds();
        EXPECT_EQ (image.getPixelAt (b.getCentreX(), b.getY() + 1), frame) << p.name << " top frame";
        EXPECT_EQ (image.getPixelAt (b.getCentreX(), b.getBottom() - 2), frame) << p.name << " bottom frame";
        EXPECT_EQ (image.getPixelAt (b.getX() + 1, b.getY() + 100 * b.getHeight() / 218), frame) << p.name << " left frame";
        EXPECT_EQ (image.getPixelAt (b.getRight() - 2, b.getCentreY()), frame) << p.name << " right frame";

        for (int x = b.getX() + 4; x < b.getRight() - 4; ++x)
            for (int y = b.getY() + 24; y < b.getY() + 26; ++y)
                ASSERT_EQ (image.getPixelAt (x, y), p.rule) << p.name << " rule at " << x << "," << y;
    }

    // The shadow falls below a knob's face: it darkens rows under the face's lowest row and none
    // above its highest.
    auto* cut = I::cutoffControls (e).knob.get();
    cut->setComponentEffect (nullptr);
    const auto unshadowed = renderComponent (e);
    cut->setVisible (false);
    const auto bare = renderComponent (e);
    cut->setVisible (true);
    cut->setComponentEffect (&I::shadow (e));

    juce::Range<int> faceRows, shadowRows;

    for (const auto& p : changedPixels (bare, unshadowed))
        faceRows = faceRows.isEmpty() ? juce::Range<int> (p.y, p.y + 1) : faceRows.getUnionWith (p.y);

    for (const auto& p : changedPixels (unshadowed, image))
    {
        EXPECT_TRUE (cut->getBounds().contains (p)) << p.toString();
        EXPECT_LT (image.getPixelAt (p.x, p.y).getBrightness(), unshadowed.getPixelAt (p.x, p.y).getBrightness());
        shadowRows = shadowRows.isEmpty() ? juce::Range<int> (p.y, p.y + 1) : shadowRows.getUnionWith (p.y);
    }

    EXPECT_FALSE (faceRows.isEmpty());
    EXPECT_GT (shadowRows.getEnd(), faceRows.getEnd());
    EXPECT_GE (shadowRows.getStart(), faceRows.getStart());
}

//==============================================================================
TEST_F (EditorWindowTest, ClicksDragsAndDropsReachTheHostAsAUserMakesThem)
{
    auto& e = *editor;
    WindowOnDesktop window (e);
    I::tick (e);

    using Event = HostEventRecorder::Event;
    const auto left = juce::ModifierKeys::leftButtonModifier;
    const auto right = juce::ModifierKeys::rightButtonModifier;
    const auto centreOf = [] (juce::Component& c) { return c.getBounds().getCentre(); };

    // Clicks on selectors, switches and sockets write once, inside one gesture; drags on knobs and
    // bars write as they move, inside one gesture. Positions are where a user would aim.
    const struct
    {
        const char* what;
        std::function<void()> gesture;
        const char* parameterID;
        float expectedValue; // normalised; negative: any value away from where it was
    } actions[] = {
        { "drag LFO 2 onto RES", [&] { window.drag (centreOf (*I::outputs (e)[1]), centreOf (I::resonanceControls (e).inputPatchPoint)); },
          "Resonance_Mod_Source", 2.0f / 3.0f },
        { "drag LFO MIX onto CUT with the right button", [&] { window.drag (centreOf (*I::outputs (e)[2]), centreOf (I::cutoffControls (e).inputPatchPoint), right); },
          "Cutoff_Mod_Source", 1.0f },
        { "click the filter type", [&] { window.click (centreOf (I::filterTypeSelector (e))); }, "Filter_Type", 1.0f / 3.0f },
        { "click the drive routing", [&] { window.click (centreOf (I::distortionRoutingSelector (e))); }, "Distortion_Routing", 1.0f },
        { "click the lo-fi routing", [&] { window.click (centreOf (I::loFiRoutingSelector (e))); }, "LoFi_Routing", 0.5f },
        { "click LFO 1's clock", [&] { window.click (centreOf (I::lfoControls (e, 0).syncIcon)); }, "LFO_1_Sync", 1.0f },
        { "click LFO 2's third waveform", [&]
          {
              const auto row = I::lfoControls (e, 1).waveformSelector.getBounds();
              window.click ({ row.getX() + row.getWidth() * 35 / 100, row.getCentreY() });
          }, "LFO_2_Wave", 2.0f / 6.0f },
        { "drag the CUT knob up", [&] { window.drag (centreOf (*I::cutoffControls (e).knob), centreOf (*I::cutoffControls (e).knob) - juce::Point<int> (0, 60)); },
          "Cutoff", -1.0f },
        { "drag RES's depth bar", [&]
          {
              const auto bar = I::resonanceControls (e).depthSlider->getBounds();
              window.drag ({ bar.getX() + 10, bar.getCentreY() }, { bar.getX() + 50, bar.getCentreY() });
          }, "Resonance_Mod_Depth", -1.0f },
        { "click three quarters along the LFO MIX bar", [&]
          {
              const auto bar = I::lfoMixSlider (e).getBounds();
              window.click ({ bar.getX() + bar.getWidth() * 3 / 4, bar.getCentreY() });
          }, "LFOs_Mix", -1.0f },
        { "drag LFO 1's readout, now synced", [&] { window.drag (centreOf (I::lfoControls (e, 0).rateControl), centreOf (I::lfoControls (e, 0).rateControl) - juce::Point<int> (0, 80)); },
          "LFO_1_Synced_Rate", -1.0f },
        { "right click RES's socket", [&] { window.click (centreOf (I::resonanceControls (e).inputPatchPoint), right); },
          "Resonance_Mod_Source", 0.0f },
    };

    for (const auto& action : actions)
    {
        SCOPED_TRACE (action.what);
        const auto before = parameter (action.parameterID).getValue();
        host.clear();

        action.gesture();
        // Lets a finished drag's image go, and the editor's timer catch up, as between two gestures.
        juce::MessageManager::getInstance()->runDispatchLoopUntil (120);

        const auto after = parameter (action.parameterID).getValue();

        if (action.expectedValue >= 0.0f)
            EXPECT_NEAR (after, action.expectedValue, 1.0e-6f);
        else
            EXPECT_NE (after, before);

        EXPECT_EQ (host.gestureBegins(), 1);
        EXPECT_EQ (host.gestureEnds(), 1);
        ASSERT_FALSE (host.events().empty());
        EXPECT_EQ (host.events().front().kind, Event::Kind::begin);
        EXPECT_EQ (host.events().back().kind, Event::Kind::end);

        for (const auto& id : host.changedParameters())
            EXPECT_EQ (id, action.parameterID);
    }

    // What the clicks and drops wrote shows: the filter type, the synced readout, the routings.
    I::tick (e);
    EXPECT_EQ (I::filterTypeSelector (e).getCurrentIndex(), 1);
    EXPECT_EQ (I::lfoControls (e, 1).waveformSelector.getCurrentIndex(), 2);
    EXPECT_EQ (I::lfoControls (e, 0).rateControl.valueLabel->getText(),
               parameter ("LFO_1_Synced_Rate").getCurrentValueAsText());
    EXPECT_EQ (parameter ("LFO_1_Rate").getValue(), parameter ("LFO_1_Rate").getDefaultValue());
    EXPECT_EQ (parameter ("Cutoff_Mod_Source").getValue(), 1.0f);
    EXPECT_EQ (parameter ("Resonance_Mod_Source").getValue(), 0.0f);
}

//==============================================================================
TEST (EditorWindowLifecycle, OpeningAndClosingLeavesNoTraceInTheProcessorOrTheHeap)
{
    juce::Typeface::clearTypefaceCache();
    VevareroAudioProcessor processor;

    // Away from the defaults, with routings, so that the editors have something to show.
    setNormalisedValue (processor, "Filter_Type", 1.0f);
    setNormalisedValue (processor, "Cutoff_Mod_Source", 1.0f / 3.0f);
    setNormalisedValue (processor, "LFO_2_Sync", 1.0f);
    const auto values = allValues (processor);
    HostEventRecorder host (processor);

    const auto openAndClose = [&]
    {
        std::unique_ptr<juce::AudioProcessorEditor> editor (processor.createEditorIfNeeded());
        ASSERT_NE (dynamic_cast<VevareroAudioProcessorEditor*> (editor.get()), nullptr);
        EXPECT_EQ (processor.getActiveEditor(), editor.get());
        editor->setVisible (true);
        I::tick (*dynamic_cast<VevareroAudioProcessorEditor*> (editor.get()));
        renderComponent (*editor);
        editor.reset();
        EXPECT_EQ (processor.getActiveEditor(), nullptr);

        // Messages an editor posted to itself are dropped here, once it is gone.
        juce::MessageManager::getInstance()->runDispatchLoopUntil (5);
    };

    // The first editors fill caches of JUCE's that stay (they settle within some dozens).
    for (int i = 0; i < 50; ++i)
        openAndClose();

    const auto heapBefore = heapInUse();

    for (int i = 0; i < 50; ++i)
        openAndClose();

    // A single editor left behind would take more than this: its knobs' cached images alone do.
    const auto grown = (juce::int64) heapInUse() - (juce::int64) heapBefore;
    EXPECT_LT (grown, 32 * 1024) << "the heap grew by " << grown << " bytes over 50 editors";

    EXPECT_EQ (allValues (processor), values);
    EXPECT_TRUE (host.events().empty());
    EXPECT_EQ (dynamic_cast<qrvx::QXLook*> (&juce::LookAndFeel::getDefaultLookAndFeel()), nullptr);
}

TEST (EditorWindowLifecycle, TwoInstancesEditorsCloseInEitherOrder)
{
    juce::Typeface::clearTypefaceCache();

    for (const auto firstBuiltClosesFirst : { true, false })
    {
        SCOPED_TRACE (firstBuiltClosesFirst ? "first built closes first" : "last built closes first");
        VevareroAudioProcessor a, b;
        setNormalisedValue (b, "LoFi_Routing", 1.0f);
        const auto valuesA = allValues (a), valuesB = allValues (b);

        auto editorA = std::make_unique<VevareroAudioProcessorEditor> (a);
        auto editorB = std::make_unique<VevareroAudioProcessorEditor> (b);

        // The last editor built owns the process-wide look; each editor's children keep its own.
        EXPECT_EQ (&juce::LookAndFeel::getDefaultLookAndFeel(), &I::look (*editorB));
        EXPECT_EQ (&editorA->getLookAndFeel(), &I::look (*editorA));
        EXPECT_EQ (I::loFiRoutingSelector (*editorB).getCurrentIndex(), 2);
        EXPECT_EQ (I::loFiRoutingSelector (*editorA).getCurrentIndex(), 0);

        if (firstBuiltClosesFirst)
        {
            editorA.reset();
            EXPECT_EQ (&juce::LookAndFeel::getDefaultLookAndFeel(), &I::look (*editorB));
            I::tick (*editorB);
            renderComponent (*editorB);
            editorB.reset();
        }
        else
        {
            editorB.reset();
            // Windows without a parent fall back to JUCE's own look, not to the other editor's.
            EXPECT_EQ (dynamic_cast<qrvx::QXLook*> (&juce::LookAndFeel::getDefaultLookAndFeel()), nullptr);
            EXPECT_EQ (&editorA->getLookAndFeel(), &I::look (*editorA));
            I::tick (*editorA);
            renderComponent (*editorA);
            editorA.reset();
        }

        EXPECT_EQ (dynamic_cast<qrvx::QXLook*> (&juce::LookAndFeel::getDefaultLookAndFeel()), nullptr);
        EXPECT_EQ (allValues (a), valuesA);
        EXPECT_EQ (allValues (b), valuesB);
    }
}
