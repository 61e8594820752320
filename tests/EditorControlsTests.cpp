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

#include <functional>
#include <memory>
#include <vector>

namespace
{
    namespace colours = qrvx::QrvxColours;
    using Make = std::function<std::unique_ptr<juce::Component> (VevareroAudioProcessor&)>;
    using Act = std::function<void (juce::Component&)>;

    const juce::ModifierKeys leftButton { juce::ModifierKeys::leftButtonModifier };
    const juce::ModifierKeys rightButton { juce::ModifierKeys::rightButtonModifier };
    const juce::ModifierKeys middleButton { juce::ModifierKeys::middleButtonModifier };

    // The sizes the editor lays these out at.
    const juce::Rectangle<int> filterSize { 80, 40 }, distortionSize { 38, 16 }, lofiSize { 32, 32 },
        waveformSize { 191, 20 }, syncSize { 20, 20 }, socketSize { 16, 16 };

    template <typename Control>
    Make makeOnTree (juce::Rectangle<int> size)
    {
        return [size] (VevareroAudioProcessor& p)
        {
            auto c = std::make_unique<Control> (p.valueTreeState);
            c->setBounds (size);
            c->setVisible (true);
            return std::unique_ptr<juce::Component> (std::move (c));
        };
    }

    template <typename Control>
    Make makeForLFO (const juce::String& id, juce::Rectangle<int> size)
    {
        return [id, size] (VevareroAudioProcessor& p)
        {
            auto c = std::make_unique<Control> (p.valueTreeState, id);
            c->setBounds (size);
            c->setVisible (true);
            return std::unique_ptr<juce::Component> (std::move (c));
        };
    }

    Make makeInputSocket (int target, juce::Rectangle<int> size = socketSize)
    {
        return [target, size] (VevareroAudioProcessor& p)
        {
            auto c = std::make_unique<InputPatchPoint> (target, p);
            c->setBounds (size);
            c->setVisible (true);
            return std::unique_ptr<juce::Component> (std::move (c));
        };
    }

    Act clickCentre (juce::ModifierKeys buttons = leftButton)
    {
        return [buttons] (juce::Component& c) { clickAt (c, c.getLocalBounds().getCentre(), buttons); };
    }

    /** A click on the waveform row at a fraction of its width, half way down. */
    Act clickRowAt (float fractionOfWidth)
    {
        return [fractionOfWidth] (juce::Component& c)
        {
            clickAt (c, { juce::roundToInt (fractionOfWidth * (float) c.getWidth()), c.getHeight() / 2 });
        };
    }

    juce::DragAndDropTarget::SourceDetails dragOf (const juce::var& description, juce::Component* source = nullptr)
    {
        return { description, source, { 8, 8 } };
    }

    Act dropSource (const juce::var& description)
    {
        return [description] (juce::Component& c)
        {
            auto& socket = dynamic_cast<InputPatchPoint&> (c);
            const auto details = dragOf (description);
            if (socket.isInterestedInDragSource (details))
            {
                socket.itemDragEnter (details);
                socket.itemDropped (details);
            }
        };
    }

    juce::String modSourceID (const juce::String& targetID) { return targetID + "_Mod_Source"; }

    struct ClickCase
    {
        juce::String what;
        juce::String parameterID;
        float before;   // normalised value the parameter holds when the control is built
        float expected; // normalised value the action writes
        Make make;
        Act act;
        bool showsValue = true; // the control shows the value it writes (sockets show none)
    };

    std::vector<ClickCase> clickCases()
    {
        std::vector<ClickCase> cases;

        const auto filter = makeOnTree<FilterTypeSelector> (filterSize);
        for (int from = 0; from < 4; ++from)
            cases.push_back ({ "filter type from " + juce::String (from), "Filter_Type", (float) from / 3.0f,
                               (float) ((from + 1) % 4) / 3.0f, filter, clickCentre() });

        const auto distortion = makeOnTree<DistortionRoutingSelector> (distortionSize);
        cases.push_back ({ "drive before filter", "Distortion_Routing", 0.0f, 1.0f, distortion, clickCentre() });
        cases.push_back ({ "drive after filter", "Distortion_Routing", 1.0f, 0.0f, distortion, clickCentre() });

        const auto lofi = makeOnTree<LofiRoutingSelector> (lofiSize);
        for (int from = 0; from < 3; ++from)
            cases.push_back ({ "lo-fi routing from " + juce::String (from), "LoFi_Routing", (float) from / 2.0f,
                               (float) ((from + 1) % 3) / 2.0f, lofi, clickCentre() });

        for (const auto* id : { "LFO_1_Wave", "LFO_2_Wave" })
            for (int wave = 0; wave < WaveformSelector::numWaveforms; ++wave)
            {
                // Every other waveform is already selected: clicking it writes it again.
                const auto before = wave % 2 == 0 ? (float) wave / 6.0f : (float) ((wave + 3) % 7) / 6.0f;
                const auto glyphCentre = (wave == 6 ? 0.87f : 0.02f + 0.14f * (float) wave) + 0.05f;
                cases.push_back ({ juce::String (id) + " glyph " + juce::String (wave), id, before, (float) wave / 6.0f,
                                   makeForLFO<WaveformSelector> (id, waveformSize), clickRowAt (glyphCentre) });
            }

        cases.push_back ({ "sync off", "LFO_1_Sync", 0.0f, 1.0f, makeForLFO<LFOSyncIcon> ("LFO_1_Sync", syncSize), clickCentre() });
        cases.push_back ({ "sync on", "LFO_2_Sync", 1.0f, 0.0f, makeForLFO<LFOSyncIcon> ("LFO_2_Sync", syncSize), clickCentre() });

        const auto socketCase = [&] (const char* what, int target, const char* targetID, float before, float expected, Act act)
        {
            cases.push_back ({ what, modSourceID (targetID), before, expected, makeInputSocket (target), std::move (act), false });
        };
        socketCase ("LFO 2 dropped on cutoff", 0, "Cutoff", 0.0f, 2.0f / 3.0f, dropSource (2));
        socketCase ("LFO MIX dropped on dry/wet", 4, "Dry_Wet_Mix", 0.0f, 1.0f, dropSource (3));
        socketCase ("LFO 1 dropped again on bits", 3, "Bits", 1.0f / 3.0f, 1.0f / 3.0f, dropSource (1));
        socketCase ("NONE dropped on rate", 2, "Rate", 1.0f, 0.0f, dropSource (0));
        socketCase ("right click on resonance", 1, "Resonance", 2.0f / 3.0f, 0.0f, clickCentre (rightButton));
        socketCase ("right click on unplugged rate", 2, "Rate", 0.0f, 0.0f, clickCentre (rightButton));

        return cases;
    }

    /** Builds a control on a processor whose parameter already holds a value. */
    std::unique_ptr<juce::Component> buildAt (VevareroAudioProcessor& p, const Make& make, const juce::String& id, float value)
    {
        setNormalisedValue (p, id, value);
        return make (p);
    }
} // namespace

TEST (EditorControlClicks, EachClickAndDropWritesItsValueInOneGestureOutsideLiveAndBareInsideIt)
{
    for (const auto inLive : { false, true })
    {
        qrvx::HostQuirks::ScopedAbletonLiveOverride host (inLive);
        VevareroAudioProcessor processor;

        for (const auto& c : clickCases())
        {
            SCOPED_TRACE ((c.what + (inLive ? " in Live" : " elsewhere")).toStdString());

            auto control = buildAt (processor, c.make, c.parameterID, c.before);
            HostEventRecorder host (processor);
            c.act (*control);

            EXPECT_NEAR (normalisedValue (processor, c.parameterID), c.expected, 1.0e-6f);
            EXPECT_EQ (host.changedParameters(), juce::StringArray (c.parameterID));
            ASSERT_EQ (host.valueChanges(), 1);

            if (inLive)
                EXPECT_EQ (host.gestureBegins() + host.gestureEnds(), 0);
            else
                EXPECT_TRUE (host.everyValueInItsOwnGesture());

            if (c.showsValue)
            {
                // What the click shows at once is what a control built on the new value shows.
                auto reference = buildAt (processor, c.make, c.parameterID, c.expected);
                EXPECT_TRUE (sameImage (renderComponent (*control), renderComponent (*reference)));
            }
        }
    }
}

TEST (EditorControlClicks, OtherButtonsAndStrayClicksWriteAndShowNothing)
{
    VevareroAudioProcessor processor;

    struct Case
    {
        const char* what;
        juce::String parameterID;
        Make make;
        Act act;
    };

    const std::vector<Case> cases {
        { "right click on filter type", "Filter_Type", makeOnTree<FilterTypeSelector> (filterSize), clickCentre (rightButton) },
        { "middle click on filter type", "Filter_Type", makeOnTree<FilterTypeSelector> (filterSize), clickCentre (middleButton) },
        { "right click on drive routing", "Distortion_Routing", makeOnTree<DistortionRoutingSelector> (distortionSize), clickCentre (rightButton) },
        { "middle click on drive routing", "Distortion_Routing", makeOnTree<DistortionRoutingSelector> (distortionSize), clickCentre (middleButton) },
        { "left click on input socket", "Cutoff_Mod_Source", makeInputSocket (0), clickCentre (leftButton) },
        { "middle click on input socket", "Cutoff_Mod_Source", makeInputSocket (0), clickCentre (middleButton) },
        { "rightmost 2 % of waveform row", "LFO_1_Wave", makeForLFO<WaveformSelector> ("LFO_1_Wave", { 600, 60 }), clickRowAt (0.99f) },
        { "last pixel of waveform row", "LFO_1_Wave", makeForLFO<WaveformSelector> ("LFO_1_Wave", waveformSize),
          [] (juce::Component& c) { clickAt (c, { c.getWidth() - 1, c.getHeight() / 2 }); } },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        auto control = buildAt (processor, c.make, c.parameterID, 1.0f);
        const auto before = renderComponent (*control);
        HostEventRecorder host (processor);

        c.act (*control);

        EXPECT_TRUE (host.events().empty());
        EXPECT_EQ (normalisedValue (processor, c.parameterID), 1.0f);
        EXPECT_TRUE (sameImage (renderComponent (*control), before));
    }
}

TEST (EditorControlRefresh, ShowsHostChangesWithoutWritingAndRepaintsOnlyOnAChange)
{
    VevareroAudioProcessor processor;

    struct Case
    {
        juce::String parameterID;
        int steps; // number of choices
        Make make;
    };

    const std::vector<Case> cases {
        { "Filter_Type", 4, makeOnTree<FilterTypeSelector> (filterSize) },
        { "Distortion_Routing", 2, makeOnTree<DistortionRoutingSelector> (distortionSize) },
        { "LoFi_Routing", 3, makeOnTree<LofiRoutingSelector> (lofiSize) },
        { "LFO_2_Wave", 7, makeForLFO<WaveformSelector> ("LFO_2_Wave", waveformSize) },
        { "LFO_1_Sync", 2, makeForLFO<LFOSyncIcon> ("LFO_1_Sync", syncSize) },
    };

    const auto refresh = [] (juce::Component& c)
    {
        if (auto* s = dynamic_cast<FilterTypeSelector*> (&c)) s->refreshFromParameter();
        if (auto* s = dynamic_cast<DistortionRoutingSelector*> (&c)) s->refreshFromParameter();
        if (auto* s = dynamic_cast<LofiRoutingSelector*> (&c)) s->refreshFromParameter();
        if (auto* s = dynamic_cast<WaveformSelector*> (&c)) s->refreshFromParameter();
        if (auto* s = dynamic_cast<LFOSyncIcon*> (&c)) s->refreshFromParameter();
    };

    for (const auto& c : cases)
    {
        const auto valueOf = [&] (int index) { return (float) index / (float) (c.steps - 1); };
        auto control = buildAt (processor, c.make, c.parameterID, 0.0f);

        // Walk through every choice from the last one down, then hold the first one: each step is a
        // host change except the last, which must leave everything alone.
        std::vector<int> walk;
        for (int i = c.steps; --i >= 0;)
            walk.push_back (i);
        walk.push_back (0);

        int shown = 0;
        for (const auto index : walk)
        {
            SCOPED_TRACE ((c.parameterID + " to " + juce::String (index)).toStdString());
            setNormalisedValue (processor, c.parameterID, valueOf (index));
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
            auto reference = buildAt (processor, c.make, c.parameterID, valueOf (index));
            EXPECT_TRUE (sameImage (after, renderComponent (*reference)));
            EXPECT_EQ (sameImage (after, before), index == shown);
            shown = index;
        }
    }
}

namespace
{
    bool near (juce::Colour actual, juce::Colour expected, int tolerance = 8)
    {
        return std::abs (actual.getRed() - expected.getRed()) <= tolerance
            && std::abs (actual.getGreen() - expected.getGreen()) <= tolerance
            && std::abs (actual.getBlue() - expected.getBlue()) <= tolerance
            && std::abs (actual.getAlpha() - expected.getAlpha()) <= tolerance;
    }

    int countPixels (const juce::Image& image, juce::Rectangle<int> area, juce::Colour colour)
    {
        int n = 0;
        for (int y = area.getY(); y < area.getBottom(); ++y)
            for (int x = area.getX(); x < area.getRight(); ++x)
                n += near (image.getPixelAt (x, y), colour) ? 1 : 0;
        return n;
    }

    /** The bounds of the pixels of one colour. */
    juce::Rectangle<int> extentOf (const juce::Image& image, juce::Colour colour)
    {
        juce::Rectangle<int> extent;
        for (int y = 0; y < image.getHeight(); ++y)
            for (int x = 0; x < image.getWidth(); ++x)
                if (near (image.getPixelAt (x, y), colour))
                    extent = extent.isEmpty() ? juce::Rectangle<int> (x, y, 1, 1)
                                              : extent.getUnion ({ x, y, 1, 1 });
        return extent;
    }

    template <typename Icon>
    std::unique_ptr<juce::Component> icon (juce::Rectangle<int> size)
    {
        auto c = std::make_unique<Icon>();
        c->setBounds (size);
        return c;
    }
} // namespace

TEST (EditorControlSockets, OnlyAnIntSourceFromNoneToMixIsWrittenAndEveryDropClearsTheRing)
{
    VevareroAudioProcessor processor;
    auto socket = makeInputSocket (ModulationTarget::resonance, { 40, 40 }) (processor);
    auto& input = dynamic_cast<InputPatchPoint&> (*socket);
    const juce::Point<int> onRing { 20, 3 }; // where the hover ring crosses the lime ring of the glyph

    setNormalisedValue (processor, "Resonance_Mod_Source", 1.0f / 3.0f);
    const auto idle = renderComponent (input);
    EXPECT_TRUE (near (idle.getPixelAt (onRing.x, onRing.y), colours::lime));

    const juce::Array<juce::var> list { 2 };
    const std::vector<std::pair<const char*, juce::var>> strays {
        { "text", "2" },      { "double", 2.0 },   { "64-bit int", (juce::int64) 2 }, { "nothing", {} },
        { "above MIX", 4 },   { "below NONE", -1 }, { "list", list },
    };

    for (const auto& [what, description] : strays)
    {
        SCOPED_TRACE (what);
        HostEventRecorder host (processor);
        const auto details = dragOf (description);

        ASSERT_TRUE (input.isInterestedInDragSource (details));
        input.itemDragEnter (details);
        EXPECT_TRUE (near (renderComponent (input).getPixelAt (onRing.x, onRing.y), colours::yellow));

        input.itemDropped (details);
        EXPECT_TRUE (host.events().empty());
        EXPECT_TRUE (sameImage (renderComponent (input), idle));
    }

    // Moving away without dropping also takes the ring away.
    input.itemDragEnter (dragOf (1));
    input.itemDragExit (dragOf (1));
    EXPECT_TRUE (sameImage (renderComponent (input), idle));
    EXPECT_NEAR (normalisedValue (processor, "Resonance_Mod_Source"), 1.0f / 3.0f, 1.0e-6f);
}

TEST (EditorControlSockets, ASocketForATargetThatDoesNotExistWritesNothing)
{
    VevareroAudioProcessor processor;

    for (const int target : { -1, (int) ModulationTarget::numTargets })
    {
        SCOPED_TRACE (target);
        auto socket = makeInputSocket (target) (processor);
        auto& input = dynamic_cast<InputPatchPoint&> (*socket);
        HostEventRecorder host (processor);

        EXPECT_EQ (input.getLink().parameter, nullptr);
        clickCentre (rightButton) (input);
        dropSource (2) (input);

        EXPECT_TRUE (host.events().empty());
        EXPECT_FALSE (input.getIsHovered());
    }
}

TEST (EditorControlGeometry, FilterIconsAtTheLayoutSize)
{
    using Points = std::vector<juce::Point<float>>;
    struct Case
    {
        const char* name;
        std::unique_ptr<juce::Component> icon;
        Points points; // start, (control, end) three times, then the line ends
    };

    Case cases[] {
        { "low-pass", icon<LPFIcon> (filterSize), { { 0, 17 }, { 16, 18 }, { 30, 11 }, { 42, 6 }, { 46, 19 }, { 52, 34 }, { 64, 40 }, { 0, 40 } } },
        { "high-pass", icon<HPFIcon> (filterSize), { { 80, 17 }, { 64, 18 }, { 50, 11 }, { 42, 6 }, { 34, 19 }, { 28, 34 }, { 16, 40 }, { 80, 40 } } },
        { "band-pass", icon<BPFIcon> (filterSize), { { 16, 40 }, { 28, 34 }, { 35, 19 }, { 40, 6 }, { 45, 19 }, { 52, 34 }, { 64, 40 }, { 16, 40 } } },
        { "band-stop", icon<BSFIcon> (filterSize), { { 0, 17 }, { 28, 14 }, { 28, 17 }, { 40, 40 }, { 52, 17 }, { 52, 14 }, { 80, 17 }, { 399, 202 }, { 0, 40 } } },
    };

    const juce::Colour stroke = colours::teal;
    for (auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        Points actual;
        juce::Path::Iterator it (dynamic_cast<FilterIcon&> (*c.icon).getPath());
        while (it.next())
        {
            if (it.elementType == juce::Path::Iterator::closePath)
                continue;
            actual.push_back ({ it.x1, it.y1 });
            if (it.elementType == juce::Path::Iterator::quadraticTo)
                actual.push_back ({ it.x2, it.y2 });
        }
        EXPECT_EQ (actual, c.points);

        // Every point on the outline inside the icon is stroked in solid teal.
        const auto image = renderComponent (*c.icon);
        for (size_t i = 0; i < c.points.size(); ++i)
        {
            const bool isControlPoint = i == 1 || i == 3 || i == 5;
            const auto p = c.points[i].toInt();
            if (isControlPoint || ! image.getBounds().expanded (1).contains (p))
                continue;
            const auto pixel = image.getPixelAt (juce::jlimit (0, 79, p.x), juce::jlimit (0, 39, p.y));
            EXPECT_TRUE (near (pixel, stroke, 64)) << "at " << p.toString() << ": " << pixel.toDisplayString (true);
        }
    }

    // The band-stop outline runs off the right edge towards its fixed far point instead of down
    // the edge, and comes back in at the lower left corner.
    const auto bandStop = renderComponent (*cases[3].icon);
    EXPECT_TRUE (near (bandStop.getPixelAt (79, 32), stroke.withAlpha ((juce::uint8) 0x32), 4));
    EXPECT_TRUE (near (bandStop.getPixelAt (0, 32), stroke, 64));
}

TEST (EditorControlGeometry, LofiIconsAtTheLayoutSize)
{
    using Rects = std::vector<juce::Rectangle<int>>;
    const Rects boxes { { 11, 3, 10, 10 }, { 11, 19, 10, 10 } };
    const auto with = [&] (Rects more) { more.insert (more.end(), boxes.begin(), boxes.end()); return more; };

    struct Case
    {
        const char* name;
        std::unique_ptr<juce::Component> icon;
        Rects rects;
    };
    Case cases[] {
        { "chain", icon<LofiChainIcon> (lofiSize), with ({ { 15, 13, 2, 6 }, { 21, 23, 6, 2 } }) },
        { "parallel", icon<LofiParallelIcon> (lofiSize),
          with ({ { 26, 7, 2, 10 }, { 21, 23, 6, 2 }, { 21, 7, 6, 2 }, { 26, 15, 2, 10 }, { 26, 15, 6, 2 } }) },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        const auto image = renderComponent (*c.icon);
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
            {
                bool inside = false;
                for (auto& r : c.rects)
                    inside = inside || r.contains (x, y);
                const auto pixel = image.getPixelAt (x, y);
                EXPECT_TRUE (inside ? near (pixel, colours::green, 0) : pixel.isTransparent())
                    << x << ", " << y << ": " << pixel.toDisplayString (true);
            }
    }

    auto ring = icon<LofiRingIcon> (lofiSize);
    const auto image = renderComponent (*ring);
    for (auto& r : boxes)
        EXPECT_EQ (countPixels (image, r, colours::green), r.getWidth() * r.getHeight());
    for (const auto& p : { juce::Point<int> { 7, 16 }, { 8, 16 }, { 23, 16 }, { 24, 16 } })
        EXPECT_TRUE (near (image.getPixelAt (p.x, p.y), colours::green, 16)) << p.toString();
    for (const auto& p : { juce::Point<int> { 16, 16 }, { 5, 16 }, { 26, 16 } })
        EXPECT_TRUE (image.getPixelAt (p.x, p.y).isTransparent()) << p.toString();
}

TEST (EditorControlGeometry, WaveformRowStripsAndGlyphs)
{
    VevareroAudioProcessor processor;
    HostEventRecorder host (processor);
    const juce::Colour idleGrey { 0xff474747 };

    for (const auto size : { juce::Rectangle<int> { 600, 60 }, waveformSize })
    {
        SCOPED_TRACE (size.toString());
        auto row = makeForLFO<WaveformSelector> ("LFO_1_Wave", size) (processor);
        const auto w = (float) size.getWidth();

        // Which waveform a click at each column selects: strips of 14 % of the width from the left,
        // none in the last 2 %.
        int previous = 0;
        for (int x = 0; x < size.getWidth(); ++x)
        {
            host.clear();
            clickAt (*row, { x, size.getHeight() / 2 });
            const auto fraction = ((float) x + 0.5f) / w;

            if (fraction > 0.98f)
            {
                EXPECT_TRUE (host.events().empty()) << "x " << x;
                continue;
            }

            ASSERT_EQ (host.valueChanges(), 1) << "x " << x;
            const auto index = juce::roundToInt (host.changedParameters().size() > 0 ? host.events()[1].value * 6.0f : -1.0f);
            EXPECT_TRUE (index == previous || index == previous + 1) << "x " << x;
            if (fraction > 0.14f * (float) index + 0.01f && fraction < 0.14f * (float) (index + 1) - 0.01f)
                EXPECT_EQ (index, (int) (fraction / 0.14f)) << "x " << x;
            previous = index;
        }
        EXPECT_EQ (previous, 6);
    }

    // Each waveform in grey; only the selected one in yellow, where its glyph stands. (Large
    // enough for the strokes to be solid pixels.)
    {
        const juce::Rectangle<int> size { 600, 60 };
        const auto w = (float) size.getWidth();
        auto row = makeForLFO<WaveformSelector> ("LFO_1_Wave", size) (processor);
        auto& selector = dynamic_cast<WaveformSelector&> (*row);
        for (int selected = 0; selected < WaveformSelector::numWaveforms; ++selected)
        {
            setNormalisedValue (processor, "LFO_1_Wave", (float) selected / 6.0f);
            selector.refreshFromParameter();
            const auto image = renderComponent (selector);
            const auto glyphLeft = selected == 6 ? 0.87f : 0.02f + 0.14f * (float) selected;

            // Each glyph is stretched over its whole area.
            const auto yellow = extentOf (image.getClippedImage (image.getBounds().withTrimmedBottom (1)), colours::yellow);
            const auto expectedLeft = std::round (glyphLeft * w);
            EXPECT_NEAR ((float) yellow.getX(), expectedLeft, 1.0f) << "selected " << selected;
            EXPECT_NEAR ((float) yellow.getRight(), expectedLeft + std::round (0.1f * w), 1.0f) << "selected " << selected;

            for (int i = 0; i < WaveformSelector::numWaveforms; ++i)
                if (i != selected)
                    EXPECT_GT (countPixels (image, selector.getGlyphArea (i).toNearestInt(), idleGrey), 0) << i;
        }
        EXPECT_EQ (countPixels (renderComponent (selector), { 0, size.getHeight() - 1, size.getWidth(), 1 }, colours::yellow),
                   size.getWidth());
    }
}

TEST (EditorControlDrawings, SwitchesSocketsAndChevronsShowTheirStateInTheirColours)
{
    VevareroAudioProcessor processor;

    // The clock: its ring and hands light up, its face stays dark.
    auto sync = makeForLFO<LFOSyncIcon> ("LFO_2_Sync", { 40, 40 }) (processor);
    for (const auto on : { false, true })
    {
        setNormalisedValue (processor, "LFO_2_Sync", on ? 1.0f : 0.0f);
        dynamic_cast<LFOSyncIcon&> (*sync).refreshFromParameter();
        EXPECT_EQ (dynamic_cast<LFOSyncIcon&> (*sync).getIsSynced(), on);
        const auto image = renderComponent (*sync);
        const auto lit = on ? colours::yellow : colours::light_grey;
        EXPECT_TRUE (near (image.getPixelAt (20, 1), lit));  // ring
        EXPECT_TRUE (near (image.getPixelAt (20, 10), lit)); // upright hand
        EXPECT_TRUE (near (image.getPixelAt (10, 20), colours::dark_grey));
    }

    // Sockets: a yellow ring on outputs, a lime ring on inputs, a black centre on both.
    OutputPatchPoint output (ModulationSource::lfoMix);
    output.setBounds (0, 0, 40, 40);
    auto input = makeInputSocket (ModulationTarget::bits, { 40, 40 }) (processor);
    for (const auto& [socket, ring] : { std::pair<juce::Component*, juce::Colour> { &output, colours::yellow },
                                        { input.get(), colours::lime } })
    {
        const auto image = renderComponent (*socket);
        EXPECT_TRUE (near (image.getPixelAt (20, 5), ring));
        EXPECT_TRUE (near (image.getPixelAt (20, 20), juce::Colours::black));
        EXPECT_TRUE (near (image.getPixelAt (20, 0), colours::dark_grey, 40));
    }

    // Drive routing: the biggest chevron sits at the tail of the arrow, so the chevrons point away
    // from the half holding more teal.
    auto routing = makeOnTree<DistortionRoutingSelector> (distortionSize) (processor);
    for (const auto postFilter : { false, true })
    {
        setNormalisedValue (processor, "Distortion_Routing", postFilter ? 1.0f : 0.0f);
        dynamic_cast<DistortionRoutingSelector&> (*routing).refreshFromParameter();
        const auto image = renderComponent (*routing);
        const auto left = countPixels (image, { 0, 0, 19, 16 }, colours::teal);
        const auto right = countPixels (image, { 19, 0, 19, 16 }, colours::teal);
        EXPECT_GT (left + right, 0);
        EXPECT_EQ (left > right, ! postFilter) << left << " vs " << right;
    }
}

namespace
{
    /** Stands in for the editor window: a drag-and-drop container that notes the drags it runs. */
    struct DragContainer final : juce::Component, juce::DragAndDropContainer
    {
        void dragOperationStarted (const juce::DragAndDropTarget::SourceDetails& details) override
        {
            started.add (details.description);
        }

        juce::Array<juce::var> started;
    };
} // namespace

TEST (EditorControlSockets, ARealDragWithAnyButtonRunsInTheNearestContainerAndLandsOnTheInput)
{
    VevareroAudioProcessor processor;
    DragContainer window, nested;
    juce::Component panel;
    InputPatchPoint input (ModulationTarget::cutoff, processor);

    // One output per button: a finished drag lingers in its container until the next timer tick.
    const std::pair<juce::ModifierKeys, int> drags[] { { leftButton, ModulationSource::lfo1 },
                                                       { rightButton, ModulationSource::lfo2 },
                                                       { middleButton, ModulationSource::lfoMix } };
    juce::OwnedArray<OutputPatchPoint> outputs;

    for (auto* c : { static_cast<juce::Component*> (&nested), &panel })
        c->setBounds (0, 0, 300, 200);
    window.setBounds (50, 50, 300, 200);
    window.addAndMakeVisible (nested);
    nested.addAndMakeVisible (panel);
    for (auto& [buttons, source] : drags)
    {
        auto* output = outputs.add (new OutputPatchPoint (source));
        output->setBounds (20, 20 + 40 * outputs.size(), 16, 16);
        panel.addAndMakeVisible (output);
    }
    input.setBounds (200, 100, 16, 16);
    panel.addAndMakeVisible (input);
    window.addToDesktop (juce::ComponentPeer::windowIsTemporary);
    window.setVisible (true);
    auto* peer = window.getPeer();
    ASSERT_NE (peer, nullptr);

    auto time = juce::Time::currentTimeMillis();
    const auto send = [&] (juce::Point<int> at, juce::ModifierKeys mods)
    {
        peer->handleMouseEvent (juce::MouseInputSource::InputSourceType::mouse, at.toFloat(), mods,
                                juce::MouseInputSource::defaultPressure, 0.0f, time += 20);
    };

    for (int i = 0; i < 3; ++i)
    {
        const auto [buttons, source] = drags[i];
        SCOPED_TRACE (source);
        setNormalisedValue (processor, "Cutoff_Mod_Source", 0.0f);
        HostEventRecorder host (processor);

        send (outputs[i]->getBounds().getCentre(), buttons);
        send ({ 100, 60 }, buttons);
        EXPECT_FALSE (input.getIsHovered());
        send (input.getBounds().getCentre(), buttons);
        EXPECT_TRUE (input.getIsHovered());
        send (input.getBounds().getCentre(), {});

        EXPECT_TRUE (window.started.isEmpty());
        ASSERT_EQ (nested.started.size(), i + 1);
        EXPECT_EQ (nested.started.getLast(), juce::var (source));
        EXPECT_FALSE (input.getIsHovered());
        EXPECT_NEAR (normalisedValue (processor, "Cutoff_Mod_Source"), (float) source / 3.0f, 1.0e-6f);
        EXPECT_TRUE (host.everyValueInItsOwnGesture());
        EXPECT_EQ (host.valueChanges(), 1);
    }

    // Released over another output socket or bare panel, a cable routes nothing.
    {
        HostEventRecorder host (processor);
        for (const auto& end : { outputs[1]->getBounds().getCentre(), juce::Point<int> { 150, 20 } })
        {
            auto* start = outputs.add (new OutputPatchPoint (ModulationSource::lfo1));
            start->setBounds (30 * outputs.size(), 170, 16, 16);
            panel.addAndMakeVisible (start);

            send (start->getBounds().getCentre(), leftButton);
            send (end, leftButton);
            send (end, {});
        }
        EXPECT_TRUE (host.events().empty());
        EXPECT_EQ (nested.started.size(), 5);
    }

    // Without a container above it, a socket cannot start a drag, and nothing breaks.
    OutputPatchPoint loose (ModulationSource::lfo1);
    loose.setBounds (0, 0, 16, 16);
    const auto now = juce::Time::getCurrentTime();
    loose.mouseDrag (juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), { 9.0f, 9.0f }, leftButton,
                                       juce::MouseInputSource::defaultPressure, 0.0f, 0.0f, 0.0f, 0.0f, &loose, &loose,
                                       now, { 8.0f, 8.0f }, now, 1, false));
    EXPECT_EQ (nested.started.size(), 5);

    window.removeFromDesktop();
}

TEST (EditorControlSheet, EveryControlInEveryState)
{
    VevareroAudioProcessor processor;

    struct Row
    {
        juce::String label;
        juce::String parameterID;
        int steps;
        Make make;
    };

    const std::vector<Row> rows {
        { "filter type", "Filter_Type", 4, makeOnTree<FilterTypeSelector> (filterSize) },
        { "drive routing", "Distortion_Routing", 2, makeOnTree<DistortionRoutingSelector> (distortionSize) },
        { "lo-fi routing", "LoFi_Routing", 3, makeOnTree<LofiRoutingSelector> (lofiSize) },
        { "LFO sync", "LFO_1_Sync", 2, makeForLFO<LFOSyncIcon> ("LFO_1_Sync", syncSize) },
        { "waveform", "LFO_1_Wave", 7, makeForLFO<WaveformSelector> ("LFO_1_Wave", waveformSize) },
    };

    constexpr int zoom = 4, pad = 8, labelWidth = 110;
    std::vector<std::pair<juce::String, std::vector<juce::Image>>> sheet;

    for (const auto& row : rows)
    {
        // Wide controls get a line per state.
        const auto perLine = row.steps * row.make (processor)->getWidth() * zoom > 1000 ? 1 : row.steps;
        for (int i = 0; i < row.steps; ++i)
        {
            if (i % perLine == 0)
                sheet.push_back ({ perLine == 1 ? row.label + " " + juce::String (i) : row.label, {} });
            auto control = buildAt (processor, row.make, row.parameterID, (float) i / (float) (row.steps - 1));
            sheet.back().second.push_back (renderComponent (*control));
        }
    }

    OutputPatchPoint output (ModulationSource::lfo1);
    output.setBounds (socketSize);
    auto input = makeInputSocket (ModulationTarget::cutoff) (processor);
    auto& socket = dynamic_cast<InputPatchPoint&> (*input);
    const auto idle = renderComponent (socket);
    socket.itemDragEnter (dragOf (1));
    sheet.push_back ({ "out / in / hover", { renderComponent (output), idle, renderComponent (socket) } });
    socket.itemDragExit (dragOf (1));

    int width = 0, height = pad;
    for (auto& [label, states] : sheet)
    {
        int rowWidth = labelWidth, rowHeight = 0;
        for (auto& s : states)
        {
            rowWidth += s.getWidth() * zoom + pad;
            rowHeight = juce::jmax (rowHeight, s.getHeight() * zoom);
        }
        width = juce::jmax (width, rowWidth);
        height += rowHeight + pad;
    }

    juce::Image image (juce::Image::RGB, width, height, true, juce::SoftwareImageType());
    {
        juce::Graphics g (image);
        g.fillAll (juce::Colour (0xff3a3a3a)); // a panel-like backdrop, so transparent parts read as such
        g.setImageResamplingQuality (juce::Graphics::lowResamplingQuality);
        int y = pad;
        for (auto& [label, states] : sheet)
        {
            g.setColour (juce::Colours::white);
            g.drawText (label, pad, y, labelWidth - pad, 20, juce::Justification::centredLeft);
            int x = labelWidth, rowHeight = 0;
            for (auto& s : states)
            {
                g.drawImage (s, { (float) x, (float) y, (float) (s.getWidth() * zoom), (float) (s.getHeight() * zoom) });
                x += s.getWidth() * zoom + pad;
                rowHeight = juce::jmax (rowHeight, s.getHeight() * zoom);
            }
            y += rowHeight + pad;
        }
    }

    const auto file = testOutputFile ("editor-controls.png");
    file.deleteFile();
    {
        juce::FileOutputStream stream (file);
        ASSERT_TRUE (stream.openedOk());
        ASSERT_TRUE (juce::PNGImageFormat().writeImageToStream (image, stream));
    }
    EXPECT_GT (file.getSize(), 0);
}
