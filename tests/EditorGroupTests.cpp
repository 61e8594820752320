#include "ControlTestSupport.h"

#include "editor/LFOControls.h"
#include "editor/ModuleBackground.h"
#include "editor/ParameterWithModControls.h"
#include "editor/ParameterWithNameControls.h"
#include "look/QrvxColours.h"

namespace colours = qrvx::QrvxColours;
using Box = juce::Rectangle<int>;
using GroupTest = ControlTest;

TEST_F (GroupTest, ModulatableGroupWritesKnobAndDepthByItsIDAndSocketByItsIndex)
{
    // Each group gets another target's parameter, so socket and depth bar cannot agree by chance;
    // past the five targets the socket has nothing to write to.
    const juce::StringArray targets { "Cutoff", "Resonance", "Rate", "Bits", "Dry_Wet_Mix" };
    for (int index = -1; index <= 5; ++index)
    {
        const auto id = targets[(index + 2) % 5];
        SCOPED_TRACE (juce::String (index) + " " + id);
        ParameterWithModControls group ("NAME", colours::green(), index, processor, id);

        host.clear();
        for (auto* slider : { group.knob.get(), group.depthSlider.get() })
            slider->setValue (slider->proportionOfLengthToValue (0.3 + 0.1 * index), juce::sendNotificationSync);
        group.inputPatchPoint.itemDropped ({ ModulationSource::lfo2, nullptr, {} });

        juce::StringArray expected { id, id + "_Mod_Depth" };
        if (juce::isPositiveAndBelow (index, 5))
            expected.add (targets[index] + "_Mod_Source");
        EXPECT_EQ (host.changedParameters(), expected) << host.describe();
    }

    // Both kinds of group name themselves in their colour; the depth bar is a bar in it.
    ParameterWithModControls modulatable ("DRY/WET", colours::orange(), 4, processor, "Dry_Wet_Mix");
    ParameterWithNameControls plain ("DRIVE", colours::teal(), processor, "Drive");
    EXPECT_EQ (modulatable.depthSlider->getSliderStyle(), juce::Slider::LinearHorizontal) << "DRY/WET depth bar";
    EXPECT_EQ (modulatable.depthSlider->findColour (juce::Slider::thumbColourId), colours::orange()) << "DRY/WET depth bar";
    EXPECT_EQ (plain.knob->getRange(), juce::Range<double> (0.0, 100.0)) << "DRIVE knob";
    for (auto [label, text, colour] : { std::tuple (&modulatable.nameLabel, "DRY/WET", colours::orange()),
                                        std::tuple (&plain.nameLabel, "DRIVE", colours::teal()) })
        EXPECT_EQ (std::tuple (label->getText(),
                               label->findColour (juce::Label::textColourId).toString(),
                               label->getFont().getHeight(),
                               label->getJustificationType().getFlags()),
                   std::tuple (juce::String (text), colour.toString(), 12.0f, (int) juce::Justification::centred))
            << text << " name label: text, colour, height and justification";
}

TEST_F (GroupTest, GroupsPlaceTheirWidgetsInTheirCells)
{
    // Boxes centred in cells narrower than themselves stick out, halves truncated toward zero.
    struct ModCase { const char* what; ControlCells cells; std::vector<Box> knobLabelDepthSocket; };
    const ModCase modCases[] = {
        { "cells larger than their boxes",
          { { 100, 50, 41, 60 }, { 10, 200, 101, 31 }, { 300, 40, 50, 41 } },
          { { 100, 60, 40, 40 }, { 100, 100, 41, 14 }, { 20, 209, 80, 12 }, { 306, 52, 16, 16 } } },
        { "cells smaller than their boxes",
          { { 100, 50, 30, 60 }, { 10, 200, 70, 5 }, { 300, 40, 50, 9 } },
          { { 95, 60, 40, 40 }, { 100, 100, 30, 14 }, { 5, 197, 80, 12 }, { 306, 37, 16, 16 } } },
        { "depth and socket cells the size of their boxes",
          { { 100, 50, 159, 61 }, { 0, 0, 80, 12 }, { 0, 0, 16, 16 } },
          { { 159, 60, 40, 40 }, { 100, 100, 159, 14 }, { 0, 0, 80, 12 }, { 6, 0, 16, 16 } } },
    };

    ParameterWithModControls group ("CUT", colours::teal(), 0, processor, "Cutoff");
    for (const auto& c : modCases)
    {
        group.position (c.cells);
        const std::vector<Box> placed { group.knob->getBounds(),
                                        group.nameLabel.getBounds(),
                                        group.depthSlider->getBounds(),
                                        group.inputPatchPoint.getBounds() };
        EXPECT_EQ (placed, c.knobLabelDepthSocket) << c.what << ": knob, name, depth bar and socket";
    }

    const std::vector<Box> lfoCases[] = { // area; then what is left of it, sync switch, rate readout, waveform row
        // Odd height: 53 rows on top, 54 below.
        { { 20, 30, 141, 107 }, { 20, 83, 141, 54 }, { 45, 46, 20, 20 }, { 95, 46, 60, 20 }, { 30, 93, 121, 34 } },
        // Too small for its boxes: they stick out, and the waveform row shrinks to nothing.
        { { 0, 0, 30, 25 }, { 0, 12, 30, 13 }, { -2, -4, 20, 20 }, { -7, -4, 60, 20 }, { 10, 22, 10, 0 } },
    };

    LFOControls lfo2 (processor, "LFO_2_Wave", "LFO_2_Sync", "LFO_2_Rate", "LFO_2_Synced_Rate");
    for (const auto& c : lfoCases)
    {
        auto area = c[0];
        lfo2.position (area);
        const std::vector<Box> placed { c[0],
                                        area,
                                        lfo2.syncIcon.getBounds(),
                                        lfo2.rateControl.getBounds(),
                                        lfo2.waveformSelector.getBounds() };
        EXPECT_EQ (placed, c) << "LFO controls in " << c[0].toString() << ": area, what is left, sync, rate and waveforms";
    }

    // Each of the LFO's controls follows the second LFO's own parameters.
    for (auto* id : { "LFO_2_Wave", "LFO_2_Sync", "LFO_2_Rate", "LFO_2_Synced_Rate" })
        setNormalisedValue (processor, id, 0.9f);
    lfo2.waveformSelector.refreshFromParameter();
    lfo2.syncIcon.refreshFromParameter();
    EXPECT_TRUE (lfo2.syncIcon.getIsSynced()) << "LFO_2_Sync at 0.9";
    EXPECT_EQ (lfo2.waveformSelector.getCurrentIndex(), juce::roundToInt (parameter ("LFO_2_Wave").convertFrom0to1 (0.9f)))
        << "LFO_2_Wave at 0.9";
    for (const auto synced : { true, false })
    {
        const auto* rateID = synced ? "LFO_2_Synced_Rate" : "LFO_2_Rate";
        lfo2.rateControl.checkParameterStatus (synced);
        EXPECT_EQ (lfo2.rateControl.valueLabel->getText(), parameter (rateID).getCurrentValueAsText())
            << rateID << " at 0.9";
    }
}

TEST_F (GroupTest, ModuleBackgroundFrameStripRuleAndTitle)
{
    const juce::Colour frame (0xff303030), inside (0xff191919), strip = inside.overlaidWith (juce::Colour (0x26bdbdbd));
    for (auto [title, shown, colour] : { std::tuple ("LoFi", "LOFI", colours::green()),
                                         std::tuple ("LFO MIX", "LFO MIX", colours::yellow()) })
    {
        SCOPED_TRACE (title);
        ModuleBackground panel (title, colour);
        panel.setSize (200, 120);
        EXPECT_EQ (panel.titleLabel->getText(), shown) << "the title";
        EXPECT_FLOAT_EQ (panel.titleLabel->getFont().getHeight(), 14.0f) << "the title's height";

        const auto image = renderComponent (panel);
        struct Probe { const char* what; int x, y; juce::Colour expected; };
        for (const auto& p : { Probe { "frame", 0, 0, frame },
                               Probe { "frame", 3, 60, frame },
                               Probe { "frame", 196, 60, frame },
                               Probe { "frame", 100, 116, frame },
                               Probe { "frame", 199, 119, frame },
                               Probe { "inside", 4, 60, inside },
                               Probe { "inside", 195, 115, inside },
                               Probe { "inside", 100, 26, inside },
                               Probe { "title strip", 4, 4, strip },
                               Probe { "title strip", 195, 23, strip },
                               Probe { "title strip", 190, 10, strip },
                               Probe { "rule", 4, 24, colour },
                               Probe { "rule", 195, 25, colour } })
            EXPECT_TRUE (coloursNear (image.getPixelAt (p.x, p.y), p.expected, 1))
                << p.what << " at " << p.x << ", " << p.y;

        // White text, starting just inside the 5-pixel border of its label, which sits 8 pixels in.
        int firstWhite = 200;
        for (int i = 0; i < 200 * 20; ++i)
            if (image.getPixelAt (i % 200, 4 + i / 200).getBrightness() > 0.9f)
                firstWhite = juce::jmin (firstWhite, i % 200);
        EXPECT_GE (firstWhite, 13) << "the title's first white column";
        EXPECT_LE (firstWhite, 15) << "the title's first white column";
    }
}

TEST_F (GroupTest, RateReadoutShowsAndDragsOnlyTheRateInUseAndIsAllThatIsDrawn)
{
    LFORateControl control (processor.valueTreeState, "LFO_1_Rate", "LFO_1_Synced_Rate");
    control.setBounds (0, 0, 60, 20);
    control.setVisible (true);
    const auto dragUp = [&control]
    {
        pressDragRelease (*control.getComponentAt (30, 10), { 30.0f, 10.0f }, -60.0f,
                          juce::ModifierKeys::leftButtonModifier);
    };

    // Until the first check: an empty readout, and a drag on it reaches no rate.
    EXPECT_TRUE (control.valueLabel->getText().isEmpty())
        << "the readout before the first check shows " << control.valueLabel->getText();
    dragUp();
    EXPECT_TRUE (host.events().empty()) << "a drag before the first check: " << host.describe();

    struct Step { bool synced; float freeHz, syncedIndex; const char* shown; };
    for (const auto& step : { Step { false, 1.0f, 3.0f, "1.000 Hz" },
                              Step { true, 1.0f, 3.0f, "1 BAR" },
                              Step { true, 1.0f, 7.0f, "1/4" },
                              Step { false, 12.5f, 7.0f, "12.500 Hz" } })
    {
        SCOPED_TRACE (step.shown);
        parameter ("LFO_1_Rate").setValueNotifyingHost (parameter ("LFO_1_Rate").convertTo0to1 (step.freeHz));
        parameter ("LFO_1_Synced_Rate").setValueNotifyingHost (parameter ("LFO_1_Synced_Rate").convertTo0to1 (step.syncedIndex));
        control.checkParameterStatus (step.synced);
        EXPECT_EQ (control.valueLabel->getText(), step.shown) << "the readout";

        // The drag moves the rate shown, in one gesture, and nothing else.
        host.clear();
        const auto* dragged = step.synced ? "LFO_1_Synced_Rate" : "LFO_1_Rate";
        const auto before = normalisedValue (processor, dragged);
        dragUp();
        EXPECT_GT (normalisedValue (processor, dragged), before) << dragged << " after a drag up";
        auto others = host.changedParameters();
        others.removeString (dragged);
        EXPECT_TRUE (others.isEmpty()) << "the drag also moved " << others.joinIntoString (", ");
        EXPECT_EQ (std::pair (host.gestureBegins(), host.gestureEnds()), std::pair (1, 1)) << host.describe();
    }

    // Of the knobs nothing shows: what is drawn is the readout alone, yellow on dark grey.
    const auto shown = renderComponent (control);
    control.rateKnob->setVisible (false);
    EXPECT_TRUE (sameImage (shown, renderComponent (control))) << "hiding the rate knob changed the drawing";
    int text = 0;
    for (int i = 0; i < 60 * 20; ++i)
        text += coloursNear (shown.getPixelAt (i % 60, i / 60), colours::yellow(), 8) ? 1 : 0;
    EXPECT_GT (text, 10) << "yellow text pixels in the readout";
    EXPECT_TRUE (coloursNear (shown.getPixelAt (2, 2), colours::dark_grey(), 0)) << "the readout's ground at 2, 2";

    // On IDs that no parameter has, it binds nothing and shows nothing rather than crash.
    LFORateControl unbound (processor.valueTreeState, "No_Rate", "No_Synced_Rate");
    unbound.checkParameterStatus (true);
    EXPECT_TRUE (unbound.valueLabel->getText().isEmpty()) << "an unbound readout shows " << unbound.valueLabel->getText();
}

// A sheet of the groups on their panels, twice the size, in the test output folder, for the eye.
TEST_F (GroupTest, WritesGroupSheet)
{
    // Values apart from the defaults, the second LFO synced, and a modulation wedge.
    for (auto [id, value] : { std::pair ("Cutoff", 0.35f),
                              std::pair ("Cutoff_Mod_Depth", 0.6f),
                              std::pair ("LFO_2_Sync", 1.0f),
                              std::pair ("LFO_2_Wave", 0.5f) })
        setNormalisedValue (processor, id, value);

    juce::Component sheet;
    sheet.setSize (640, 150);
    ModuleBackground panels[] = {
        { "Filter", colours::teal() },
        { "LFO 1", colours::yellow() },
        { "LFO 2", colours::yellow() },
    };
    ParameterWithModControls mod[] = {
        { "CUT", colours::teal(), 0, processor, "Cutoff" },
        { "RES", colours::teal(), 1, processor, "Resonance" },
    };
    LFOControls lfos[] = {
        { processor, "LFO_1_Wave", "LFO_1_Sync", "LFO_1_Rate", "LFO_1_Synced_Rate" },
        { processor, "LFO_2_Wave", "LFO_2_Sync", "LFO_2_Rate", "LFO_2_Synced_Rate" },
    };

    for (int i = 0; i < 3; ++i)
        sheet.addAndMakeVisible (panels[i]);
    panels[0].setBounds (0, 0, 240, 150);
    for (int i = 0; i < 2; ++i)
    {
        for (auto* widget : std::initializer_list<juce::Component*> { mod[i].knob.get(),
                                                                      mod[i].depthSlider.get(),
                                                                      &mod[i].inputPatchPoint,
                                                                      &mod[i].nameLabel,
                                                                      &lfos[i].waveformSelector,
                                                                      &lfos[i].syncIcon,
                                                                      &lfos[i].rateControl })
            sheet.addAndMakeVisible (*widget);
        mod[i].position ({ { 4 + 78 * i, 30, 78, 60 }, { 4 + 78 * i, 104, 78, 20 }, { 29 + 78 * i, 124, 28, 24 } });
        panels[i + 1].setBounds (240 + 200 * i, 0, 200, 150);
        auto area = panels[i + 1].getBounds().withTrimmedTop (30);
        lfos[i].position (area);
        lfos[i].waveformSelector.refreshFromParameter();
        lfos[i].syncIcon.refreshFromParameter();
        lfos[i].rateControl.checkParameterStatus (lfos[i].syncIcon.getIsSynced());
    }
    mod[0].knob->modulationAmount = 0.6f;
    dispatchMessagesFor (20); // the attachments' async updates

    const auto file = testOutputFile ("group-sheet.png");
    file.getParentDirectory().createDirectory();
    file.deleteFile();
    juce::FileOutputStream stream (file);
    ASSERT_TRUE (stream.openedOk()) << file.getFullPathName();
    const auto image = renderComponent (sheet).rescaled (1280, 300, juce::Graphics::lowResamplingQuality);
    EXPECT_TRUE (juce::PNGImageFormat().writeImageToStream (image, stream)) << file.getFullPathName();
}
