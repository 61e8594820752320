#include "EditorInspector.h"
#include "EditorTestSupport.h"
#include "XErrorTolerance.h"
#include "look/QrvxColours.h"

#include <gtest/gtest.h>

#include <cmath>

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

    /** Puts a component on the desktop, as a host's window would hold it, and records which regions
        get painted when the pending repaints are carried out.
    */
    class WindowOnDesktop final : public juce::Component
    {
    public:
        explicit WindowOnDesktop (juce::Component& content)
        {
            tolerateXErrorsLikeAHost();
            setSize (content.getWidth(), content.getHeight());
            addAndMakeVisible (content);
            addToDesktop (0);
            setVisible (true);
            paintPending();
        }

        ~WindowOnDesktop() override { removeFromDesktop(); }

        /** Paints whatever has been asked to repaint; returns the regions painted. */
        juce::RectangleList<int> paintPending()
        {
            painted.clear();

            if (auto* peer = getPeer())
                peer->performAnyPendingRepaintsNow();

            return painted;
        }

        /** Sends a mouse event through the window, as the windowing system would. */
        void mouse (juce::Point<int> position, juce::ModifierKeys buttons)
        {
            if (auto* peer = getPeer())
                peer->handleMouseEvent (juce::MouseInputSource::InputSourceType::mouse, position.toFloat(), buttons,
                                        juce::MouseInputSource::defaultPressure, 0.0f,
                                        juce::Time::currentTimeMillis());
        }

        void paintOverChildren (juce::Graphics& g) override { painted.add (g.getClipBounds()); }

    private:
        juce::RectangleList<int> painted;
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
