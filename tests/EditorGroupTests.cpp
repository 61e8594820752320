#include "ControlTestSupport.h"

#include "editor/LFOControls.h"
#include "editor/ModuleBackground.h"
#include "editor/ParameterWithModControls.h"
#include "editor/ParameterWithNameControls.h"
#include "look/QrvxColours.h"

namespace
{
    namespace colours = qrvx::QrvxColours;
    using Box = juce::Rectangle<int>;

    juce::String idOf (const juce::AudioProcessorParameter* p)
    {
        auto* withID = dynamic_cast<const juce::AudioProcessorParameterWithID*> (p);
        return withID != nullptr ? withID->paramID : "(none)";
    }

    std::vector<juce::Component*> widgetsOf (ParameterWithModControls& group)
    {
        return { group.knob.get(), group.depthSlider.get(), &group.inputPatchPoint, &group.nameLabel };
    }

    using GroupTest = ControlTest;
} // namespace

//==============================================================================
TEST_F (GroupTest, ModulatableGroupBindsKnobAndDepthByItsIDAndSocketByItsIndex)
{
    struct Case { int index; const char* parameterID; const char* sourceID; const char* depthID; };
    const Case cases[] = { { 0, "Cutoff", "Cutoff_Mod_Source", "Cutoff_Mod_Depth" },
                           { 1, "Resonance", "Resonance_Mod_Source", "Resonance_Mod_Depth" },
                           { 2, "Rate", "Rate_Mod_Source", "Rate_Mod_Depth" },
                           { 3, "Bits", "Bits_Mod_Source", "Bits_Mod_Depth" },
                           { 4, "Dry_Wet_Mix", "Dry_Wet_Mix_Mod_Source", "Dry_Wet_Mix_Mod_Depth" },
                           { 2, "Cutoff", "Rate_Mod_Source", "Cutoff_Mod_Depth" },
                           // Beyond the five targets the socket has nothing to write to.
                           { 5, "Bits", nullptr, "Bits_Mod_Depth" },
                           { -1, "Bits", nullptr, "Bits_Mod_Depth" } };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (juce::String (c.index) + " " + c.parameterID);
        ParameterWithModControls group ("NAME", colours::green, c.index, processor, c.parameterID);
        EXPECT_EQ (idOf (group.inputPatchPoint.getLink().parameter), c.sourceID != nullptr ? c.sourceID : "(none)");

        // What the host hears from a turn of the knob, a move of the bar, a drop and a right click.
        host.clear();
        group.knob->setValue (group.knob->proportionOfLengthToValue (0.7), juce::sendNotificationSync);
        group.depthSlider->setValue (0.25, juce::sendNotificationSync);
        group.inputPatchPoint.itemDropped ({ ModulationSource::lfo2, nullptr, {} });
        group.inputPatchPoint.mouseUp (mouseEventOn (group.inputPatchPoint, { 8.0f, 8.0f }, juce::ModifierKeys::rightButtonModifier));

        juce::StringArray expected { c.parameterID, c.depthID };
        if (c.sourceID != nullptr)
            expected.addArray (juce::StringArray { c.sourceID, c.sourceID });
        EXPECT_EQ (host.changedParameters(), expected);

        // The editor adopts the widgets; the group puts them nowhere.
        for (auto* widget : widgetsOf (group))
            EXPECT_EQ (widget->getParentComponent(), nullptr);

        for (auto* id : { c.parameterID, c.depthID })
            parameter (id).setValueNotifyingHost (parameter (id).getDefaultValue());
    }

    // Both kinds of group show their name in their colour; the depth bar is a bar in it.
    ParameterWithModControls modulatable ("DRY/WET", colours::orange, 4, processor, "Dry_Wet_Mix");
    ParameterWithNameControls plain ("DRIVE", colours::teal, processor, "Drive");
    EXPECT_EQ (modulatable.depthSlider->getSliderStyle(), juce::Slider::LinearHorizontal);
    EXPECT_EQ (modulatable.depthSlider->findColour (juce::Slider::thumbColourId), colours::orange);
    EXPECT_EQ (plain.knob->getRange(), juce::Range<double> (0.0, 100.0));

    for (auto [label, text, colour] : { std::tuple (&modulatable.nameLabel, "DRY/WET", colours::orange),
                                        std::tuple (&plain.nameLabel, "DRIVE", colours::teal) })
    {
        EXPECT_EQ (label->getText(), text);
        EXPECT_EQ (label->findColour (juce::Label::textColourId), colour);
        EXPECT_EQ (label->getJustificationType(), juce::Justification (juce::Justification::centred));
        EXPECT_FLOAT_EQ (label->getFont().getHeight(), 12.0f);
    }
}

//==============================================================================
TEST_F (GroupTest, GroupsPlaceTheirWidgetsInTheirCells)
{
    // Boxes centred in cells narrower than themselves stick out, halves truncated toward zero.
    struct ModCase { ControlCells cells; Box knob, label, depth, socket; };
    const ModCase modCases[] = {
        { { { 100, 50, 41, 60 }, { 10, 200, 101, 31 }, { 300, 40, 50, 41 } },
          { 100, 60, 40, 40 }, { 100, 100, 41, 14 }, { 20, 209, 80, 12 }, { 306, 52, 16, 16 } },
        { { { 100, 50, 30, 60 }, { 10, 200, 70, 5 }, { 300, 40, 50, 9 } },
          { 95, 60, 40, 40 }, { 100, 100, 30, 14 }, { 5, 197, 80, 12 }, { 306, 37, 16, 16 } },
        { { { 100, 50, 159, 61 }, { 0, 0, 80, 12 }, { 0, 0, 16, 16 } },
          { 159, 60, 40, 40 }, { 100, 100, 159, 14 }, { 0, 0, 80, 12 }, { 6, 0, 16, 16 } },
    };

    ParameterWithModControls group ("CUT", colours::teal, 0, processor, "Cutoff");
    for (const auto& c : modCases)
    {
        SCOPED_TRACE (c.cells.knobCell.toString());
        group.position (c.cells);
        EXPECT_EQ (group.knob->getBounds(), c.knob);
        EXPECT_EQ (group.nameLabel.getBounds(), c.label);
        EXPECT_EQ (group.depthSlider->getBounds(), c.depth);
        EXPECT_EQ (group.inputPatchPoint.getBounds(), c.socket);
    }

    struct LFOCase { Box area, leftOver, sync, rate, waveform; };
    const LFOCase lfoCases[] = {
        // Odd height: 53 rows on top, 54 below.
        { { 20, 30, 141, 107 }, { 20, 83, 141, 54 }, { 45, 46, 20, 20 }, { 95, 46, 60, 20 }, { 30, 93, 121, 34 } },
        // Too small for its boxes: they stick out, and the waveform row shrinks to nothing.
        { { 0, 0, 30, 25 }, { 0, 12, 30, 13 }, { -2, -4, 20, 20 }, { -7, -4, 60, 20 }, { 10, 22, 10, 0 } },
    };

    LFOControls lfo2 (processor, "LFO_2_Wave", "LFO_2_Sync", "LFO_2_Rate", "LFO_2_Synced_Rate");
    for (const auto& c : lfoCases)
    {
        SCOPED_TRACE (c.area.toString());
        auto area = c.area;
        lfo2.position (area);
        EXPECT_EQ (area, c.leftOver);
        EXPECT_EQ (lfo2.syncIcon.getBounds(), c.sync);
        EXPECT_EQ (lfo2.rateControl.getBounds(), c.rate);
        EXPECT_EQ (lfo2.waveformSelector.getBounds(), c.waveform);
    }

    // Each of the LFO's controls follows the second LFO's parameters.
    setNormalisedValue (processor, "LFO_2_Wave", 1.0f);
    setNormalisedValue (processor, "LFO_2_Sync", 1.0f);
    lfo2.waveformSelector.refreshFromParameter();
    lfo2.syncIcon.refreshFromParameter();
    lfo2.rateControl.checkParameterStatus (lfo2.syncIcon.getIsSynced());
    EXPECT_EQ (lfo2.waveformSelector.getCurrentIndex(), 6);
    EXPECT_EQ (lfo2.rateControl.valueLabel->getText(), "1 BAR");
    EXPECT_EQ (idOf (lfo2.rateControl.rateParameter), "LFO_2_Rate");
}

//==============================================================================
TEST_F (GroupTest, ModuleBackgroundFrameStripRuleAndTitle)
{
    struct Case { const char* title; const char* shown; juce::Colour colour; };
    const Case cases[] = { { "LoFi", "LOFI", colours::green }, { "LFO MIX", "LFO MIX", colours::yellow },
                           { "Filter", "FILTER", colours::teal } };

    const juce::Colour frame (0xff303030), inside (0xff191919);
    const auto strip = inside.overlaidWith (juce::Colour (0x26bdbdbd));

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.title);
        ModuleBackground panel (c.title, c.colour);
        panel.setSize (200, 120);
        const auto& title = *panel.titleLabel;
        EXPECT_EQ (title.getText(), c.shown);
        EXPECT_EQ (title.getBounds(), Box (8, 4, 184, 20));
        EXPECT_FLOAT_EQ (title.getFont().getHeight(), 14.0f);
        EXPECT_EQ (title.getJustificationType(), juce::Justification (juce::Justification::centredLeft));
        EXPECT_FALSE (title.isEditableOnSingleClick() || title.isEditableOnDoubleClick());

        const auto image = renderComponent (panel);
        struct Probe { int x, y; juce::Colour expected; };
        const Probe probes[] = { { 0, 0, frame }, { 3, 60, frame }, { 196, 60, frame }, { 100, 116, frame }, { 199, 119, frame },
                                 { 4, 60, inside }, { 195, 115, inside }, { 100, 26, inside },
                                 { 4, 4, strip }, { 195, 23, strip }, { 190, 10, strip },
                                 { 4, 24, c.colour }, { 195, 25, c.colour } };
        for (const auto& p : probes)
            EXPECT_TRUE (coloursNear (image.getPixelAt (p.x, p.y), p.expected, 1)) << p.x << ", " << p.y;

        // The title is white, and starts inside its label's own 5-pixel border.
        const auto hasWhiteInStrip = [&image] (int x)
        {
            for (int y = 4; y < 24; ++y)
                if (image.getPixelAt (x, y).getBrightness() > 0.9f)
                    return true;
            return false;
        };
        int firstWhiteColumn = 0;
        while (firstWhiteColumn < 200 && ! hasWhiteInStrip (firstWhiteColumn))
            ++firstWhiteColumn;
        EXPECT_GE (firstWhiteColumn, 13);
        EXPECT_LE (firstWhiteColumn, 15);
    }
}

//==============================================================================
TEST_F (GroupTest, RateReadoutShowsAndDragsOnlyTheRateInUse)
{
    LFORateControl control (processor.valueTreeState, "LFO_1_Rate", "LFO_1_Synced_Rate");
    control.setBounds (0, 0, 60, 20);
    control.setVisible (true);
    const juce::Point<float> middle (30.0f, 10.0f);

    // Until the first check: an empty readout, and a drag on it reaches no rate.
    EXPECT_TRUE (control.valueLabel->getText().isEmpty());
    dragOn (control, middle, -40.0f);
    EXPECT_TRUE (host.events().empty());

    auto& freeRate = parameter ("LFO_1_Rate");
    auto& syncedRate = parameter ("LFO_1_Synced_Rate");

    struct Step { bool synced; float freeHz, syncedIndex; const char* shown; };
    const Step steps[] = { { false, 1.0f, 3.0f, "1.000 Hz" }, { true, 1.0f, 3.0f, "1 BAR" },
                           { true, 1.0f, 7.0f, "1/4" }, { false, 12.5f, 7.0f, "12.500 Hz" } };

    for (const auto& step : steps)
    {
        SCOPED_TRACE (step.shown);
        freeRate.setValueNotifyingHost (freeRate.convertTo0to1 (step.freeHz));
        syncedRate.setValueNotifyingHost (syncedRate.convertTo0to1 (step.syncedIndex));
        control.checkParameterStatus (step.synced);
        EXPECT_EQ (control.valueLabel->getText(), step.shown);

        // Switching hands the mouse over without touching either rate; a drag moves the rate shown.
        host.clear();
        EXPECT_EQ (control.rateKnob->isVisible(), ! step.synced);
        EXPECT_EQ (control.syncedRateKnob->isVisible(), step.synced);
        const auto* dragged = step.synced ? "LFO_1_Synced_Rate" : "LFO_1_Rate";
        const auto before = normalisedValue (processor, dragged);
        dragOn (control, middle, -60.0f);

        EXPECT_GT (normalisedValue (processor, dragged), before);
        auto others = host.changedParameters();
        EXPECT_FALSE (others.isEmpty());
        others.removeString (dragged);
        EXPECT_TRUE (others.isEmpty());
        EXPECT_EQ (host.gestureBegins(), 1);
        EXPECT_EQ (host.gestureEnds(), 1);
    }

    // Built on IDs that no parameter has, it binds nothing and shows nothing rather than crash.
    LFORateControl unbound (processor.valueTreeState, "No_Rate", "No_Synced_Rate");
    unbound.checkParameterStatus (true);
    EXPECT_TRUE (unbound.valueLabel->getText().isEmpty());
}

TEST_F (GroupTest, RateReadoutIsAllThatIsDrawn)
{
    LFORateControl control (processor.valueTreeState, "LFO_1_Rate", "LFO_1_Synced_Rate");
    control.setSize (60, 20);
    control.checkParameterStatus (false);

    const auto shown = renderComponent (control);
    control.rateKnob->setVisible (false);
    EXPECT_TRUE (sameImage (shown, renderComponent (control)));

    int text = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 60; ++x)
            text += coloursNear (shown.getPixelAt (x, y), colours::yellow, 8) ? 1 : 0;
    EXPECT_GT (text, 10);
    EXPECT_TRUE (coloursNear (shown.getPixelAt (2, 2), colours::dark_grey, 0));
}

//==============================================================================
// Writes a sheet of the groups on their panels to the test output folder, for the eye.
TEST_F (GroupTest, WritesGroupSheet)
{
    juce::Component sheet;
    sheet.setSize (640, 150);

    ModuleBackground filterPanel ("Filter", colours::teal), lfo1Panel ("LFO 1", colours::yellow), lfo2Panel ("LFO 2", colours::yellow);
    ParameterWithModControls cutoff ("CUT", colours::teal, ModulationTarget::cutoff, processor, "Cutoff");
    ParameterWithModControls resonance ("RES", colours::teal, ModulationTarget::resonance, processor, "Resonance");
    ParameterWithNameControls drive ("DRIVE", colours::teal, processor, "Drive");
    LFOControls lfo1 (processor, "LFO_1_Wave", "LFO_1_Sync", "LFO_1_Rate", "LFO_1_Synced_Rate");
    LFOControls lfo2 (processor, "LFO_2_Wave", "LFO_2_Sync", "LFO_2_Rate", "LFO_2_Synced_Rate");

    const std::pair<ModuleBackground*, Box> panels[] = { { &filterPanel, { 0, 0, 240, 150 } }, { &lfo1Panel, { 240, 0, 200, 150 } },
                                                         { &lfo2Panel, { 440, 0, 200, 150 } } };
    for (auto [panel, bounds] : panels)
    {
        sheet.addAndMakeVisible (*panel);
        panel->setBounds (bounds);
    }

    for (auto [group, x] : { std::pair (&cutoff, 4), std::pair (&resonance, 82) })
    {
        for (auto* widget : widgetsOf (*group))
            sheet.addAndMakeVisible (*widget);
        group->position ({ { x, 30, 78, 60 }, { x, 104, 78, 20 }, { x + 25, 124, 28, 24 } });
    }
    sheet.addAndMakeVisible (*drive.knob);
    sheet.addAndMakeVisible (drive.nameLabel);
    drive.knob->setBounds (180, 40, 40, 40);
    drive.nameLabel.setBounds (160, 80, 80, 14);

    for (auto [lfo, panel] : { std::pair (&lfo1, &lfo1Panel), std::pair (&lfo2, &lfo2Panel) })
    {
        for (auto* widget : std::initializer_list<juce::Component*> { &lfo->waveformSelector, &lfo->syncIcon, &lfo->rateControl })
            sheet.addAndMakeVisible (*widget);
        auto area = panel->getBounds().withTrimmedTop (30);
        lfo->position (area);
    }

    // Values apart from the defaults, one LFO synced, and a modulation wedge.
    setNormalisedValue (processor, "Cutoff", 0.35f);
    setNormalisedValue (processor, "Cutoff_Mod_Depth", 0.6f);
    setNormalisedValue (processor, "LFO_2_Sync", 1.0f);
    setNormalisedValue (processor, "LFO_2_Wave", 0.5f);
    cutoff.knob->modulationAmount = 0.6f;
    for (auto* lfo : { &lfo1, &lfo2 })
    {
        lfo->waveformSelector.refreshFromParameter();
        lfo->syncIcon.refreshFromParameter();
        lfo->rateControl.checkParameterStatus (lfo->syncIcon.getIsSynced());
    }
    dispatchMessagesFor (20); // the attachments' async updates

    juce::Image doubled (juce::Image::ARGB, 1280, 300, true, juce::SoftwareImageType());
    {
        juce::Graphics g (doubled);
        g.setImageResamplingQuality (juce::Graphics::lowResamplingQuality);
        g.drawImage (renderComponent (sheet), doubled.getBounds().toFloat());
    }

    const auto file = testOutputFile ("group-sheet.png");
    file.getParentDirectory().createDirectory();
    file.deleteFile();
    juce::FileOutputStream stream (file);
    EXPECT_TRUE (stream.openedOk() && juce::PNGImageFormat().writeImageToStream (doubled, stream));
}
