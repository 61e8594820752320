#include "PluginEditor.h"

#include "ControlNameLabel.h"
#include "UIControlFactory.h"
#include "look/QrvxColours.h"

namespace
{
    constexpr int editorWidth = 640;
    constexpr int editorHeight = 400;
    constexpr int pollingIntervalMs = 50;

    constexpr int knobSize = ControlSizes::knob;
    // The lone knobs of Drive and Amp sit a little above their cells' centres, leaving room for
    // their names below.
    constexpr int loneKnobRaise = 7;
    constexpr int filterTypeWidth = 80, filterTypeHeight = 40;
    constexpr int distortionRoutingWidth = 38, distortionRoutingHeight = 16;
    constexpr int loFiRoutingSize = 32;
    constexpr int socketSize = ControlSizes::socket;
    // Panel titles take a strip this high (the title text, its rule and the frame above them).
    constexpr int titleHeight = 26;
    constexpr int lfoMixBarHeight = 20;

    constexpr float cableThickness = 3.0f;

    const juce::Colour shadowColour { 0x66000000 };
    constexpr int shadowRadius = 1;
    const juce::Point<int> shadowOffset { 0, 2 };

    /** A column or row cut out of a band, one pixel in from each side so that neighbours keep a
        two-pixel gap between them.
    */
    juce::Rectangle<int> reducedByOne (juce::Rectangle<int> r)
    {
        return { r.getX() + 1, r.getY() + 1, juce::jmax (0, r.getWidth() - 2), juce::jmax (0, r.getHeight() - 2) };
    }

    /** The knob above, depth bar and socket below, of a modulatable control in the column cx..cx+cw
        of the row ry..ry+rh: the knob gets two thirds of the height, the bar two thirds of the width.
    */
    ControlCells makeCells (int cx, int cw, int ry, int rh)
    {
        const auto knobH = juce::jmin ((rh / 3) * 2, rh);
        const auto depthW = juce::jmin ((cw / 3) * 2, cw);

        return { { cx, ry, cw, knobH },
                 { cx, ry + knobH, depthW, rh - knobH },
                 { cx + depthW, ry + knobH, cw - depthW, rh - knobH } };
    }

    juce::Point<int> centreOf (juce::Rectangle<int> r)
    {
        return { r.getX() + r.getWidth() / 2, r.getY() + r.getHeight() / 2 };
    }
} // namespace

//==============================================================================
VevareroAudioProcessorEditor::VevareroAudioProcessorEditor (VevareroAudioProcessor& p)
    : juce::AudioProcessorEditor (p),
      processor (p),
      look (p.fontScale),
      bipolarLook (p.fontScale),
      defaultLook (look),
      moduleColours { qrvx::QrvxColours::teal(), qrvx::QrvxColours::green(), qrvx::QrvxColours::orange(),
                      qrvx::QrvxColours::yellow(), qrvx::QrvxColours::lime().withAlpha ((juce::uint8) 0x7f) },
      filterBackground ("Filter", moduleColours[0]),
      loFiBackground ("LoFi", moduleColours[1]),
      outputBackground ("Output", moduleColours[2]),
      lfo1Background ("LFO 1", moduleColours[3]),
      lfo2Background ("LFO 2", moduleColours[3]),
      lfoMixBackground ("LFO MIX", moduleColours[3]),
      cutoffControls ("CUT", qrvx::QrvxColours::teal(), ModulationTarget::cutoff, p, p.parametersUIDs.cutoffID),
      resonanceControls ("RES", qrvx::QrvxColours::teal(), ModulationTarget::resonance, p, p.parametersUIDs.resonanceID),
      driveControls ("DRIVE", qrvx::QrvxColours::teal(), p, p.parametersUIDs.driveID),
      filterTypeSelector (p.valueTreeState),
      distortionRoutingSelector (p.valueTreeState),
      rateControls ("RATE", qrvx::QrvxColours::green(), ModulationTarget::rate, p, p.parametersUIDs.rateID),
      bitsControls ("BITS", qrvx::QrvxColours::green(), ModulationTarget::bits, p, p.parametersUIDs.bitsID),
      loFiRoutingSelector (p.valueTreeState),
      dryWetControls ("DRY/WET", qrvx::QrvxColours::orange(), ModulationTarget::dryWet, p, p.parametersUIDs.dryWetMixID),
      amplitudeControls ("AMP", qrvx::QrvxColours::orange(), p, p.parametersUIDs.amplitudeID),
      lfoMixSlider (qrvx::UIControlFactory::createRegularKnob (qrvx::QrvxColours::yellow())),
      lfoMixAttachment (p.valueTreeState, p.parametersUIDs.lfosMixID, *lfoMixSlider),
      footer (p)
{
    lfoMixSlider->setSliderStyle (juce::Slider::LinearHorizontal);
    lfoMixSlider->setColour (juce::Slider::thumbColourId, qrvx::QrvxColours::yellow());

    // Popup menus and windows without a parent take the default look, which defaultLook made ours.
    setLookAndFeel (&look);

    shadow.setShadowProperties (juce::DropShadow (shadowColour, shadowRadius, shadowOffset));

    for (auto* background : { &filterBackground, &loFiBackground, &outputBackground,
                              &lfo1Background, &lfo2Background, &lfoMixBackground })
        addAndMakeVisible (background);

    addAndMakeVisible (footer);

    const auto addModulatable = [this] (ParameterWithModControls& controls)
    {
        addAndMakeVisible (*controls.knob);
        addAndMakeVisible (*controls.depthSlider);
        addAndMakeVisible (controls.inputPatchPoint);
        addAndMakeVisible (controls.nameLabel);
        inputs[(size_t) controls.index] = &controls.inputPatchPoint;
    };

    const auto addNamed = [this] (ParameterWithNameControls& controls)
    {
        addAndMakeVisible (*controls.knob);
        addAndMakeVisible (controls.nameLabel);
    };

    // Filter module.
    addModulatable (cutoffControls);
    addModulatable (resonanceControls);
    addNamed (driveControls);
    addAndMakeVisible (filterTypeSelector);
    addAndMakeVisible (distortionRoutingSelector);

    for (auto* knob : { cutoffControls.knob.get(), resonanceControls.knob.get(), driveControls.knob.get() })
        knob->setComponentEffect (&shadow);

    // LoFi module.
    addModulatable (rateControls);
    addModulatable (bitsControls);
    addAndMakeVisible (loFiRoutingSelector);

    for (auto* knob : { rateControls.knob.get(), bitsControls.knob.get() })
        knob->setComponentEffect (&shadow);

    // Output module.
    addModulatable (dryWetControls);
    dryWetControls.knob->setLookAndFeel (&bipolarLook);
    addNamed (amplitudeControls);

    for (auto* knob : { amplitudeControls.knob.get(), dryWetControls.knob.get() })
        knob->setComponentEffect (&shadow);

    // LFO modules.
    const auto& ids = p.parametersUIDs;
    lfoControls.add (new LFOControls (p, ids.lfo1WaveID, ids.lfo1SyncID, ids.lfo1RateID, ids.lfo1SyncedRateID));
    lfoControls.add (new LFOControls (p, ids.lfo2WaveID, ids.lfo2SyncID, ids.lfo2RateID, ids.lfo2SyncedRateID));

    for (auto* lfo : lfoControls)
    {
        addAndMakeVisible (lfo->waveformSelector);
        addAndMakeVisible (lfo->syncIcon);
        addAndMakeVisible (lfo->rateControl);
    }

    addAndMakeVisible (*lfoMixSlider);
    lfoMixSlider->setLookAndFeel (&bipolarLook);

    for (int source = ModulationSource::lfo1; source <= ModulationSource::lfoMix; ++source)
        addAndMakeVisible (outputs.add (new OutputPatchPoint (source)));

    setSize (editorWidth, editorHeight);
    startTimer (pollingIntervalMs);
}

VevareroAudioProcessorEditor::~VevareroAudioProcessorEditor()
{
    // JUCE asserts when a look is deleted while a component or the desktop still refers to it.
    dryWetControls.knob->setLookAndFeel (nullptr);
    lfoMixSlider->setLookAndFeel (nullptr);
    setLookAndFeel (nullptr);
}

//==============================================================================
void VevareroAudioProcessorEditor::paint (juce::Graphics& g)
{
    // Shows only in the gaps between the panels and around the footer.
    g.fillAll (juce::Colours::black);
}

void VevareroAudioProcessorEditor::resized()
{
    const auto w = getWidth();
    const auto h = getHeight();

    // Top band: Filter, LoFi and Output side by side.
    const auto topH = juce::jmin ((h / 9) * 5, h);
    const auto bottomH = h - topH;

    const auto leftW = juce::jmin ((w / 4) * 2, w);
    const auto remW = w - leftW;
    filterBackground.setBounds (reducedByOne ({ 0, 0, leftW, topH }));
    const auto fw = filterBackground.getWidth();
    const auto ph = filterBackground.getHeight();

    const auto titleH = juce::jmin (ph, titleHeight);
    const auto contentY = 1 + titleH;
    const auto contentH = ph - titleH;
    const auto row0Y = contentY;
    const auto row0H = juce::jmin (contentH / 2, contentH);
    const auto row1Y = contentY + row0H;
    const auto row1H = contentH - row0H;

    // Filter: cutoff and resonance above, drive and the filter type below.
    const auto col0W = juce::jmin (fw / 2, fw);
    const auto col1W = fw - col0W;
    const auto col0X = 1;
    const auto col1X = 1 + col0W;
    cutoffControls.position (makeCells (col0X, col0W, row0Y, row0H));
    resonanceControls.position (makeCells (col1X, col1W, row0Y, row0H));

    auto& driveKnob = *driveControls.knob;
    driveKnob.setBounds (col0X + (col0W - knobSize) / 2, row1Y + (row1H - knobSize) / 2 - loneKnobRaise, knobSize, knobSize);
    placeControlNameUnderKnob (driveControls.nameLabel, driveKnob.getBounds(), col0W);
    filterTypeSelector.setBounds (col1X + (col1W - filterTypeWidth) / 2, row1Y + (row1H - filterTypeHeight) / 2,
                                  filterTypeWidth, filterTypeHeight);

    // The drive routing switch sits halfway between the drive knob and the filter type, on the
    // filter type's centre line: it says on which side of the filter the drive comes.
    {
        const auto knob = driveKnob.getBounds();
        const auto k = centreOf (knob);
        const auto s = centreOf (filterTypeSelector.getBounds());
        distortionRoutingSelector.setBounds (knob.getX() + (knob.getWidth() - distortionRoutingWidth) / 2 + (s.x - k.x) / 2,
                                             knob.getY() + (knob.getHeight() - distortionRoutingHeight) / 2 + (s.y - k.y),
                                             distortionRoutingWidth, distortionRoutingHeight);
    }

    // LoFi: rate above with the routing selector in the corner, bits below.
    const auto loFiW = juce::jmin (remW / 2, remW);
    loFiBackground.setBounds (reducedByOne ({ leftW, 0, loFiW, topH }));
    const auto lx = leftW + 1;
    const auto lw = loFiBackground.getWidth();
    rateControls.position (makeCells (lx, lw, row0Y, row0H));

    {
        const auto panel = loFiBackground.getBounds();
        loFiRoutingSelector.setBounds (panel.getX() + juce::jmax (0, panel.getWidth() - 12) - 26, panel.getY() + 32,
                                       loFiRoutingSize, loFiRoutingSize);
    }

    bitsControls.position (makeCells (lx, lw, row1Y, row1H));

    // Output: amplitude above, dry/wet below.
    outputBackground.setBounds (reducedByOne ({ leftW + loFiW, 0, remW - loFiW, topH }));
    const auto ox = outputBackground.getX();
    const auto ow = outputBackground.getWidth();

    auto& ampKnob = *amplitudeControls.knob;
    ampKnob.setBounds (ox + (ow - knobSize) / 2, row0Y + (row0H - knobSize) / 2 - loneKnobRaise, knobSize, knobSize);
    placeControlNameUnderKnob (amplitudeControls.nameLabel, ampKnob.getBounds(), ow);
    dryWetControls.position (makeCells (ox, ow, row1Y, row1H));

    // Bottom band: LFO 1, LFO MIX and LFO 2 above the footer. Each output socket sits at the right
    // end of its panel's title strip.
    const auto lfoH = juce::jmin ((bottomH / 5) * 3, bottomH);
    const auto colW = juce::jmin (w / 3, w);
    const auto lph = juce::jmax (0, lfoH - 2);
    const auto lfoTitleH = juce::jmin (lph, titleHeight);
    const auto lfoContentY = topH + 1 + lfoTitleH;
    const auto lfoContentH = lph - lfoTitleH;
    const auto socketY = topH + 6;

    // Each socket stands 22 pixels left of (column x + panel width), 5 below the panel's top.
    const auto placeSocket = [this, socketY] (int source, int columnXPlusPanelWidth)
    {
        outputs[source - 1]->setBounds (columnXPlusPanelWidth - 22, socketY, socketSize, socketSize);
    };

    const auto placeLfo = [&] (LFOControls& lfo, const ModuleBackground& panel)
    {
        juce::Rectangle<int> content { panel.getX(), lfoContentY, panel.getWidth(), lfoContentH };
        lfo.position (content);
    };

    lfo1Background.setBounds (reducedByOne ({ 0, topH, colW, lfoH }));
    placeSocket (ModulationSource::lfo1, juce::jmax (0, colW - 2));
    placeLfo (*lfoControls[0], lfo1Background);

    const auto rest = w - colW;
    const auto midW = juce::jmin (rest / 2, rest);
    const auto mw = juce::jmax (0, midW - 2);
    lfoMixBackground.setBounds (colW + 1, topH + 1, mw, lph);
    placeSocket (ModulationSource::lfoMix, colW + mw);
    // Not clamped: a panel narrower than its margins gives the bar a negative width, which JUCE
    // treats as empty.
    lfoMixSlider->setBounds (colW + 16, lfoContentY + (lfoContentH - lfoMixBarHeight) / 2, mw - 30, lfoMixBarHeight);

    lfo2Background.setBounds (reducedByOne ({ colW + midW, topH, rest - midW, lfoH }));
    placeSocket (ModulationSource::lfo2, colW + midW + lfo2Background.getWidth());
    placeLfo (*lfoControls[1], lfo2Background);

    footer.setBounds (2, topH + lfoH + 4, juce::jmax (0, w - 4), juce::jmax (0, juce::jmax (0, bottomH - lfoH - 4) - 2));
}

//==============================================================================
void VevareroAudioProcessorEditor::timerCallback()
{
    filterTypeSelector.refreshFromParameter();
    distortionRoutingSelector.refreshFromParameter();
    loFiRoutingSelector.refreshFromParameter();

    for (auto* lfo : lfoControls)
    {
        lfo->waveformSelector.refreshFromParameter();
        lfo->syncIcon.refreshFromParameter();
        lfo->rateControl.checkParameterStatus (lfo->syncIcon.getIsSynced());
    }

    footer.updatePresetName();

    // One repaint of everything when any routing moved: cables cross the whole editor.
    bool routingChanged = false;

    for (size_t t = 0; t < inputs.size(); ++t)
    {
        const auto previous = lastModSource[t];
        lastModSource[t] = inputs[t]->getLink().parameter->getValue();
        // A NaN compares unequal too, and so counts as a change.
        routingChanged = routingChanged || ! (lastModSource[t] == previous);
    }

    if (routingChanged)
        repaint();
}

juce::Point<int> VevareroAudioProcessorEditor::socketCentre (const juce::Component& socket)
{
    return centreOf (socket.getBounds());
}

void VevareroAudioProcessorEditor::paintOverChildren (juce::Graphics& g)
{
    for (auto* input : inputs)
    {
        const auto& link = input->getLink();
        const auto value = link.parameter->getValue();

        if (! (value > 0.0f))
            continue;

        // The parameter keeps to whole sources, so any value above 0 names LFO 1, LFO 2 or the mix.
        const auto source = juce::roundToInt (link.range.convertFrom0to1 (value));
        const auto from = socketCentre (*outputs[source - 1]);
        const auto to = socketCentre (*input);
        // Straight down out of the output socket, bending so that it arrives at the input nearly
        // level.
        const juce::Point<int> control { from.x, juce::jmin (from.y, to.y) + std::abs (from.y - to.y) / 8 };

        juce::Path cable;
        cable.startNewSubPath (from.toFloat());
        cable.quadraticTo (control.toFloat(), to.toFloat());

        g.setColour (moduleColours[cableColourIndex]);
        g.strokePath (cable, juce::PathStrokeType (cableThickness, juce::PathStrokeType::mitered, juce::PathStrokeType::butt));
    }
}
