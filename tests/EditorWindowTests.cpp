#include "ControlTestSupport.h"
#include "EditorInspector.h"
#include "look/QrvxColours.h"

#include <gtest/gtest.h>

#include <malloc.h>

namespace
{
    using Editor = VevareroAudioProcessorEditor;
    using I = EditorInspector;

    /** An editor with its processor and what the host hears of it. */
    class EditorWindowTest : public ControlTest
    {
    protected:
        void SetUp() override    { ControlTest::SetUp(); editor = std::make_unique<Editor> (processor); }
        void TearDown() override { editor.reset(); ControlTest::TearDown(); }

        std::unique_ptr<Editor> editor;
    };

    /** Records the regions a component asks to have repainted (its children's requests included), in
        its own coordinates. It borrows the component's cached-image slot while it lives.
    */
    class RepaintedRegions final
    {
    public:
        explicit RepaintedRegions (juce::Component& c) : component (c)
        {
            component.setVisible (true); // JUCE drops the repaints of hidden components
            component.setCachedComponentImage (new Probe (*this)); // the component owns it
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

    /** Holds a component on the desktop, as a host's window does, and sends it mouse events through
        that window, the way the windowing system does.
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
            getPeer()->handleMouseEvent (juce::MouseInputSource::InputSourceType::mouse, position.toFloat(), buttons,
                                         juce::MouseInputSource::defaultPressure, 0.0f, time += 20);
        }

        /** Presses at one point, moves to the other in ten steps with the buttons held, lets go. */
        void drag (juce::Point<int> from, juce::Point<int> to, juce::ModifierKeys buttons = left)
        {
            mouse (from, {});

            for (int i = 0; i <= 10; ++i)
                mouse (from + (to - from) * i / 10, buttons);

            mouse (to, {});
        }

        void click (juce::Point<int> at, juce::ModifierKeys buttons = left) { drag (at, at, buttons); }

        static constexpr auto left = juce::ModifierKeys::leftButtonModifier;

    private:
        juce::int64 time = juce::Time::currentTimeMillis();
    };

    juce::String describe (const juce::RectangleList<int>& r) { return r.getBounds().toString(); }

    /** Distance from a point to the quadratic curve p0 -> (control c) -> p2, by dense sampling. */
    float distanceToCurve (juce::Point<float> p, juce::Point<float> p0, juce::Point<float> c, juce::Point<float> p2)
    {
        auto best = std::numeric_limits<float>::max();

        for (float t = 0.0f; t <= 1.0f; t += 1.0f / 2000.0f)
            best = juce::jmin (best, (p0 * ((1 - t) * (1 - t)) + c * (2 * (1 - t) * t) + p2 * (t * t)).getDistanceFrom (p));

        return best;
    }

    juce::Array<juce::Point<int>> changedPixels (const juce::Image& a, const juce::Image& b)
    {
        juce::Array<juce::Point<int>> changed;

        for (int y = 0; y < a.getHeight(); ++y)
            for (int x = 0; x < a.getWidth(); ++x)
                if (a.getPixelAt (x, y) != b.getPixelAt (x, y))
                    changed.add ({ x, y });

        return changed;
    }

    juce::Array<float> allValues (VevareroAudioProcessor& p)
    {
        juce::Array<float> values;

        for (auto* parameter : p.getParameters())
            values.add (parameter->getValue());

        return values;
    }

    bool isOurLook (juce::LookAndFeel& l) { return dynamic_cast<qrvx::QXLook*> (&l) != nullptr; }
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
            << row.name << ": " << row.component.getBounds().toString() << ", expected " << row.expected.toString();
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

    // Each input socket under its target's number, on its target's source parameter; each output
    // socket offering its source.
    const std::pair<ParameterWithModControls*, const char*> targets[] = {
        { &I::cutoffControls (e), "Cutoff_Mod_Source" }, { &I::resonanceControls (e), "Resonance_Mod_Source" },
        { &I::rateControls (e), "Rate_Mod_Source" },     { &I::bitsControls (e), "Bits_Mod_Source" },
        { &I::dryWetControls (e), "Dry_Wet_Mix_Mod_Source" },
    };

    for (int t = 0; t < 5; ++t)
    {
        auto* socket = I::inputs (e)[(size_t) t];
        ASSERT_EQ (socket, &targets[t].first->inputPatchPoint) << "target " << t;
        EXPECT_EQ (socket->getModulationTarget(), t);
        EXPECT_EQ (socket->getLink().parameter, &parameter (targets[t].second));
    }

    ASSERT_EQ (I::outputs (e).size(), 3);

    for (int k = 0; k < 3; ++k)
        EXPECT_EQ (I::outputs (e)[k]->getSourceId(), k + 1);

    // The seven main knobs carry the shadow and nothing else does; two children draw bipolar, the
    // rest with the editor's look, which is also the process-wide default.
    const juce::Array<juce::Component*> shadowed { I::cutoffControls (e).knob.get(), I::resonanceControls (e).knob.get(),
                                                   I::driveControls (e).knob.get(), I::rateControls (e).knob.get(),
                                                   I::bitsControls (e).knob.get(), I::amplitudeControls (e).knob.get(),
                                                   I::dryWetControls (e).knob.get() };
    const juce::Array<juce::Component*> bipolar { I::dryWetControls (e).knob.get(), &I::lfoMixSlider (e) };
    int withShadow = 0, drawnBipolar = 0;

    for (auto* child : e.getChildren())
    {
        EXPECT_EQ (child->getComponentEffect(), shadowed.contains (child) ? &I::shadow (e) : nullptr);
        EXPECT_EQ (&child->getLookAndFeel(), bipolar.contains (child) ? static_cast<juce::LookAndFeel*> (&I::bipolarLook (e))
                                                                      : &I::look (e));
        withShadow += child->getComponentEffect() != nullptr ? 1 : 0;
        drawnBipolar += &child->getLookAndFeel() == &I::bipolarLook (e) ? 1 : 0;
    }

    EXPECT_EQ (withShadow, 7);
    EXPECT_EQ (drawnBipolar, 2);
    EXPECT_EQ (&juce::LookAndFeel::getDefaultLookAndFeel(), &I::look (e));

    // The LFO mix bar is a yellow horizontal bar on "LFOs_Mix", with that parameter's range.
    auto& mix = I::lfoMixSlider (e);
    EXPECT_EQ (mix.getSliderStyle(), juce::Slider::LinearHorizontal);
    EXPECT_EQ (mix.findColour (juce::Slider::thumbColourId), qrvx::QrvxColours::yellow);
    parameter ("LFOs_Mix").setValueNotifyingHost (0.25f);
    EXPECT_NEAR (mix.getValue(), 25.0, 1.0e-3);
}

TEST_F (EditorWindowTest, EachTickShowsWhatTheHostChangedAndRepaintsOnlyThat)
{
    auto& e = *editor;
    auto& lfo1 = I::lfoControls (e, 0);
    auto& lfo2 = I::lfoControls (e, 1);
    RepaintedRegions repainted (e);

    EXPECT_TRUE (e.isTimerRunning());
    EXPECT_EQ (e.getTimerInterval(), 50);

    // The first tick fills the rate readouts and the preset name, which start empty, and repaints
    // nothing else; the next finds nothing to do.
    EXPECT_TRUE (lfo1.rateControl.valueLabel->getText().isEmpty());
    I::tick (e);
    EXPECT_EQ (lfo1.rateControl.valueLabel->getText(), "1.000 Hz");
    EXPECT_EQ (lfo2.rateControl.valueLabel->getText(), "1.000 Hz");
    {
        auto painted = repainted.take();
        EXPECT_FALSE (painted.isEmpty());

        for (auto* c : std::initializer_list<juce::Component*> { &lfo1.rateControl, &lfo2.rateControl, &I::footer (e) })
            painted.subtract (c->getBounds());

        EXPECT_TRUE (painted.isEmpty()) << describe (painted);
    }

    I::tick (e);
    EXPECT_TRUE (repainted.take().isEmpty());

    const auto synced = [] (LFOControls& lfo)
    {
        return lfo.syncIcon.getIsSynced() && lfo.rateControl.valueLabel->getText() == "1 BAR"
            && lfo.rateControl.syncedRateKnob->isVisible() && ! lfo.rateControl.rateKnob->isVisible();
    };

    // The routings have nothing of their own to show: a change repaints the whole editor, cables
    // and all, and the cable itself is judged from pixels below.
    const auto routed = [&] (int t, float v) { return [&, t, v] { return I::lastModSource (e)[(size_t) t] == v; }; };
    const auto all = e.getLocalBounds();

    const struct
    {
        const char* id;
        float value;
        std::function<bool()> shows;
        std::vector<juce::Rectangle<int>> repaints;
    } changes[] = {
        { "Filter_Type", 2.0f / 3.0f, [&] { return I::filterTypeSelector (e).getCurrentIndex() == 2; }, { I::filterTypeSelector (e).getBounds() } },
        { "Distortion_Routing", 1.0f, [&] { return I::distortionRoutingSelector (e).getCurrentValue() == 1; }, { I::distortionRoutingSelector (e).getBounds() } },
        { "LoFi_Routing", 0.5f, [&] { return I::loFiRoutingSelector (e).getCurrentIndex() == 1; }, { I::loFiRoutingSelector (e).getBounds() } },
        { "LFO_1_Wave", 4.0f / 6.0f, [&] { return lfo1.waveformSelector.getCurrentIndex() == 4; }, { lfo1.waveformSelector.getBounds() } },
        { "LFO_2_Wave", 1.0f, [&] { return lfo2.waveformSelector.getCurrentIndex() == 6; }, { lfo2.waveformSelector.getBounds() } },
        { "LFO_1_Sync", 1.0f, [&] { return synced (lfo1); }, { lfo1.syncIcon.getBounds(), lfo1.rateControl.getBounds() } },
        { "LFO_2_Sync", 1.0f, [&] { return synced (lfo2); }, { lfo2.syncIcon.getBounds(), lfo2.rateControl.getBounds() } },
        { "Cutoff_Mod_Source", 1.0f / 3.0f, routed (0, 1.0f / 3.0f), { all } },
        { "Resonance_Mod_Source", 2.0f / 3.0f, routed (1, 2.0f / 3.0f), { all } },
        { "Rate_Mod_Source", 1.0f, routed (2, 1.0f), { all } },
        { "Bits_Mod_Source", 1.0f / 3.0f, routed (3, 1.0f / 3.0f), { all } },
        { "Dry_Wet_Mix_Mod_Source", 2.0f / 3.0f, routed (4, 2.0f / 3.0f), { all } },
    };

    for (const auto& change : changes)
    {
        SCOPED_TRACE (change.id);

        // As automation does: the value changes, and nothing shows until the editor looks.
        parameter (change.id).setValueNotifyingHost (change.value);
        EXPECT_FALSE (change.shows());
        EXPECT_TRUE (repainted.take().isEmpty());

        I::tick (e);
        EXPECT_TRUE (change.shows());
        auto painted = repainted.take();

        for (const auto& r : change.repaints)
        {
            EXPECT_TRUE (painted.containsRectangle (r)) << r.toString() << " not repainted";
            painted.subtract (r);
        }

        EXPECT_TRUE (painted.isEmpty()) << "also repainted " << describe (painted);

        I::tick (e);
        EXPECT_TRUE (repainted.take().isEmpty());
    }

    // The preset name is polled too: a load elsewhere shows in the footer at the next tick.
    processor.presetName = "Bass Walk";
    I::tick (e);
    auto painted = repainted.take();
    EXPECT_FALSE (painted.isEmpty());
    painted.subtract (I::footer (e).getBounds());
    EXPECT_TRUE (painted.isEmpty()) << describe (painted);

    // A stored value that cannot be ordered counts as a change of routing.
    I::lastModSource (e)[2] = std::numeric_limits<float>::quiet_NaN();
    I::tick (e);
    EXPECT_TRUE (repainted.take().containsRectangle (all));
}

//==============================================================================
TEST_F (EditorWindowTest, CablesRunFromTheSourceSocketToTheTargetSocketUntilUnplugged)
{
    auto& e = *editor;
    e.setVisible (true);
    I::tick (e);
    const auto withoutCables = renderComponent (e);
    const juce::Colour cableColour { 0x7f96ca30 };

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
        const auto distance = [&] (int x, int y)
        {
            return distanceToCurve ({ (float) x + 0.5f, (float) y + 0.5f }, cable.from, cable.control, cable.to);
        };

        // Only a band of three pixels along the curve changes...
        const auto changed = changedPixels (withoutCables, withCable);
        ASSERT_GT (changed.size(), 150);

        for (const auto& p : changed)
            ASSERT_LE (distance (p.x, p.y), 2.3f) << "pixel " << p.toString() << " changed";

        // ...and where the stroke covers a pixel whole (away from its butt ends), the pixel is the
        // cable's colour over what lay beneath.
        int covered = 0;

        for (const auto& p : changed)
        {
            if (distance (p.x, p.y) > 0.4f || p.toFloat().getDistanceFrom (cable.from) < 3.0f
                || p.toFloat().getDistanceFrom (cable.to) < 3.0f)
                continue;

            const auto expected = withoutCables.getPixelAt (p.x, p.y).overlaidWith (cableColour);
            const auto actual = withCable.getPixelAt (p.x, p.y);
            EXPECT_LE (std::abs (actual.getRed() - expected.getRed()) + std::abs (actual.getGreen() - expected.getGreen())
                           + std::abs (actual.getBlue() - expected.getBlue()), 3)
                << "at " << p.toString() << ": " << actual.toDisplayString (false) << ", expected " << expected.toDisplayString (false);
            ++covered;
        }

        EXPECT_GT (covered, 100);

        // A right click on the target's socket unplugs it; the next tick repaints everything, and
        // the cable is gone.
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
}

TEST_F (EditorWindowTest, BlackShowsOnlyInTheGapsAndEachPanelCarriesItsFrameAndRule)
{
    auto& e = *editor;
    e.setVisible (true);
    I::tick (e);
    const auto image = renderComponent (e);

    // Gaps: around the window, between the top panels, between the bands and the LFO panels, and
    // around the footer.
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
                ASSERT_EQ (image.getPixelAt (x, y), juce::Colours::black) << gap.name << " at " << x << "," << y;

    // Each panel: a frame of 0xFF303030 on all four sides, and the title rule in its module's colour.
    const juce::Colour frame { 0xff303030 };
    const std::pair<juce::Component*, juce::Colour> panels[] = {
        { &I::filterBackground (e), qrvx::QrvxColours::teal }, { &I::loFiBackground (e), qrvx::QrvxColours::green },
        { &I::outputBackground (e), qrvx::QrvxColours::orange }, { &I::lfo1Background (e), qrvx::QrvxColours::yellow },
        { &I::lfoMixBackground (e), qrvx::QrvxColours::yellow }, { &I::lfo2Background (e), qrvx::QrvxColours::yellow },
    };

    for (const auto& [panel, rule] : panels)
    {
        const auto b = panel->getBounds();
        SCOPED_TRACE (b.toString());

        for (const auto& p : { juce::Point<int> (b.getCentreX(), b.getY() + 1), { b.getCentreX(), b.getBottom() - 2 },
                               { b.getX() + 1, b.getY() + 30 }, { b.getRight() - 2, b.getCentreY() } })
            EXPECT_EQ (image.getPixelAt (p.x, p.y), frame) << p.toString();

        for (int x = b.getX() + 4; x < b.getRight() - 4; ++x)
            for (int y = b.getY() + 24; y < b.getY() + 26; ++y)
                ASSERT_EQ (image.getPixelAt (x, y), rule) << x << "," << y;
    }

    // A knob's shadow darkens rows under the face's lowest row, and none above its highest.
    auto* cut = I::cutoffControls (e).knob.get();
    cut->setComponentEffect (nullptr);
    const auto unshadowed = renderComponent (e);
    cut->setVisible (false);
    const auto bare = renderComponent (e);
    cut->setVisible (true);
    cut->setComponentEffect (&I::shadow (e));

    const auto rowsOf = [] (const juce::Array<juce::Point<int>>& pixels)
    {
        juce::Range<int> rows (pixels.getFirst().y, pixels.getFirst().y + 1);

        for (const auto& p : pixels)
            rows = rows.getUnionWith (p.y).getUnionWith (p.y + 1);

        return rows;
    };

    const auto face = changedPixels (bare, unshadowed), shadow = changedPixels (unshadowed, image);
    ASSERT_FALSE (face.isEmpty() || shadow.isEmpty());

    for (const auto& p : shadow)
        EXPECT_LT (image.getPixelAt (p.x, p.y).getBrightness(), unshadowed.getPixelAt (p.x, p.y).getBrightness());

    EXPECT_GT (rowsOf (shadow).getEnd(), rowsOf (face).getEnd());
    EXPECT_GE (rowsOf (shadow).getStart(), rowsOf (face).getStart());

    testOutputFile ("editor-window.png").deleteFile();
    juce::FileOutputStream sheet (testOutputFile ("editor-window.png"));
    juce::PNGImageFormat().writeImageToStream (image, sheet);
}

//==============================================================================
TEST_F (EditorWindowTest, ClicksDragsAndDropsReachTheHostAsAUserMakesThem)
{
    auto& e = *editor;
    WindowOnDesktop window (e);
    I::tick (e);

    const auto centre = [] (juce::Component& c) { return c.getBounds().getCentre(); };
    const auto along = [] (juce::Component& c, int percent) { return c.getBounds().getRelativePoint (percent / 100.0f, 0.5f); };
    const auto up = juce::Point<int> (0, -60);
    auto& lfo1 = I::lfoControls (e, 0);

    // Clicks on selectors, switches and sockets write once, in a gesture of their own; drags on
    // knobs and bars write as they move, inside one gesture. Negative: any value but the old one.
    const struct
    {
        const char* what;
        std::function<void()> gesture;
        const char* parameterID;
        float value;
    } actions[] = {
        { "LFO 2 dropped on RES", [&] { window.drag (centre (*I::outputs (e)[1]), centre (I::resonanceControls (e).inputPatchPoint)); },
          "Resonance_Mod_Source", 2.0f / 3.0f },
        { "LFO MIX dropped on CUT, right button", [&] { window.drag (centre (*I::outputs (e)[2]), centre (I::cutoffControls (e).inputPatchPoint),
                                                                     juce::ModifierKeys::rightButtonModifier); },
          "Cutoff_Mod_Source", 1.0f },
        { "filter type", [&] { window.click (centre (I::filterTypeSelector (e))); }, "Filter_Type", 1.0f / 3.0f },
        { "drive routing", [&] { window.click (centre (I::distortionRoutingSelector (e))); }, "Distortion_Routing", 1.0f },
        { "lo-fi routing", [&] { window.click (centre (I::loFiRoutingSelector (e))); }, "LoFi_Routing", 0.5f },
        { "LFO 1's clock", [&] { window.click (centre (lfo1.syncIcon)); }, "LFO_1_Sync", 1.0f },
        { "LFO 2's third waveform", [&] { window.click (along (I::lfoControls (e, 1).waveformSelector, 35)); }, "LFO_2_Wave", 2.0f / 6.0f },
        { "CUT knob dragged up", [&] { window.drag (centre (*I::cutoffControls (e).knob), centre (*I::cutoffControls (e).knob) + up); },
          "Cutoff", -1.0f },
        { "RES depth bar dragged", [&] { window.drag (along (*I::resonanceControls (e).depthSlider, 10), along (*I::resonanceControls (e).depthSlider, 60)); },
          "Resonance_Mod_Depth", -1.0f },
        { "LFO MIX bar clicked", [&] { window.click (along (I::lfoMixSlider (e), 75)); }, "LFOs_Mix", -1.0f },
        { "LFO 1's readout dragged, synced", [&] { window.drag (centre (lfo1.rateControl), centre (lfo1.rateControl) + up); },
          "LFO_1_Synced_Rate", -1.0f },
        { "RES socket right-clicked", [&] { window.click (centre (I::resonanceControls (e).inputPatchPoint), juce::ModifierKeys::rightButtonModifier); },
          "Resonance_Mod_Source", 0.0f },
    };

    for (const auto& action : actions)
    {
        SCOPED_TRACE (action.what);
        const auto before = parameter (action.parameterID).getValue();
        host.clear();

        action.gesture();
        // Lets a finished drag's image go and the editor's timer run, as between two gestures.
        dispatchMessagesFor (120);

        const auto after = parameter (action.parameterID).getValue();

        if (action.value >= 0.0f)
            EXPECT_NEAR (after, action.value, 1.0e-6f);
        else
            EXPECT_NE (after, before);

        ASSERT_FALSE (host.events().empty());
        EXPECT_EQ (host.gestureBegins(), 1);
        EXPECT_EQ (host.gestureEnds(), 1);
        EXPECT_EQ (host.events().front().kind, HostEventRecorder::Event::Kind::begin);
        EXPECT_EQ (host.events().back().kind, HostEventRecorder::Event::Kind::end);

        for (const auto& id : host.changedParameters())
            EXPECT_EQ (id, action.parameterID);
    }

    // The readout shows the synced rate that the drag moved; the free rate was left alone.
    EXPECT_EQ (lfo1.rateControl.valueLabel->getText(), parameter ("LFO_1_Synced_Rate").getCurrentValueAsText());
    EXPECT_EQ (parameter ("LFO_1_Rate").getValue(), parameter ("LFO_1_Rate").getDefaultValue());
}

//==============================================================================
TEST (EditorWindowLifecycle, EditorsComeAndGoWithoutATraceInTheProcessorsOrTheHeap)
{
    juce::Typeface::clearTypefaceCache();
    VevareroAudioProcessor processor;

    // Away from the defaults and routed, so that the editors have something to show.
    for (const auto* id : { "Filter_Type", "LFO_2_Sync", "Cutoff_Mod_Source" })
        setNormalisedValue (processor, id, 1.0f);

    const auto values = allValues (processor);
    HostEventRecorder host (processor);

    const auto openAndClose = [&]
    {
        std::unique_ptr<juce::AudioProcessorEditor> editor (processor.createEditorIfNeeded());
        auto* ours = dynamic_cast<Editor*> (editor.get());
        ASSERT_NE (ours, nullptr);
        ours->setVisible (true);
        I::tick (*ours);
        renderComponent (*ours);

        // As the plug-in wrapper closes a view.
        processor.editorBeingDeleted (editor.get());
        editor.reset();

        // Messages the editor posted to itself are dropped here, once it is gone.
        dispatchMessagesFor (5);
    };

    // The first editors fill caches of JUCE's that stay; they settle within some dozens.
    for (int i = 0; i < 50; ++i)
        openAndClose();

    const auto heapBefore = (juce::int64) mallinfo2().uordblks;

    for (int i = 0; i < 50; ++i)
        openAndClose();

    // A single editor left behind would take more than this: the cached images of its knobs do.
    EXPECT_LT ((juce::int64) mallinfo2().uordblks - heapBefore, 32 * 1024);
    EXPECT_EQ (allValues (processor), values);
    EXPECT_TRUE (host.events().empty());
    EXPECT_FALSE (isOurLook (juce::LookAndFeel::getDefaultLookAndFeel()));

    // Two instances, two editors, closed in either order. The last editor built owns the
    // process-wide look until it closes; then windows without a parent take JUCE's own.
    for (const auto firstBuiltClosesFirst : { true, false })
    {
        SCOPED_TRACE (firstBuiltClosesFirst ? "first built closes first" : "last built closes first");
        VevareroAudioProcessor other;
        setNormalisedValue (other, "LoFi_Routing", 1.0f);
        const auto otherValues = allValues (other);

        auto a = std::make_unique<Editor> (processor);
        auto b = std::make_unique<Editor> (other);
        EXPECT_EQ (&juce::LookAndFeel::getDefaultLookAndFeel(), &I::look (*b));
        EXPECT_EQ (I::loFiRoutingSelector (*a).getCurrentIndex(), 0);
        EXPECT_EQ (I::loFiRoutingSelector (*b).getCurrentIndex(), 2);

        auto& first = firstBuiltClosesFirst ? a : b;
        auto& last = firstBuiltClosesFirst ? b : a;
        first.reset();

        EXPECT_EQ (isOurLook (juce::LookAndFeel::getDefaultLookAndFeel()), firstBuiltClosesFirst);
        EXPECT_EQ (&last->getLookAndFeel(), &I::look (*last));
        I::tick (*last);
        renderComponent (*last);
        last.reset();

        EXPECT_FALSE (isOurLook (juce::LookAndFeel::getDefaultLookAndFeel()));
        EXPECT_EQ (allValues (processor), values);
        EXPECT_EQ (allValues (other), otherValues);
    }
}
