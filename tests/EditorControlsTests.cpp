#include "ControlTestSupport.h"

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

namespace
{
    namespace colours = qrvx::QrvxColours;
    using Act = std::function<void (juce::Component&)>;

    const juce::ModifierKeys leftButton { juce::ModifierKeys::leftButtonModifier };
    const juce::ModifierKeys rightButton { juce::ModifierKeys::rightButtonModifier };
    const juce::ModifierKeys middleButton { juce::ModifierKeys::middleButtonModifier };

    /** A control, the parameter it writes with that parameter's number of choices, and how the editor builds it. */
    struct Control
    {
        juce::String id;
        int steps;
        std::function<std::unique_ptr<juce::Component> (VevareroAudioProcessor&)> build;

        float value (int index) const { return (float) index / (float) (steps - 1); }

        /** Built on the given choice, as the editor would build it after a host or a preset set it. */
        std::unique_ptr<juce::Component> buildAt (VevareroAudioProcessor& p, int index) const
        {
            setNormalisedValue (p, id, value (index));
            return build (p);
        }
    };

    /** Built the way the editor builds it (a socket on the processor, the rest on its parameter tree), visible. */
    template <typename Type, typename... Args>
    Control control (const juce::String& id, int steps, juce::Rectangle<int> bounds, Args... args)
    {
        return { id, steps, [=] (VevareroAudioProcessor& p)
        {
            std::unique_ptr<juce::Component> c;
            if constexpr (std::is_same_v<Type, InputPatchPoint>)
                c = std::make_unique<Type> (args..., p);
            else
                c = std::make_unique<Type> (p.valueTreeState, args...);
            c->setBounds (bounds);
            c->setVisible (true);
            return c;
        } };
    }

    // At the sizes the editor lays them out at.
    const auto filterType = control<FilterTypeSelector> ("Filter_Type", 4, { 80, 40 });
    const auto driveRouting = control<DistortionRoutingSelector> ("Distortion_Routing", 2, { 38, 16 });
    const auto lofiRouting = control<LofiRoutingSelector> ("LoFi_Routing", 3, { 32, 32 });

    Control waveform (const char* id, juce::Rectangle<int> bounds = { 191, 20 })
    {
        return control<WaveformSelector> (id, 7, bounds, juce::String (id));
    }

    Control syncSwitch (const char* id, juce::Rectangle<int> bounds = { 20, 20 })
    {
        return control<LFOSyncIcon> (id, 2, bounds, juce::String (id));
    }

    /** A socket and the parameter it routes (for a target the processor lacks, the nearest real one, to be left
        alone).
    */
    Control inputSocket (int target, juce::Rectangle<int> bounds = { 16, 16 })
    {
        const juce::StringArray targets { "Cutoff", "Resonance", "Rate", "Bits", "Dry_Wet_Mix" };
        return control<InputPatchPoint> (targets[juce::jlimit (0, 4, target)] + "_Mod_Source", 4, bounds, target);
    }

    float glyphLeft (int wave) { return wave == 6 ? 0.87f : 0.02f + 0.14f * (float) wave; }

    Act click (juce::ModifierKeys buttons = leftButton, float across = 0.5f)
    {
        return [=] (juce::Component& c)
        {
            clickAt (c, { juce::roundToInt (across * (float) c.getWidth()), c.getHeight() / 2 }, buttons);
        };
    }

    juce::DragAndDropTarget::SourceDetails dragOf (const juce::var& description)
    {
        return { description, nullptr, { 8, 8 } };
    }

    Act drop (const juce::var& description)
    {
        return [drag = dragOf (description)] (juce::Component& c)
        {
            dynamic_cast<InputPatchPoint&> (c).itemDragEnter (drag);
            dynamic_cast<InputPatchPoint&> (c).itemDropped (drag);
        };
    }

    void refresh (juce::Component& c)
    {
        if (auto* s = dynamic_cast<IconChoiceSelector*> (&c)) s->refreshFromParameter();
        if (auto* s = dynamic_cast<DistortionRoutingSelector*> (&c)) s->refreshFromParameter();
        if (auto* s = dynamic_cast<WaveformSelector*> (&c)) s->refreshFromParameter();
        if (auto* s = dynamic_cast<LFOSyncIcon*> (&c)) s->refreshFromParameter();
    }

    int countPixels (const juce::Image& image, juce::Rectangle<int> area, juce::Colour colour)
    {
        int n = 0;
        for (int y = area.getY(); y < area.getBottom(); ++y)
            for (int x = area.getX(); x < area.getRight(); ++x)
                n += coloursNear (image.getPixelAt (x, y), colour, 8) ? 1 : 0;
        return n;
    }
} // namespace

TEST (EditorControlClicks, ClicksAndDropsWriteOneValueGesturedOutsideLiveOtherButtonsAndStrayDropsNothing)
{
    struct Case { juce::String what; Control control; int before, after; Act act; bool writes = true; };
    std::vector<Case> cases;
    for (const auto& c : { filterType,
                           driveRouting,
                           lofiRouting,
                           syncSwitch ("LFO_1_Sync"),
                           syncSwitch ("LFO_2_Sync") })
        for (int from = 0; from < c.steps; ++from)
            cases.push_back ({ c.id + " from " + juce::String (from), c, from, (from + 1) % c.steps, click() });
    for (const auto* id : { "LFO_1_Wave", "LFO_2_Wave" })
        // Every other one is already selected, and written again.
        for (int wave = 0; wave < WaveformSelector::numWaveforms; ++wave)
            cases.push_back ({ id + juce::String (wave), waveform (id), wave % 2 == 0 ? wave : (wave + 3) % 7, wave,
                               click (leftButton, glyphLeft (wave) + 0.05f) });

    const auto cutoff = inputSocket (ModulationTarget::cutoff), rate = inputSocket (ModulationTarget::rate);
    cases.insert (cases.end(), {
        { "LFO 2 on cutoff", cutoff, 0, 2, drop (2) },
        { "LFO MIX on dry/wet", inputSocket (ModulationTarget::dryWet), 0, 3, drop (3) },
        { "LFO 1 again on bits", inputSocket (ModulationTarget::bits), 1, 1, drop (1) },
        { "NONE on rate", rate, 3, 0, drop (0) },
        { "unplug resonance", inputSocket (ModulationTarget::resonance), 2, 0, click (rightButton) },
        { "unplug unplugged rate", rate, 0, 0, click (rightButton) },
        { "right on filter type", filterType, 3, 3, click (rightButton), false },
        { "middle on filter type", filterType, 3, 3, click (middleButton), false },
        { "right on drive routing", driveRouting, 1, 1, click (rightButton), false },
        { "middle on drive routing", driveRouting, 1, 1, click (middleButton), false },
        { "left on a socket", cutoff, 3, 3, click(), false },
        { "middle on a socket", cutoff, 3, 3, click (middleButton), false },
    });
    for (const auto& stray : { juce::var ("2"),
                               juce::var (2.0),
                               juce::var ((juce::int64) 2),
                               juce::var(),
                               juce::var (4),
                               juce::var (-1),
                               juce::var (juce::Array<juce::var> { 2 }) })
        cases.push_back ({ "stray drop of " + juce::JSON::toString (stray, true), rate, 1, 1, drop (stray), false });
    for (const int target : { -1, (int) ModulationTarget::numTargets }) // sockets for targets the processor lacks
        for (const auto& act : { click (rightButton), drop (2) })
            cases.push_back ({ "socket without a target", inputSocket (target), 3, 3, act, false });

    for (const auto inLive : { false, true })
    {
        qrvx::HostQuirks::ScopedAbletonLiveOverride liveOverride (inLive);
        VevareroAudioProcessor processor;

        for (const auto& [what, c, before, after, act, writes] : cases)
        {
            SCOPED_TRACE ((what + (inLive ? " in Live" : " elsewhere")).toStdString());
            auto control = c.buildAt (processor, before);
            HostEventRecorder host (processor);
            act (*control);

            EXPECT_NEAR (normalisedValue (processor, c.id), c.value (after), 1.0e-6f)
                << c.id << " should be on choice " << after;
            EXPECT_EQ (host.changedParameters(), writes ? juce::StringArray (c.id) : juce::StringArray())
                << host.describe();
            EXPECT_EQ (host.gestureBegins() + host.gestureEnds(), writes && ! inLive ? 2 : 0) << host.describe();
            if (writes && ! inLive)
            {
                EXPECT_TRUE (host.everyValueInItsOwnGesture()) << host.describe();
            }

            // What a click shows at once is what a control built on the new value shows (a socket
            // shows no routing, and no ring once a drop is over).
            EXPECT_TRUE (sameImage (renderComponent (*control), renderComponent (*c.buildAt (processor, after))))
                << c.id << " looks unlike a control built on choice " << after;
        }
    }
}

TEST (EditorControlStates, RefreshShowsHostChangesWithoutWritingAndEveryStateLooksItsOwn)
{
    VevareroAudioProcessor processor;
    std::vector<std::vector<juce::Image>> sheet;

    for (const auto& c : { filterType, driveRouting, lofiRouting, syncSwitch ("LFO_1_Sync"), waveform ("LFO_2_Wave") })
    {
        auto control = c.buildAt (processor, 0);
        std::vector<juce::Image> states ((size_t) c.steps);

        // Every choice from the last down to the first; the last and the first twice, the second time no change.
        for (int step = c.steps, shown = 0; step >= -1; --step)
        {
            const auto index = juce::jlimit (0, c.steps - 1, step);
            SCOPED_TRACE ((c.id + " to " + juce::String (index)).toStdString());
            setNormalisedValue (processor, c.id, c.value (index));
            HostEventRecorder host (processor);
            {
                RepaintCounter repaints (*control);
                refresh (*control);
                EXPECT_EQ (repaints.count() > 0, index != shown)
                    << repaints.count() << " repaints, showing " << shown << " before";
            }
            EXPECT_TRUE (host.events().empty()) << host.describe();
            states[(size_t) index] = renderComponent (*control);
            EXPECT_TRUE (sameImage (states[(size_t) index], renderComponent (*c.buildAt (processor, index))))
                << c.id << " refreshed to " << index << " looks unlike one built on it";
            shown = index;
        }

        for (size_t i = 0; i < states.size(); ++i)
            for (size_t j = i + 1; j < states.size(); ++j)
                EXPECT_FALSE (sameImage (states[i], states[j])) << c.id << " " << i << " and " << j;

        for (size_t i = 0; i < states.size(); ++i) // the wide waveform row takes a line per state
            if (i == 0 || c.steps == WaveformSelector::numWaveforms)
                sheet.push_back ({ states[i] });
            else
                sheet.back().push_back (states[i]);
    }

    OutputPatchPoint output (ModulationSource::lfo1);
    output.setSize (16, 16);
    auto input = inputSocket (ModulationTarget::cutoff).build (processor);
    sheet.push_back ({ renderComponent (output), renderComponent (*input) });
    dynamic_cast<InputPatchPoint&> (*input).itemDragEnter (dragOf (1));
    sheet.back().push_back (renderComponent (*input));

    constexpr int zoom = 4; // in cells of 82 x 42 pixels before zooming
    juce::Image image (juce::Image::RGB, 4 * 82 * zoom, (int) sheet.size() * 42 * zoom, true);
    juce::Graphics g (image);
    g.fillAll (juce::Colour (0xff3a3a3a)); // a panel-like backdrop for the transparent parts
    g.addTransform (juce::AffineTransform::scale ((float) zoom));
    g.setImageResamplingQuality (juce::Graphics::lowResamplingQuality);
    for (size_t row = 0; row < sheet.size(); ++row)
        for (size_t i = 0; i < sheet[row].size(); ++i)
            g.drawImageAt (sheet[row][i], 2 + 82 * (int) i, 2 + 42 * (int) row);

    const auto file = testOutputFile ("editor-controls.png");
    file.deleteFile();
    juce::FileOutputStream stream (file);
    ASSERT_TRUE (stream.openedOk()) << file.getFullPathName();
    EXPECT_TRUE (juce::PNGImageFormat().writeImageToStream (image, stream)) << file.getFullPathName();
}

TEST (EditorControlDrawings, SwitchesSocketsAndSelectorsShowTheirStateInTheirColours)
{
    VevareroAudioProcessor processor;
    const auto render = [&] (const Control& c, int index) { return renderComponent (*c.buildAt (processor, index)); };
    const auto syncOff = render (syncSwitch ("LFO_2_Sync", { 40, 40 }), 0);
    const auto syncOn = render (syncSwitch ("LFO_2_Sync", { 40, 40 }), 1);

    OutputPatchPoint output (ModulationSource::lfoMix);
    output.setSize (40, 40);
    auto socket = inputSocket (ModulationTarget::resonance, { 40, 40 }).build (processor);
    auto& input = dynamic_cast<InputPatchPoint&> (*socket);
    const auto idle = renderComponent (input);
    input.itemDragEnter (dragOf (1));
    const auto hovered = renderComponent (input);
    input.itemDragExit (dragOf (1));

    using Probe = std::tuple<const char*, juce::Image, int, int, juce::Colour>;
    for (const auto& [what, image, x, y, colour] : std::vector<Probe> {
             { "sync off: rim", syncOff, 20, 1, colours::light_grey() },
             { "sync off: upright hand", syncOff, 20, 10, colours::light_grey() },
             { "sync on: rim", syncOn, 20, 1, colours::yellow() },
             { "sync on: upright hand", syncOn, 20, 10, colours::yellow() },
             { "sync on: face", syncOn, 10, 20, colours::dark_grey() },
             { "output: ring", renderComponent (output), 20, 4, colours::yellow() },
             { "input: ring", idle, 20, 4, colours::lime() },
             { "input: centre", idle, 20, 20, juce::Colours::black },
             { "hovered input: ring", hovered, 20, 4, colours::yellow() },
             { "input after the drag: ring", renderComponent (input), 20, 4, colours::lime() },
             { "filter type: frame", render (filterType, 0), 0, 20, colours::grey() },
             // The lo-fi routing leaves the panel showing round its icon.
             { "lo-fi routing: corner", render (lofiRouting, 0), 0, 0, juce::Colours::transparentBlack } })
        EXPECT_TRUE (coloursNear (image.getPixelAt (x, y), colour, 8)) << what << " at " << x << ", " << y;

    // The biggest chevron sits at the tail, so the chevrons point away from the half with more teal.
    for (const auto postFilter : { 0, 1 })
    {
        const auto image = render (driveRouting, postFilter);
        const auto left = countPixels (image, { 0, 0, 19, 16 }, colours::teal());
        const auto right = countPixels (image, { 19, 0, 19, 16 }, colours::teal());
        const auto routing = postFilter == 0 ? "drive before the filter" : "drive after the filter";
        EXPECT_GT (left + right, 0) << routing << ": no teal at all";
        EXPECT_EQ (left > right, postFilter == 0)
            << routing << ": " << left << " teal pixels on the left, " << right << " on the right";
    }
}

TEST (EditorControlGeometry, FilterAndLofiIconsAtTheLayoutSize)
{
    using Points = std::vector<juce::Point<float>>; // start, (control, end) three times, then the line ends
    struct Case { const char* name; std::unique_ptr<FilterIcon> icon; Points points; } cases[] {
        { "low-pass", std::make_unique<LPFIcon>(),
          { { 0, 17 }, { 16, 18 }, { 30, 11 }, { 42, 6 }, { 46, 19 }, { 52, 34 }, { 64, 40 }, { 0, 40 } } },
        { "high-pass", std::make_unique<HPFIcon>(),
          { { 80, 17 }, { 64, 18 }, { 50, 11 }, { 42, 6 }, { 34, 19 }, { 28, 34 }, { 16, 40 }, { 80, 40 } } },
        { "band-pass", std::make_unique<BPFIcon>(),
          { { 16, 40 }, { 28, 34 }, { 35, 19 }, { 40, 6 }, { 45, 19 }, { 52, 34 }, { 64, 40 }, { 16, 40 } } },
        { "band-stop", std::make_unique<BSFIcon>(),
          { { 0, 17 }, { 28, 14 }, { 28, 17 }, { 40, 40 }, { 52, 17 }, { 52, 14 }, { 80, 17 }, { 399, 202 }, { 0, 40 } } },
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
        EXPECT_EQ (actual, points) << name << " outline";
    }

    // The band-stop outline leaves by the right edge instead of running down it, and comes back
    // in at the lower left corner: its right edge is only filled, its left edge stroked.
    const auto bandStop = renderComponent (*cases[3].icon);
    EXPECT_TRUE (coloursNear (bandStop.getPixelAt (79, 32), colours::teal().withAlpha ((juce::uint8) 0x32), 4))
        << "band-stop right edge at 79, 32: only filled";
    EXPECT_TRUE (coloursNear (bandStop.getPixelAt (0, 32), colours::teal(), 64))
        << "band-stop left edge at 0, 32: stroked";

    // The lo-fi routings: the two stages and what joins them, each box in solid green on a clear ground.
    using Rects = std::vector<juce::Rectangle<int>>;
    struct LofiCase { const char* name; std::unique_ptr<juce::Component> icon; Rects rects; } lofiCases[] {
        { "chain", std::make_unique<LofiChainIcon>(), { { 15, 13, 2, 6 }, { 21, 23, 6, 2 } } },
        { "parallel", std::make_unique<LofiParallelIcon>(),
          { { 26, 7, 2, 10 }, { 21, 23, 6, 2 }, { 21, 7, 6, 2 }, { 26, 15, 2, 10 }, { 26, 15, 6, 2 } } },
        { "ring", std::make_unique<LofiRingIcon>(), {} },
    };

    for (auto& [name, icon, rects] : lofiCases)
    {
        SCOPED_TRACE (name);
        icon->setSize (32, 32);
        rects.insert (rects.end(), { { 11, 3, 10, 10 }, { 11, 19, 10, 10 } }); // the two stages, in every routing
        const auto image = renderComponent (*icon);
        const auto isRing = rects.size() == 2;

        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
            {
                const auto inside = std::any_of (rects.begin(), rects.end(), [=] (auto& r) { return r.contains (x, y); });
                const auto pixel = image.getPixelAt (x, y);
                if (inside)
                {
                    EXPECT_TRUE (coloursNear (pixel, colours::green(), 2))
                        << name << ": inside a box at " << x << ", " << y;
                }
                else if (! isRing)
                {
                    EXPECT_TRUE (pixel.isTransparent())
                        << name << ": outside the boxes at " << x << ", " << y
                        << " shows " << pixel.toDisplayString (true);
                }
            }

        // The ring: a 2-pixel circle in (8, 8, 16, 16), empty inside.
        for (const auto& [x, onCircle] : { std::pair { 7, true },
                                           { 8, true },
                                           { 23, true },
                                           { 24, true },
                                           { 16, false },
                                           { 5, false },
                                           { 26, false } })
            if (isRing)
            {
                EXPECT_EQ ((bool) coloursNear (image.getPixelAt (x, 16), colours::green(), 16), onCircle)
                    << name << " at " << x << ", 16 shows " << image.getPixelAt (x, 16).toDisplayString (true);
            }
    }
}

TEST (EditorControlGeometry, WaveformRowStripsAndGlyphs)
{
    VevareroAudioProcessor processor;
    HostEventRecorder host (processor);

    // Clicks select by strips 14 % of the width wide from the left; the last 2 % select nothing.
    for (const auto bounds : { juce::Rectangle<int> { 600, 60 }, juce::Rectangle<int> { 191, 20 } })
    {
        auto row = waveform ("LFO_1_Wave", bounds).build (processor);
        for (int x = 0; x < bounds.getWidth(); ++x)
        {
            SCOPED_TRACE (bounds.toString() + " x " + juce::String (x));
            host.clear();
            clickAt (*row, { x, bounds.getHeight() / 2 });
            const auto strips = ((float) x + 0.5f) / (float) bounds.getWidth() / 0.14f;
            ASSERT_EQ (host.valueChanges(), strips > 7.0f ? 0 : 1) << host.describe();
            // Within its strip, give or take the rounding of the strip's edges.
            if (strips <= 7.0f)
            {
                EXPECT_LT (std::abs (host.events()[1].value * 6.0f + 0.5f - strips), 0.55f)
                    << "chose " << host.events()[1].value * 6.0f << " at " << strips << " strips from the left";
            }
        }
    }

    // The selected waveform alone is yellow and fills its glyph area; the others are grey. (At a
    // size where the strokes are whole pixels.)
    for (int selected = 0; selected < WaveformSelector::numWaveforms; ++selected)
    {
        SCOPED_TRACE (selected);
        auto selector = waveform ("LFO_1_Wave", { 600, 60 }).buildAt (processor, selected);
        const auto image = renderComponent (*selector);

        juce::Rectangle<int> yellow;
        for (int y = 0; y < 59; ++y)
            for (int x = 0; x < 600; ++x)
                if (coloursNear (image.getPixelAt (x, y), colours::yellow(), 8))
                    yellow = yellow.isEmpty() ? juce::Rectangle<int> (x, y, 1, 1) : yellow.getUnion ({ x, y, 1, 1 });

        EXPECT_NEAR ((float) yellow.getX(), std::round (glyphLeft (selected) * 600.0f), 1.0f)
            << "yellow area " << yellow.toString();
        EXPECT_NEAR ((float) yellow.getWidth(), 60.0f, 2.0f) << "yellow area " << yellow.toString();
        for (int i = 0; i < WaveformSelector::numWaveforms; ++i)
        {
            const auto glyph = dynamic_cast<WaveformSelector&> (*selector).getGlyphArea (i).toNearestInt();
            const auto grey = countPixels (image, glyph, juce::Colour (0xff474747));
            EXPECT_EQ (grey > 0, i != selected) << "glyph " << i << " has " << grey << " grey pixels";
        }
        EXPECT_EQ (countPixels (image, { 0, 59, 600, 1 }, colours::yellow()), 600) << "the yellow underline";
    }
}

TEST (EditorControlSockets, ARealDragWithAnyButtonFromAnOutputLandsOnTheInput)
{
    VevareroAudioProcessor processor;
    struct Window final : juce::Component, juce::DragAndDropContainer {} window; // runs the drags, as the editor does
    InputPatchPoint input (ModulationTarget::cutoff, processor);
    juce::OwnedArray<OutputPatchPoint> outputs; // a finished drag lingers until a timer tick, so one socket per drag

    window.setBounds (50, 50, 300, 200);
    input.setBounds (200, 100, 16, 16);
    window.addAndMakeVisible (input);
    window.addToDesktop (juce::ComponentPeer::windowIsTemporary);
    window.setVisible (true);
    auto* peer = window.getPeer();
    ASSERT_NE (peer, nullptr);

    auto time = juce::Time::currentTimeMillis();
    const auto dragTo = [&] (int source, juce::ModifierKeys buttons, juce::Point<int> end)
    {
        auto* output = outputs.add (new OutputPatchPoint (source));
        output->setBounds (20 * outputs.size(), 20, 16, 16);
        window.addAndMakeVisible (output);
        for (const auto& [at, mods] : { std::pair { output->getBounds().getCentre(), buttons },
                                        { { 100, 60 }, buttons },
                                        { end, buttons },
                                        { end, {} } })
        {
            peer->handleMouseEvent (juce::MouseInputSource::InputSourceType::mouse, at.toFloat(), mods,
                                    juce::MouseInputSource::defaultPressure, 0.0f, time += 20);
            if (mods == buttons && at == end)
            {
                EXPECT_EQ (input.getIsHovered(), end == input.getBounds().getCentre())
                    << "the input socket's hover, held at " << end.toString();
            }
        }
    };

    for (const auto& [buttons, source] : { std::pair { leftButton, 1 },
                                           { rightButton, 2 },
                                           { middleButton, 3 } })
    {
        SCOPED_TRACE ("source " + juce::String (source) + ", buttons " + juce::String (buttons.getRawFlags()));
        setNormalisedValue (processor, "Cutoff_Mod_Source", 0.0f);
        HostEventRecorder host (processor);
        dragTo (source, buttons, input.getBounds().getCentre());

        EXPECT_FALSE (input.getIsHovered()) << "the input socket still hovered after the drop";
        EXPECT_NEAR (normalisedValue (processor, "Cutoff_Mod_Source"), (float) source / 3.0f, 1.0e-6f)
            << "Cutoff_Mod_Source";
        EXPECT_TRUE (host.everyValueInItsOwnGesture()) << host.describe();
        EXPECT_EQ (host.valueChanges(), 1) << host.describe();
    }

    // Released over another output socket or the bare panel, a cable routes nothing; with no
    // container above it, a socket starts no drag at all.
    HostEventRecorder host (processor);
    dragTo (1, leftButton, outputs[1]->getBounds().getCentre());
    dragTo (1, leftButton, { 150, 150 });
    OutputPatchPoint loose (ModulationSource::lfo1);
    loose.mouseDrag (mouseEventOn (loose, { 9.0f, 9.0f }, leftButton, { 8.0f, 8.0f }));
    EXPECT_TRUE (host.events().empty())
        << "drops on an output, on the panel and a drag with no container: " << host.describe();
    window.removeFromDesktop();
}
