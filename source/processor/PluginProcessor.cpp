#include "PluginProcessor.h"
#include "ParameterTexts.h"
#include "ProcessorParameter.h"
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

void VevareroAudioProcessor::prepareToPlay (double, int)
{
}

void VevareroAudioProcessor::releaseResources()
{
}

void VevareroAudioProcessor::processBlock (juce::AudioBuffer<float>&, juce::MidiBuffer&)
{
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
