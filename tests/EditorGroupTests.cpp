#include "ControlTestSupport.h"

#include "editor/LFOControls.h"
#include "editor/ModuleBackground.h"
#include "editor/ParameterWithModControls.h"
#include "editor/ParameterWithNameControls.h"
#include "look/QrvxColours.h"

#include <memory>

namespace
{
    namespace colours = qrvx::QrvxColours;
    using Box = juce::Rectangle<int>;

    juce::String idOf (const juce::AudioProcessorParameter* p)
    {
        if (auto* withID = dynamic_cast<const juce::AudioProcessorParameterWithID*> (p))
            return withID->paramID;
        return "(none)";
    }

    juce::DragAndDropTarget::SourceDetails dropOf (const juce::var& description)
    {
        return { description, nullptr, {} };
    }

    float normalisedFor (juce::RangedAudioParameter& p, float value) { return p.convertTo0to1 (value); }

    using GroupTest = ControlTest;
} // namespace

//==============================================================================
TEST_F (GroupTest, ModulatableGroupBindsKnobToItsIDDepthToItsIDAndSocketToItsIndex)
{
    struct Case { int index; const char* parameterID; const char* sourceID; const char* depthID; };
    const Case cases[] = { { 0, "Cutoff", "Cutoff_Mod_Source", "Cutoff_Mod_Depth" },
                           { 1, "Resonance", "Resonance_Mod_Source", "Resonance_Mod_Depth" },
                           { 2, "Rate", "Rate_Mod_Source", "Rate_Mod_Depth" },
                           { 3, "Bits", "Bits_Mod_Source", "Bits_Mod_Depth" },
                           { 4, "Dry_Wet_Mix", "Dry_Wet_Mix_Mod_Source", "Dry_Wet_Mix_Mod_Depth" },
                           // The socket follows the index, the depth bar the parameter.
                           { 2, "Cutoff", "Rate_Mod_Source", "Cutoff_Mod_Depth" },
                           // Beyond the five targets the socket has nothing to write to.
                           { 5, "Bits", nullptr, "Bits_Mod_Depth" },
                           { -1, "Bits", nullptr, "Bits_Mod_Depth" } };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (juce::String (c.index) + " " + c.parameterID);
        ParameterWithModControls group ("NAME", colours::green, c.index, processor, c.parameterID);
        const auto* socketParameter = group.inputPatchPoint.getLink().parameter;

        EXPECT_EQ (group.index, c.index);
        EXPECT_EQ (group.inputPatchPoint.getModulationTarget(), c.index);
        EXPECT_EQ (idOf (socketParameter), c.sourceID != nullptr ? juce::String (c.sourceID) : "(none)");

        host.clear();
        group.knob->setValue (group.knob->proportionOfLengthToValue (0.7), juce::sendNotificationSync);
        group.depthSlider->setValue (0.25, juce::sendNotificationSync);
        group.inputPatchPoint.itemDropped (dropOf (ModulationSource::lfo2));
        group.inputPatchPoint.mouseUp (mouseEventOn (group.inputPatchPoint, { 8.0f, 8.0f }, juce::ModifierKeys::rightButtonModifier));

        juce::StringArray expected { c.parameterID, c.depthID };
        if (c.sourceID != nullptr)
            expected.addArray (juce::StringArray { c.sourceID, c.sourceID });
        EXPECT_EQ (host.changedParameters(), expected);
        EXPECT_FLOAT_EQ (normalisedValue (processor, c.depthID), 0.25f);

        // Nothing was added anywhere: the editor adopts the widgets.
        for (auto* widget : { static_cast<juce::Component*> (group.knob.get()), static_cast<juce::Component*> (group.depthSlider.get()),
                              static_cast<juce::Component*> (&group.inputPatchPoint), static_cast<juce::Component*> (&group.nameLabel) })
            EXPECT_EQ (widget->getParentComponent(), nullptr);

        for (auto* id : { c.parameterID, c.depthID })
            parameter (id).setValueNotifyingHost (parameter (id).getDefaultValue());
    }
}

TEST_F (GroupTest, GroupsStyleTheirWidgetsInTheirColour)
{
    ParameterWithModControls modulatable ("DRY/WET", colours::orange, 4, processor, "Dry_Wet_Mix");
    ParameterWithNameControls plain ("DRIVE", colours::teal, processor, "Drive");

    struct Case { qrvx::QrvxKnob& knob; juce::Label& label; const char* name; juce::Colour colour; const char* id; };
    const Case cases[] = { { *modulatable.knob, modulatable.nameLabel, "DRY/WET", colours::orange, "Dry_Wet_Mix" },
                           { *plain.knob, plain.nameLabel, "DRIVE", colours::teal, "Drive" } };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        EXPECT_EQ (c.knob.getSliderStyle(), juce::Slider::RotaryVerticalDrag);
        EXPECT_EQ (c.knob.findColour (juce::Slider::rotarySliderFillColourId), c.colour);
        EXPECT_FLOAT_EQ ((float) c.knob.getMaximum(), parameter (c.id).getNormalisableRange().end);
        EXPECT_EQ (c.label.getText(), c.name);
        EXPECT_EQ (c.label.findColour (juce::Label::textColourId), c.colour);
        EXPECT_EQ (c.label.getJustificationType(), juce::Justification (juce::Justification::centred));
        EXPECT_FLOAT_EQ (c.label.getFont().getHeight(), 12.0f);
    }

    EXPECT_EQ (modulatable.depthSlider->getSliderStyle(), juce::Slider::LinearHorizontal);
    EXPECT_EQ (modulatable.depthSlider->findColour (juce::Slider::thumbColourId), colours::orange);
    EXPECT_EQ (modulatable.depthSlider->getRange(), juce::Range<double> (0.0, 1.0));
}

//==============================================================================
TEST_F (GroupTest, ModulatableGroupPlacesItsWidgetsInItsCells)
{
    // Boxes centred in cells narrower than themselves stick out, with halves truncated toward zero.
    struct Case { ControlCells cells; Box knob, label, depth, socket; };
    const Case cases[] = {
        { { { 100, 50, 41, 60 }, { 10, 200, 101, 31 }, { 300, 40, 50, 41 } },
          { 100, 60, 40, 40 }, { 100, 100, 41, 14 }, { 20, 209, 80, 12 }, { 306, 52, 16, 16 } },
        { { { 100, 50, 30, 60 }, { 10, 200, 70, 5 }, { 300, 40, 50, 9 } },
          { 95, 60, 40, 40 }, { 100, 100, 30, 14 }, { 5, 197, 80, 12 }, { 306, 37, 16, 16 } },
        { { { 100, 50, 159, 61 }, { 0, 0, 80, 12 }, { 0, 0, 16, 16 } },
          { 159, 60, 40, 40 }, { 100, 100, 159, 14 }, { 0, 0, 80, 12 }, { 6, 0, 16, 16 } },
    };

    ParameterWithModControls group ("CUT", colours::teal, 0, processor, "Cutoff");

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.cells.knobCell.toString());
        group.position (c.cells);
        EXPECT_EQ (group.knob->getBounds(), c.knob);
        EXPECT_EQ (group.nameLabel.getBounds(), c.label);
        EXPECT_EQ (group.depthSlider->getBounds(), c.depth);
        EXPECT_EQ (group.inputPatchPoint.getBounds(), c.socket);
    }
}

TEST_F (GroupTest, LFOControlsSplitTheirAreaAndBindTheirLFO)
{
    struct Case { Box area, leftOver, sync, rate, waveform; };
    const Case cases[] = {
        // Odd height: 53 rows on top, 54 below.
        { { 20, 30, 141, 107 }, { 20, 83, 141, 54 }, { 45, 46, 20, 20 }, { 95, 46, 60, 20 }, { 30, 93, 121, 34 } },
        // Too small for its boxes: they stick out, and the waveform row shrinks to nothing.
        { { 0, 0, 30, 25 }, { 0, 12, 30, 13 }, { -2, -4, 20, 20 }, { -7, -4, 60, 20 }, { 10, 22, 10, 0 } },
    };

    LFOControls lfo2 (processor, "LFO_2_Wave", "LFO_2_Sync", "LFO_2_Rate", "LFO_2_Synced_Rate");

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.area.toString());
        auto area = c.area;
        lfo2.position (area);
        EXPECT_EQ (area, c.leftOver);
        EXPECT_EQ (lfo2.syncIcon.getBounds(), c.sync);
        EXPECT_EQ (lfo2.rateControl.getBounds(), c.rate);
        EXPECT_EQ (lfo2.waveformSelector.getBounds(), c.waveform);
    }

    // Each control follows the second LFO's parameters.
    setNormalisedValue (processor, "LFO_2_Wave", 1.0f);
    setNormalisedValue (processor, "LFO_2_Sync", 1.0f);
    setNormalisedValue (processor, "LFO_2_Synced_Rate", normalisedFor (parameter ("LFO_2_Synced_Rate"), 7.0f));
    lfo2.waveformSelector.refreshFromParameter();
    lfo2.syncIcon.refreshFromParameter();
    lfo2.rateControl.checkParameterStatus (lfo2.syncIcon.getIsSynced());
    EXPECT_EQ (lfo2.waveformSelector.getCurrentIndex(), 6);
    EXPECT_EQ (lfo2.rateControl.valueLabel->getText(), "1/4");
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
        EXPECT_EQ (panel.getBounds(), Box (0, 0, 600, 400));
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
        int firstWhiteColumn = -1;
        for (int x = 0; x < 200 && firstWhiteColumn < 0; ++x)
            for (int y = 4; y < 24; ++y)
                if (image.getPixelAt (x, y).getBrightness() > 0.9f)
                {
                    firstWhiteColumn = x;
                    break;
                }
        EXPECT_GE (firstWhiteColumn, 13);
        EXPECT_LE (firstWhiteColumn, 15);
    }
}

//==============================================================================
TEST_F (GroupTest, RateReadoutShowsAndDragsOnlyTheRateInUse)
{
    LFORateControl control (processor.valueTreeState, "LFO_1_Rate", "LFO_1_Synced_Rate");
    EXPECT_EQ (control.getBounds(), Box (0, 0, 400, 100));
    control.setSize (60, 20);
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
        freeRate.setValueNotifyingHost (normalisedFor (freeRate, step.freeHz));
        syncedRate.setValueNotifyingHost (normalisedFor (syncedRate, step.syncedIndex));
        control.checkParameterStatus (step.synced);
        EXPECT_EQ (control.valueLabel->getText(), step.shown);

        // Switching hands the mouse over without touching either rate; a drag then moves the rate shown.
        host.clear();
        EXPECT_EQ (control.rateKnob->isVisible(), ! step.synced);
        EXPECT_EQ (control.syncedRateKnob->isVisible(), step.synced);
        const auto* dragged = step.synced ? "LFO_1_Synced_Rate" : "LFO_1_Rate";
        const auto before = normalisedValue (processor, dragged);
        dragOn (control, middle, -60.0f);

        EXPECT_GT (normalisedValue (processor, dragged), before);
        EXPECT_FALSE (host.changedParameters().isEmpty());
        for (const auto& id : host.changedParameters())
            EXPECT_EQ (id, dragged);
        EXPECT_EQ (host.gestureBegins(), 1);
        EXPECT_EQ (host.gestureEnds(), 1);

        control.checkParameterStatus (step.synced);
        EXPECT_NE (control.valueLabel->getText(), step.shown);
    }
    // Built on IDs that no parameter has, it binds nothing and shows nothing rather than crash.
    LFORateControl unbound (processor.valueTreeState, "No_Rate", "No_Synced_Rate");
    unbound.checkParameterStatus (true);
    EXPECT_TRUE (unbound.valueLabel->getText().isEmpty());
    EXPECT_TRUE (unbound.syncedRateKnob->isVisible());
}

TEST_F (GroupTest, RateReadoutIsAllThatIsDrawn)
{
    LFORateControl control (processor.valueTreeState, "LFO_1_Rate", "LFO_1_Synced_Rate");
    control.setSize (60, 20);
    control.checkParameterStatus (false);

    const auto shown = renderComponent (control);
    for (auto* knob : { control.rateKnob.get(), control.syncedRateKnob.get() })
        knob->setVisible (false);
    const auto labelAlone = renderComponent (control);

    int differing = 0, text = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 60; ++x)
        {
            const auto pixel = shown.getPixelAt (x, y);
            differing += pixel != labelAlone.getPixelAt (x, y) ? 1 : 0;
            text += coloursNear (pixel, colours::yellow, 8) ? 1 : 0;
        }
    EXPECT_EQ (differing, 0);
    EXPECT_GT (text, 10);
    EXPECT_TRUE (coloursNear (shown.getPixelAt (2, 2), colours::dark_grey, 0));
    EXPECT_FLOAT_EQ (control.valueLabel->getFont().getHeight(), 12.0f);
}

//==============================================================================
// Writes a sheet of the groups on their panels to the test output folder, for the eye.
TEST_F (GroupTest, WritesGroupSheet)
{
    juce::Component sheet;
    sheet.setSize (640, 300);

    ModuleBackground filterPanel ("Filter", colours::teal), lofiPanel ("LoFi", colours::green),
        outputPanel ("Output", colours::orange), lfo1Panel ("LFO 1", colours::yellow), lfo2Panel ("LFO 2", colours::yellow);
    ParameterWithModControls cutoff ("CUT", colours::teal, ModulationTarget::cutoff, processor, "Cutoff");
    ParameterWithModControls resonance ("RES", colours::teal, ModulationTarget::resonance, processor, "Resonance");
    ParameterWithNameControls drive ("DRIVE", colours::teal, processor, "Drive");
    ParameterWithModControls rate ("RATE", colours::green, ModulationTarget::rate, processor, "Rate");
    ParameterWithModControls bits ("BITS", colours::green, ModulationTarget::bits, processor, "Bits");
    ParameterWithModControls dryWet ("DRY/WET", colours::orange, ModulationTarget::dryWet, processor, "Dry_Wet_Mix");
    ParameterWithNameControls amp ("AMP", colours::orange, processor, "Amplitude");
    LFOControls lfo1 (processor, "LFO_1_Wave", "LFO_1_Sync", "LFO_1_Rate", "LFO_1_Synced_Rate");
    LFOControls lfo2 (processor, "LFO_2_Wave", "LFO_2_Sync", "LFO_2_Rate", "LFO_2_Synced_Rate");

    for (auto* panel : { &filterPanel, &lofiPanel, &outputPanel, &lfo1Panel, &lfo2Panel })
        sheet.addAndMakeVisible (*panel);

    filterPanel.setBounds (0, 0, 260, 150);
    lofiPanel.setBounds (260, 0, 200, 150);
    outputPanel.setBounds (460, 0, 180, 150);
    lfo1Panel.setBounds (0, 150, 320, 150);
    lfo2Panel.setBounds (320, 150, 320, 150);

    // Knob cells side by side under each title, depth bars and sockets below them.
    const auto place = [&sheet] (ParameterWithModControls& group, int x, int width)
    {
        for (auto* widget : { static_cast<juce::Component*> (group.knob.get()), static_cast<juce::Component*> (group.depthSlider.get()),
                              static_cast<juce::Component*> (&group.inputPatchPoint), static_cast<juce::Component*> (&group.nameLabel) })
            sheet.addAndMakeVisible (*widget);
        group.position ({ { x, 30, width, 60 }, { x, 104, width, 20 }, { x + width / 2 - 14, 124, 28, 24 } });
    };
    const auto placePlain = [&sheet] (ParameterWithNameControls& group, int x, int width)
    {
        sheet.addAndMakeVisible (*group.knob);
        sheet.addAndMakeVisible (group.nameLabel);
        group.knob->setBounds (Box (x, 30, width, 60).withSizeKeepingCentre (40, 40));
        group.nameLabel.setBounds (x, group.knob->getBottom(), width, 14);
    };

    place (cutoff, 4, 84);
    place (resonance, 88, 84);
    placePlain (drive, 172, 84);
    place (rate, 264, 96);
    place (bits, 360, 96);
    place (dryWet, 464, 86);
    placePlain (amp, 550, 86);

    for (auto [lfo, panel] : { std::pair (&lfo1, &lfo1Panel), std::pair (&lfo2, &lfo2Panel) })
    {
        for (auto* widget : { static_cast<juce::Component*> (&lfo->waveformSelector), static_cast<juce::Component*> (&lfo->syncIcon),
                              static_cast<juce::Component*> (&lfo->rateControl) })
            sheet.addAndMakeVisible (*widget);
        auto area = panel->getBounds().withTrimmedTop (30);
        lfo->position (area);
    }

    // Values apart from the defaults, one LFO synced, and two wedges to show.
    setNormalisedValue (processor, "Cutoff", 0.35f);
    setNormalisedValue (processor, "Cutoff_Mod_Depth", 0.6f);
    setNormalisedValue (processor, "Bits_Mod_Depth", 0.3f);
    setNormalisedValue (processor, "Bits", 0.4f);
    setNormalisedValue (processor, "LFO_2_Sync", 1.0f);
    setNormalisedValue (processor, "LFO_2_Wave", 0.5f);
    cutoff.knob->modulationAmount = 0.6f;
    bits.knob->modulationAmount = 0.5f;
    bits.knob->squareAmount = true;

    for (auto* lfo : { &lfo1, &lfo2 })
    {
        lfo->waveformSelector.refreshFromParameter();
        lfo->syncIcon.refreshFromParameter();
        lfo->rateControl.checkParameterStatus (lfo->syncIcon.getIsSynced());
    }
    juce::MessageManager::getInstance()->runDispatchLoopUntil (20); // the attachments' async updates

    const auto image = renderComponent (sheet);
    juce::Image doubled (juce::Image::ARGB, 1280, 600, true, juce::SoftwareImageType());
    {
        juce::Graphics g (doubled);
        g.setImageResamplingQuality (juce::Graphics::lowResamplingQuality);
        g.drawImage (image, doubled.getBounds().toFloat());
    }

    const auto file = testOutputFile ("group-sheet.png");
    file.getParentDirectory().createDirectory();
    file.deleteFile();
    juce::FileOutputStream stream (file);
    EXPECT_TRUE (stream.openedOk() && juce::PNGImageFormat().writeImageToStream (doubled, stream));
}
