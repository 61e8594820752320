// Measures the block processing of the built Vevarero plug-in, hosted through JUCE the way a host
// loads it, against the bare arithmetic its chain needs and against a few installed LV2 effects of
// the same kind. The Benchmark section of the README at the top says how to run it and read the table.
//
//   VevareroBench <Vevarero.vst3> [<LV2 folder or Vevarero.lv2>] [--seconds <audio seconds per round>]

#include "CostFloor.h"
#include "PluginHost.h"
#include "VevareroParameterTable.h"

#include <chrono>
#include <cmath>
#include <functional>
#include <iostream>
#include <limits>
#include <vector>

namespace
{
    constexpr double sampleRate = 48000.0;
    constexpr int blockSize = 512;
    constexpr int numChannels = 2;
    constexpr int rounds = 7;
    const juce::String vevareroLv2Uri { VEVARERO_LV2_URI };

    using Clock = std::chrono::steady_clock;

    //==============================================================================
    /** One second of stereo programme-like material (two detuned saws and some noise at about
        -6 dBFS), cycled through every measurement so that all rows see the same audio.
    */
    juce::AudioBuffer<float> makeSource()
    {
        const auto length = (int) sampleRate;
        juce::AudioBuffer<float> source (numChannels, length);
        juce::Random random (0x5eed);

        for (int c = 0; c < numChannels; ++c)
        {
            double phaseA = 0.0, phaseB = 0.0;
            const auto incrementA = (110.0 + 3.0 * c) / sampleRate;
            const auto incrementB = (164.0 - 2.0 * c) / sampleRate;

            for (int i = 0; i < length; ++i)
            {
                phaseA += incrementA;
                phaseB += incrementB;
                phaseA -= std::floor (phaseA);
                phaseB -= std::floor (phaseB);

                const auto saws = (2.0 * phaseA - 1.0) + (2.0 * phaseB - 1.0);
                const auto noise = random.nextFloat() * 2.0f - 1.0f;
                source.setSample (c, i, (float) (0.2 * saws) + 0.05f * noise);
            }
        }

        return source;
    }

    //==============================================================================
    /** One row of the table: something that processes the source block by block. */
    struct Contestant
    {
        juce::String name;
        int channelsProcessed = numChannels;

        /** Processes one block in place; the position is the block's start in the source. */
        std::function<void (juce::AudioBuffer<float>&, int position)> process;

        std::unique_ptr<juce::AudioPluginInstance> instance;
        juce::AudioBuffer<float> buffer;
        int position = 0;
        double bestNsPerSampleAndChannel = std::numeric_limits<double>::max();

        /** Runs blocks of the source through the contestant, copying each block in untimed, and
            returns the nanoseconds spent processing.
        */
        double runBlocks (const juce::AudioBuffer<float>& source, int numBlocks)
        {
            Clock::duration elapsed {};

            for (int b = 0; b < numBlocks; ++b)
            {
                if (position + blockSize > source.getNumSamples())
                    position = 0;

                for (int c = 0; c < buffer.getNumChannels(); ++c)
                    buffer.copyFrom (c, 0, source, c % numChannels, position, blockSize);

                const auto start = Clock::now();
                process (buffer, position);
                elapsed += Clock::now() - start;

                position += blockSize;
            }

            return std::chrono::duration<double, std::nano> (elapsed).count();
        }
    };

    /** Measures every contestant in turn, round after round, so that a slow spell of the machine
        hits all rows alike, and keeps each one's fastest round: the round least disturbed by
        whatever else runs, since the cost of the processing itself does not vary.
    */
    void measureAll (std::vector<Contestant>& contestants, const juce::AudioBuffer<float>& source,
                     double secondsPerRound)
    {
        const auto blocksPerRound = (int) std::ceil (secondsPerRound * sampleRate / blockSize);
        const auto blocksPerSecond = (int) (sampleRate / blockSize);

        // A host's audio callback runs with denormals flushed; so does every row here.
        const juce::ScopedNoDenormals noDenormals;

        // Warm up for a fixed wall time as well, so that the first row does not pay for the
        // processor clocking up.
        const auto warmUpEnd = Clock::now() + std::chrono::milliseconds (300);

        do
            for (auto& c : contestants)
                c.runBlocks (source, blocksPerSecond / 2);
        while (Clock::now() < warmUpEnd);

        for (int r = 0; r < rounds; ++r)
        {
            for (auto& c : contestants)
            {
                const auto ns = c.runBlocks (source, blocksPerRound)
                              / ((double) blocksPerRound * blockSize * c.channelsProcessed);
                c.bestNsPerSampleAndChannel = juce::jmin (c.bestNsPerSampleAndChannel, ns);
            }
        }
    }

    Contestant makeInstanceContestant (const juce::String& name, std::unique_ptr<juce::AudioPluginInstance> instance)
    {
        Contestant c;
        c.name = name;
        c.channelsProcessed = instance->getTotalNumOutputChannels();
        c.buffer.setSize (juce::jmax (instance->getTotalNumInputChannels(), instance->getTotalNumOutputChannels()), blockSize);

        instance->prepareToPlay (sampleRate, blockSize);
        auto* hosted = instance.get();
        auto midi = std::make_shared<juce::MidiBuffer>();

        c.process = [hosted, midi] (juce::AudioBuffer<float>& b, int)
        {
            midi->clear();
            hosted->processBlock (b, *midi);
        };

        c.instance = std::move (instance);
        return c;
    }

    double checksumSink = 0.0;

    Contestant makeCostFloorContestant()
    {
        Contestant c;
        c.name = "cost floor (tan, div, tanh, sinf)";
        c.buffer.setSize (numChannels, blockSize);

        // A slowly moving cutoff and drive over the source's second, as the smoothers and LFOs
        // make them; computed beforehand so that only the floor's arithmetic is timed.
        auto cutoffHz = std::make_shared<std::vector<float>> ((size_t) sampleRate);
        auto drive = std::make_shared<std::vector<float>> ((size_t) sampleRate);

        for (size_t i = 0; i < cutoffHz->size(); ++i)
        {
            const auto t = (float) i / (float) cutoffHz->size();
            (*cutoffHz)[i] = 2000.0f + 6000.0f * t;
            (*drive)[i] = 1.0f + 7.0f * t;
        }

        auto output = std::make_shared<juce::AudioBuffer<float>> (numChannels, blockSize);

        c.process = [cutoffHz, drive, output] (juce::AudioBuffer<float>& b, int position)
        {
            checksumSink += CostFloor::processBlock (b.getArrayOfReadPointers(), output->getArrayOfWritePointers(),
                                                     numChannels, blockSize,
                                                     cutoffHz->data() + position, drive->data() + position,
                                                     1.0 / sampleRate);
        };

        return c;
    }

    //==============================================================================
    struct ParameterSetting
    {
        const char* id;
        float realValue;
    };

    /** Every modulation route busy, full resonance, both lo-fi stages on and combined by ring
        modulation: the most work the chain does per sample.
    */
    const ParameterSetting heavyLoad[] = {
        { "Resonance", 100.0f },
        { "Drive", 50.0f },
        { "Rate", 8.0f },
        { "Bits", 6.0f },
        { "LoFi_Routing", 2.0f },
        { "LFO_2_Rate", 3.0f },
        { "Cutoff_Mod_Source", 1.0f },      { "Cutoff_Mod_Depth", 0.5f },
        { "Resonance_Mod_Source", 2.0f },   { "Resonance_Mod_Depth", 0.5f },
        { "Rate_Mod_Source", 3.0f },        { "Rate_Mod_Depth", 0.5f },
        { "Bits_Mod_Source", 1.0f },        { "Bits_Mod_Depth", 0.5f },
        { "Dry_Wet_Mix_Mod_Source", 2.0f }, { "Dry_Wet_Mix_Mod_Depth", 0.5f },
    };

    juce::AudioProcessorParameter* findByName (juce::AudioPluginInstance& instance, const juce::String& name)
    {
        for (auto* p : instance.getParameters())
            if (p->getName (1024) == name)
                return p;

        return nullptr;
    }

    /** Writes the heavy setting through the hosted instance's parameter objects, each real value
        normalised the way the format carries it. Returns false if a parameter is missing.
    */
    bool setHeavyLoad (juce::AudioPluginInstance& instance, bool normalisesWithSkew)
    {
        for (const auto& setting : heavyLoad)
        {
            const auto& e = vevareroParameters[(size_t) vevareroParameterIndex (setting.id)];
            auto* p = findByName (instance, e.name);

            if (p == nullptr)
            {
                std::cerr << "the hosted plug-in has no parameter named " << e.name << std::endl;
                return false;
            }

            p->setValue (normalisesWithSkew ? e.toNormalised (setting.realValue) : e.toProportion (setting.realValue));
        }

        return true;
    }

    /** The heavy setting as the host shows it, in the plug-in's own value texts. */
    juce::String describeHeavyLoad (juce::AudioPluginInstance& instance)
    {
        juce::StringArray items;

        for (const auto& setting : heavyLoad)
            if (auto* p = findByName (instance, vevareroParameters[(size_t) vevareroParameterIndex (setting.id)].name))
                items.add (p->getName (1024) + " " + p->getText (p->getValue(), 1024));

        return items.joinIntoString (", ");
    }

    //==============================================================================
    juce::String padRight (const juce::String& s, int width)    { return s + juce::String::repeatedString (" ", juce::jmax (0, width - s.length())); }
    juce::String padLeft (const juce::String& s, int width)     { return juce::String::repeatedString (" ", juce::jmax (0, width - s.length())) + s; }

    void printTable (const std::vector<Contestant>& contestants, double floorNs)
    {
        std::cout << padRight ("name", 40) << padLeft ("ns/sample/ch", 14) << padLeft ("x real time", 14)
                  << padLeft ("x cost floor", 14) << "\n"
                  << juce::String::repeatedString ("-", 82) << "\n";

        for (const auto& c : contestants)
        {
            // Seconds of audio processed per second of processing, for the contestant's own
            // channel count.
            const auto ns = c.bestNsPerSampleAndChannel;
            const auto realTime = 1.0e9 / (ns * sampleRate * c.channelsProcessed);
            const auto name = c.channelsProcessed == numChannels ? c.name
                                                                 : c.name + " (" + juce::String (c.channelsProcessed) + " ch)";

            std::cout << padRight (name, 40)
                      << padLeft (juce::String (ns, 2), 14)
                      << padLeft (juce::String (juce::roundToInt (realTime)), 14)
                      << padLeft (juce::String (ns / floorNs, 2), 14) << "\n";
        }

        std::cout << std::flush;
    }
}

//==============================================================================
int main (int argc, char* argv[])
{
    juce::StringArray args;

    for (int i = 1; i < argc; ++i)
        args.add (argv[i]);

    double secondsPerRound = 10.0;

    if (const auto flag = args.indexOf ("--seconds"); flag >= 0)
    {
        secondsPerRound = juce::jmax (0.5, args[flag + 1].getDoubleValue());
        args.removeRange (flag, 2);
    }

    if (args.isEmpty())
    {
        std::cerr << "usage: " << argv[0] << " <Vevarero.vst3> [<LV2 folder or Vevarero.lv2>] [--seconds <s>]" << std::endl;
        return 2;
    }

    const juce::ScopedJuceInitialiser_GUI juce;

    const auto cwd = juce::File::getCurrentWorkingDirectory();
    const auto vst3Bundle = cwd.getChildFile (args[0]);
    const auto lv2Location = args.size() > 1 ? cwd.getChildFile (args[1]) : juce::File();

    std::cout << "48 kHz, stereo, " << blockSize << "-sample blocks; fastest of " << rounds << " rounds of "
              << secondsPerRound << " s of audio per row\n"
              << juce::SystemStats::getCpuModel() << ", " << juce::SystemStats::getNumCpus() << " CPUs\n"
              << std::flush;

    PluginHost host;
    std::vector<Contestant> contestants;
    juce::String error;

    for (const auto heavy : { false, true })
    {
        auto instance = host.loadVst3 (vst3Bundle, sampleRate, blockSize, error);

        if (instance == nullptr)
        {
            std::cerr << "cannot load " << vst3Bundle.getFullPathName() << ": " << error << std::endl;
            return 1;
        }

        if (heavy)
        {
            if (! setHeavyLoad (*instance, true))
                return 1;

            std::cout << "heavy: " << describeHeavyLoad (*instance) << "\n";
        }

        contestants.push_back (makeInstanceContestant (juce::String ("Vevarero VST3, ") + (heavy ? "heavy" : "defaults"),
                                                       std::move (instance)));
    }

    if (lv2Location != juce::File())
    {
        for (const auto heavy : { false, true })
        {
            auto instance = host.loadLv2 (lv2Location, vevareroLv2Uri, sampleRate, blockSize, error);

            if (instance == nullptr)
            {
                std::cout << "note: Vevarero LV2 skipped: " << error << "\n";
                break;
            }

            // LV2 carries the real ranges' ends only, so its host normalises in plain proportion.
            if (heavy && ! setHeavyLoad (*instance, false))
                return 1;

            contestants.push_back (makeInstanceContestant (juce::String ("Vevarero LV2, ") + (heavy ? "heavy" : "defaults"),
                                                           std::move (instance)));
        }
    }

    const auto floorIndex = contestants.size();
    contestants.push_back (makeCostFloorContestant());

    // Installed effects of the same kind, at their own defaults, through the same hosting.
    const juce::StringArray peers[] = { { "Calf Crusher" }, { "Calf Filter" }, { "mda Degrade" } };

    for (const auto& names : peers)
    {
        const auto description = host.findInstalledLv2 (names);

        if (! description.has_value())
        {
            std::cout << "note: " << names[0] << " is not installed (Debian packages calf-plugins, mda-lv2); skipped\n";
            continue;
        }

        auto instance = host.loadLv2 (*description, sampleRate, blockSize, error);

        if (instance == nullptr)
        {
            std::cout << "note: " << names[0] << " did not load (" << error << "); skipped\n";
            continue;
        }

        contestants.push_back (makeInstanceContestant (description->name + " LV2, defaults", std::move (instance)));
    }

    const auto source = makeSource();
    measureAll (contestants, source, secondsPerRound);

    for (auto& c : contestants)
        if (c.instance != nullptr)
            c.instance->releaseResources();

    std::cout << "\n";
    printTable (contestants, contestants[floorIndex].bestNsPerSampleAndChannel);
    std::cout << "\n(checksum " << juce::String (checksumSink, 3) << ")" << std::endl;
    return 0;
}
