#include "ControlTestSupport.h"
#include "EditorInspector.h"
#include "JuceAssertionRecorder.h"
#include "look/QrvxColours.h"
#include "presets/PresetsManager.h"

#include <gtest/gtest.h>

#include <malloc.h>
#include <thread>

namespace
{
    using Editor = VevareroAudioProcessorEditor;
    using I = EditorInspector;
    using Rect = juce::Rectangle<int>;

    /** A shown editor (JUCE drops the repaints of hidden ones), its processor and what the host hears. */
    class EditorWindowTest : public ControlTest
    {
    protected:
        void SetUp() override
        {
            ControlTest::SetUp();
            editor = std::make_unique<Editor> (processor);
            editor->setVisible (true);
        }

        std::unique_ptr<Editor> editor;
    };

    juce::Array<juce::Point<int>> changedPixels (const juce::Image& a, const juce::Image& b)
    {
        juce::Array<juce::Point<int>> changed;
        for (int y = 0; y < a.getHeight(); ++y)
            for (int x = 0; x < a.getWidth(); ++x)
                if (a.getPixelAt (x, y) != b.getPixelAt (x, y))
                    changed.add ({ x, y });
        return changed;
    }

    bool defaultLookIsOurs() { return dynamic_cast<qrvx::QXLook*> (&juce::LookAndFeel::getDefaultLookAndFeel()) != nullptr; }

    /** The windows that take the user's input, the topmost first. */
    juce::Array<juce::Component*> modalWindows()
    {
        juce::Array<juce::Component*> modal;
        for (int i = 0; i < juce::ModalComponentManager::getInstance()->getNumModalComponents(); ++i)
            modal.add (juce::Component::getCurrentlyModalComponent (i));
        return modal;
    }

    /** The names of the windows on the desktop that are shown. */
    juce::StringArray shownWindows()
    {
        juce::StringArray names;
        auto& desktop = juce::Desktop::getInstance();
        for (int i = 0; i < desktop.getNumComponents(); ++i)
            if (auto* c = desktop.getComponent (i); c->isVisible())
                names.add (c->getName().isEmpty() ? juce::String ("a window without a name") : c->getName());
        return names;
    }
} // namespace

//==============================================================================
TEST_F (EditorWindowTest, EveryChildHasItsPlaceItsLookAndItsShadow)
{
    auto& e = *editor;
    auto &lfo1 = I::lfoControls (e, 0), &lfo2 = I::lfoControls (e, 1);
    auto& outputs = I::outputs (e);
    struct Placed { juce::String name; juce::Component* component; Rect bounds; };
    std::vector<Placed> table {
        { "filter panel", &I::filterBackground (e), { 1, 1, 318, 218 } },
        { "lo-fi panel", &I::loFiBackground (e), { 321, 1, 158, 218 } },
        { "output panel", &I::outputBackground (e), { 481, 1, 158, 218 } },
        { "LFO 1 panel", &I::lfo1Background (e), { 1, 221, 211, 106 } },
        { "LFO mix panel", &I::lfoMixBackground (e), { 214, 221, 211, 106 } },
        { "LFO 2 panel", &I::lfo2Background (e), { 427, 221, 212, 106 } },
        { "drive knob", I::driveControls (e).knob.get(), { 60, 144, 40, 40 } },
        { "drive name", &I::driveControls (e).nameLabel, { 1, 184, 159, 14 } },
        { "amplitude knob", I::amplitudeControls (e).knob.get(), { 540, 48, 40, 40 } },
        { "amplitude name", &I::amplitudeControls (e).nameLabel, { 481, 88, 158, 14 } },
        { "filter type", &I::filterTypeSelector (e), { 199, 151, 80, 40 } },
        { "drive routing", &I::distortionRoutingSelector (e), { 140, 163, 38, 16 } },
        { "lo-fi routing", &I::loFiRoutingSelector (e), { 441, 33, 32, 32 } },
        { "LFO mix bar", &I::lfoMixSlider (e), { 229, 277, 181, 20 } },
        { "output socket 0", outputs[0], { 189, 226, 16, 16 } },
        { "output socket 2", outputs[2], { 402, 226, 16, 16 } },
        { "output socket 1", outputs[1], { 616, 226, 16, 16 } },
        { "LFO 1 sync switch", &lfo1.syncIcon, { 43, 257, 20, 20 } },
        { "LFO 1 rate readout", &lfo1.rateControl, { 129, 257, 60, 20 } },
        { "LFO 1 waveform row", &lfo1.waveformSelector, { 11, 297, 191, 20 } },
        { "LFO 2 sync switch", &lfo2.syncIcon, { 470, 257, 20, 20 } },
        { "LFO 2 rate readout", &lfo2.rateControl, { 556, 257, 60, 20 } },
        { "LFO 2 waveform row", &lfo2.waveformSelector, { 437, 297, 192, 20 } },
        { "footer", &I::footer (e), { 2, 332, 636, 66 } },
    };

    // The modulatable groups in target order, each socket routing its own target's source.
    // Knob, name, depth bar and socket of each.
    const struct { ParameterWithModControls& group; const char* modSourceID; Rect knob, label, depth, socket; } groups[] = {
        { I::cutoffControls (e), "Cutoff_Mod_Source",
          { 60, 39, 40, 40 }, { 1, 79, 159, 14 }, { 14, 101, 80, 12 }, { 113, 99, 16, 16 } },
        { I::resonanceControls (e), "Resonance_Mod_Source",
          { 219, 39, 40, 40 }, { 160, 79, 159, 14 }, { 173, 101, 80, 12 }, { 272, 99, 16, 16 } },
        { I::rateControls (e), "Rate_Mod_Source",
          { 380, 39, 40, 40 }, { 321, 79, 158, 14 }, { 333, 101, 80, 12 }, { 431, 99, 16, 16 } },
        { I::bitsControls (e), "Bits_Mod_Source",
          { 380, 135, 40, 40 }, { 321, 175, 158, 14 }, { 333, 197, 80, 12 }, { 431, 195, 16, 16 } },
        { I::dryWetControls (e), "Dry_Wet_Mix_Mod_Source",
          { 540, 135, 40, 40 }, { 481, 175, 158, 14 }, { 493, 197, 80, 12 }, { 591, 195, 16, 16 } },
    };

    for (size_t t = 0; t < 5; ++t)
    {
        auto& g = groups[t].group;
        const juce::String name (groups[t].modSourceID);
        table.insert (table.end(), {
            { name + " group's knob", g.knob.get(), groups[t].knob },
            { name + " group's name", &g.nameLabel, groups[t].label },
            { name + " group's depth bar", g.depthSlider.get(), groups[t].depth },
            { name + " group's socket", &g.inputPatchPoint, groups[t].socket },
        });
        EXPECT_EQ (I::inputs (e)[t], &g.inputPatchPoint) << "input socket " << t << " is not the " << name << " group's";
        EXPECT_EQ (g.inputPatchPoint.getLink().parameter, &parameter (groups[t].modSourceID)) << name << " group's socket";
    }

    EXPECT_EQ (e.getBounds(), Rect (0, 0, 640, 400)) << "the editor";
    EXPECT_FALSE (e.isResizable()) << "the editor";

    // Direct children all, so that every socket is in the coordinates the cables are drawn in.
    for (const auto& [name, component, expected] : table)
    {
        EXPECT_EQ (component->getParentComponent(), &e) << name << " is not a child of the editor";
        EXPECT_TRUE (component->isVisible()) << name << " is hidden";
        EXPECT_EQ (component->getBounds(), expected) << name;
    }

    for (int k = 0; k < 3; ++k)
        EXPECT_EQ (outputs[k]->getSourceId(), k + 1) << "output socket " << k;

    // The seven main knobs carry the shadow and nothing else does; the dry/wet knob and the mix bar
    // draw bipolar, everything else with the editor's look.
    juce::Array<juce::Component*> shadowed { I::driveControls (e).knob.get(), I::amplitudeControls (e).knob.get() };
    for (const auto& g : groups)
        shadowed.add (g.group.knob.get());
    const juce::Array<juce::Component*> bipolar { I::dryWetControls (e).knob.get(), &I::lfoMixSlider (e) };
    const juce::LookAndFeel* bipolarLook = &I::bipolarLook (e);

    for (auto* child : e.getChildren())
    {
        const auto at = "the child at " + child->getBounds().toString();
        EXPECT_EQ (child->getComponentEffect(), shadowed.contains (child) ? &I::shadow (e) : nullptr) << at << ": shadow";
        EXPECT_EQ (&child->getLookAndFeel(), bipolar.contains (child) ? bipolarLook : &I::look (e)) << at << ": look";
    }

    // The mix bar follows "LFOs_Mix" and grows in yellow from its centre: a quarter fills the second
    // quarter of its length.
    parameter ("LFOs_Mix").setValueNotifyingHost (0.25f);
    const auto bar = renderComponent (I::lfoMixSlider (e));
    const auto barAt = [&] (float share) { return bar.getPixelAt ((int) (share * 181), 10); };
    const auto yellowAt = [&] (float share) { return coloursNear (barAt (share), qrvx::QrvxColours::yellow(), 24); };
    EXPECT_TRUE (yellowAt (0.37f)) << "the mix bar at 37 % of its length";
    EXPECT_FALSE (yellowAt (0.12f)) << "the mix bar at 12 % of its length: " << barAt (0.12f).toDisplayString (true);
    EXPECT_FALSE (yellowAt (0.62f)) << "the mix bar at 62 % of its length: " << barAt (0.62f).toDisplayString (true);
}

TEST_F (EditorWindowTest, EachTickShowsWhatTheHostChangedAndRepaintsOnlyThat)
{
    auto& e = *editor;
    auto &lfo1 = I::lfoControls (e, 0), &lfo2 = I::lfoControls (e, 1);
    RepaintCounter repainted (e);

    EXPECT_TRUE (e.isTimerRunning()) << "the editor's polling timer";
    EXPECT_EQ (e.getTimerInterval(), 50) << "the editor's polling timer";
    I::tick (e); // fills the rate readouts, which start empty
    repainted.reset();

    // What a control shows, as text, so that a failure says what it showed instead.
    const auto index = [] (int i) { return juce::String (i); };
    const auto synced = [] (LFOControls& lfo)
    {
        return juce::String (lfo.syncIcon.getIsSynced() ? "synced, " : "free, ") + lfo.rateControl.valueLabel->getText();
    };
    const auto syncArea = [] (LFOControls& lfo) { return lfo.syncIcon.getBounds().getUnion (lfo.rateControl.getBounds()); };
    IconChoiceSelector& filterType = I::filterTypeSelector (e);
    IconChoiceSelector& loFiRouting = I::loFiRoutingSelector (e);
    auto& driveRouting = I::distortionRoutingSelector (e);
    auto& wave1 = lfo1.waveformSelector;
    auto& wave2 = lfo2.waveformSelector;

    // A routing shows only as a cable, which may cross anything: it repaints the whole editor.
    struct Change
    {
        const char* id;
        float value;
        std::function<juce::String()> shown; // none for a routing
        juce::String expected;
        Rect repaints;
    };

    const Change changes[] = {
        { "Filter_Type", 2.0f / 3.0f, [&] { return index (filterType.getCurrentIndex()); }, "2", filterType.getBounds() },
        { "Distortion_Routing", 1.0f, [&] { return index (driveRouting.getCurrentValue()); }, "1", driveRouting.getBounds() },
        { "LoFi_Routing", 0.5f, [&] { return index (loFiRouting.getCurrentIndex()); }, "1", loFiRouting.getBounds() },
        { "LFO_1_Wave", 4.0f / 6.0f, [&] { return index (wave1.getCurrentIndex()); }, "4", wave1.getBounds() },
        { "LFO_2_Wave", 1.0f, [&] { return index (wave2.getCurrentIndex()); }, "6", wave2.getBounds() },
        { "LFO_1_Sync", 1.0f, [&] { return synced (lfo1); }, "synced, 1 BAR", syncArea (lfo1) },
        { "LFO_2_Sync", 1.0f, [&] { return synced (lfo2); }, "synced, 1 BAR", syncArea (lfo2) },
        { "Cutoff_Mod_Source", 1.0f / 3.0f, {}, {}, e.getLocalBounds() },
        { "Resonance_Mod_Source", 2.0f / 3.0f, {}, {}, e.getLocalBounds() },
        { "Rate_Mod_Source", 1.0f, {}, {}, e.getLocalBounds() },
        { "Bits_Mod_Source", 1.0f / 3.0f, {}, {}, e.getLocalBounds() },
        { "Dry_Wet_Mix_Mod_Source", 2.0f / 3.0f, {}, {}, e.getLocalBounds() },
    };

    for (const auto& change : changes)
    {
        SCOPED_TRACE (change.id);

        // As automation does: the value changes, and nothing shows until the editor looks.
        parameter (change.id).setValueNotifyingHost (change.value);
        EXPECT_EQ (repainted.count(), 0) << "repaints before the tick";
        I::tick (e);
        if (change.shown != nullptr)
        {
            EXPECT_EQ (change.shown(), change.expected) << "shown after the tick";
        }
        EXPECT_EQ (repainted.regions().getBounds(), change.repaints) << "repainted at the tick";
        repainted.reset();
        I::tick (e);
        EXPECT_EQ (repainted.count(), 0) << "repaints at the tick after";
    }

    // A preset loaded elsewhere shows its name in the footer at the next tick, and nothing else.
    processor.currentPreset.setName ("Bass Walk");
    I::tick (e);
    EXPECT_GT (repainted.count(), 0) << "a new preset name repaints nothing";
    EXPECT_TRUE (I::footer (e).getBounds().contains (repainted.regions().getBounds()))
        << "a new preset name repaints " << repainted.regions().getBounds().toString()
        << ", outside the footer at " << I::footer (e).getBounds().toString();
}

//==============================================================================
TEST_F (EditorWindowTest, DrawsBlackGapsFramedPanelsShadowedKnobsAndCablesUntilUnplugged)
{
    auto& e = *editor;
    I::tick (e);
    const auto image = renderComponent (e);
    testOutputFile ("editor-window.png").deleteFile();
    juce::FileOutputStream sheet (testOutputFile ("editor-window.png"));
    juce::PNGImageFormat().writeImageToStream (image, sheet);

    // Around the window, between the top panels, between the bands and the LFO panels, around the footer.
    for (const auto& gap : { Rect (0, 0, 1, 332),
                             { 639, 0, 1, 332 },
                             { 0, 0, 640, 1 },
                             { 0, 398, 640, 2 },
                             { 319, 0, 2, 220 },
                             { 479, 0, 2, 220 },
                             { 0, 219, 640, 2 },
                             { 212, 220, 2, 108 },
                             { 425, 220, 2, 108 },
                             { 0, 327, 640, 5 },
                             { 0, 327, 2, 73 },
                             { 638, 327, 2, 73 } })
        for (int y = gap.getY(); y < gap.getBottom(); ++y)
            for (int x = gap.getX(); x < gap.getRight(); ++x)
                ASSERT_EQ (image.getPixelAt (x, y), juce::Colours::black)
                    << "gap " << gap.toString() << " at " << x << "," << y;

    // Each panel: a frame of 0xFF303030 on all four sides, and the title rule in its module's colour.
    const std::tuple<const char*, juce::Component*, juce::Colour> panels[] = {
        { "filter", &I::filterBackground (e), qrvx::QrvxColours::teal() },
        { "lo-fi", &I::loFiBackground (e), qrvx::QrvxColours::green() },
        { "output", &I::outputBackground (e), qrvx::QrvxColours::orange() },
        { "LFO 1", &I::lfo1Background (e), qrvx::QrvxColours::yellow() },
        { "LFO mix", &I::lfoMixBackground (e), qrvx::QrvxColours::yellow() },
        { "LFO 2", &I::lfo2Background (e), qrvx::QrvxColours::yellow() },
    };

    for (const auto& [name, panel, rule] : panels)
    {
        const auto b = panel->getBounds();
        for (const auto& p : { juce::Point<int> (b.getCentreX(), b.getY() + 1),
                               { b.getCentreX(), b.getBottom() - 2 },
                               { b.getX() + 1, b.getY() + 30 },
                               { b.getRight() - 2, b.getCentreY() } })
            EXPECT_EQ (image.getPixelAt (p.x, p.y), juce::Colour (0xff303030))
                << name << " panel's frame at " << p.toString();

        for (int x = b.getX() + 4; x < b.getRight() - 4; ++x)
            for (int y = b.getY() + 24; y < b.getY() + 26; ++y)
                ASSERT_EQ (image.getPixelAt (x, y), rule) << name << " panel's title rule at " << x << "," << y;
    }

    // Two routings, with the ends and the control point of their curves at this size.
    const struct { const char* id; int target; float value; juce::Point<float> from, control, to; } cables[] = {
        { "Cutoff_Mod_Source", ModulationTarget::cutoff, 1.0f / 3.0f, { 197, 234 }, { 197, 122 }, { 121, 107 } },
        { "Dry_Wet_Mix_Mod_Source", ModulationTarget::dryWet, 1.0f, { 410, 234 }, { 410, 206 }, { 599, 203 } },
    };

    for (const auto& cable : cables)
    {
        SCOPED_TRACE (cable.id);
        parameter (cable.id).setValueNotifyingHost (cable.value);
        I::tick (e);
        const auto withCable = renderComponent (e);
        juce::Path curve;
        curve.startNewSubPath (cable.from);
        curve.quadraticTo (cable.control, cable.to);

        // Only a band of three pixels along the curve changes, and a pixel the stroke covers whole
        // takes the cable's colour over what lay beneath.
        const auto changed = changedPixels (image, withCable);
        ASSERT_GT (changed.size(), 150) << "pixels the cable changed";
        for (const auto& p : changed)
        {
            juce::Point<float> nearest, centre = p.toFloat() + juce::Point<float> (0.5f, 0.5f);
            curve.getNearestPoint (centre, nearest, {}, 0.01f);
            ASSERT_LE (nearest.getDistanceFrom (centre), 2.3f) << "a pixel the cable changed at " << p.toString();
        }

        for (int i = 1; i < 10; ++i)
        {
            const auto p = curve.getPointAlongPath ((float) i / 10.0f * curve.getLength()).toInt();
            const auto expected = image.getPixelAt (p.x, p.y).overlaidWith (juce::Colour (0x7f96ca30));
            EXPECT_TRUE (coloursNear (withCable.getPixelAt (p.x, p.y), expected, 1))
                << "the cable at " << i << "/10 of its length, " << p.toString();
        }

        // A right click on the target's socket unplugs it, and after the next tick the cable is gone.
        auto* socket = I::inputs (e)[(size_t) cable.target];
        clickComponent (*socket, socket->getLocalBounds().getCentre().toFloat(), juce::ModifierKeys::rightButtonModifier);
        EXPECT_EQ (parameter (cable.id).getValue(), 0.0f) << "after a right click on the socket";
        I::tick (e);
        EXPECT_TRUE (sameImage (renderComponent (e), image))
            << "the window after unplugging differs from the one before routing";
    }

    // A knob's shadow only darkens, and falls below its face: lower than the face reaches, never higher.
    auto* cut = I::cutoffControls (e).knob.get();
    cut->setComponentEffect (nullptr);
    const auto unshadowed = renderComponent (e);
    cut->setVisible (false);
    const auto face = changedPixels (renderComponent (e), unshadowed);
    const auto shadow = changedPixels (unshadowed, image);
    ASSERT_FALSE (face.isEmpty()) << "hiding the cutoff knob changed no pixel";
    ASSERT_FALSE (shadow.isEmpty()) << "the cutoff knob's shadow changed no pixel";

    for (const auto& p : shadow)
        EXPECT_LT (image.getPixelAt (p.x, p.y).getBrightness(), unshadowed.getPixelAt (p.x, p.y).getBrightness())
            << "the shadow at " << p.toString();

    const auto s = Rect::findAreaContainingPoints (shadow.begin(), shadow.size());
    const auto f = Rect::findAreaContainingPoints (face.begin(), face.size());
    EXPECT_GT (s.getBottom(), f.getBottom()) << "shadow " << s.toString() << ", face " << f.toString();
    EXPECT_GE (s.getY(), f.getY()) << "shadow " << s.toString() << ", face " << f.toString();
}

//==============================================================================
TEST_F (EditorWindowTest, AnLfoDroppedOnASocketInTheWindowReachesTheHostInOneGesture)
{
    // On the desktop, moved through its peer as the windowing system does: press on LFO 2's socket,
    // ten steps with the button held, release on RES.
    auto& e = *editor;
    e.addToDesktop (0);
    I::tick (e);

    const auto from = I::outputs (e)[1]->getBounds().getCentre();
    const auto to = I::resonanceControls (e).inputPatchPoint.getBounds().getCentre();
    auto time = juce::Time::currentTimeMillis();

    for (int i = -1; i <= 11; ++i)
    {
        const auto at = from + (to - from) * juce::jlimit (0, 10, i) / 10;
        e.getPeer()->handleMouseEvent (juce::MouseInputSource::InputSourceType::mouse, at.toFloat(),
                                       i < 0 || i > 10 ? juce::ModifierKeys() : juce::ModifierKeys::leftButtonModifier,
                                       juce::MouseInputSource::defaultPressure, 0.0f, time += 20);
    }

    dispatchMessagesFor (120); // lets the finished drag's image go and the editor's timer run
    EXPECT_NEAR (parameter ("Resonance_Mod_Source").getValue(), 2.0f / 3.0f, 1.0e-6f) << "Resonance_Mod_Source";
    EXPECT_TRUE (host.everyValueInItsOwnGesture()) << host.describe();
    EXPECT_EQ (host.changedParameters(), juce::StringArray ("Resonance_Mod_Source")) << host.describe();
}

//==============================================================================
TEST (EditorWindowLifecycle, EditorsComeAndGoWithoutATraceInTheProcessorsOrTheHeap)
{
    juce::Typeface::clearTypefaceCache();
    VevareroAudioProcessor processor, other;

    // Away from the defaults and routed, so that the editors have something to show.
    for (const auto* id : { "Filter_Type", "LFO_2_Sync", "Cutoff_Mod_Source" })
        setNormalisedValue (processor, id, 1.0f);
    setNormalisedValue (other, "LoFi_Routing", 1.0f);
    const auto state = processor.valueTreeState.copyState();
    const auto otherState = other.valueTreeState.copyState();
    HostEventRecorder host (processor);

    const auto openAndClose = [&]
    {
        std::unique_ptr<juce::AudioProcessorEditor> editor (processor.createEditorIfNeeded());
        auto* ours = dynamic_cast<Editor*> (editor.get());
        ASSERT_NE (ours, nullptr);
        I::tick (*ours);
        renderComponent (*ours);
        processor.editorBeingDeleted (editor.get()); // as the plug-in wrapper closes a view
        editor.reset();
        dispatchMessagesFor (5); // messages the editor posted to itself are dropped once it is gone
    };

    // The first editors fill caches of JUCE's that stay; they settle within some dozens. A single
    // editor left behind would take more than the margin: the cached images of its knobs do.
    for (int i = 0; i < 50; ++i)
        openAndClose();

    const auto heapBefore = (juce::int64) mallinfo2().uordblks;
    for (int i = 0; i < 50; ++i)
        openAndClose();

    EXPECT_LT ((juce::int64) mallinfo2().uordblks - heapBefore, 32 * 1024) << "bytes the heap grew by over 50 editors";
    EXPECT_TRUE (host.events().empty()) << "opening and closing editors: " << host.describe();
    EXPECT_FALSE (defaultLookIsOurs()) << "the editor's look stays the default after the last editor closed";

    // Two instances, two editors, closed in either order. Windows without a parent take the
    // process-wide look: the open editor's, whichever closed first, and JUCE's own after both.
    for (const auto firstBuiltClosesFirst : { true, false })
    {
        SCOPED_TRACE (firstBuiltClosesFirst ? "first built closes first" : "last built closes first");
        auto a = std::make_unique<Editor> (processor), b = std::make_unique<Editor> (other);
        EXPECT_EQ (I::loFiRoutingSelector (*a).getCurrentIndex(), 0) << "the first instance's lo-fi routing";
        EXPECT_EQ (I::loFiRoutingSelector (*b).getCurrentIndex(), 2) << "the other instance's lo-fi routing";

        auto &first = firstBuiltClosesFirst ? a : b, &last = firstBuiltClosesFirst ? b : a;
        first.reset();
        EXPECT_EQ (&juce::LookAndFeel::getDefaultLookAndFeel(), &I::look (*last))
            << "the default look with one editor closed is not the open editor's";
        I::tick (*last);
        renderComponent (*last);
        last.reset();
        EXPECT_FALSE (defaultLookIsOurs()) << "the editor's look stays the default after both closed";
    }

    EXPECT_TRUE (processor.valueTreeState.copyState().isEquivalentTo (state))
        << "the first processor's state became " << processor.valueTreeState.copyState().toXmlString();
    EXPECT_TRUE (other.valueTreeState.copyState().isEquivalentTo (otherState))
        << "the other processor's state became " << other.valueTreeState.copyState().toXmlString();
}

TEST (EditorWindowLifecycle, MenusKeepThePluginsLookWhileAnyEditorIsOpenWhicheverCloses)
{
    // Popup menus, alerts and dialogs take the process-wide default look, which every instance in a
    // host shares: it must be the look of the most recently built editor still open, and JUCE's own
    // once none is. Three instances' editors, closed in every order.
    juce::Typeface::clearTypefaceCache();
    VevareroAudioProcessor processors[3];
    const int closingOrders[][3] = {
        { 0, 1, 2 },
        { 0, 2, 1 },
        { 1, 0, 2 },
        { 1, 2, 0 },
        { 2, 0, 1 },
        { 2, 1, 0 },
    };
    const JuceAssertionRecorder assertions;

    for (const auto& order : closingOrders)
    {
        const auto name = "closing order " + juce::String (order[0]) + juce::String (order[1]) + juce::String (order[2]);
        std::unique_ptr<Editor> editors[3];

        for (int i = 0; i < 3; ++i)
        {
            editors[i] = std::make_unique<Editor> (processors[i]);
            EXPECT_EQ (&juce::LookAndFeel::getDefaultLookAndFeel(), &I::look (*editors[i]))
                << name << ": the default look once editor " << i << " is built is not its own";
        }

        for (const auto closing : order)
        {
            editors[closing].reset();
            dispatchMessagesFor (5);
            const auto when = name + ", editor " + juce::String (closing) + " closed: ";
            Editor* newestOpen = nullptr;

            for (auto& e : editors)
                if (e != nullptr)
                    newestOpen = e.get();

            if (newestOpen != nullptr)
            {
                EXPECT_EQ (&juce::LookAndFeel::getDefaultLookAndFeel(), &I::look (*newestOpen))
                    << when << "the default look is not the newest open editor's";
                renderComponent (*newestOpen);
            }
            else
            {
                EXPECT_FALSE (defaultLookIsOurs()) << when << "the plug-in's look stays the default with no editor open";
                EXPECT_NE (dynamic_cast<juce::LookAndFeel_V4*> (&juce::LookAndFeel::getDefaultLookAndFeel()), nullptr)
                    << when << "the default look is not JUCE's own";
            }
        }
    }

    EXPECT_EQ (assertions.failures(), juce::StringArray()) << "JUCE's assertions while editors opened and closed";

    if (! JuceAssertionRecorder::seesAssertions)
        GTEST_SKIP() << "the looks were checked; JUCE's assertions are compiled out in this build";
}

TEST (EditorWindowLifecycle, WhatAnEditorOpenedClosesWithItUnansweredAndLeavesOtherEditorsListsAlone)
{
    // Menus, alerts and dialogs are windows of their own on the desktop. When the host closes the
    // editor that opened them they must go with it, before its looks, as though dismissed: nothing
    // loaded, nothing saved. Another editor's open preset list stays, in that editor's own look.
    juce::Typeface::clearTypefaceCache();
    const juce::File folder (qrvx::PresetsManager::presetsFolderPath());
    const auto preset = folder.getChildFile ("Pad.glp");
    VevareroAudioProcessor processor, other;
    setNormalisedValue (processor, "Filter_Type", 1.0f);
    ASSERT_TRUE (folder.createDirectory() && qrvx::PresetsManager::savePreset (processor.valueTreeState, preset).wasOk())
        << "could not write " << preset.getFullPathName();
    setNormalisedValue (processor, "Filter_Type", 0.0f);
    juce::MemoryBlock presetBytes;
    ASSERT_TRUE (preset.loadFileAsData (presetBytes));
    const auto state = processor.valueTreeState.copyState();
    const auto presetName = processor.currentPreset.getName();
    const JuceAssertionRecorder assertions;

    const auto button = [] (Footer& footer, const juce::String& name) { return &namedChild (footer, name); };
    const auto openSaveDialog = [&] (Footer& footer) { footer.buttonClicked (button (footer, "save")); };

    // The dialog's own question, as a user typing the name of a preset there and pressing Save
    // meets it.
    const auto askToOverwrite = [&] (Footer& footer)
    {
        openSaveDialog (footer);
        auto* dialog = dynamic_cast<juce::FileChooserDialogBox*> (juce::Component::getCurrentlyModalComponent());
        auto* browser = dialog != nullptr ? findChild<juce::FileBrowserComponent> (*dialog) : nullptr;
        auto* save = dialog != nullptr ? findChild<juce::Button> (*dialog, [] (juce::Button& b) { return b.getButtonText() == "Save"; })
                                       : nullptr;
        if (browser == nullptr || save == nullptr)
            throw std::runtime_error ("no save dialog with a file name and a Save button opened");
        browser->setFileName (preset.getFileName());
        save->triggerClick();
        dispatchMessagesFor (20);
    };

    const auto openBothMenus = [&] (Footer& f) { f.buttonClicked (button (f, {})); f.buttonClicked (button (f, "config")); };
    const auto tellOfAFailedLoad = [] (Footer& f) { f.showFailure ("Preset Not Loaded", "\"Pad\": not XML"); };
    const auto askToReplace = [&] (Footer& f) { f.saveFileChosen (folder.getChildFile ("Pad.txt")); };

    struct Row { const char* what; std::function<void (Footer&)> open; int windows; bool isSaveDialog; };
    const Row rows[] = {
        { "the preset list and the configuration menu", openBothMenus, 2, false },
        { "the save dialog", openSaveDialog, 1, true },
        { "the save dialog asking whether to overwrite a preset", askToOverwrite, 2, true },
        { "a message that a preset did not load", tellOfAFailedLoad, 1, false },
        { "the question whether to replace a preset", askToReplace, 1, false },
    };

    for (const auto& row : rows)
    {
        SCOPED_TRACE (row.what);

        // Where the system offers a dialog of its own, JUCE shows that and no window of its own.
        if (row.isSaveDialog && juce::FileChooser::isPlatformDialogAvailable())
            continue;

        auto editor = std::make_unique<Editor> (processor);
        row.open (I::footer (*editor));
        ASSERT_EQ (modalWindows().size(), row.windows) << "windows open before the editor closed: "
                                                       << shownWindows().joinIntoString (", ");

        editor.reset();
        EXPECT_EQ (modalWindows().size(), 0) << "windows still taking input once the editor closed";
        EXPECT_EQ (shownWindows(), juce::StringArray()) << "windows still shown once the editor closed";

        dispatchMessagesFor (20);
        EXPECT_FALSE (juce::PopupMenu::dismissAllActiveMenus()) << "a menu still active once the editor closed";
        EXPECT_EQ (juce::Desktop::getInstance().getNumComponents(), 0) << "windows left on the desktop";

        juce::MemoryBlock bytesNow;
        EXPECT_TRUE (preset.loadFileAsData (bytesNow) && bytesNow == presetBytes) << "the preset file changed";
        EXPECT_EQ (folder.getNumberOfChildFiles (juce::File::findFiles), 1) << "files written to the presets folder";
        EXPECT_TRUE (processor.valueTreeState.copyState().isEquivalentTo (state)) << "the parameters changed";
        EXPECT_EQ (processor.currentPreset.getName(), presetName) << "the current preset changed";

        // Whatever a failing row left open goes, so that the next row starts from an empty desktop.
        juce::ModalComponentManager::getInstance()->cancelAllModalComponents();
        dispatchMessagesFor (20);
    }

    // The newer of two editors closes under the older one's open list, then the older one closes.
    {
        auto older = std::make_unique<Editor> (processor), newer = std::make_unique<Editor> (other);
        I::footer (*older).buttonClicked (button (I::footer (*older), {}));
        auto* list = juce::Component::getCurrentlyModalComponent();
        ASSERT_NE (list, nullptr) << "the older editor's preset list did not open";

        newer.reset();
        dispatchMessagesFor (20);
        EXPECT_EQ (modalWindows(), juce::Array<juce::Component*> (list)) << "the older editor's list once the newer closed";
        EXPECT_EQ (&list->getLookAndFeel(), &I::look (*older)) << "the older editor's list is not in that editor's look";
        renderComponent (*list);

        older.reset();
        dispatchMessagesFor (20);
        EXPECT_EQ (juce::Desktop::getInstance().getNumComponents(), 0) << "windows left once both editors closed";
    }

    EXPECT_EQ (assertions.failures(), juce::StringArray()) << "JUCE's assertions while editors closed with windows open";
    preset.deleteFile();

    if (! JuceAssertionRecorder::seesAssertions)
        GTEST_SKIP() << "the windows were checked; JUCE's assertions are compiled out in this build";
}

TEST (EditorWindowLifecycle, AnEditorCanBeBuiltAndDeletedOnAHostsThreadHoldingTheMessageManagerLock)
{
    // A VST3 host on Linux has JUCE's wrapper build the first editor on the host's own thread,
    // with the message manager locked, before it has registered its run loop.
    juce::Typeface::clearTypefaceCache();
    VevareroAudioProcessor processor;
    const JuceAssertionRecorder assertions;
    std::unique_ptr<Editor> editor;
    bool built = false, deleted = false;
    std::atomic<bool> finished { false };

    std::thread host ([&]
    {
        if (const juce::MessageManagerLock lock; lock.lockWasGained())
        {
            editor = std::make_unique<Editor> (processor);
            built = &juce::LookAndFeel::getDefaultLookAndFeel() == &I::look (*editor);
        }

        if (const juce::MessageManagerLock lock; lock.lockWasGained())
        {
            editor.reset();
            deleted = ! defaultLookIsOurs();
        }

        finished = true;
    });

    while (! finished)
        dispatchMessagesFor (5);

    host.join();
    EXPECT_TRUE (built) << "the editor was not built, or its look is not the default";
    EXPECT_TRUE (deleted) << "the editor's look stayed the default after it was deleted";
    EXPECT_EQ (assertions.failures(), juce::StringArray()) << "JUCE's assertions while the host's thread built and deleted an editor";

    if (! JuceAssertionRecorder::seesAssertions)
        GTEST_SKIP() << "the editor was built and deleted; JUCE's assertions are compiled out in this build";
}
