#include "HostChecks.h"
#include "DesktopInput.h"
#include "WindowPixels.h"
#include "look/QrvxColours.h"
#include "presets/StateBlobLayout.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <future>
#include <iostream>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
    constexpr auto sampleRate = HostChecks::sampleRate;
    constexpr auto blockSize = HostChecks::blockSize;
    constexpr float defaultTolerance = 1.0e-5f;

    const auto blocksPerSecond = (int) std::ceil (sampleRate / blockSize);
    // Smoothed parameters ramp over 60 ms; a quarter of a second leaves ample room.
    const auto settleBlocks = blocksPerSecond / 4;

    juce::String quoted (const juce::String& s)    { return s.quoted(); }

    //==============================================================================
    /** What came out of a run of blocks of sine waves through an instance. */
    struct SignalStats
    {
        bool allFinite = true;
        double inputRms = 0.0;
        double outputRms = 0.0;
        double outputPeak = 0.0;
        double largestDifferenceFromInput = 0.0;
    };

    /** Feeds one sine per channel (0.5 amplitude unless given, a different pitch on each channel)
        through the instance in host-sized blocks. The first blocks let smoothed parameters settle
        and are not measured. Every block's output is kept in output, when given.
    */
    SignalStats processSines (juce::AudioPluginInstance& instance, int numBlocks, int blocksToSettle,
                              double& phase, double amplitude = 0.5, juce::AudioBuffer<float>* output = nullptr)
    {
        const auto numChannels = juce::jmax (instance.getTotalNumInputChannels(),
                                             instance.getTotalNumOutputChannels());
        juce::AudioBuffer<float> buffer (numChannels, blockSize), input (numChannels, blockSize);
        juce::MidiBuffer midi;

        SignalStats stats;
        double inputPower = 0.0, outputPower = 0.0;
        int64_t measured = 0;

        if (output != nullptr)
            output->setSize (instance.getTotalNumOutputChannels(), numBlocks * blockSize);

        for (int block = 0; block < numBlocks; ++block)
        {
            for (int c = 0; c < numChannels; ++c)
                for (int i = 0; i < blockSize; ++i)
                    input.setSample (c, i, (float) (amplitude * std::sin (juce::MathConstants<double>::twoPi
                                                                          * (440.0 + 220.0 * c)
                                                                          * (phase + i) / sampleRate)));

            phase += blockSize;
            buffer.makeCopyOf (input, true);
            midi.clear();
            instance.processBlock (buffer, midi);

            if (output != nullptr)
                for (int c = 0; c < output->getNumChannels(); ++c)
                    output->copyFrom (c, block * blockSize, buffer, c, 0, blockSize);

            for (int c = 0; c < instance.getTotalNumOutputChannels(); ++c)
            {
                for (int i = 0; i < blockSize; ++i)
                {
                    const auto out = (double) buffer.getSample (c, i);
                    const auto in = c < instance.getTotalNumInputChannels() ? (double) input.getSample (c, i) : 0.0;

                    if (! std::isfinite (out))
                    {
                        stats.allFinite = false;
                        continue;
                    }

                    if (block < blocksToSettle)
                        continue;

                    inputPower += in * in;
                    outputPower += out * out;
                    stats.outputPeak = juce::jmax (stats.outputPeak, std::abs (out));
                    stats.largestDifferenceFromInput = juce::jmax (stats.largestDifferenceFromInput, std::abs (out - in));
                    ++measured;
                }
            }
        }

        if (measured > 0)
        {
            stats.inputRms = std::sqrt (inputPower / (double) measured);
            stats.outputRms = std::sqrt (outputPower / (double) measured);
        }

        return stats;
    }

    juce::String describe (const SignalStats& s)
    {
        return "rms " + juce::String (s.outputRms, 4) + " (input " + juce::String (s.inputRms, 4)
             + "), peak " + juce::String (s.outputPeak, 4);
    }

    /** The real values written before the state is saved: every kind of parameter, all away from
        their defaults and on their ranges' grids, so that a restore that drops any of them shows.
    */
    const struct { const char* id; float realValue; } stateWrites[] = {
        { "Cutoff", 2500.0f },
        { "Resonance", 75.0f },
        { "Filter_Type", 2.0f },
        { "Drive", 30.0f },
        { "Distortion_Routing", 1.0f },
        { "Rate", 8.0f },
        { "Bits", 6.0f },
        { "LoFi_Routing", 2.0f },
        { "Amplitude", -12.0f },
        { "Dry_Wet_Mix", 70.0f },
        { "LFO_1_Rate", 4.5f },
        { "LFO_1_Synced_Rate", 9.0f },
        { "LFO_1_Sync", 1.0f },
        { "LFO_2_Wave", 6.0f },
        { "LFOs_Mix", 25.0f },
        { "Cutoff_Mod_Source", 3.0f },
        { "Cutoff_Mod_Depth", 0.4f },
        { "Dry_Wet_Mix_Mod_Source", 2.0f },
        { "Dry_Wet_Mix_Mod_Depth", 0.25f },
    };

    float realValueWrittenBeforeSave (const ExpectedParameter& e)
    {
        for (const auto& w : stateWrites)
            if (juce::String (w.id) == e.id)
                return w.realValue;

        return e.defaultValue;
    }

    juce::uint32 readLittleEndian32 (const juce::MemoryBlock& block, size_t offset)
    {
        return juce::ByteOrder::littleEndianInt (static_cast<const char*> (block.getData()) + offset);
    }

    /** The preset name in the plug-in's own blob (its XML's last child), or empty when the blob
        cannot be read; openPluginStateBlob says what is wrong with one.
    */
    juce::String presetNameIn (const juce::MemoryBlock& pluginState)
    {
        constexpr auto headerSize = (size_t) qrvx::stateBlobHeaderSize;

        if (pluginState.getSize() <= headerSize + qrvx::stateBlobTrailerSize)
            return {};

        const auto length = (size_t) readLittleEndian32 (pluginState, qrvx::stateBlobLengthOffset);

        if (headerSize + length >= pluginState.getSize())
            return {};

        const auto xml = juce::parseXML (juce::String::fromUTF8 (static_cast<const char*> (pluginState.getData()) + headerSize, (int) length));
        const auto* last = xml != nullptr ? xml->getChildElement (xml->getNumChildElements() - 1) : nullptr;
        return last != nullptr ? last->getStringAttribute ("Preset_Name") : juce::String();
    }
}

//==============================================================================
HostChecks::HostChecks (FormatUnderCheck f)
    : format (std::move (f))
{
}

juce::File HostChecks::presetsFolderUnderHome()
{
    return juce::File::getSpecialLocation (juce::File::userHomeDirectory).getChildFile ("Library/Audio/Presets/Ririvud/Vevarero");
}

bool HostChecks::waitUntil (const std::function<bool()>& condition, const std::function<void()>& passTime, double seconds)
{
    const auto deadline = juce::Time::getMillisecondCounterHiRes() + seconds * 1000.0;

    while (! condition())
    {
        if (juce::Time::getMillisecondCounterHiRes() > deadline)
            return false;

        passTime();
    }

    return true;
}

juce::XmlElement HostChecks::presetWith (const juce::String& parameterId, float realValue)
{
    juce::XmlElement xml ("Vevarero");

    for (const auto& e : vevareroParameters)
    {
        auto* param = xml.createNewChildElement ("PARAM");
        param->setAttribute ("id", e.id);
        param->setAttribute ("value", parameterId == e.id ? realValue : e.defaultValue);
    }

    return xml;
}

int HostChecks::run()
{
    checkParameters();
    checkMidiTailAndPrograms();
    checkBusLayouts();
    checkProcessing();
    checkFreshStart();
    checkAudioThreadHeapCalls();
    checkStateRoundTrip();
    checkEditor();
    checkEditorPixels();
    checkUnreadableStartUpPreset();
    checkFooterPresetArrows();
    checkTwoEditors();
    return failures;
}

void HostChecks::fail (const juce::String& what)
{
    ++failures;
    std::cout << "FAIL " << format.name << ": " << what << std::endl;
}

void HostChecks::pass (const juce::String& summary)
{
    std::cout << "ok   " << format.name << ": " << summary << std::endl;
}

bool HostChecks::expect (bool condition, const juce::String& what)
{
    if (! condition)
        fail (what);

    return condition;
}

std::unique_ptr<juce::AudioPluginInstance> HostChecks::createInstance()
{
    juce::String error;
    auto instance = format.createInstance (error);

    if (instance == nullptr)
        fail ("cannot load the plug-in: " + error);

    return instance;
}

float HostChecks::hostNormalised (const ExpectedParameter& e, float realValue) const
{
    return format.normalisesWithSkew ? e.toNormalised (realValue) : e.toProportion (realValue);
}

void HostChecks::setReal (const juce::Array<juce::AudioProcessorParameter*>& parameters, juce::StringRef id, float realValue) const
{
    const auto index = vevareroParameterIndex (id);
    parameters[index]->setValue (hostNormalised (vevareroParameters[(size_t) index], realValue));
}

std::unique_ptr<juce::AudioPluginInstance> HostChecks::createInstance (juce::Array<juce::AudioProcessorParameter*>& parameters)
{
    auto instance = createInstance();

    if (instance != nullptr)
        parameters = findParameters (*instance);

    return parameters.isEmpty() ? nullptr : std::move (instance);
}

juce::Array<juce::AudioProcessorParameter*> HostChecks::findParameters (juce::AudioPluginInstance& instance)
{
    juce::Array<juce::AudioProcessorParameter*> found;

    for (const auto& e : vevareroParameters)
    {
        const auto id = format.hostedIdFor (e);
        juce::AudioProcessorParameter* match = nullptr;

        for (auto* p : instance.getParameters())
            if (auto* hosted = dynamic_cast<juce::HostedAudioProcessorParameter*> (p))
                if (hosted->getParameterID() == id)
                    match = p;

        if (match == nullptr)
        {
            fail ("parameter " + quoted (e.id) + " is missing (no hosted parameter with ID " + quoted (id) + ")");
            return {};
        }

        found.add (match);
    }

    return found;
}

//==============================================================================
void HostChecks::checkParameters()
{
    juce::Array<juce::AudioProcessorParameter*> parameters;
    auto instance = createInstance (parameters);

    if (instance == nullptr)
        return;

    const auto failuresBefore = failures;

    const auto& hosted = instance->getParameters();
    auto* bypass = instance->getBypassParameter();
    juce::String extras;

    // Anything a host lists besides the 29 may only be the bypass that the format client adds.
    for (auto* p : hosted)
    {
        if (parameters.contains (p))
            continue;

        expect (p == bypass, "unexpected parameter " + quoted (p->getName (128)) + " at index "
                             + juce::String (p->getParameterIndex()) + " (only a bypass may be added)");
        extras << (extras.isEmpty() ? "" : ", ") << quoted (p->getName (128))
               << " at " << p->getParameterIndex();
    }

    if (format.listsParametersInOrder)
    {
        for (int i = 0; i < parameters.size(); ++i)
            expect (parameters[i]->getParameterIndex() == i,
                    "parameter " + quoted (vevareroParameters[(size_t) i].id) + " is at index "
                    + juce::String (parameters[i]->getParameterIndex()) + ", expected " + juce::String (i));
    }

    for (size_t i = 0; i < vevareroParameters.size(); ++i)
    {
        const auto& e = vevareroParameters[i];
        auto* p = parameters[(int) i];
        const auto prefix = "parameter " + juce::String ((int) i) + " " + quoted (e.id) + ": ";

        expect (p->getName (1024) == e.name,
                prefix + "name " + quoted (p->getName (1024)) + ", expected " + quoted (e.name));

        if (format.carriesLabelsAndTexts)
            expect (p->getLabel() == e.label,
                    prefix + "label " + quoted (p->getLabel()) + ", expected " + quoted (e.label));

        const auto expectedDefault = hostNormalised (e, e.defaultValue);

        expect (std::abs (p->getDefaultValue() - expectedDefault) <= defaultTolerance,
                prefix + "normalised default " + juce::String (p->getDefaultValue(), 6)
                + ", expected " + juce::String (expectedDefault, 6));
        expect (std::abs (p->getValue() - expectedDefault) <= defaultTolerance,
                prefix + "normalised value of a new instance " + juce::String (p->getValue(), 6)
                + ", expected " + juce::String (expectedDefault, 6));
    }

    if (format.carriesLabelsAndTexts)
        checkValueTexts (parameters);

    if (failures == failuresBefore)
        pass (juce::String (parameters.size()) + " parameters"
              + (format.listsParametersInOrder ? " in order" : " (an unordered set in this format), all present")
              + " with names" + (format.carriesLabelsAndTexts ? ", labels, value texts" : "")
              + " and " + (format.normalisesWithSkew ? "skewed" : "proportional") + " normalised defaults"
              + "; besides them: " + (extras.isEmpty() ? juce::String ("nothing") : extras)
              + (format.carriesLabelsAndTexts ? "" : "; no labels or value texts reach the host in this format"));
}

void HostChecks::checkValueTexts (const juce::Array<juce::AudioProcessorParameter*>& parameters)
{
    // Normalised values whose text a host would show; atDefault asks for the parameter's default.
    constexpr float atDefault = -1.0f;

    const struct { const char* id; float normalised; const char* text; } cases[] = {
        { "Cutoff", atDefault, "11000 Hz" },
        { "Cutoff", 0.5f, "4560 Hz" },
        { "Cutoff", 1.0f, "18000 Hz" },
        { "Resonance", atDefault, "0.00 %" },
        { "Resonance", 1.0f, "100.00 %" },
        { "Filter_Type", 1.0f / 3.0f, "HIGHPASS" },
        { "Filter_Type", 1.0f, "NOTCH" },
        { "Drive", 0.5f, "25.00 %" },
        { "Distortion_Routing", 1.0f, "POST FILTER" },
        { "Rate", 0.0f, "x 0" },
        { "Rate", 0.5f, "x 24" },
        { "Bits", atDefault, "16" },
        { "LoFi_Routing", 1.0f, "RING" },
        { "Amplitude", atDefault, "+0.00 dB" },
        { "Amplitude", 0.0f, "-60.00 dB" },
        { "Dry_Wet_Mix", atDefault, "100.00 %" },
        { "LFO_1_Rate", atDefault, "1.000 Hz" },
        { "LFO_2_Rate", 1.0f, "60.000 Hz" },
        { "LFO_1_Synced_Rate", atDefault, "1 BAR" },
        { "LFO_1_Synced_Rate", 0.0f, "8 BARS" },
        { "LFO_2_Synced_Rate", 1.0f, "1/128" },
        { "LFO_1_Sync", 1.0f, "ON" },
        { "LFO_2_Sync", atDefault, "OFF" },
        { "LFO_1_Wave", atDefault, "SINE" },
        { "LFO_2_Wave", 5.0f / 6.0f, "RND" },
        { "LFO_1_Wave", 1.0f, "S RND" },
        { "LFOs_Mix", atDefault, "50.00 %" },
        { "Cutoff_Mod_Source", 1.0f / 3.0f, "LFO 1" },
        { "Dry_Wet_Mix_Mod_Source", 1.0f, "LFO MIX" },
        { "Resonance_Mod_Depth", 0.5f, "0.50" },
        { "Bits_Mod_Depth", atDefault, "0.00" },
    };

    for (const auto& c : cases)
    {
        auto* p = parameters[vevareroParameterIndex (c.id)];
        const auto normalised = c.normalised == atDefault ? p->getDefaultValue() : c.normalised;
        const auto text = p->getText (normalised, 1024);

        expect (text == c.text, "parameter " + quoted (c.id) + " at normalised " + juce::String (normalised, 6)
                                + ": text " + quoted (text) + ", expected " + quoted (c.text));
    }
}

//==============================================================================
void HostChecks::checkMidiTailAndPrograms()
{
    auto instance = createInstance();

    if (instance == nullptr)
        return;

    const auto failuresBefore = failures;

    // The tail is reported in samples by some formats, so it is only meaningful once prepared.
    instance->prepareToPlay (sampleRate, blockSize);

    expect (instance->getName() == "Vevarero", "the plug-in is named " + quoted (instance->getName()) + ", expected \"Vevarero\"");
    expect (instance->acceptsMidi(), "the host sees no MIDI input, expected one");
    expect (! instance->producesMidi(), "the host sees a MIDI output, expected none");

    if (format.carriesTail)
        expect (instance->getTailLengthSeconds() == 0.0,
                "tail " + juce::String (instance->getTailLengthSeconds()) + " s, expected 0");

    expect (instance->getNumPrograms() == format.expectedNumPrograms,
            juce::String (instance->getNumPrograms()) + " programs, expected " + juce::String (format.expectedNumPrograms));

    for (int i = 0; i < instance->getNumPrograms(); ++i)
        expect (instance->getProgramName (i).isEmpty(),
                "program " + juce::String (i) + " is named " + quoted (instance->getProgramName (i)) + ", expected no name");

    instance->releaseResources();

    if (failures == failuresBefore)
        pass ("named \"Vevarero\"; accepts MIDI and produces none; "
              + (format.carriesTail ? juce::String ("tail 0 s; ") : juce::String ("no tail is carried by this format's hosting; "))
              + juce::String (instance->getNumPrograms()) + " program(s)"
              + (instance->getNumPrograms() > 0 ? juce::String (", unnamed") : juce::String()));
}

//==============================================================================
void HostChecks::checkBusLayouts()
{
    auto instance = createInstance();

    if (instance == nullptr)
        return;

    const auto failuresBefore = failures;

    expect (instance->getTotalNumInputChannels() == 2 && instance->getTotalNumOutputChannels() == 2,
            "a new instance has " + juce::String (instance->getTotalNumInputChannels()) + " in and "
            + juce::String (instance->getTotalNumOutputChannels()) + " out, expected stereo in and out");

    using Set = juce::AudioChannelSet;
    const struct { Set in, out; bool accepted; } layouts[] = {
        { Set::stereo(), Set::stereo(), true },
        { Set::mono(), Set::mono(), true },
        { Set::mono(), Set::stereo(), false },
        { Set::stereo(), Set::mono(), false },
        { Set::create5point1(), Set::create5point1(), false },
    };

    juce::StringArray accepted, refused;

    for (const auto& l : layouts)
    {
        const auto name = l.in.getDescription() + " -> " + l.out.getDescription();

        if (l.in == Set::mono() && l.out == Set::mono() && ! format.offersMonoLayout)
            continue;

        juce::AudioProcessor::BusesLayout layout;
        layout.inputBuses.add (l.in);
        layout.outputBuses.add (l.out);

        const auto supported = instance->checkBusesLayoutSupported (layout);
        expect (supported == l.accepted,
                "layout " + name + " is " + (supported ? "accepted" : "refused")
                + ", expected " + (l.accepted ? "accepted" : "refused"));
        (supported ? accepted : refused).add (name);
    }

    juce::String monoResult = "mono not offered by this format's bundle (fixed stereo ports)";

    if (format.offersMonoLayout)
    {
        juce::AudioProcessor::BusesLayout mono;
        mono.inputBuses.add (Set::mono());
        mono.outputBuses.add (Set::mono());

        if (expect (instance->setBusesLayout (mono), "switching to mono in and out failed")
            && expect (instance->getTotalNumInputChannels() == 1 && instance->getTotalNumOutputChannels() == 1,
                       "after switching to mono the host sees " + juce::String (instance->getTotalNumInputChannels())
                       + " in and " + juce::String (instance->getTotalNumOutputChannels()) + " out"))
        {
            instance->prepareToPlay (sampleRate, blockSize);
            double phase = 0.0;
            const auto stats = processSines (*instance, 20, 0, phase);
            instance->releaseResources();

            expect (stats.allFinite, "mono processing produced a sample that is not finite");
            expect (stats.outputRms > 0.01, "mono processing at the defaults is silent: " + describe (stats));
            monoResult = "a mono block processed: " + describe (stats);
        }
    }

    if (failures == failuresBefore)
        pass ("accepts " + accepted.joinIntoString (", ") + "; refuses " + refused.joinIntoString (", ")
              + "; " + monoResult);
}

//==============================================================================
void HostChecks::checkProcessing()
{
    juce::Array<juce::AudioProcessorParameter*> parameters;
    auto instance = createInstance (parameters);

    if (instance == nullptr)
        return;

    const auto failuresBefore = failures;

    instance->prepareToPlay (sampleRate, blockSize);
    double phase = 0.0;

    // The defaults drive and filter the input at full wet: audible, bounded, never NaN or infinite.
    const auto defaults = processSines (*instance, blocksPerSecond, 0, phase);
    expect (defaults.allFinite, "processing at the defaults produced a sample that is not finite");
    expect (defaults.outputRms > 0.01, "the output at the defaults is silent: " + describe (defaults));
    expect (defaults.outputPeak <= 2.0, "the output at the defaults exceeds 2: " + describe (defaults));

    // All dry: the untouched input comes out, whatever the chain does to the wet part.
    setReal (parameters, "Dry_Wet_Mix", 0.0f);
    const auto dry = processSines (*instance, 2 * settleBlocks, settleBlocks, phase);
    expect (dry.allFinite, "processing all dry produced a sample that is not finite");
    expect (dry.largestDifferenceFromInput <= 1.0e-3,
            "at Dry / Wet 0 % the output differs from the input by up to "
            + juce::String (dry.largestDifferenceFromInput, 6) + ", expected the input passed through");

    // All wet at the lowest output gain: the host's parameter writes reach the signal chain.
    setReal (parameters, "Dry_Wet_Mix", 100.0f);
    setReal (parameters, "Amplitude", -60.0f);
    const auto quiet = processSines (*instance, 2 * settleBlocks, settleBlocks, phase);
    expect (quiet.allFinite, "processing at -60 dB produced a sample that is not finite");
    expect (quiet.outputRms <= 0.05 * quiet.inputRms,
            "at Amp -60 dB and Dry / Wet 100 % the output is not attenuated: " + describe (quiet));

    // A host that stops its transport goes on feeding silence: whatever rings on must die away
    // within seconds. At the lowest cutoff the filter's band integrator saturates on the tone; with
    // a coarse quantiser after the filter, the residue the filter keeps must come out as silence.
    auto tailAfterTheInputStops = [&] (const juce::String& setting)
    {
        processSines (*instance, blocksPerSecond / 2, 0, phase);
        const auto tail = processSines (*instance, 4 * blocksPerSecond, 3 * blocksPerSecond, phase, 0.0);
        const auto peak = juce::Decibels::toString (juce::Decibels::gainToDecibels (tail.outputPeak), 1) + "FS";
        expect (tail.allFinite && tail.outputPeak < 1.0e-5,
                "at " + setting + " the output 3 to 4 s after the input stopped peaks at " + peak + ", expected below -100 dBFS");
        return setting + ", 3 s after the input stopped: peak " + peak;
    };

    setReal (parameters, "Amplitude", 0.0f);
    setReal (parameters, "Cutoff", 80.0f);
    const auto lowCutoffTail = tailAfterTheInputStops ("Cutoff 80 Hz");

    setReal (parameters, "Cutoff", 11000.0f);
    setReal (parameters, "Bits", 8.0f);
    const auto quantisedTail = tailAfterTheInputStops ("Bits 8");

    instance->releaseResources();

    if (failures == failuresBefore)
        pass ("processed 48 kHz stereo sines in 512-sample blocks: defaults " + describe (defaults)
              + "; all dry passes the input (largest difference " + juce::String (dry.largestDifferenceFromInput, 7)
              + "); -60 dB all wet " + describe (quiet) + "; " + lowCutoffTail + "; " + quantisedTail);
}

//==============================================================================
void HostChecks::checkFreshStart()
{
    const auto failuresBefore = failures;
    constexpr int comparedBlocks = 8; // the first 85 ms: the last block lies past the 60 ms of a ramp

    const struct { const char* what; std::vector<std::pair<const char*, float>> settings; } cases[] = {
        { "Amp -60 dB",              { { "Amplitude", -60.0f } } },
        { "Drive 100 %, Amp -20 dB", { { "Drive", 100.0f }, { "Amplitude", -20.0f } } },
        { "Dry / Wet 0 %, Bits 2",   { { "Dry_Wet_Mix", 0.0f }, { "Bits", 2.0f } } },
    };

    // The level of each host block of the output, all channels together, in dBFS.
    auto blockLevels = [] (const juce::AudioBuffer<float>& output)
    {
        std::vector<float> levels;

        for (int start = 0; start + blockSize <= output.getNumSamples(); start += blockSize)
        {
            double power = 0.0;

            for (int c = 0; c < output.getNumChannels(); ++c)
                power += juce::square ((double) output.getRMSLevel (c, start, blockSize));

            levels.push_back (juce::Decibels::gainToDecibels ((float) std::sqrt (power / output.getNumChannels()), -200.0f));
        }

        return levels;
    };

    auto levelsText = [] (const std::vector<float>& levels)
    {
        juce::StringArray texts;

        for (auto level : levels)
            texts.add (juce::String (level, 1));

        return texts.joinIntoString (" ") + " dBFS";
    };

    juce::StringArray summaries;

    for (const auto& c : cases)
    {
        // The settings reach each instance before it is prepared, as when a host restores a
        // session; the settled one has played them once and is prepared again.
        juce::Array<juce::AudioProcessorParameter*> freshParameters, settledParameters;
        auto fresh = createInstance (freshParameters);
        auto settled = createInstance (settledParameters);

        if (fresh == nullptr || settled == nullptr)
            return;

        for (const auto& [id, value] : c.settings)
        {
            setReal (freshParameters, id, value);
            setReal (settledParameters, id, value);
        }

        double settlingPhase = 0.0, freshPhase = 0.0, settledPhase = 0.0;
        settled->prepareToPlay (sampleRate, blockSize);
        processSines (*settled, settleBlocks, 0, settlingPhase);
        settled->releaseResources(); // JUCE's VST3 hosting skips a prepare at unchanged settings
        settled->prepareToPlay (sampleRate, blockSize);
        fresh->prepareToPlay (sampleRate, blockSize);

        juce::AudioBuffer<float> freshOutput, settledOutput;
        processSines (*fresh, comparedBlocks, 0, freshPhase, 0.5, &freshOutput);
        processSines (*settled, comparedBlocks, 0, settledPhase, 0.5, &settledOutput);
        fresh->releaseResources();
        settled->releaseResources();

        // Every block at the level the instance keeps past the ramp's length. JUCE's LV2 hosting
        // makes a new plug-in instance at every prepare, so there the settled one starts afresh too.
        const auto freshLevels = blockLevels (freshOutput);
        const auto settledLevel = freshLevels.back();
        const auto furthest = *std::max_element (freshLevels.begin(), freshLevels.end(), [&] (float a, float b)
                                                 { return std::abs (a - settledLevel) < std::abs (b - settledLevel); });

        expect (std::abs (furthest - settledLevel) <= 1.0f,
                "a new instance given " + juce::String (c.what) + " before it is prepared plays " + levelsText (freshLevels)
                + " in its first blocks of 10.7 ms, expected each within 1 dB of the last");

        int firstDifference = -1;

        for (int ch = 0; ch < freshOutput.getNumChannels() && firstDifference < 0; ++ch)
            for (int i = 0; i < freshOutput.getNumSamples() && firstDifference < 0; ++i)
                if (freshOutput.getSample (ch, i) != settledOutput.getSample (ch, i))
                    firstDifference = i;

        expect (firstDifference < 0,
                "a new instance given " + juce::String (c.what) + " before it is prepared plays " + levelsText (freshLevels)
                + " in its first blocks, one prepared again after settling " + levelsText (blockLevels (settledOutput))
                + ": they differ first at sample " + juce::String (firstDifference));

        summaries.add (juce::String (c.what) + " " + juce::String (freshLevels.front(), 1) + " dBFS (past the ramp's length "
                       + juce::String (settledLevel, 1) + ")");
    }

    if (failures == failuresBefore)
        pass ("new instances play their settings from the first block, sample for sample as ones settled on them, "
              "in the first 10.7 ms: " + summaries.joinIntoString ("; "));
}

//==============================================================================
void HostChecks::checkStateRoundTrip()
{
    juce::Array<juce::AudioProcessorParameter*> savingParameters;
    auto saving = createInstance (savingParameters);

    if (saving == nullptr)
        return;

    const auto failuresBefore = failures;
    double phase = 0.0;

    for (const auto& w : stateWrites)
        setReal (savingParameters, w.id, w.realValue);

    // A block lets formats that deliver parameter changes with the audio (LV2) hand them over.
    saving->prepareToPlay (sampleRate, blockSize);
    processSines (*saving, 2, 0, phase);

    for (size_t i = 0; i < vevareroParameters.size(); ++i)
    {
        const auto& e = vevareroParameters[i];
        const auto expected = hostNormalised (e, realValueWrittenBeforeSave (e));
        const auto actual = savingParameters[(int) i]->getValue();

        expect (std::abs (actual - expected) <= 1.0e-4f,
                "parameter " + quoted (e.id) + " reads " + juce::String (actual, 6) + " after the host wrote "
                + juce::String (expected, 6));
    }

    juce::MemoryBlock hostState;
    saving->getStateInformation (hostState);
    saving->releaseResources();

    if (! expect (hostState.getSize() > 0, "the host saved an empty state"))
        return;

    juce::MemoryBlock pluginState;
    const auto blob = openPluginStateBlob (hostState, savingParameters, "the saved state", pluginState);

    juce::Array<juce::AudioProcessorParameter*> restoredParameters;
    const auto restored = restoreIntoNewInstance (hostState, restoredParameters);

    if (restored == nullptr)
        return;

    expectSameValues (savingParameters, restoredParameters, "after save and restore into a new instance");

    const auto written = std::count_if (vevareroParameters.begin(), vevareroParameters.end(),
                                        [] (const auto& e) { return realValueWrittenBeforeSave (e) != e.defaultValue; });

    if (failures == failuresBefore)
        pass ("state of " + juce::String ((int) hostState.getSize()) + " bytes restored into a new instance: all "
              + juce::String (restoredParameters.size()) + " values match (" + juce::String ((int) written)
              + " of them away from their defaults)"
              + (blob != nullptr ? "; the plug-in's own blob in it holds the Vevarero XML with every PARAM and the preset name"
                                 : ""));

    if (blob != nullptr)
        checkPresetNameRoundTrip (hostState, pluginState, *blob, savingParameters);
}

void HostChecks::checkPresetNameRoundTrip (const juce::MemoryBlock& hostState, const juce::MemoryBlock& pluginState,
                                           const juce::XmlElement& savedXml,
                                           const juce::Array<juce::AudioProcessorParameter*>& saved)
{
    if (format.replacePluginState == nullptr)
        return;

    const auto failuresBefore = failures;

    // Bass & <Drums> "Ü-Größe" ñ Ωμέγα Жук: the markup characters an attribute must escape, and letters
    // from Latin-1, Greek and Cyrillic, which the plug-in's XML carries as character references.
    const auto name = juce::String (juce::CharPointer_UTF8 ("Bass & <Drums> \"\xc3\x9c-Gr\xc3\xb6\xc3\x9f" "e\" \xc3\xb1 "
                                                            "\xce\xa9\xce\xbc\xce\xad\xce\xb3\xce\xb1 \xd0\x96\xd1\x83\xd0\xba"));

    // The saved XML with the name swapped in, written the way the plug-in writes its blob. Whatever
    // the format client appended after the blob (VST3: its private data) stays behind it.
    juce::XmlElement xml (savedXml);
    xml.getChildElement (xml.getNumChildElements() - 1)->setAttribute ("Preset_Name", name);
    const auto text = xml.toString (juce::XmlElement::TextFormat().singleLine().withoutHeader());
    const auto blobEnd = (size_t) (qrvx::stateBlobHeaderSize + qrvx::stateBlobTrailerSize)
                       + (size_t) readLittleEndian32 (pluginState, qrvx::stateBlobLengthOffset);

    juce::MemoryOutputStream namedPluginState;
    namedPluginState.writeInt ((int) qrvx::stateBlobMagic);
    namedPluginState.writeInt ((int) text.getNumBytesAsUTF8());
    namedPluginState.write (text.toRawUTF8(), text.getNumBytesAsUTF8());
    namedPluginState.writeByte (0);
    namedPluginState.write (static_cast<const char*> (pluginState.getData()) + blobEnd, pluginState.getSize() - blobEnd);

    juce::MemoryBlock namedHostState;

    if (! expect (format.replacePluginState (hostState, namedPluginState.getMemoryBlock(), namedHostState),
                  "cannot put a plug-in state with another preset name into the host's state"))
        return;

    juce::Array<juce::AudioProcessorParameter*> restoredParameters;
    auto restored = restoreIntoNewInstance (namedHostState, restoredParameters);

    if (restored == nullptr)
        return;

    expectSameValues (saved, restoredParameters, "after restoring a state with the preset name " + quoted (name));

    juce::MemoryBlock resavedHostState, resavedPluginState;
    restored->getStateInformation (resavedHostState);
    const auto resaved = openPluginStateBlob (resavedHostState, saved, "the state saved after restoring a preset name",
                                              resavedPluginState);

    if (resaved == nullptr)
        return;

    const auto actual = resaved->getChildElement (resaved->getNumChildElements() - 1)->getStringAttribute ("Preset_Name");

    expect (actual == name, "the preset name came back as " + quoted (actual) + ", expected " + quoted (name)
                            + " (put into the host's state, restored into a new instance and saved again)");

    if (failures == failuresBefore)
        pass ("the preset name " + quoted (name) + " went into the plug-in's blob (" + juce::String ((int) text.getNumBytesAsUTF8())
              + " bytes of XML), through this format's state into a new instance and back out unchanged, with all "
              + juce::String (restoredParameters.size()) + " values");
}

std::unique_ptr<juce::AudioPluginInstance> HostChecks::restoreIntoNewInstance (const juce::MemoryBlock& hostState,
                                                                               juce::Array<juce::AudioProcessorParameter*>& parameters)
{
    auto instance = createInstance (parameters);

    if (instance == nullptr)
        return {};

    double phase = 0.0;
    instance->prepareToPlay (sampleRate, blockSize);
    instance->setStateInformation (hostState.getData(), (int) hostState.getSize());
    processSines (*instance, 2, 0, phase);
    instance->releaseResources();
    return instance;
}

void HostChecks::expectSameValues (const juce::Array<juce::AudioProcessorParameter*>& saved,
                                   const juce::Array<juce::AudioProcessorParameter*>& restored,
                                   const juce::String& when)
{
    for (size_t i = 0; i < vevareroParameters.size(); ++i)
    {
        const auto savedValue = saved[(int) i]->getValue();
        const auto restoredValue = restored[(int) i]->getValue();

        expect (std::abs (restoredValue - savedValue) <= defaultTolerance,
                when + " parameter " + quoted (vevareroParameters[i].id) + " reads "
                + juce::String (restoredValue, 6) + ", expected the saved " + juce::String (savedValue, 6));
    }
}

std::unique_ptr<juce::XmlElement> HostChecks::openPluginStateBlob (const juce::MemoryBlock& hostState,
                                                                   const juce::Array<juce::AudioProcessorParameter*>& saved,
                                                                   const juce::String& whichState,
                                                                   juce::MemoryBlock& pluginState)
{
    if (format.extractPluginState == nullptr)
        return {};

    const auto failuresBefore = failures;

    if (! expect (format.extractPluginState (hostState, pluginState),
                  whichState + " holds no component state from the plug-in"))
        return {};

    // The plug-in's own blob: magic, length L, L bytes of XML, a zero byte; the format client may
    // append its own data after it.
    const auto prefix = "the plug-in's blob in " + whichState + " (" + juce::String ((int) pluginState.getSize()) + " bytes): ";

    constexpr auto headerSize = (size_t) qrvx::stateBlobHeaderSize;

    if (! expect (pluginState.getSize() > headerSize + qrvx::stateBlobTrailerSize && readLittleEndian32 (pluginState, 0) == qrvx::stateBlobMagic,
                  prefix + "does not start with JUCE's binary XML magic 0x" + juce::String::toHexString ((int) qrvx::stateBlobMagic)))
        return {};

    const auto length = (size_t) readLittleEndian32 (pluginState, qrvx::stateBlobLengthOffset);

    if (! expect (length > 0 && headerSize + length < pluginState.getSize() && pluginState[headerSize + length] == 0,
                  prefix + "length field " + juce::String ((int) length) + " does not match a zero-terminated text"))
        return {};

    const auto text = juce::String::fromUTF8 (static_cast<const char*> (pluginState.getData()) + headerSize, (int) length);
    expect (! text.containsAnyOf ("\r\n"), prefix + "the XML text spans more than one line");
    expect (! text.startsWith ("<?xml"), prefix + "the XML text starts with a declaration");

    auto xml = juce::parseXML (text);

    if (! expect (xml != nullptr, prefix + "the text is not well-formed XML")
        || ! expect (xml->hasTagName ("Vevarero"), prefix + "root element " + quoted (xml->getTagName()) + ", expected \"Vevarero\"")
        || ! expect (xml->getNumChildElements() == (int) vevareroParameters.size() + 1,
                     prefix + juce::String (xml->getNumChildElements()) + " child elements, expected "
                     + juce::String ((int) vevareroParameters.size()) + " PARAM elements and the preset name"))
        return {};

    for (size_t i = 0; i < vevareroParameters.size(); ++i)
    {
        const auto& e = vevareroParameters[i];
        const auto* child = xml->getChildElement ((int) i);

        if (! expect (child->hasTagName ("PARAM") && child->getStringAttribute ("id") == e.id,
                      prefix + "child " + juce::String ((int) i) + " is " + quoted (child->getTagName()) + " with id "
                      + quoted (child->getStringAttribute ("id")) + ", expected PARAM " + quoted (e.id)))
            continue;

        // The XML holds real values; compare them in the host's normalisation, which is what was written.
        const auto stored = (float) child->getDoubleAttribute ("value");
        const auto hostValue = saved[(int) i]->getValue();
        expect (std::abs (hostNormalised (e, stored) - hostValue) <= 1.0e-4f,
                prefix + "PARAM " + quoted (e.id) + " holds " + juce::String (stored) + ", which is normalised "
                + juce::String (hostNormalised (e, stored), 6) + " but the host reads " + juce::String (hostValue, 6));
    }

    const auto* presetName = xml->getChildElement ((int) vevareroParameters.size());
    expect (presetName->hasTagName ("Preset_Name") && presetName->hasAttribute ("Preset_Name"),
            prefix + "the last child is " + quoted (presetName->getTagName())
            + ", expected a \"Preset_Name\" element with a \"Preset_Name\" attribute");

    if (failures != failuresBefore)
        return {};

    return xml;
}

//==============================================================================
void HostChecks::checkEditor()
{
    constexpr int openings = 5;
    // Long enough for the view to be embedded and for the editor's 50 ms timer to run a few times.
    constexpr int millisecondsOpen = 200;

    juce::Array<juce::AudioProcessorParameter*> parameters;
    auto instance = createInstance (parameters);

    if (instance == nullptr)
        return;

    if (! expect (instance->hasEditor(), "the plug-in says it has no editor"))
        return;

    const auto failuresBefore = failures;
    juce::Array<float> valuesBefore;

    for (auto* p : parameters)
        valuesBefore.add (p->getValue());

    for (int opening = 1; opening <= openings; ++opening)
    {
        const auto when = "opening " + juce::String (opening) + ": ";
        std::unique_ptr<juce::AudioProcessorEditor> editor (instance->createEditorIfNeeded());

        if (! expect (editor != nullptr, when + "the host got no editor"))
            return;

        // As a host does: the view goes into a window of its own on the desktop.
        editor->setVisible (true);
        editor->addToDesktop (0);
        juce::MessageManager::getInstance()->runDispatchLoopUntil (millisecondsOpen);

        expect (editor->getPeer() != nullptr, when + "the editor has no window");
        expect (editor->getWidth() == editorWidth && editor->getHeight() == editorHeight,
                when + "the editor is " + juce::String (editor->getWidth()) + " x " + juce::String (editor->getHeight())
                + ", expected " + juce::String (editorWidth) + " x " + juce::String (editorHeight));

        editor.reset();
        juce::MessageManager::getInstance()->runDispatchLoopUntil (20);

        expect (instance->getActiveEditor() == nullptr, when + "the instance still holds an editor after it was closed");
    }

    for (int i = 0; i < parameters.size(); ++i)
        expect (parameters[i]->getValue() == valuesBefore[i],
                "parameter " + quoted (vevareroParameters[(size_t) i].id) + " changed from "
                + juce::String (valuesBefore[i], 6) + " to " + juce::String (parameters[i]->getValue(), 6)
                + " while the editor was opened and closed");

    if (failures == failuresBefore)
        pass ("editor opened in a window and closed " + juce::String (openings) + " times, "
              + juce::String (editorWidth) + " x " + juce::String (editorHeight) + " each time; no parameter moved");
}

HostChecks::OpenedEditor HostChecks::openEditorShowing (juce::AudioPluginInstance& instance,
                                                         const std::function<bool (const juce::Image&)>& shows,
                                                         const std::function<void()>& passTime, double secondsPerOpening,
                                                         juce::Point<int> topLeft)
{
    constexpr int maxOpenings = 8;
    OpenedEditor opened;
    const auto started = juce::Time::getMillisecondCounterHiRes();

    // JUCE's LV2 hosting embeds the plug-in's view through XEmbed and sizes its holder window from
    // the view's first size report, which now and then arrives before it listens for it; the holder
    // then stays one pixel wide and the window shows only the host's black. A fresh editor embeds
    // anew. What the plug-in itself gets wrong comes out the same in every opening.
    while (opened.openings < maxOpenings)
    {
        ++opened.openings;
        opened.editor.reset (instance.createEditorIfNeeded());

        if (! expect (opened.editor != nullptr, "the host got no editor to open in a window"))
            break;

        showOnScreenAt (*opened.editor, topLeft);

        if (! expect (opened.editor->getWidth() == editorWidth && opened.editor->getHeight() == editorHeight,
                      "the editor is " + juce::String (opened.editor->getWidth()) + " x " + juce::String (opened.editor->getHeight())
                      + ", expected " + juce::String (editorWidth) + " x " + juce::String (editorHeight)
                      + ": the points read and clicked are placed for that size"))
            break;

        // Painting goes through the plug-in's own message loop and the X server; a loaded machine
        // can take a while, so the window is read again until it shows what it should.
        const auto deadline = juce::Time::getMillisecondCounterHiRes() + secondsPerOpening * 1000.0;

        while (juce::Time::getMillisecondCounterHiRes() < deadline)
        {
            passTime();

            if (auto* peer = opened.editor->getPeer())
                opened.window = grabWindowPixels (*peer, editorWidth, editorHeight);

            if (opened.window.isValid() && shows (opened.window))
            {
                opened.milliseconds = juce::Time::getMillisecondCounterHiRes() - started;
                return opened;
            }
        }

        opened.editor.reset();
        juce::MessageManager::getInstance()->runDispatchLoopUntil (20);
    }

    opened.editor.reset();
    opened.milliseconds = juce::Time::getMillisecondCounterHiRes() - started;
    return opened;
}

void HostChecks::checkEditorPixels()
{
    constexpr int tolerance = 4;

    auto instance = createInstance();

    if (instance == nullptr)
        return;

    const auto failuresBefore = failures;
    namespace palette = qrvx::QrvxColours;

    // ModuleBackground.cpp's own colours: frame, inside, and the title strip laid over the inside;
    // WaveformSelector.cpp's for the glyphs of the waveforms not chosen.
    const juce::Colour frame { 0xff303030 }, inside { 0xff191919 }, idleGlyph { 0xff474747 };
    const auto titleStrip = inside.overlaidWith (juce::Colour (0x26bdbdbdu));
    const auto waveformRow = inside.overlaidWith (palette::yellow().withAlpha ((juce::uint8) 0x20));

    // Where PluginEditor.cpp's resized() puts things at 640 x 400: the Filter panel at (1, 1, 318, 218),
    // LFO 1's at (1, 221, 211, 106), LFO MIX's from x 214 and LFO 2's at (427, 221, 212, 106). A panel
    // has a 4-pixel frame, a 20-pixel title strip and a 2-pixel rule in the module's colour
    // (ModuleBackground.cpp). Each LFO's waveform row is the lower half of its content, 10 pixels
    // in: (11, 297, 191, 20) and (437, 297, 192, 20), with the glyphs in the middle half of its
    // height at fractions of its width and a yellow line along its bottom (WaveformSelector.cpp);
    // the second glyph, the square wave, starts 31 pixels in with its upper edge on the area's top.
    // The footer stands at (2, 332, 636, 66), its preset plate at (223, 13, 191, 20) in it with
    // corners of radius 10 (Footer.cpp).
    const struct { const char* what; int x, y; juce::Colour expected; } points[] = {
        { "LFO 1 waveform row between the first two glyphs", 38, 307, waveformRow },
        { "LFO 1 waveform row above the glyphs", 106, 299, waveformRow },
        { "LFO 2 waveform row between the first two glyphs", 464, 307, waveformRow },
        { "LFO 2 waveform row above the glyphs", 533, 299, waveformRow },
        { "LFO 1 square wave glyph's upper edge", 46, 302, idleGlyph },
        { "LFO 2 square wave glyph's upper edge", 472, 302, idleGlyph },
        { "LFO 1 waveform row's bottom line", 106, 316, palette::yellow() },
        { "LFO 1 title rule", 106, 245, palette::yellow() },
        { "LFO 1 panel below its waveform row", 106, 320, inside },
        { "LFO 1 panel frame", 2, 300, frame },
        { "gap between the LFO 1 and LFO MIX panels", 213, 300, juce::Colours::black },
        { "Filter title rule", 160, 25, palette::teal() },
        { "Filter title strip right of its name", 160, 15, titleStrip },
        { "preset plate left of the name", 240, 355, palette::blue() },
    };

    const auto rgb = [] (juce::Colour c)
    {
        return juce::String (c.getRed()) + "," + juce::String (c.getGreen()) + "," + juce::String (c.getBlue());
    };

    const auto allMatch = [&] (const juce::Image& image)
    {
        return std::all_of (std::begin (points), std::end (points),
                            [&] (const auto& p) { return coloursMatch (image.getPixelAt (p.x, p.y), p.expected, tolerance); });
    };

    auto opened = openEditorShowing (*instance, allMatch,
                                     [] { juce::MessageManager::getInstance()->runDispatchLoopUntil (100); }, 2.0);
    opened.editor.reset();
    juce::MessageManager::getInstance()->runDispatchLoopUntil (20);

    if (failures != failuresBefore)
        return;

    const auto& window = opened.window;
    const auto after = juce::String (opened.openings) + " opening(s) and " + juce::String (juce::roundToInt (opened.milliseconds)) + " ms";

    if (! expect (window.isValid(), "could not read the editor's window back from the X server"))
        return;

    for (const auto& p : points)
    {
        const auto actual = window.getPixelAt (p.x, p.y);
        expect (coloursMatch (actual, p.expected, tolerance),
                "editor pixel (" + juce::String (p.x) + ", " + juce::String (p.y) + "), " + p.what + ": reads "
                + rgb (actual) + ", expected " + rgb (p.expected) + " within " + juce::String (tolerance) + " (after " + after + ")");
    }

    // The table starts with a waveform row and ends with the plate.
    const auto& row = points[0];
    const auto& plate = points[std::size (points) - 1];

    if (failures == failuresBefore)
        pass (juce::String ((int) std::size (points)) + " pixels of the editor's window, read back from the X server after "
              + after + ", show the layout's colours: the waveform rows "
              + rgb (window.getPixelAt (row.x, row.y)) + " (yellow at alpha 0x20 over the panel's " + rgb (inside)
              + "), the idle glyphs, the title rules, panel and frame, and the preset plate " + rgb (window.getPixelAt (plate.x, plate.y)));
}

//==============================================================================
void HostChecks::checkUnreadableStartUpPreset()
{
    const auto folder = presetsFolderUnderHome();
    const auto userDefault = folder.getChildFile ("User_Default.glp");
    const auto path = userDefault.getFullPathName();
    const auto aside = folder.getChildFile ("User_Default.glp.kept-by-host-check").getFullPathName();
    folder.createDirectory();

    // A preset already there is put back afterwards; anything else there can only be left over
    // from a check that was cut short.
    struct stat existing {};
    if (::lstat (path.toRawUTF8(), &existing) == 0 && ! S_ISREG (existing.st_mode))
        ::unlink (path.toRawUTF8());

    const auto keptAside = std::rename (path.toRawUTF8(), aside.toRawUTF8()) == 0;

    const struct { const char* what; int (*make) (const char* path); } cases[] = {
        { "a FIFO", [] (const char* p) { return ::mkfifo (p, 0600); } },
        { "a link to /dev/zero", [] (const char* p) { return ::symlink ("/dev/zero", p); } },
    };

    constexpr double limitSeconds = 10.0;
    const auto failuresBefore = failures;
    juce::StringArray times;

    for (const auto& c : cases)
    {
        const auto what = juce::String (c.what) + " as User_Default.glp";

        if (! expect (c.make (path.toRawUTF8()) == 0, "could not make " + what))
            continue;

        // Should the instance block on the FIFO after all, a writer that comes and goes releases
        // it, so the check reports rather than hangs.
        std::promise<void> created;
        auto watchdog = std::async (std::launch::async, [&path, limitSeconds, done = created.get_future()]
        {
            if (done.wait_for (std::chrono::duration<double> (limitSeconds)) == std::future_status::ready)
                return;

            while (done.wait_for (std::chrono::milliseconds (100)) != std::future_status::ready)
                if (const auto fd = ::open (path.toRawUTF8(), O_WRONLY | O_NONBLOCK); fd >= 0)
                    ::close (fd);
        });

        const auto started = juce::Time::getMillisecondCounterHiRes();
        juce::Array<juce::AudioProcessorParameter*> parameters;
        auto instance = createInstance (parameters);
        const auto seconds = (juce::Time::getMillisecondCounterHiRes() - started) / 1000.0;
        created.set_value();
        watchdog.get();

        expect (seconds < limitSeconds, "with " + what + ", a new instance took " + juce::String (seconds, 1) + " s");
        times.add (juce::String (juce::roundToInt (seconds * 1000.0)) + " ms with " + what);

        for (size_t i = 0; instance != nullptr && i < vevareroParameters.size(); ++i)
        {
            const auto& e = vevareroParameters[i];
            const auto expected = hostNormalised (e, e.defaultValue);
            const auto actual = parameters[(int) i]->getValue();
            expect (std::abs (actual - expected) <= defaultTolerance,
                    "with " + what + ", parameter " + quoted (e.id) + " reads " + juce::String (actual, 6)
                    + ", expected its default " + juce::String (expected, 6));
        }

        instance.reset();
        ::unlink (path.toRawUTF8());
    }

    if (keptAside)
        expect (std::rename (aside.toRawUTF8(), path.toRawUTF8()) == 0, "could not put User_Default.glp back");

    if (failures == failuresBefore)
        pass ("new instances up at their defaults in " + times.joinIntoString (", "));
}

//==============================================================================
void HostChecks::checkFooterPresetArrows()
{
    // Each wait polls, so a quick machine moves on at once and a loaded one gets its seconds.
    constexpr double secondsPerWait = 8.0;
    constexpr int millisecondsPerPoll = 50;
    const juce::String alertTitle ("Preset Not Loaded"); // Footer.cpp's failure alert

    // Where PluginEditor.cpp's resized() puts the footer at 640 x 400, (2, 332, 636, 66), and
    // Footer.cpp's resized() its buttons in it: the name plate at (223, 13, 191, 20), the previous
    // arrow 25 pixels left of it and the next one 5 pixels right of it, each 20 x 20. Clicks go to
    // the middle of each.
    const juce::Point<int> prevArrow { 2 + 198 + 10, 332 + 13 + 10 }, nextArrow { 2 + 419 + 10, 332 + 13 + 10 };
    const juce::Point<int> plateLeftOfName { 240, 355 };

    const auto folder = presetsFolderUnderHome();
    const auto aside = folder.getSiblingFile ("Vevarero.kept-by-host-check");

    // In the folder's list order (names ignoring case, numbers in natural order); a cutoff of 0
    // marks the file that is not a preset. Each loadable one is told apart by its Cutoff.
    const struct { const char* file; const char* name; float cutoff; } presets[] = {
        { "a 2.GLP", "a 2", 1000.0f },
        { "A 10.glp", "A 10", 2000.0f },
        { "Broken.glp", "Broken", 0.0f },
        { "c.glp", "c", 3000.0f },
        { "User_Default.glp", "User_Default", 4000.0f },
    };

    // A press tries the file after the one the arrows last tried, loaded or not (PresetStepper.cpp):
    // the broken preset is tried once each way, and the press after it goes on past it.
    const struct { bool forwards; const char* tried; const char* shown; } presses[] = {
        { true, "a 2", "a 2" },
        { true, "A 10", "A 10" },
        { true, "Broken", "A 10" },
        { true, "c", "c" },
        { true, "User_Default", "User_Default" },
        { false, "c", "c" },
        { false, "Broken", "c" },
        { false, "A 10", "A 10" },
        { false, "a 2", "a 2" },
        { false, "User_Default", "User_Default" },
    };

    const auto cutoffOf = [&presets] (const juce::String& name)
    {
        for (const auto& p : presets)
            if (name == p.name)
                return p.cutoff;

        return -1.0f;
    };

    // What was in the folder goes aside whole, so that the list holds only these files, and comes
    // back afterwards. One already aside can only be left from a check that was cut short, and is
    // left for a person to look at rather than overwritten.
    if (! expect (! aside.exists(), aside.getFullPathName() + " exists, left by a host check that was cut short: "
                                    + "put it back in place of the presets folder, then run the check again"))
        return;

    const auto folderExisted = folder.exists();

    if (folderExisted && ! expect (folder.moveFileTo (aside), "could not move the presets folder aside"))
        return;

    const auto failuresBefore = failures;
    const auto& cutoff = vevareroParameters[(size_t) vevareroParameterIndex ("Cutoff")];

    if (folder.createDirectory())
    {
        for (const auto& p : presets)
        {
            const auto file = folder.getChildFile (p.file);
            expect (p.cutoff > 0.0f ? presetWith (cutoff.id, p.cutoff).writeTo (file) : file.replaceWithText ("not a preset"),
                    "could not write " + quoted (p.file) + " into the presets folder");
        }
    }
    else
    {
        fail ("could not make a presets folder to fill");
    }

    juce::Array<juce::AudioProcessorParameter*> parameters;
    auto instance = failures == failuresBefore ? createInstance (parameters) : nullptr;
    std::unique_ptr<juce::AudioProcessorEditor> editor;
    double phase = 0.0;
    int pressesDone = 0;
    juce::StringArray walked;

    const auto cutoffReads = [&] { return parameters[vevareroParameterIndex ("Cutoff")]->getValue(); };
    const auto cutoffIs = [&] (float hertz) { return std::abs (cutoffReads() - hostNormalised (cutoff, hertz)) <= 1.0e-4f; };

    // A little of the host's life: its message loop, and a block, with which a format that hands
    // parameter changes over with the audio (LV2) does so.
    const auto runHost = [&]
    {
        juce::MessageManager::getInstance()->runDispatchLoopUntil (millisecondsPerPoll);
        processSines (*instance, 1, 0, phase);
    };

    const auto waitFor = [&] (const std::function<bool()>& condition) { return waitUntil (condition, runHost, secondsPerWait); };

    const auto presetName = [&]
    {
        juce::MemoryBlock hostState, pluginState;
        instance->getStateInformation (hostState);
        const auto name = format.extractPluginState (hostState, pluginState) ? presetNameIn (pluginState) : juce::String();
        return name.isNotEmpty() ? name : juce::String ("(unreadable)");
    };

    const auto hertzRead = [&]
    {
        return juce::String (parameters[vevareroParameterIndex ("Cutoff")]->getText (cutoffReads(), 64))
             + " (normalised " + juce::String (cutoffReads(), 5) + ")";
    };

    const auto alertShown = [&] { return DesktopInput::findShownWindow (alertTitle).has_value(); };

    // AlertWindow centres its one button along its bottom edge, the button's foot at 95 % of the
    // alert's height; JUCE's look makes it 40 pixels high.
    const auto dismissAlert = [&]
    {
        const auto alert = DesktopInput::findShownWindow (alertTitle);

        return alert.has_value()
            && DesktopInput::click ({ alert->getCentreX(), alert->getY() + alert->proportionOfHeight (0.95f) - 20 })
            && waitFor ([&] { return ! alertShown(); });
    };

    if (instance != nullptr)
    {
        instance->prepareToPlay (sampleRate, blockSize);

        // Messages are made only after a wait is over: they read the instance as it then is.
        auto started = ! format.showsStartUpPresetValues || waitFor ([&] { return cutoffIs (cutoffOf ("User_Default")); });

        if (! started)
            fail ("a new instance's Cutoff reads " + hertzRead() + ", expected User_Default.glp's "
                  + juce::String (cutoffOf ("User_Default")) + " Hz");

        if (const auto name = started ? presetName() : juce::String(); started && name != "User_Default")
        {
            fail ("a new instance is on the preset " + quoted (name) + ", expected \"User_Default\"");
            started = false;
        }

        if (started)
        {
            // The footer's plate must be on the screen before it takes clicks (see openEditorShowing).
            auto opened = openEditorShowing (*instance, [&] (const juce::Image& window)
            {
                return coloursMatch (window.getPixelAt (plateLeftOfName.x, plateLeftOfName.y), qrvx::QrvxColours::blue(), 4);
            }, runHost, secondsPerWait);

            editor = std::move (opened.editor);
            expect (editor != nullptr, "the footer's name plate never showed in the editor's window in "
                                       + juce::String (opened.openings) + " openings");
        }
    }

    for (const auto& press : presses)
    {
        if (editor == nullptr || failures != failuresBefore)
            break;

        const auto fails = cutoffOf (press.tried) <= 0.0f;
        const auto what = "press " + juce::String (pressesDone + 1) + " on the " + (press.forwards ? "next" : "previous")
                        + " arrow, which should try " + quoted (press.tried) + ": ";
        const auto arrow = editor->getScreenPosition() + (press.forwards ? nextArrow : prevArrow);

        if (! expect (DesktopInput::click (arrow), what + "cannot send a click to the X server (no XTEST?)"))
            break;

        ++pressesDone;

        if (fails)
        {
            if (! waitFor (alertShown))
            {
                fail (what + "no " + quoted (alertTitle) + " alert appeared; the preset is " + quoted (presetName())
                      + ", Cutoff " + hertzRead());
                break;
            }

            // As a user does: the alert is modal, so the editor takes no click until it is gone.
            if (! expect (dismissAlert(), what + "the alert did not go away when its OK button was clicked"))
                break;
        }
        else
        {
            const auto expected = cutoffOf (press.tried);

            if (! waitFor ([&] { return cutoffIs (expected) || alertShown(); }) || alertShown())
            {
                fail (what + (alertShown() ? "a " + quoted (alertTitle) + " alert appeared instead" : quoted (press.tried) + " did not load")
                      + "; Cutoff reads " + hertzRead() + ", expected " + juce::String (expected) + " Hz; the preset is "
                      + quoted (presetName()));
                break;
            }
        }

        // The host's view after the press: the preset's values and its name in the instance's state.
        const auto shownCutoff = cutoffOf (press.shown);
        const auto name = presetName();

        expect (cutoffIs (shownCutoff), what + "Cutoff reads " + hertzRead() + ", expected " + juce::String (shownCutoff)
                                        + " Hz, " + quoted (press.shown) + "'s");
        expect (name == press.shown, what + "the preset in the instance's state is " + quoted (name)
                                     + ", expected " + quoted (press.shown));

        walked.add (juce::String (press.forwards ? "> " : "< ") + name + (fails ? " (" + juce::String (press.tried) + " failed)" : juce::String()));
    }

    // A failed press leaves whatever alert it raised; it must not outlive the editor.
    if (alertShown())
        dismissAlert();

    editor.reset();

    if (instance != nullptr)
        instance->releaseResources();

    instance.reset();
    juce::MessageManager::getInstance()->runDispatchLoopUntil (20);

    for (const auto& p : presets)
        folder.getChildFile (p.file).deleteFile();

    // Only an empty folder goes; anything else in it is the plug-in's doing, and shows as a failure.
    if (! folder.deleteFile())
        fail ("the presets folder still holds " + quoted (folder.findChildFiles (juce::File::findFilesAndDirectories, false)[0].getFileName())
              + ", which the check did not put there");

    if (folderExisted)
        expect (aside.moveFileTo (folder), "could not put the presets folder back from " + aside.getFullPathName());

    if (failures == failuresBefore)
        pass (juce::String (pressesDone) + " clicks on the footer's arrows, sent through the X server, stepped the hosted "
              + "editor through a 2, A 10, Broken, c, User_Default and back: " + walked.joinIntoString (", ")
              + "; the host read each preset's Cutoff and the name in the instance's state, and each failed "
              + "preset's alert went away when its OK button was clicked");
}
