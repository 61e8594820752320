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
namespace
{
    using Filter = qrvx::StateVariableFilter<float>;
    using Reducer = qrvx::SamplerateReducer<float>;
    using DCBlocker = qrvx::DCFilter<float>;

    /** The per-sample signals the channels of one chunk read; all channels read the same ones. */
    struct ChannelSignals
    {
        const float* drive;
        const Filter::Coefficients* filterCoefficients;
        const float* rate;
        const float* bits;
        const float* gain;
        const qrvx::CrossfadeGains<float>* crossfadeGains;
    };

    /** The stages of one channel, in the order of the chain, around the filter recursion. */
    template <qrvx::DriveRouting routing, qrvx::LoFiRouting loFiRouting>
    struct ChannelStages
    {
        static constexpr auto driveFirst = routing == qrvx::DriveRouting::preFilter;

        /** Drive before the filter, or the input unchanged. */
        static forcedinline float beforeFilter (float x, const ChannelSignals& signals, int i) noexcept
        {
            if constexpr (driveFirst)
                return Filter::drive (x, signals.drive[i]);
            else
                return x;
        }

        /** Drive after the filter, lo-fi stage, gain, DC blocker and crossfade with the dry input. */
        static forcedinline float afterFilter (float y, float dry, const ChannelSignals& signals, int i,
                                               Reducer& reducer, DCBlocker& dcBlocker) noexcept
        {
            if constexpr (! driveFirst)
                y = Filter::drive (y, signals.drive[i]);

            const auto loFi = qrvx::processLoFi<loFiRouting> (y, reducer, (int) signals.rate[i], (int) signals.bits[i]);
            const auto wet = dcBlocker.process (loFi * signals.gain[i]);

            return qrvx::crossfade (dry, wet, signals.crossfadeGains[i]);
        }
    };

    /** The channel records as the sample loops work on them: copies, which the compiler keeps in
        registers. The records themselves could alias the sample lines as far as it knows, which
        would send the integrators through memory at every sample.
    */
    struct ChannelState
    {
        ChannelState (Filter& filterToUse, Reducer& reducerToUse, DCBlocker& dcBlockerToUse) noexcept
            : filter (filterToUse), reducer (reducerToUse), dcBlocker (dcBlockerToUse),
              filterRecord (filterToUse), reducerRecord (reducerToUse), dcBlockerRecord (dcBlockerToUse)
        {
        }

        /** Writes the copies back to the records. */
        ~ChannelState()
        {
            filterRecord = filter;
            reducerRecord = reducer;
            dcBlockerRecord = dcBlocker;
        }

        Filter filter;
        Reducer reducer;
        DCBlocker dcBlocker;

    private:
        Filter& filterRecord;
        Reducer& reducerRecord;
        DCBlocker& dcBlockerRecord;
    };

    /** A lone channel over one chunk, in place: all stages per sample, so the work around the
        filter fills the waits of its recursion, where each sample waits on the tanh of the one
        before.
    */
    template <qrvx::FilterType type, qrvx::DriveRouting routing, qrvx::LoFiRouting loFiRouting>
    void runOneChannel (float* samples, int numSamples, const ChannelSignals& signals, ChannelState& state) noexcept
    {
        using Stages = ChannelStages<routing, loFiRouting>;

        for (int i = 0; i < numSamples; ++i)
        {
            const auto dry = samples[i];

            state.filter.setCoefficients (signals.filterCoefficients[i]);
            const auto y = state.filter.template filter<type> (Stages::beforeFilter (dry, signals, i));

            samples[i] = Stages::afterFilter (y, dry, signals, i, state.reducer, state.dcBlocker);
        }
    }

    /** Two channels over one chunk, in place, with two scratch lines.

        The two filter recursions run side by side in one loop, each filling the other's tanh
        waits. The drive's sines run in a loop of their own: mispredicted branches inside the
        library's sine and tanh throw away whatever work the CPU had started past them, and the
        two recursions do best with nothing costly in between. Every value comes from exactly
        the arithmetic of one sample-by-sample pass per channel; only the order of work that
        does not depend on each other changes.
    */
    template <qrvx::FilterType type, qrvx::DriveRouting routing, qrvx::LoFiRouting loFiRouting>
    void runTwoChannels (float* const* channels, float* const* scratch, int numSamples, const ChannelSignals& signals,
                         ChannelState& first, ChannelState& second) noexcept
    {
        using Stages = ChannelStages<routing, loFiRouting>;

        auto* firstSamples = channels[0];
        auto* secondSamples = channels[1];
        auto* firstLine = scratch[0];
        auto* secondLine = scratch[1];
        const auto* coefficients = signals.filterCoefficients;

        if constexpr (Stages::driveFirst)
        {
            for (int i = 0; i < numSamples; ++i)
            {
                firstLine[i] = Stages::beforeFilter (firstSamples[i], signals, i);
                secondLine[i] = Stages::beforeFilter (secondSamples[i], signals, i);
            }

            for (int i = 0; i < numSamples; ++i)
            {
                first.filter.setCoefficients (coefficients[i]);
                second.filter.setCoefficients (coefficients[i]);
                const auto firstY = first.filter.template filter<type> (firstLine[i]);
                const auto secondY = second.filter.template filter<type> (secondLine[i]);

                firstSamples[i] = Stages::afterFilter (firstY, firstSamples[i], signals, i, first.reducer, first.dcBlocker);
                secondSamples[i] = Stages::afterFilter (secondY, secondSamples[i], signals, i, second.reducer, second.dcBlocker);
            }
        }
        else
        {
            for (int i = 0; i < numSamples; ++i)
            {
                first.filter.setCoefficients (coefficients[i]);
                second.filter.setCoefficients (coefficients[i]);
                firstLine[i] = first.filter.template filter<type> (firstSamples[i]);
                secondLine[i] = second.filter.template filter<type> (secondSamples[i]);
            }

            for (int i = 0; i < numSamples; ++i)
            {
                firstSamples[i] = Stages::afterFilter (firstLine[i], firstSamples[i], signals, i, first.reducer, first.dcBlocker);
                secondSamples[i] = Stages::afterFilter (secondLine[i], secondSamples[i], signals, i, second.reducer, second.dcBlocker);
            }
        }
    }

    /** The audio stages of the first numChannels channels (at most 2) over one chunk. */
    template <qrvx::FilterType type, qrvx::DriveRouting routing, qrvx::LoFiRouting loFiRouting>
    void runChannelStages (float* const* channels, float* const* scratch, int numChannels, int numSamples,
                           const ChannelSignals& signals, Filter* filters, Reducer* reducers, DCBlocker* dcBlockers) noexcept
    {
        if (numChannels == 2)
        {
            ChannelState first (filters[0], reducers[0], dcBlockers[0]);
            ChannelState second (filters[1], reducers[1], dcBlockers[1]);
            runTwoChannels<type, routing, loFiRouting> (channels, scratch, numSamples, signals, first, second);
        }
        else if (numChannels == 1)
        {
            ChannelState state (filters[0], reducers[0], dcBlockers[0]);
            runOneChannel<type, routing, loFiRouting> (channels[0], numSamples, signals, state);
        }
    }

    using ChannelFunction = void (*) (float* const*, float* const*, int, int, const ChannelSignals&,
                                      Filter*, Reducer*, DCBlocker*);

    // The block's filter type and routings pick one specialised loop, so the sample loop never
    // branches on them.
    template <qrvx::FilterType type, qrvx::DriveRouting routing>
    ChannelFunction pickChannelFunction (int loFiRouting) noexcept
    {
        switch (loFiRouting)
        {
            case 1:  return runChannelStages<type, routing, qrvx::LoFiRouting::mix>;
            case 2:  return runChannelStages<type, routing, qrvx::LoFiRouting::ring>;
            default: return runChannelStages<type, routing, qrvx::LoFiRouting::chain>;
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
        // A local copy keeps the running ramp in registers; dest might alias the smoother.
        auto ramp = smoother;
        int i = 0;

        for (; i < numSamples && ramp.remainingSteps > 0; ++i)
            dest[i] = ramp.nextValue();

        if (i < numSamples)
            juce::FloatVectorOperations::fill (dest + i, ramp.targetValue, numSamples - i);

        smoother = ramp;
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

    filterCoefficientBuffer.resize ((size_t) bufferLength);
    crossfadeGainBuffer.resize ((size_t) bufferLength);
    filteredBuffer.setSize ((int) filters.size(), bufferLength, false, false, false);

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

    // Before the first prepareToPlay there are no work buffers to render into.
    const auto capacity = gainBuffer.getNumSamples();

    if (capacity <= 0)
        return;

    const auto settings = readBlockSettings();

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

    // Where 18 kHz reaches half the sample rate the prewarp would pass π/2 and the filter would
    // blow up, so the cutoff stays below Nyquist; from 36.7 kHz up this limit never bites.
    const auto samplePeriod = (float) inverseSampleRate;
    const auto cutoffLimit = (float) (0.49 / inverseSampleRate);

    for (int i = 0; i < numSamples; ++i)
        coefficients[i] = Filter::makeCoefficients (juce::jmin (cutoff[i], cutoffLimit), resonance[i], samplePeriod);

    for (int i = 0; i < numSamples; ++i)
        gains[i] = qrvx::crossfadeGains (dryWet[i]);
}

void VevareroAudioProcessor::processChannels (juce::AudioBuffer<float>& buffer, int startSample, int numSamples,
                                              int numChannels, const BlockSettings& settings) noexcept
{
    const ChannelSignals signals { driveBuffer.getReadPointer (0),
                                   filterCoefficientBuffer.data(),
                                   modulatedRateBuffer.getReadPointer (0),
                                   modulatedBitsBuffer.getReadPointer (0),
                                   gainBuffer.getReadPointer (0),
                                   crossfadeGainBuffer.data() };

    const auto process = pickChannelFunction (settings.filterType, settings.distortionRouting, settings.loFiRouting);

    // Only the first two channels have records of their own; processBlock never asks for more.
    jassert (numChannels <= 2 && numChannels <= filteredBuffer.getNumChannels());
    float* channels[2] = {};

    for (int channel = 0; channel < numChannels; ++channel)
        channels[channel] = buffer.getWritePointer (channel, startSample);

    process (channels, filteredBuffer.getArrayOfWritePointers(), numChannels, numSamples, signals,
             filters.data(), reducers.data(), dcFilters.data());
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

    // The next host state carries this name beside the tree: both must fit when written back.
    juce::XmlElement nameElement (presetNameTag);
    nameElement.setAttribute (presetNameTag, newName);

    if (! qrvx::fitsWhenWrittenBack (*xml, valueTreeState, &nameElement))
        return;

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
