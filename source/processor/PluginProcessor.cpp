#include "PluginProcessor.h"
#include "ParameterTexts.h"
#include "ProcessorParameter.h"
#include "dsp/BeatTranslator.h"
#include "dsp/Crossfade.h"
#include "presets/ParameterTreeXml.h"
#include "presets/PluginStateLoader.h"
#include "presets/PluginStateSaver.h"
#include "presets/PresetsManager.h"

namespace
{
    void createParameter (juce::AudioProcessorValueTreeState& tree,
                          const juce::String& id,
                          const juce::String& name,
                          const juce::String& label,
                          juce::NormalisableRange<float> range,
                          float defaultValue,
                          qrvx::ParameterTextFunction valueToText)
    {
        tree.createAndAddParameter (std::make_unique<ProcessorParameter> (id, name, label, range,
                                                                          defaultValue, std::move (valueToText)));
    }

    /** Text of a parameter without a converter of its own: its normalised value, two decimals. */
    qrvx::ParameterTextFunction normalisedValueText (juce::NormalisableRange<float> range)
    {
        return [range] (float value) { return qrvx::toDecimalText (range.convertTo0to1 (value), 2); };
    }
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

    juce::File (qrvx::PresetsManager::presetsFolderPath).createDirectory();
    loadStartUpPreset();
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
        createParameter (tree, id, name, label, range, defaultValue, valueToText);
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

        createParameter (tree, sourceID, word + " Mod Source", {}, modSourceRange, 0.0f, getModSourceText);
        createParameter (tree, depthID, word + " Mod Depth", {}, modDepthRange, 0.0f, normalisedValueText (modDepthRange));

        modulationValues[target].source = tree.getRawParameterValue (sourceID);
        modulationValues[target].depth = tree.getRawParameterValue (depthID);
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
namespace
{
    using Filter = qrvx::StateVariableFilter<float>;
    using Reducer = qrvx::SamplerateReducer<float>;
    using DCBlocker = qrvx::DCFilter<float>;

    /** The per-sample control signals one chunk of a channel reads, and the block's constants. */
    struct ChannelSignals
    {
        const float* drive;
        const float* cutoff;
        const float* resonance;
        const float* rate;
        const float* bits;
        const float* gain;
        const float* dryWet;
        float samplePeriod;
        float cutoffLimit;
    };

    template <qrvx::FilterType type, qrvx::DriveRouting routing, qrvx::LoFiRouting loFiRouting>
    void processChannel (float* samples, int numSamples, const ChannelSignals& signals,
                         Filter& filter, Reducer& reducer, DCBlocker& dcBlocker) noexcept
    {
        for (int i = 0; i < numSamples; ++i)
        {
            const auto dry = samples[i];
            const auto cutoff = juce::jmin (signals.cutoff[i], signals.cutoffLimit);

            const auto filtered = filter.processSample<type, routing> (dry, signals.drive[i], cutoff,
                                                                      signals.resonance[i], signals.samplePeriod);
            const auto loFi = qrvx::processLoFi<loFiRouting> (filtered, reducer, (int) signals.rate[i], (int) signals.bits[i]);
            const auto wet = dcBlocker.process (loFi * signals.gain[i]);

            samples[i] = qrvx::crossfade (dry, wet, signals.dryWet[i]);
        }
    }

    using ChannelFunction = void (*) (float*, int, const ChannelSignals&, Filter&, Reducer&, DCBlocker&);

    // The block's filter type and routings pick one specialised loop, so the sample loop never
    // branches on them.
    template <qrvx::FilterType type, qrvx::DriveRouting routing>
    ChannelFunction pickChannelFunction (int loFiRouting) noexcept
    {
        switch (loFiRouting)
        {
            case 1:  return processChannel<type, routing, qrvx::LoFiRouting::mix>;
            case 2:  return processChannel<type, routing, qrvx::LoFiRouting::ring>;
            default: return processChannel<type, routing, qrvx::LoFiRouting::chain>;
        }
    }

    template <qrvx::FilterType type>
    ChannelFunction pickChannelFunction (int distortionRouting, int loFiRouting) noexcept
    {
        return distortionRouting == 1 ? pickChannelFunction<type, qrvx::DriveRouting::postFilter> (loFiRouting)
                                      : pickChannelFunction<type, qrvx::DriveRouting::preFilter> (loFiRouting);
    }

    ChannelFunction pickChannelFunction (int filterType, int distortionRouting, int loFiRouting) noexcept
    {
        switch (filterType)
        {
            case 1:  return pickChannelFunction<qrvx::FilterType::highpass> (distortionRouting, loFiRouting);
            case 2:  return pickChannelFunction<qrvx::FilterType::bandpass> (distortionRouting, loFiRouting);
            case 3:  return pickChannelFunction<qrvx::FilterType::notch> (distortionRouting, loFiRouting);
            default: return pickChannelFunction<qrvx::FilterType::lowpass> (distortionRouting, loFiRouting);
        }
    }

    /** Writes the smoother's next numSamples values; a settled smoother just repeats its target. */
    void renderRamp (RampSmoother& smoother, float* dest, int numSamples) noexcept
    {
        int i = 0;

        for (; i < numSamples && smoother.remainingSteps > 0; ++i)
            dest[i] = smoother.nextValue();

        if (i < numSamples)
            juce::FloatVectorOperations::fill (dest + i, smoother.targetValue, numSamples - i);
    }

    /** Pushes a per-sample base towards maxValue by depth × source (source 0..1); no source leaves the base. */
    void modulate (float* dest, const float* base, float maxValue, const float* source, float depth, int numSamples) noexcept
    {
        if (source == nullptr)
        {
            juce::FloatVectorOperations::copy (dest, base, numSamples);
            return;
        }

        for (int i = 0; i < numSamples; ++i)
            dest[i] = (maxValue - base[i]) * (depth * source[i]) + base[i];
    }

    /** The same for a base that stands still for the whole block. */
    void modulate (float* dest, float base, float maxValue, const float* source, float depth, int numSamples) noexcept
    {
        if (source == nullptr)
        {
            juce::FloatVectorOperations::fill (dest, base, numSamples);
            return;
        }

        const auto range = maxValue - base;

        for (int i = 0; i < numSamples; ++i)
            dest[i] = range * (depth * source[i]) + base;
    }
}

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

    const auto bufferLength = juce::jmax (0, maximumExpectedSamplesPerBlock) + 64;

    for (auto* workBuffer : { &gainBuffer, &dryWetBuffer, &cutoffBuffer, &driveBuffer, &lfoBuffers[0], &lfoBuffers[1],
                              &lfoMixBuffer, &modulatedCutoffBuffer, &modulatedResonanceBuffer, &modulatedRateBuffer,
                              &modulatedBitsBuffer, &modulatedDryWetBuffer })
        workBuffer->setSize (1, bufferLength, false, false, false);

    for (auto* smoother : { &cutoffSmoother, &driveSmoother, &gainSmoother, &dryWetSmoother })
        smoother->reset (sampleRate, rampLengthSeconds);
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

    const auto settings = readBlockSettings();

    // A host that breaks its announced block size gets the block in pieces that fit the work
    // buffers; every state carries over between pieces, so the result is the same.
    const auto capacity = gainBuffer.getNumSamples();

    if (capacity <= 0)
        return;

    for (int start = 0; start < numSamples; start += capacity)
    {
        const auto length = juce::jmin (capacity, numSamples - start);

        renderControlSignals (length, settings);
        processChannels (buffer, start, length, numProcessed, settings);
    }
}

void VevareroAudioProcessor::updateTempo() noexcept
{
    // Without a play head the last known tempo stays.
    auto* playHead = getPlayHead();

    if (playHead == nullptr)
        return;

    auto tempo = 1.0f;

    if (const auto position = playHead->getPosition())
        if (const auto reported = position->getBpm())
            tempo = (float) *reported;

    // jmax also turns a NaN into 1; an infinite tempo would make every synced rate infinite.
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
    settings.filterType = choice (filterTypeValue, filterTypeRange);
    settings.distortionRouting = choice (distortionRoutingValue, distortionRoutingRange);

    driveSmoother.setTarget (1.0f + (driveValue->load() * 0.01f) * 14.0f);

    settings.rateBase = (float) choice (rateValue, rateRange);
    settings.bitsBase = (float) choice (bitsValue, bitsRange);
    settings.loFiRouting = choice (loFiRoutingValue, loFiRoutingRange);

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

    renderRamp (cutoffSmoother, cutoff, numSamples);
    renderRamp (driveSmoother, driveBuffer.getWritePointer (0), numSamples);
    renderRamp (gainSmoother, gainBuffer.getWritePointer (0), numSamples);
    renderRamp (dryWetSmoother, dryWet, numSamples);

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

    auto route = [this] (int target) -> const ModulationInput& { return modulationInputs[(size_t) target]; };
    auto depth = [this] (int target) { return modulationAssignments[(size_t) target].depth; };

    const auto& cutoffInput = route (ModulationTarget::cutoff);
    modulate (modulatedCutoffBuffer.getWritePointer (0), cutoff, cutoffInput.maxValue,
              cutoffInput.source, depth (ModulationTarget::cutoff), numSamples);

    // The high-rate scale weighs the resonance depth as well as its base.
    const auto& resonanceInput = route (ModulationTarget::resonance);
    modulate (modulatedResonanceBuffer.getWritePointer (0), settings.resonanceBase, resonanceInput.maxValue,
              resonanceInput.source, depth (ModulationTarget::resonance) * resonanceScale, numSamples);

    const auto& rateInput = route (ModulationTarget::rate);
    modulate (modulatedRateBuffer.getWritePointer (0), settings.rateBase, rateInput.maxValue,
              rateInput.source, depth (ModulationTarget::rate), numSamples);

    const auto& bitsInput = route (ModulationTarget::bits);
    modulate (modulatedBitsBuffer.getWritePointer (0), settings.bitsBase, bitsInput.maxValue,
              bitsInput.source, depth (ModulationTarget::bits), numSamples);

    const auto& dryWetInput = route (ModulationTarget::dryWet);
    modulate (modulatedDryWetBuffer.getWritePointer (0), dryWet, dryWetInput.maxValue,
              dryWetInput.source, depth (ModulationTarget::dryWet), numSamples);
}

void VevareroAudioProcessor::processChannels (juce::AudioBuffer<float>& buffer, int startSample, int numSamples,
                                              int numChannels, const BlockSettings& settings) noexcept
{
    // Where 18 kHz reaches half the sample rate the prewarp would pass π/2 and the filter would
    // blow up, so the cutoff stays below Nyquist; from 36.7 kHz up this limit never bites.
    const ChannelSignals signals { driveBuffer.getReadPointer (0),
                                   modulatedCutoffBuffer.getReadPointer (0),
                                   modulatedResonanceBuffer.getReadPointer (0),
                                   modulatedRateBuffer.getReadPointer (0),
                                   modulatedBitsBuffer.getReadPointer (0),
                                   gainBuffer.getReadPointer (0),
                                   modulatedDryWetBuffer.getReadPointer (0),
                                   (float) inverseSampleRate,
                                   (float) (0.49 / inverseSampleRate) };

    const auto process = pickChannelFunction (settings.filterType, settings.distortionRouting, settings.loFiRouting);

    for (int channel = 0; channel < numChannels; ++channel)
    {
        const auto index = (size_t) channel;
        process (buffer.getWritePointer (channel, startSample), numSamples, signals,
                 filters[index], reducers[index], dcFilters[index]);
    }
}

double VevareroAudioProcessor::getTailLengthSeconds() const  { return 0.0; }
bool VevareroAudioProcessor::acceptsMidi() const               { return true; }
bool VevareroAudioProcessor::producesMidi() const              { return false; }

juce::AudioProcessorEditor* VevareroAudioProcessor::createEditor()
{
    return new juce::GenericAudioProcessorEditor (*this);
}

bool VevareroAudioProcessor::hasEditor() const                 { return true; }

int VevareroAudioProcessor::getNumPrograms()                   { return 1; }
int VevareroAudioProcessor::getCurrentProgram()                { return 0; }
void VevareroAudioProcessor::setCurrentProgram (int)           {}
const juce::String VevareroAudioProcessor::getProgramName (int) { return {}; }
void VevareroAudioProcessor::changeProgramName (int, const juce::String&) {}

void VevareroAudioProcessor::getStateInformation (juce::MemoryBlock& destData)
{
    qrvx::PluginStateSaver saver (valueTreeState, destData);

    // The name travels in the blob only; the parameter tree never holds it.
    if (auto* xml = saver.getXml())
    {
        // A tree loaded from a saved host state may still carry a name element of its own; a
        // restore takes the first one it finds, so only the current name may travel.
        for (auto* child = xml->getFirstChildElement(); child != nullptr;)
        {
            auto* next = child->getNextElement();

            if (child->getTagName().equalsIgnoreCase (presetNameTag))
                xml->removeChildElement (child, true);

            child = next;
        }

        xml->createNewChildElement (presetNameTag)->setAttribute (presetNameTag, presetName);
    }
}

void VevareroAudioProcessor::setStateInformation (const void* data, int sizeInBytes)
{
    auto xml = qrvx::PluginStateLoader::readBlob (data, sizeInBytes);

    if (xml == nullptr)
        return;

    auto newName = presetName;

    for (auto* child : xml->getChildIterator())
    {
        // Older or hand-edited states may spell the tag differently; the attribute must match.
        if (child->getTagName().equalsIgnoreCase (presetNameTag))
        {
            newName = child->getStringAttribute (presetNameTag);
            xml->removeChildElement (child, true);
            break;
        }
    }

    presetName = newName;

    qrvx::PluginStateLoader loader (valueTreeState, std::move (xml));
}

//==============================================================================
void VevareroAudioProcessor::loadStartUpPreset()
{
    const qrvx::PresetsManager presets;
    const juce::File folder (qrvx::PresetsManager::presetsFolderPath);

    struct Candidate { juce::File file; juce::String name; };
    const Candidate candidates[] = {
        { presets.getDefaultPresetFile(), qrvx::PresetsManager::defaultPresetName },
        { folder.getChildFile ("Zodad_Ide").withFileExtension (qrvx::PresetsManager::presetFileExtension), "Zodad_Ide" }
    };

    // A candidate that exists but cannot be read must not leave its name on default values;
    // the next one gets its chance.
    for (const auto& candidate : candidates)
    {
        if (candidate.file.existsAsFile()
            && qrvx::PresetsManager::loadPreset (candidate.file, valueTreeState).wasOk())
        {
            presetFilePath = candidate.file.getFullPathName();
            presetName = candidate.name;
            return;
        }
    }
}

//==============================================================================
juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    return new VevareroAudioProcessor();
}
