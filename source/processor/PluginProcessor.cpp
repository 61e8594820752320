#include "PluginProcessor.h"
#include "ParameterTexts.h"
#include "ProcessorParameter.h"
#include "dsp/BeatTranslator.h"
#include "dsp/ChannelKernels.h"
#include "editor/PluginEditor.h"
#include "presets/HostState.h"
#include "presets/ParameterTreeXml.h"
#include "presets/StartUpPreset.h"

namespace
{
    /** Text of a parameter without a converter of its own: its normalised value, two decimals. */
    qrvx::ParameterTextFunction normalisedValueText (juce::NormalisableRange<float> range)
    {
        return [range] (float value) { return qrvx::toDecimalText (range.convertTo0to1 (value), 2); };
    }

    // "Drive" from 0 to 100 % raises the sine shaper's factor from 1 by this much.
    constexpr float driveFactorSpan = 14.0f;

    // Highest filter cutoff as a share of the sample rate, just short of Nyquist: where the
    // cutoff reaches half the sample rate the prewarp passes π/2 and the filter blows up.
    constexpr double cutoffLimitPerSampleRate = 0.49;
}

//==============================================================================
VevareroAudioProcessor::VevareroAudioProcessor()
    : AudioProcessor (BusesProperties().withInput ("Input", juce::AudioChannelSet::stereo(), true)
                                       .withOutput ("Output", juce::AudioChannelSet::stereo(), true))
{
    for (int channel = 0; channel < 2; ++channel)
    {
        filters.emplace_back();
        reducers.emplace_back();
        dcFilters.emplace_back();
    }

    lfos.emplace_back();
    lfos.emplace_back();
    lfoBuffers.resize (2);

    const float modulationLimits[] = { cutoffRange.end, 1.0f, rateRange.end, bitsRange.end, 1.0f };

    for (auto limit : modulationLimits)
    {
        modulationInputs.push_back ({ limit, nullptr });
        modulationAssignments.push_back ({ 0, 0.0f });
    }

    initializeParameters();

    // JUCE would add the parameters' children in the order of their IDs; filling the new tree
    // first keeps them in creation order, the order of preset files and of the host state.
    qrvx::installParameterTree (valueTreeState, juce::ValueTree (juce::Identifier ("Vevarero")));

    if (const auto startUp = qrvx::StartUpPreset::load (valueTreeState))
    {
        currentPreset.set (startUp->name, startUp->file.getFullPathName());
    }
}

VevareroAudioProcessor::~VevareroAudioProcessor() = default;

//==============================================================================
void VevareroAudioProcessor::initializeParameters()
{
    const auto& ids = parametersUIDs;
    auto& tree = valueTreeState;

    auto add = [&tree] (const juce::String& id, const juce::String& name, const juce::String& label,
                        const juce::NormalisableRange<float>& range, float defaultValue,
                        const qrvx::ParameterTextFunction& valueToText)
    {
        tree.createAndAddParameter (std::make_unique<ProcessorParameter> (id, name, label, range, defaultValue, valueToText));
        return tree.getRawParameterValue (id);
    };

    cutoffValue            = add (ids.cutoffID, "Cutoff", "Hz", cutoffRange, 11000.0f, qrvx::getHertzParameterText);
    resonanceValue         = add (ids.resonanceID, "Resonance", "%", resonanceRange, 0.0f, qrvx::getPercentParameterText);
    filterTypeValue        = add (ids.filterTypeID, "Filter Type", {}, filterTypeRange, 0.0f, getFilterTypeText);
    driveValue             = add (ids.driveID, "Drive", "%", driveRange, 0.0f, qrvx::getPercentParameterText);
    distortionRoutingValue = add (ids.distortionRoutingID, "Distortion Routing", {}, distortionRoutingRange, 0.0f, getDistortionRoutingText);
    rateValue              = add (ids.rateID, "Rate", {}, rateRange, 0.0f, getReductionRateText);
    bitsValue              = add (ids.bitsID, "Bits", {}, bitsRange, 16.0f, getBitResolutionText);
    loFiRoutingValue       = add (ids.loFiRoutingID, "LoFi Routing", {}, loFiRoutingRange, 0.0f, getLoFiRoutingText);
    amplitudeValue         = add (ids.amplitudeID, "Amp", "dB", amplitudeRange, 0.0f, qrvx::getDecibelsParameterText);
    dryWetMixValue         = add (ids.dryWetMixID, "Dry / Wet", "%", dryWetMixRange, 100.0f, qrvx::getPercentParameterText);

    struct LfoIDs { const juce::String& rate; const juce::String& syncedRate; const juce::String& sync; const juce::String& wave; };
    const LfoIDs lfoIDs[] = { { ids.lfo1RateID, ids.lfo1SyncedRateID, ids.lfo1SyncID, ids.lfo1WaveID },
                              { ids.lfo2RateID, ids.lfo2SyncedRateID, ids.lfo2SyncID, ids.lfo2WaveID } };

    for (size_t lfo = 0; lfo < 2; ++lfo)
    {
        const auto prefix = "LFO " + juce::String ((int) lfo + 1);

        lfoRateValues[lfo]       = add (lfoIDs[lfo].rate, prefix + " RATE", "Hz", lfoRateRange, 1.0f, qrvx::getHertzWithDecimalsParameterText);
        lfoSyncedRateValues[lfo] = add (lfoIDs[lfo].syncedRate, prefix + " SYNCED RATE", {}, lfoSyncedRateRange, 3.0f, getLFOSyncedRateText);
        lfoSyncValues[lfo]       = add (lfoIDs[lfo].sync, prefix + " SYNC", {}, lfoSyncRange, 0.0f, getLFOSyncText);
        lfoWaveValues[lfo]       = add (lfoIDs[lfo].wave, prefix + " WAVE", {}, lfoWaveRange, 0.0f, getLFOWaveText);
    }

    lfosMixValue = add (ids.lfosMixID, "LFOs Mix", "%", lfosMixRange, 50.0f, qrvx::getPercentParameterText);

    struct Target { const juce::String& id; const char* word; };
    const Target targets[] = { { ids.cutoffID, "Cutoff" },
                               { ids.resonanceID, "Resonance" },
                               { ids.rateID, "Rate" },
                               { ids.bitsID, "Bits" },
                               { ids.dryWetMixID, "Dry/Wet" } };

    static_assert (std::size (targets) == ModulationTarget::numTargets);

    for (size_t target = 0; target < std::size (targets); ++target)
    {
        const auto sourceID = targets[target].id + ids.modSourceSuffix;
        const auto depthID = targets[target].id + ids.modDepthSuffix;
        const juce::String word (targets[target].word);

        modulationValues[target].source = add (sourceID, word + " Mod Source", {}, modSourceRange, 0.0f, getModSourceText);
        modulationValues[target].depth = add (depthID, word + " Mod Depth", {}, modDepthRange, 0.0f, normalisedValueText (modDepthRange));
    }
}

//==============================================================================
const juce::String VevareroAudioProcessor::getName() const
{
    return "Vevarero";
}

bool VevareroAudioProcessor::isBusesLayoutSupported (const BusesLayout& layouts) const
{
    const auto input = layouts.getMainInputChannelSet();
    const auto output = layouts.getMainOutputChannelSet();

    return input == output
        && (input == juce::AudioChannelSet::mono() || input == juce::AudioChannelSet::stereo());
}

//==============================================================================
void VevareroAudioProcessor::prepareToPlay (double sampleRate, int maximumExpectedSamplesPerBlock)
{
    inverseSampleRate = 1.0 / sampleRate;

    // Above 48 kHz the filter rings harder at the same setting; the scale tames it there.
    resonanceScale = sampleRate <= 48000.0 ? 1.0f
                                           : (float) (-44100.0 / sampleRate) * 0.4f + 1.0f;

    for (auto& filter : filters)
        filter.reset();

    for (auto& reducer : reducers)
        reducer.reset();

    for (auto& lfo : lfos)
        lfo.resetPhase();

    for (auto& dcFilter : dcFilters)
        dcFilter.prepare (sampleRate);

    const auto bufferLength = juce::jmax (0, maximumExpectedSamplesPerBlock) + workBufferSlack;

    for (auto* workBuffer : { &gainBuffer, &dryWetBuffer, &cutoffBuffer, &driveBuffer, &lfoBuffers[0], &lfoBuffers[1],
                              &lfoMixBuffer, &modulatedCutoffBuffer, &modulatedResonanceBuffer, &modulatedRateBuffer,
                              &modulatedBitsBuffer, &modulatedDryWetBuffer })
        workBuffer->setSize (1, bufferLength, false, false, false);

    filterCoefficientBuffer.resize ((size_t) bufferLength);
    crossfadeGainBuffer.resize ((size_t) bufferLength);
    channelScratchBuffer.setSize ((int) filters.size(), bufferLength, false, false, false);

    for (auto* smoother : smoothers())
        smoother->reset (sampleRate, rampLengthSeconds);

    smoothersStartOnTargets = true;
}

void VevareroAudioProcessor::releaseResources()
{
}

void VevareroAudioProcessor::processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer&)
{
    // Decaying filter and DC-blocker states would otherwise crawl through denormals; the
    // previous mode comes back when this goes out of scope.
    juce::ScopedNoDenormals noDenormals;

    updateTempo();

    const auto numSamples = buffer.getNumSamples();
    const auto numBufferChannels = buffer.getNumChannels();
    const auto numInputs = juce::jmin (getTotalNumInputChannels(), numBufferChannels);
    const auto numOutputs = juce::jmin (getTotalNumOutputChannels(), numBufferChannels);

    for (int channel = numInputs; channel < numOutputs; ++channel)
        buffer.clear (channel, 0, numSamples);

    // Only two channels have filter, hold and DC-blocker state of their own; further inputs
    // are muted rather than sharing it.
    const auto numProcessed = juce::jmin (numInputs, (int) filters.size());

    for (int channel = numProcessed; channel < numInputs; ++channel)
        buffer.clear (channel, 0, numSamples);

    // Before the first prepareToPlay there are no work buffers to render into.
    const auto capacity = gainBuffer.getNumSamples();

    if (capacity <= 0)
        return;

    const auto settings = readBlockSettings();

    // The first block that plays after preparing starts on its own settings, so a host that
    // restores a session before playing hears no slide from whatever the smoothers held before.
    // A block without samples plays nothing and leaves that to the next one.
    if (smoothersStartOnTargets && numSamples > 0)
    {
        for (auto* smoother : smoothers())
            smoother->jumpToTarget();

        smoothersStartOnTargets = false;
    }

    // A host that breaks its announced block size gets the block in pieces that fit the work
    // buffers; every state carries over between pieces, so the result is the same.

    for (int start = 0; start < numSamples; start += capacity)
    {
        const auto length = juce::jmin (capacity, numSamples - start);

        renderControlSignals (length, settings);
        renderSharedStageInputs (length);
        processChannels (buffer, start, length, numProcessed, settings);
    }
}

void VevareroAudioProcessor::updateTempo() noexcept
{
    // Without a play head the last known tempo stays.
    auto* hostPlayHead = getPlayHead();

    if (hostPlayHead == nullptr)
        return;

    auto tempo = 1.0f;

    if (const auto position = hostPlayHead->getPosition())
        if (const auto reported = position->getBpm())
            tempo = (float) *reported;

    // A NaN or infinite tempo would make every synced rate NaN or infinite, so it counts as 1.
    bpm = std::isfinite (tempo) ? juce::jmax (1.0f, tempo) : 1.0f;
    msPerWholeNote = 60000.0f / bpm * 4.0f;
}

VevareroAudioProcessor::BlockSettings VevareroAudioProcessor::readBlockSettings() noexcept
{
    using qrvx::toNearestInteger;

    // The ranges bound values a host cannot send, so tables and counts are always indexed safely.
    auto choice = [] (const ValuePointer value, const Range& range)
    {
        return juce::jlimit ((int) range.start, (int) range.end, toNearestInteger (value->load()));
    };

    BlockSettings settings;

    cutoffSmoother.setTarget (cutoffValue->load());

    settings.resonanceBase = resonanceValue->load() * 0.01f * resonanceScale;
    settings.filterType = (qrvx::FilterType) choice (filterTypeValue, filterTypeRange);
    settings.distortionRouting = (qrvx::DriveRouting) choice (distortionRoutingValue, distortionRoutingRange);

    driveSmoother.setTarget (1.0f + (driveValue->load() * 0.01f) * driveFactorSpan);

    settings.rateBase = (float) choice (rateValue, rateRange);
    settings.bitsBase = (float) choice (bitsValue, bitsRange);
    settings.loFiRouting = (qrvx::LoFiRouting) choice (loFiRoutingValue, loFiRoutingRange);

    gainSmoother.setTarget (juce::Decibels::decibelsToGain (amplitudeValue->load()));
    dryWetSmoother.setTarget (dryWetMixValue->load() * 0.01f);

    const auto samplePeriod = (float) inverseSampleRate;

    for (size_t lfo = 0; lfo < lfos.size(); ++lfo)
    {
        const auto synced = lfoSyncValues[lfo]->load() > 0.5f;
        const auto rate = synced ? qrvx::BeatTranslator::syncedRate (choice (lfoSyncedRateValues[lfo], lfoSyncedRateRange), msPerWholeNote)
                                 : lfoRateValues[lfo]->load();

        lfos[lfo].setRate (rate, samplePeriod);
        settings.lfoWaves[lfo] = choice (lfoWaveValues[lfo], lfoWaveRange);
    }

    settings.lfoMix = lfosMixValue->load() * 0.01f;

    for (size_t target = 0; target < modulationAssignments.size(); ++target)
    {
        auto& assignment = modulationAssignments[target];
        assignment.source = toNearestInteger (modulationValues[target].source->load());
        assignment.depth = juce::jlimit (0.0f, 1.0f, modulationValues[target].depth->load());

        const float* source = nullptr;

        switch (assignment.source)
        {
            case ModulationSource::lfo1:   source = lfoBuffers[0].getReadPointer (0); break;
            case ModulationSource::lfo2:   source = lfoBuffers[1].getReadPointer (0); break;
            case ModulationSource::lfoMix: source = lfoMixBuffer.getReadPointer (0); break;
            default: break;
        }

        modulationInputs[target].source = source;
    }

    return settings;
}

void VevareroAudioProcessor::renderControlSignals (int numSamples, const BlockSettings& settings) noexcept
{
    auto* cutoff = cutoffBuffer.getWritePointer (0);
    auto* dryWet = dryWetBuffer.getWritePointer (0);

    cutoffSmoother.render (cutoff, numSamples);
    driveSmoother.render (driveBuffer.getWritePointer (0), numSamples);
    gainSmoother.render (gainBuffer.getWritePointer (0), numSamples);
    dryWetSmoother.render (dryWet, numSamples);

    for (int i = 0; i < numSamples; ++i)
        dryWet[i] = juce::jlimit (0.0f, 1.0f, dryWet[i]);

    auto* lfo1 = lfoBuffers[0].getWritePointer (0);
    auto* lfo2 = lfoBuffers[1].getWritePointer (0);
    auto* lfoMix = lfoMixBuffer.getWritePointer (0);

    lfos[0].render (settings.lfoWaves[0], lfo1, numSamples);
    lfos[1].render (settings.lfoWaves[1], lfo2, numSamples);

    const auto mix = settings.lfoMix;
    const auto remainder = 1.0f - mix;

    for (int i = 0; i < numSamples; ++i)
        lfoMix[i] = lfo2[i] * mix + lfo1[i] * remainder;

    auto input = [this] (int target) -> const ModulationInput& { return modulationInputs[(size_t) target]; };
    auto depth = [this] (int target) { return modulationAssignments[(size_t) target].depth; };

    namespace Target = ModulationTarget;

    input (Target::cutoff).modulate (modulatedCutoffBuffer.getWritePointer (0), cutoff, depth (Target::cutoff), numSamples);

    // The high-rate scale weighs the resonance depth as well as its base.
    input (Target::resonance).modulate (modulatedResonanceBuffer.getWritePointer (0), settings.resonanceBase,
                                        depth (Target::resonance) * resonanceScale, numSamples);

    input (Target::rate).modulate (modulatedRateBuffer.getWritePointer (0), settings.rateBase, depth (Target::rate), numSamples);
    input (Target::bits).modulate (modulatedBitsBuffer.getWritePointer (0), settings.bitsBase, depth (Target::bits), numSamples);
    input (Target::dryWet).modulate (modulatedDryWetBuffer.getWritePointer (0), dryWet, depth (Target::dryWet), numSamples);
}

void VevareroAudioProcessor::renderSharedStageInputs (int numSamples) noexcept
{
    // The filter coefficients and the dry/wet gains follow from the shared control signals
    // alone, so each sample's values are computed here once instead of once per channel: the
    // same arithmetic on the same inputs, so every channel sees exactly the values it would have
    // computed itself, at half the tangents and divisions in stereo.
    const auto* cutoff = modulatedCutoffBuffer.getReadPointer (0);
    const auto* resonance = modulatedResonanceBuffer.getReadPointer (0);
    const auto* dryWet = modulatedDryWetBuffer.getReadPointer (0);
    auto* coefficients = filterCoefficientBuffer.data();
    auto* gains = crossfadeGainBuffer.data();

    // The top of the cutoff range passes the limit only below 36.7 kHz.
    const auto samplePeriod = (float) inverseSampleRate;
    const auto cutoffLimit = (float) (cutoffLimitPerSampleRate / inverseSampleRate);

    for (int i = 0; i < numSamples; ++i)
        coefficients[i] = qrvx::StateVariableFilter<float>::makeCoefficients (juce::jmin (cutoff[i], cutoffLimit), resonance[i], samplePeriod);

    for (int i = 0; i < numSamples; ++i)
        gains[i] = qrvx::crossfadeGains (dryWet[i]);
}

void VevareroAudioProcessor::processChannels (juce::AudioBuffer<float>& buffer, int startSample, int numSamples,
                                              int numChannels, const BlockSettings& settings) noexcept
{
    const qrvx::ChannelSignals<float> signals { driveBuffer.getReadPointer (0),
                                                filterCoefficientBuffer.data(),
                                                modulatedRateBuffer.getReadPointer (0),
                                                modulatedBitsBuffer.getReadPointer (0),
                                                gainBuffer.getReadPointer (0),
                                                crossfadeGainBuffer.data() };

    const qrvx::ChannelRecords<float> records { filters.data(), reducers.data(), dcFilters.data() };

    const auto kernel = qrvx::pickChannelKernel<float> (settings.filterType, settings.distortionRouting, settings.loFiRouting);

    // Only the first two channels have records of their own; processBlock never asks for more.
    jassert (numChannels <= 2 && numChannels <= channelScratchBuffer.getNumChannels());
    float* channels[2] = {};

    for (int channel = 0; channel < numChannels; ++channel)
        channels[channel] = buffer.getWritePointer (channel, startSample);

    kernel (channels, channelScratchBuffer.getArrayOfWritePointers(), numChannels, numSamples, signals, records);
}

double VevareroAudioProcessor::getTailLengthSeconds() const  { return 0.0; }
bool VevareroAudioProcessor::acceptsMidi() const               { return true; }
bool VevareroAudioProcessor::producesMidi() const              { return false; }

juce::AudioProcessorEditor* VevareroAudioProcessor::createEditor()
{
    return new VevareroAudioProcessorEditor (*this);
}

bool VevareroAudioProcessor::hasEditor() const                 { return true; }

int VevareroAudioProcessor::getNumPrograms()                   { return 1; }
int VevareroAudioProcessor::getCurrentProgram()                { return 0; }
void VevareroAudioProcessor::setCurrentProgram (int)           {}
const juce::String VevareroAudioProcessor::getProgramName (int) { return {}; }
void VevareroAudioProcessor::changeProgramName (int, const juce::String&) {}

void VevareroAudioProcessor::getStateInformation (juce::MemoryBlock& destData)
{
    qrvx::HostState::save (valueTreeState, presetNameTag, currentPreset, destData);
}

void VevareroAudioProcessor::setStateInformation (const void* data, int sizeInBytes)
{
    qrvx::HostState::restore (valueTreeState, presetNameTag, currentPreset, data, sizeInBytes);
}

//==============================================================================
juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    return new VevareroAudioProcessor();
}
