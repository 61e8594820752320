#include "EditorTestSupport.h"

#include "editor/DistortionRoutingSelector.h"
#include "editor/FilterIcons.h"
#include "editor/FilterTypeSelector.h"
#include "editor/HostQuirks.h"
#include "editor/InputPatchPoint.h"
#include "editor/LFOSyncIcon.h"
#include "editor/LofiIcons.h"
#include "editor/LofiRoutingSelector.h"
#include "editor/OutputPatchPoint.h"
#include "editor/WaveformSelector.h"
#include "look/QrvxColours.h"

#include <gtest/gtest.h>

namespace
{
    namespace colours = qrvx::QrvxColours;
    using Make = std::function<std::unique_ptr<juce::Component> (VevareroAudioProcessor&)>;
    using Act = std::function<void (juce::Component&)>;

    const juce::ModifierKeys leftButton { juce::ModifierKeys::leftButtonModifier },
        rightButton { juce::ModifierKeys::rightButtonModifier }, middleButton { juce::ModifierKeys::middleButtonModifier };

    /** Builds a control, visible and at a size, the way the editor builds it. */
    template <typename Control, typename... Args>
    Make make (juce::Rectangle<int> size, Args... args)
    {
        return [=] (VevareroAudioProcessor& p)
        {
            std::unique_ptr<juce::Component> c;
            if constexpr (std::is_same_v<Control, InputPatchPoint>)
                c = std::make_unique<Control> (args..., p);
            else
                c = std::make_unique<Control> (p.valueTreeState, args...);
            c->setBounds (size);
            c->setVisible (true);
            return c;
        };
    }

    // At the sizes the editor lays them out at.
    const auto filterType = make<FilterTypeSelector> ({ 80, 40 });
    const auto driveRouting = make<DistortionRoutingSelector> ({ 38, 16 });
    const auto lofiRouting = make<LofiRoutingSelector> ({ 32, 32 });
    const auto waveform = [] (const char* id, juce::Rectangle<int> size = { 191, 20 }) { return make<WaveformSelector> (size, juce::String (id)); };
    const auto syncSwitch = [] (const char* id, juce::Rectangle<int> size = { 20, 20 }) { return make<LFOSyncIcon> (size, juce::String (id)); };
    const auto inputSocket = [] (int target, juce::Rectangle<int> size = { 16, 16 }) { return make<InputPatchPoint> (size, target); };

    Act click (juce::ModifierKeys buttons = leftButton)
    {
        return [buttons] (juce::Component& c) { clickAt (c, c.getLocalBounds().getCentre(), buttons); };
    }

    Act clickRowAt (float fractionOfWidth)
    {
        return [fractionOfWidth] (juce::Component& c) { clickAt (c, { juce::roundToInt (fractionOfWidth * (float) c.getWidth()), c.getHeight() / 2 }); };
    }

    juce::DragAndDropTarget::SourceDetails dragOf (const juce::var& description) { return { description, nullptr, { 8, 8 } }; }

    Act drop (const juce::var& description)
    {
        return [description] (juce::Component& c)
        {
            auto& socket = dynamic_cast<InputPatchPoint&> (c);
            if (socket.isInterestedInDragSource (dragOf (description)))
            {
                socket.itemDragEnter (dragOf (description));
                socket.itemDropped (dragOf (description));
            }
        };
    }

    std::unique_ptr<juce::Component> buildAt (VevareroAudioProcessor& p, const Make& build, const juce::String& id, float value)
    {
        setNormalisedValue (p, id, value);
        return build (p);
    }

    bool near (juce::Colour actual, juce::Colour expected, int tolerance = 8)
    {
        const auto channel = [] (juce::Colour c, int shift) { return (int) ((c.getARGB() >> shift) & 0xff); };
        for (const auto shift : { 0, 8, 16, 24 })
            if (std::abs (channel (actual, shift) - channel (expected, shift)) > tolerance)
                return false;
        return true;
    }

    int countPixels (const juce::Image& image, juce::Rectangle<int> area, juce::Colour colour)
    {
        int n = 0;
        for (int y = area.getY(); y < area.getBottom(); ++y)
            for (int x = area.getX(); x < area.getRight(); ++x)
                n += near (image.getPixelAt (x, y), colour) ? 1 : 0;
        return n;
    }

    struct ClickCase
    {
        juce::String what, parameterID;
        float before, expected; // normalised values: held when the control is built, then written
        Make build;
        Act act;
        bool showsValue = true; // sockets show no routing of their own
    };

    std::vector<ClickCase> clickCases()
    {
        std::vector<ClickCase> cases;
        for (int from = 0; from < 4; ++from)
            cases.push_back ({ "filter type " + juce::String (from), "Filter_Type", (float) from / 3.0f, (float) ((from + 1) % 4) / 3.0f, filterType, click() });
        for (int from = 0; from < 2; ++from)
            cases.push_back ({ "drive routing " + juce::String (from), "Distortion_Routing", (float) from, (float) (1 - from), driveRouting, click() });
        for (int from = 0; from < 3; ++from)
            cases.push_back ({ "lo-fi routing " + juce::String (from), "LoFi_Routing", (float) from / 2.0f, (float) ((from + 1) % 3) / 2.0f, lofiRouting, click() });

        for (const auto* id : { "LFO_1_Wave", "LFO_2_Wave" })
            for (int wave = 0; wave < WaveformSelector::numWaveforms; ++wave)
            {
                // Every other waveform is already selected: clicking it writes it again.
                const auto before = (float) (wave % 2 == 0 ? wave : (wave + 3) % 7) / 6.0f;
                const auto glyphCentre = (wave == 6 ? 0.87f : 0.02f + 0.14f * (float) wave) + 0.05f;
                cases.push_back ({ juce::String (id) + " " + juce::String (wave), id, before, (float) wave / 6.0f, waveform (id), clickRowAt (glyphCentre) });
            }

        cases.push_back ({ "sync off", "LFO_1_Sync", 0.0f, 1.0f, syncSwitch ("LFO_1_Sync"), click() });
        cases.push_back ({ "sync on", "LFO_2_Sync", 1.0f, 0.0f, syncSwitch ("LFO_2_Sync"), click() });

        const auto socket = [&] (const char* what, int target, const char* id, float before, float expected, Act act)
        { cases.push_back ({ what, juce::String (id) + "_Mod_Source", before, expected, inputSocket (target), std::move (act), false }); };
        socket ("LFO 2 on cutoff", ModulationTarget::cutoff, "Cutoff", 0.0f, 2.0f / 3.0f, drop (2));
        socket ("LFO MIX on dry/wet", ModulationTarget::dryWet, "Dry_Wet_Mix", 0.0f, 1.0f, drop (3));
        socket ("LFO 1 again on bits", ModulationTarget::bits, "Bits", 1.0f / 3.0f, 1.0f / 3.0f, drop (1));
        socket ("NONE on rate", ModulationTarget::rate, "Rate", 1.0f, 0.0f, drop (0));
        socket ("unplug resonance", ModulationTarget::resonance, "Resonance", 2.0f / 3.0f, 0.0f, click (rightButton));
        socket ("unplug unplugged rate", ModulationTarget::rate, "Rate", 0.0f, 0.0f, click (rightButton));
        return cases;
    }

    void refresh (juce::Component& c)
    {
        if (auto* s = dynamic_cast<IconChoiceSelector*> (&c)) s->refreshFromParameter();
        if (auto* s = dynamic_cast<DistortionRoutingSelector*> (&c)) s->refreshFromParameter();
        if (auto* s = dynamic_cast<WaveformSelector*> (&c)) s->refreshFromParameter();
        if (auto* s = dynamic_cast<LFOSyncIcon*> (&c)) s->refreshFromParameter();
    }
} // namespace

TEST (EditorControlClicks, EachClickAndDropWritesItsValueInOneGestureOutsideLiveAndBareInsideIt)
{
    for (const auto inLive : { false, true })
    {
        qrvx::HostQuirks::ScopedAbletonLiveOverride liveOverride (inLive);
        VevareroAudioProcessor processor;

        for (const auto& c : clickCases())
        {
            SCOPED_TRACE ((c.what + (inLive ? " in Live" : " elsewhere")).toStdString());
            auto control = buildAt (processor, c.build, c.parameterID, c.before);
            HostEventRecorder host (processor);
            c.act (*control);

            EXPECT_NEAR (normalisedValue (processor, c.parameterID), c.expected, 1.0e-6f);
            EXPECT_EQ (host.changedParameters(), juce::StringArray (c.parameterID));
            EXPECT_EQ (host.gestureBegins() + host.gestureEnds(), inLive ? 0 : 2);
            EXPECT_TRUE (inLive || host.everyValueInItsOwnGesture());

            // What a click shows at once is what a control built on the new value shows.
            if (c.showsValue)
            {
                EXPECT_TRUE (sameImage (renderComponent (*control), renderComponent (*buildAt (processor, c.build, c.parameterID, c.expected))));
            }
        }
    }
}

TEST (EditorControlClicks, OtherButtonsAndStrayClicksWriteAndShowNothing)
{
    VevareroAudioProcessor processor;
    const std::vector<std::tuple<const char*, juce::String, Make, Act>> cases {
        { "right on filter type", "Filter_Type", filterType, click (rightButton) },
        { "middle on filter type", "Filter_Type", filterType, click (middleButton) },
        { "right on drive routing", "Distortion_Routing", driveRouting, click (rightButton) },
        { "middle on drive routing", "Distortion_Routing", driveRouting, click (middleButton) },
        { "left on input socket", "Cutoff_Mod_Source", inputSocket (0), click (leftButton) },
        { "middle on input socket", "Cutoff_Mod_Source", inputSocket (0), click (middleButton) },
        { "last 2 % of waveform row", "LFO_1_Wave", waveform ("LFO_1_Wave", { 600, 60 }), clickRowAt (0.99f) },
        { "last pixel of waveform row", "LFO_1_Wave", waveform ("LFO_1_Wave"), clickRowAt (0.999f) },
    };

    for (const auto& [what, id, build, act] : cases)
    {
        SCOPED_TRACE (what);
        auto control = buildAt (processor, build, id, 1.0f);
        const auto before = renderComponent (*control);
        HostEventRecorder host (processor);
        act (*control);

        EXPECT_TRUE (host.events().empty());
        EXPECT_EQ (normalisedValue (processor, id), 1.0f);
        EXPECT_TRUE (sameImage (renderComponent (*control), before));
    }
}

TEST (EditorControlRefresh, ShowsHostChangesWithoutWritingAndRepaintsOnlyOnAChange)
{
    VevareroAudioProcessor processor;
    const std::vector<std::tuple<juce::String, int, Make>> cases {
        { "Filter_Type", 4, filterType },  { "Distortion_Routing", 2, driveRouting },     { "LoFi_Routing", 3, lofiRouting },
        { "LFO_2_Wave", 7, waveform ("LFO_2_Wave") }, { "LFO_1_Sync", 2, syncSwitch ("LFO_1_Sync") },
    };

    for (const auto& [id, steps, build] : cases)
    {
        auto control = buildAt (processor, build, id, 0.0f);

        // Every choice from the last down to the first, then the first once more, which is no change.
        int shown = 0;
        for (int step = steps; step >= -1; --step)
        {
            const auto index = juce::jmax (0, step == steps ? steps - 1 : step);
            SCOPED_TRACE ((id + " to " + juce::String (index)).toStdString());
            const auto value = (float) index / (float) (steps - 1);
            setNormalisedValue (processor, id, value);
            const auto before = renderComponent (*control);

            HostEventRecorder host (processor);
            {
                RepaintCounter repaints (*control);
                refresh (*control);
                EXPECT_EQ (repaints.count() > 0, index != shown);
                repaints.reset();
                refresh (*control);
                EXPECT_EQ (repaints.count(), 0);
            }
            EXPECT_TRUE (host.events().empty());

            const auto after = renderComponent (*control);
            EXPECT_TRUE (sameImage (after, renderComponent (*buildAt (processor, build, id, value))));
            EXPECT_EQ (sameImage (after, before), index == shown);
            shown = index;
        }
    }
}

TEST (EditorControlSockets, StrayDropsAndSocketsWithoutATargetWriteNothingAndDropTheRing)
{
    VevareroAudioProcessor processor;
    auto socket = inputSocket (ModulationTarget::resonance, { 40, 40 }) (processor);
    auto& input = dynamic_cast<InputPatchPoint&> (*socket);
    const auto ringPixel = [&] { return renderComponent (input).getPixelAt (20, 3); }; // on both the glyph's ring and the hover ring

    setNormalisedValue (processor, "Resonance_Mod_Source", 1.0f / 3.0f);
    const auto idle = renderComponent (input);
    EXPECT_TRUE (near (ringPixel(), colours::lime));

    const std::vector<std::pair<const char*, juce::var>> strays {
        { "text", "2" }, { "double", 2.0 }, { "64-bit", (juce::int64) 2 }, { "void", {} },
        { "above MIX", 4 }, { "below NONE", -1 }, { "list", juce::Array<juce::var> { 2 } },
    };
    for (const auto& [what, description] : strays)
    {
        SCOPED_TRACE (what);
        HostEventRecorder host (processor);
        ASSERT_TRUE (input.isInterestedInDragSource (dragOf (description)));
        input.itemDragEnter (dragOf (description));
        EXPECT_TRUE (near (ringPixel(), colours::yellow));
        input.itemDropped (dragOf (description));
        EXPECT_TRUE (host.events().empty());
        EXPECT_TRUE (sameImage (renderComponent (input), idle));
    }

    input.itemDragEnter (dragOf (1));
    input.itemDragExit (dragOf (1));
    EXPECT_TRUE (sameImage (renderComponent (input), idle));

    for (const int target : { -1, (int) ModulationTarget::numTargets })
    {
        auto orphan = inputSocket (target) (processor);
        HostEventRecorder host (processor);
        EXPECT_EQ (dynamic_cast<InputPatchPoint&> (*orphan).getLink().parameter, nullptr);
        click (rightButton) (*orphan);
        drop (2) (*orphan);
        EXPECT_TRUE (host.events().empty());
        EXPECT_FALSE (dynamic_cast<InputPatchPoint&> (*orphan).getIsHovered());
    }
}

TEST (EditorControlGeometry, FilterIconsAtTheLayoutSize)
{
    using Points = std::vector<juce::Point<float>>; // start, (control, end) three times, then the line ends
    struct Case { const char* name; std::unique_ptr<FilterIcon> icon; Points points; } cases[] {
        { "low-pass", std::make_unique<LPFIcon>(), { { 0, 17 }, { 16, 18 }, { 30, 11 }, { 42, 6 }, { 46, 19 }, { 52, 34 }, { 64, 40 }, { 0, 40 } } },
        { "high-pass", std::make_unique<HPFIcon>(), { { 80, 17 }, { 64, 18 }, { 50, 11 }, { 42, 6 }, { 34, 19 }, { 28, 34 }, { 16, 40 }, { 80, 40 } } },
        { "band-pass", std::make_unique<BPFIcon>(), { { 16, 40 }, { 28, 34 }, { 35, 19 }, { 40, 6 }, { 45, 19 }, { 52, 34 }, { 64, 40 }, { 16, 40 } } },
        { "band-stop", std::make_unique<BSFIcon>(), { { 0, 17 }, { 28, 14 }, { 28, 17 }, { 40, 40 }, { 52, 17 }, { 52, 14 }, { 80, 17 }, { 399, 202 }, { 0, 40 } } },
    };

    for (auto& [name, icon, points] : cases)
    {
        SCOPED_TRACE (name);
        icon->setSize (80, 40);
        Points actual;
        for (juce::Path::Iterator it (icon->getPath()); it.next();)
        {
            if (it.elementType != juce::Path::Iterator::closePath)
                actual.push_back ({ it.x1, it.y1 });
            if (it.elementType == juce::Path::Iterator::quadraticTo)
                actual.push_back ({ it.x2, it.y2 });
        }
        EXPECT_EQ (actual, points);

        // The points on the outline (not the control points) are stroked in solid teal.
        const auto image = renderComponent (*icon);
        for (const auto i : { 0, 2, 4, 6, 7 })
        {
            const auto p = points[(size_t) i].toInt();
            if (image.getBounds().expanded (1).contains (p))
            {
                EXPECT_TRUE (near (image.getPixelAt (juce::jmin (79, p.x), juce::jmin (39, p.y)), colours::teal, 64)) << p.toString();
            }
        }
    }

    // The band-stop outline leaves by the right edge instead of running down it, and comes back
    // in at the lower left corner: its right edge is only filled, its left edge stroked.
    const auto bandStop = renderComponent (*cases[3].icon);
    EXPECT_TRUE (near (bandStop.getPixelAt (79, 32), colours::teal.withAlpha ((juce::uint8) 0x32), 4));
    EXPECT_TRUE (near (bandStop.getPixelAt (0, 32), colours::teal, 64));
}

TEST (EditorControlGeometry, LofiIconsAtTheLayoutSize)
{
    using Rects = std::vector<juce::Rectangle<int>>;
    const Rects boxes { { 11, 3, 10, 10 }, { 11, 19, 10, 10 } };
    struct Case { const char* name; std::unique_ptr<juce::Component> icon; Rects rects; } cases[] {
        { "chain", std::make_unique<LofiChainIcon>(), { { 15, 13, 2, 6 }, { 21, 23, 6, 2 } } },
        { "parallel", std::make_unique<LofiParallelIcon>(), { { 26, 7, 2, 10 }, { 21, 23, 6, 2 }, { 21, 7, 6, 2 }, { 26, 15, 2, 10 }, { 26, 15, 6, 2 } } },
        { "ring", std::make_unique<LofiRingIcon>(), {} },
    };

    for (auto& [name, icon, rects] : cases)
    {
        SCOPED_TRACE (name);
        icon->setSize (32, 32);
        rects.insert (rects.end(), boxes.begin(), boxes.end());
        const auto image = renderComponent (*icon);
        const auto isRing = juce::String (name) == "ring";

        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
            {
                const auto inside = std::any_of (rects.begin(), rects.end(), [=] (auto& r) { return r.contains (x, y); });
                const auto pixel = image.getPixelAt (x, y);
                if (inside || ! isRing)
                {
                    EXPECT_TRUE (inside ? near (pixel, colours::green, 2) : pixel.isTransparent()) << x << ", " << y;
                }
            }

        if (! isRing)
            continue;

        // A 2-pixel circle in (8, 8, 16, 16), empty inside.
        for (const auto& [x, y, onCircle] : { std::tuple { 7, 16, true }, { 8, 16, true }, { 23, 16, true }, { 24, 16, true }, { 16, 16, false }, { 5, 16, false }, { 26, 16, false } })
            EXPECT_EQ (near (image.getPixelAt (x, y), colours::green, 16), onCircle) << x << ", " << y;
    }
}

TEST (EditorControlGeometry, WaveformRowStripsAndGlyphs)
{
    VevareroAudioProcessor processor;
    HostEventRecorder host (processor);

    // Clicks select by strips 14 % of the width wide from the left; the last 2 % select nothing.
    for (const auto size : { juce::Rectangle<int> { 600, 60 }, juce::Rectangle<int> { 191, 20 } })
    {
        auto row = waveform ("LFO_1_Wave", size) (processor);
        int previous = 0;
        for (int x = 0; x < size.getWidth(); ++x)
        {
            host.clear();
            clickAt (*row, { x, size.getHeight() / 2 });
            const auto fraction = ((float) x + 0.5f) / (float) size.getWidth();
            SCOPED_TRACE (size.toString() + " x " + juce::String (x));

            if (fraction > 0.98f)
            {
                EXPECT_TRUE (host.events().empty());
                continue;
            }
            ASSERT_EQ (host.valueChanges(), 1);
            const auto index = juce::roundToInt (host.events()[1].value * 6.0f);
            EXPECT_TRUE (index == previous || index == previous + 1);
            if (std::abs (fraction / 0.14f - std::round (fraction / 0.14f)) > 0.05f)
            {
                EXPECT_EQ (index, (int) (fraction / 0.14f));
            }
            previous = index;
        }
        EXPECT_EQ (previous, 6);
    }

    // The selected waveform alone is yellow and fills its glyph area; the others are grey. (At a
    // size where the strokes are whole pixels.)
    auto row = waveform ("LFO_1_Wave", { 600, 60 }) (processor);
    auto& selector = dynamic_cast<WaveformSelector&> (*row);
    for (int selected = 0; selected < WaveformSelector::numWaveforms; ++selected)
    {
        SCOPED_TRACE (selected);
        setNormalisedValue (processor, "LFO_1_Wave", (float) selected / 6.0f);
        selector.refreshFromParameter();
        const auto image = renderComponent (selector).getClippedImage ({ 0, 0, 600, 59 });

        juce::Rectangle<int> yellow;
        for (int y = 0; y < image.getHeight(); ++y)
            for (int x = 0; x < image.getWidth(); ++x)
                if (near (image.getPixelAt (x, y), colours::yellow))
                    yellow = yellow.isEmpty() ? juce::Rectangle<int> (x, y, 1, 1) : yellow.getUnion ({ x, y, 1, 1 });

        const auto left = std::round ((selected == 6 ? 0.87f : 0.02f + 0.14f * (float) selected) * 600.0f);
        EXPECT_NEAR ((float) yellow.getX(), left, 1.0f);
        EXPECT_NEAR ((float) yellow.getRight(), left + 60.0f, 1.0f);

        for (int i = 0; i < WaveformSelector::numWaveforms; ++i)
            EXPECT_EQ (countPixels (image, selector.getGlyphArea (i).toNearestInt(), juce::Colour (0xff474747)) > 0, i != selected) << i;
    }
    EXPECT_EQ (countPixels (renderComponent (selector), { 0, 59, 600, 1 }, colours::yellow), 600);
}

TEST (EditorControlDrawings, SwitchesSocketsAndChevronsShowTheirStateInTheirColours)
{
    VevareroAudioProcessor processor;

    auto sync = syncSwitch ("LFO_2_Sync", { 40, 40 }) (processor);
    for (const auto on : { false, true })
    {
        setNormalisedValue (processor, "LFO_2_Sync", on ? 1.0f : 0.0f);
        refresh (*sync);
        EXPECT_EQ (dynamic_cast<LFOSyncIcon&> (*sync).getIsSynced(), on);
        const auto image = renderComponent (*sync);
        const auto lit = on ? colours::yellow : colours::light_grey;
        EXPECT_TRUE (near (image.getPixelAt (20, 1), lit));  // rim
        EXPECT_TRUE (near (image.getPixelAt (20, 10), lit)); // upright hand
        EXPECT_TRUE (near (image.getPixelAt (10, 20), colours::dark_grey));
    }

    OutputPatchPoint output (ModulationSource::lfoMix);
    output.setBounds (0, 0, 40, 40);
    auto input = inputSocket (ModulationTarget::bits, { 40, 40 }) (processor);
    for (const auto& [socket, ring] : { std::pair<juce::Component*, juce::Colour> { &output, colours::yellow }, { input.get(), colours::lime } })
    {
        const auto image = renderComponent (*socket);
        EXPECT_TRUE (near (image.getPixelAt (20, 5), ring));
        EXPECT_TRUE (near (image.getPixelAt (20, 20), juce::Colours::black));
        EXPECT_TRUE (near (image.getPixelAt (20, 0), colours::dark_grey, 40));
    }

    // The biggest chevron sits at the tail, so the chevrons point away from the half with more teal.
    auto routing = driveRouting (processor);
    for (const auto postFilter : { false, true })
    {
        setNormalisedValue (processor, "Distortion_Routing", postFilter ? 1.0f : 0.0f);
        refresh (*routing);
        const auto image = renderComponent (*routing);
        const auto left = countPixels (image, { 0, 0, 19, 16 }, colours::teal), right = countPixels (image, { 19, 0, 19, 16 }, colours::teal);
        EXPECT_GT (left + right, 0);
        EXPECT_EQ (left > right, ! postFilter) << left << " vs " << right;
    }
}

namespace
{
    /** Stands in for the editor window: a drag-and-drop container that notes the drags it runs. */
    struct DragContainer final : juce::Component, juce::DragAndDropContainer
    {
        void dragOperationStarted (const juce::DragAndDropTarget::SourceDetails& d) override { started.add (d.description); }
        juce::Array<juce::var> started;
    };
} // namespace

TEST (EditorControlSockets, ARealDragWithAnyButtonRunsInTheNearestContainerAndLandsOnTheInput)
{
    VevareroAudioProcessor processor;
    DragContainer window, nested;
    juce::Component panel;
    InputPatchPoint input (ModulationTarget::cutoff, processor);
    juce::OwnedArray<OutputPatchPoint> outputs; // a finished drag lingers until a timer tick, so one socket per drag

    window.setBounds (50, 50, 300, 200);
    nested.setBounds (0, 0, 300, 200);
    panel.setBounds (0, 0, 300, 200);
    input.setBounds (200, 100, 16, 16);
    window.addAndMakeVisible (nested);
    nested.addAndMakeVisible (panel);
    panel.addAndMakeVisible (input);
    window.addToDesktop (juce::ComponentPeer::windowIsTemporary);
    window.setVisible (true);
    auto* peer = window.getPeer();
    ASSERT_NE (peer, nullptr);

    auto time = juce::Time::currentTimeMillis();
    const auto dragTo = [&] (int source, juce::ModifierKeys buttons, juce::Point<int> end)
    {
        auto* output = outputs.add (new OutputPatchPoint (source));
        output->setBounds (20 * outputs.size(), 20, 16, 16);
        panel.addAndMakeVisible (output);
        for (const auto& [at, mods] : { std::pair { output->getBounds().getCentre(), buttons }, { { 100, 60 }, buttons }, { end, buttons }, { end, {} } })
        {
            peer->handleMouseEvent (juce::MouseInputSource::InputSourceType::mouse, at.toFloat(), mods,
                                    juce::MouseInputSource::defaultPressure, 0.0f, time += 20);
            if (mods == buttons && at == end)
            {
                EXPECT_EQ (input.getIsHovered(), end == input.getBounds().getCentre());
            }
        }
    };

    for (const auto& [buttons, source] : { std::pair { leftButton, 1 }, { rightButton, 2 }, { middleButton, 3 } })
    {
        SCOPED_TRACE (source);
        setNormalisedValue (processor, "Cutoff_Mod_Source", 0.0f);
        HostEventRecorder host (processor);
        dragTo (source, buttons, input.getBounds().getCentre());

        EXPECT_TRUE (window.started.isEmpty());
        EXPECT_EQ (nested.started.getLast(), juce::var (source));
        EXPECT_FALSE (input.getIsHovered());
        EXPECT_NEAR (normalisedValue (processor, "Cutoff_Mod_Source"), (float) source / 3.0f, 1.0e-6f);
        EXPECT_TRUE (host.everyValueInItsOwnGesture() && host.valueChanges() == 1);
    }

    // Released over another output socket or the bare panel, a cable routes nothing.
    HostEventRecorder host (processor);
    dragTo (1, leftButton, outputs[1]->getBounds().getCentre());
    dragTo (1, leftButton, { 150, 150 });
    EXPECT_TRUE (host.events().empty());
    EXPECT_EQ (nested.started.size(), 5);

    // With no container above it, a socket starts nothing, and nothing breaks.
    OutputPatchPoint loose (ModulationSource::lfo1);
    loose.setBounds (0, 0, 16, 16);
    const auto now = juce::Time::getCurrentTime();
    loose.mouseDrag ({ juce::Desktop::getInstance().getMainMouseSource(), { 9.0f, 9.0f }, leftButton, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f,
                       &loose, &loose, now, { 8.0f, 8.0f }, now, 1, false });
    EXPECT_EQ (nested.started.size(), 5);
    window.removeFromDesktop();
}

TEST (EditorControlSheet, EveryControlInEveryState)
{
    VevareroAudioProcessor processor;
    std::vector<std::pair<juce::String, std::vector<juce::Image>>> rows;

    for (const auto& [label, id, steps, build] : std::vector<std::tuple<juce::String, juce::String, int, Make>> {
             { "filter type", "Filter_Type", 4, filterType }, { "drive routing", "Distortion_Routing", 2, driveRouting },
             { "lo-fi routing", "LoFi_Routing", 3, lofiRouting }, { "LFO sync", "LFO_1_Sync", 2, syncSwitch ("LFO_1_Sync") },
             { "waveform", "LFO_1_Wave", 7, waveform ("LFO_1_Wave") } })
    {
        std::vector<juce::Image> states;
        for (int i = 0; i < steps; ++i)
        {
            states.push_back (renderComponent (*buildAt (processor, build, id, (float) i / (float) (steps - 1))));
            if (i == 0 || steps == 7) // the waveform row is wide: one line per state
                rows.push_back ({ label + (steps == 7 ? " " + juce::String (i) : juce::String()), {} });
            rows.back().second.push_back (states.back());
        }

        // No two states of a control look alike.
        for (size_t i = 0; i < states.size(); ++i)
            for (size_t j = i + 1; j < states.size(); ++j)
                EXPECT_FALSE (sameImage (states[i], states[j])) << label << " " << i << " and " << j;
    }

    OutputPatchPoint output (ModulationSource::lfo1);
    output.setBounds (0, 0, 16, 16);
    auto input = inputSocket (ModulationTarget::cutoff) (processor);
    rows.push_back ({ "out / in / hovered", { renderComponent (output), renderComponent (*input) } });
    dynamic_cast<InputPatchPoint&> (*input).itemDragEnter (dragOf (1));
    rows.back().second.push_back (renderComponent (*input));
    const auto& sockets = rows.back().second;
    EXPECT_FALSE (sameImage (sockets[0], sockets[1]) || sameImage (sockets[1], sockets[2]) || sameImage (sockets[0], sockets[2]));

    constexpr int zoom = 4, pad = 8, labelWidth = 110;
    int width = 0;
    for (const auto& row : rows)
        width = juce::jmax (width, labelWidth + (int) row.second.size() * (row.second.front().getWidth() * zoom + pad));
    juce::Image sheet (juce::Image::RGB, width, pad + (int) rows.size() * (40 * zoom + pad), true);
    juce::Graphics g (sheet);
    g.fillAll (juce::Colour (0xff3a3a3a)); // a panel-like backdrop for the transparent parts
    g.setImageResamplingQuality (juce::Graphics::lowResamplingQuality);
    int y = pad;
    for (const auto& [label, images] : rows)
    {
        g.setColour (juce::Colours::white);
        g.drawText (label, pad, y, labelWidth - pad, 20, juce::Justification::centredLeft);
        int x = labelWidth, height = 0;
        for (const auto& image : images)
        {
            g.drawImage (image, juce::Rectangle<int> (x, y, image.getWidth() * zoom, image.getHeight() * zoom).toFloat());
            x += image.getWidth() * zoom + pad;
            height = juce::jmax (height, image.getHeight() * zoom);
        }
        y += height + pad;
    }

    const auto file = testOutputFile ("editor-controls.png");
    file.deleteFile();
    juce::FileOutputStream stream (file);
    ASSERT_TRUE (stream.openedOk());
    EXPECT_TRUE (juce::PNGImageFormat().writeImageToStream (sheet.getClippedImage ({ 0, 0, sheet.getWidth(), y }), stream));
}
