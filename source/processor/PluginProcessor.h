#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include "ParametersUIDs.h"
#include "Modulation.h"
#include "dsp/Crossfade.h"
#include "dsp/DCFilter.h"
#include "dsp/LFO.h"
#include "dsp/RampSmoother.h"
#include "dsp/SamplerateReducer.h"
#include "dsp/StateVariableFilter.h"
#include "presets/CurrentPreset.h"

#include <array>
#include <atomic>
#include <vector>

/** The plug-in's processor: the parameter tree, the signal chain, the host state and the current
    preset. One exists per plug-in instance.
*/
class VevareroAudioProcessor final : public juce::AudioProcessor
{
public:
    VevareroAudioProcessor();
    ~VevareroAudioProcessor() override;

    //==============================================================================
    const juce::String getName() const override;

    void prepareToPlay (double sampleRate, int maximumExpectedSamplesPerBlock) override;
    void releaseResources() override;
    bool isBusesLayoutSupported (const BusesLayout& layouts) const override;
    void processBlock (juce::AudioBuffer<float>&, juce::MidiBuffer&) override;
    using juce::AudioProcessor::processBlock;

    double getTailLengthSeconds() const override;
    bool acceptsMidi() const override;
    bool producesMidi() const override;

    juce::AudioProcessorEditor* createEditor() override;
    bool hasEditor() const override;

    int getNumPrograms() override;
    int getCurrentProgram() override;
    void setCurrentProgram (int index) override;
    const juce::String getProgramName (int index) override;
    void changeProgramName (int index, const juce::String& newName) override;

    void getStateInformation (juce::MemoryBlock& destData) override;
    void setStateInformation (const void* data, int sizeInBytes) override;

    //==============================================================================
    /** Font scale of the editor's looks; they hold a reference to it. Never changes. */
    const float fontScale = 1.0f;

    /** Tag and attribute name of the preset-name element in the host state. */
    const juce::String presetNameTag { "Preset_Name" };

private:
    friend struct ProcessorInspector; // read-only access for the tests

    double inverseSampleRate = 1.0 / 44100.0;
    float bpm = 120.0f;
    float msPerWholeNote = 2000.0f;

public:
    const ParametersUIDs parametersUIDs;

private:
    using Range = juce::NormalisableRange<float>;

    const Range cutoffRange            { 80.0f, 18000.0f, 1.0f, 0.5f };
    const Range resonanceRange         { 0.0f, 100.0f, 0.1f, 0.8f };
    const Range filterTypeRange        { 0.0f, 3.0f, 1.0f, 1.0f };
    const Range driveRange             { 0.0f, 100.0f, 0.1f, 0.5f };
    const Range distortionRoutingRange { 0.0f, 1.0f, 1.0f, 1.0f };
    const Range rateRange              { 0.0f, 64.0f, 1.0f, 0.7f };
    const Range bitsRange              { 1.0f, 16.0f, 1.0f, 1.0f };
    const Range loFiRoutingRange       { 0.0f, 2.0f, 1.0f, 1.0f };
    const Range amplitudeRange         { -60.0f, 6.0f, 0.001f, 1.5f };
    const Range dryWetMixRange         { 0.0f, 100.0f, 0.1f, 1.0f };
    const Range lfoRateRange           { 0.01f, 60.0f, 0.01f, 0.5f };
    const Range lfoSyncedRateRange     { 0.0f, 17.0f, 1.0f, 1.0f };
    const Range lfoSyncRange           { 0.0f, 1.0f, 1.0f, 1.0f };
    const Range lfoWaveRange           { 0.0f, 6.0f, 1.0f, 1.0f };
    const Range lfosMixRange           { 0.0f, 100.0f, 0.1f, 1.0f };
    const Range modSourceRange         { 0.0f, 3.0f, 1.0f, 1.0f };
    const Range modDepthRange          { 0.0f, 1.0f, 0.001f, 1.0f };

    // Current real values of the parameters, read once per block by the signal chain.
    using ValuePointer = std::atomic<float>*;

    ValuePointer cutoffValue = nullptr;
    ValuePointer resonanceValue = nullptr;
    ValuePointer filterTypeValue = nullptr;
    ValuePointer driveValue = nullptr;
    ValuePointer distortionRoutingValue = nullptr;
    ValuePointer rateValue = nullptr;
    ValuePointer bitsValue = nullptr;
    ValuePointer loFiRoutingValue = nullptr;
    ValuePointer amplitudeValue = nullptr;
    ValuePointer dryWetMixValue = nullptr;
    ValuePointer lfosMixValue = nullptr;
    std::array<ValuePointer, 2> lfoRateValues {};
    std::array<ValuePointer, 2> lfoSyncedRateValues {};
    std::array<ValuePointer, 2> lfoSyncValues {};
    std::array<ValuePointer, 2> lfoWaveValues {};

    struct ModulationValues
    {
        ValuePointer source = nullptr;
        ValuePointer depth = nullptr;
    };

    std::array<ModulationValues, ModulationTarget::numTargets> modulationValues {};

    juce::UndoManager undoManager { 30000, 30 };

public:
    // No undo manager: nothing here undoes, and one handed to the tree would record every value
    // the tree takes from host automation, in one transaction that is never closed or trimmed.
    juce::AudioProcessorValueTreeState valueTreeState { *this, nullptr };

private:
    std::vector<qrvx::StateVariableFilter<float>> filters;
    std::vector<qrvx::SamplerateReducer<float>> reducers;
    std::vector<qrvx::LFO<float>> lfos;
    std::vector<qrvx::DCFilter<float>> dcFilters;

    juce::AudioBuffer<float> gainBuffer;
    juce::AudioBuffer<float> dryWetBuffer;
    juce::AudioBuffer<float> cutoffBuffer;
    juce::AudioBuffer<float> driveBuffer;
    std::vector<juce::AudioBuffer<float>> lfoBuffers;
    juce::AudioBuffer<float> lfoMixBuffer;
    juce::AudioBuffer<float> modulatedCutoffBuffer;
    juce::AudioBuffer<float> modulatedResonanceBuffer;
    juce::AudioBuffer<float> modulatedRateBuffer;
    juce::AudioBuffer<float> modulatedBitsBuffer;
    juce::AudioBuffer<float> modulatedDryWetBuffer;

    // Per-sample stage inputs that follow from the control signals alone, computed once for all
    // channels: the filter coefficients and the dry/wet gains.
    std::vector<qrvx::StateVariableFilter<float>::Coefficients> filterCoefficientBuffer;
    std::vector<qrvx::CrossfadeGains<float>> crossfadeGainBuffer;

    // Per processed channel, the line where the two-channel loop keeps each sample between its
    // passes: the driven input on its way into the filter, or the filter's output on its way
    // into the drive.
    juce::AudioBuffer<float> channelScratchBuffer;

    double rampLengthSeconds = 0.06;
    RampSmoother cutoffSmoother { 11000.0f };
    RampSmoother driveSmoother { 1.0f };
    RampSmoother gainSmoother { 1.0f };
    RampSmoother dryWetSmoother { 1.0f };

    /** Set by prepareToPlay and cleared by the first block with samples, which starts the
        smoothers on its targets instead of ramping to them. Audio side only.
    */
    bool smoothersStartOnTargets = false;

    /** In the order cutoff, drive, gain, dry/wet. */
    std::array<RampSmoother*, 4> smoothers() noexcept
    {
        return { &cutoffSmoother, &driveSmoother, &gainSmoother, &dryWetSmoother };
    }

    std::vector<ModulationInput> modulationInputs;
    std::vector<ModulationAssignment> modulationAssignments;

public:
    /** The current preset's name and file, shared by the footer and the host's state calls. */
    qrvx::CurrentPreset currentPreset;

private:
    float resonanceScale = 1.0f;

    /** Samples of headroom the work buffers keep over the announced maximum block. */
    static constexpr int workBufferSlack = 64;

    /** What one block takes from the parameters besides the smoother targets and LFO rates. */
    struct BlockSettings
    {
        float resonanceBase = 0.0f;
        qrvx::FilterType filterType = qrvx::FilterType::lowpass;
        qrvx::DriveRouting distortionRouting = qrvx::DriveRouting::preFilter;
        float rateBase = 0.0f;
        float bitsBase = 16.0f;
        qrvx::LoFiRouting loFiRouting = qrvx::LoFiRouting::chain;
        std::array<int, 2> lfoWaves {};
        float lfoMix = 0.5f;
    };

    void updateTempo() noexcept;
    BlockSettings readBlockSettings() noexcept;
    void renderControlSignals (int numSamples, const BlockSettings&) noexcept;
    void renderSharedStageInputs (int numSamples) noexcept;
    void processChannels (juce::AudioBuffer<float>&, int startSample, int numSamples,
                          int numChannels, const BlockSettings&) noexcept;

    void initializeParameters();

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (VevareroAudioProcessor)
};
