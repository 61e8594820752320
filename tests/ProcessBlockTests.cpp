#include "ProcessorInspector.h"
#include "SignalTestSupport.h"

#include "dsp/BeatTranslator.h"

#include <gtest/gtest.h>

#include <random>

#if JUCE_INTEL
 #include <xmmintrin.h>
#endif

namespace
{
    using Inspector = ProcessorInspector;
    using signaltest::setParameter;

    void process (VevareroAudioProcessor& processor, juce::AudioBuffer<float>& buffer)
    {
        juce::MidiBuffer midi;
        processor.processBlock (buffer, midi);
    }

    void processSilence (VevareroAudioProcessor& processor, int numChannels, int numSamples)
    {
        juce::AudioBuffer<float> buffer (numChannels, numSamples);
        buffer.clear();
        process (processor, buffer);
    }

    /** Prepares, lets one block pick up the current parameters, and prepares again so no smoother ramps. */
    void prepareSettled (VevareroAudioProcessor& processor, double sampleRate, int maximumBlock)
    {
        processor.prepareToPlay (sampleRate, maximumBlock);
        processSilence (processor, 2, 16);
        processor.prepareToPlay (sampleRate, maximumBlock);
    }

    //==============================================================================
    TEST (ProcessBlockSmoothing, DefaultsDoNotRampAfterTheFirstPrepare)
    {
        VevareroAudioProcessor processor;
        processor.prepareToPlay (44100.0, 512);

        const struct { RampSmoother& smoother; float value; } smoothers[] = {
            { Inspector::cutoffSmoother (processor), 11000.0f },
            { Inspector::driveSmoother (processor), 1.0f },
            { Inspector::gainSmoother (processor), 1.0f },
            { Inspector::dryWetSmoother (processor), 1.0f },
        };

        processSilence (processor, 2, 512);

        // A default that does not read back exactly (JUCE 7 derives the raw value from the
        // normalised default, snapped to the interval) would start a ramp here.
        for (const auto& s : smoothers)
        {
            EXPECT_EQ (s.smoother.remainingSteps, 0) << "ramping towards " << s.smoother.targetValue;
            EXPECT_EQ (s.smoother.currentValue, s.value);
            EXPECT_EQ (s.smoother.targetValue, s.value);
            EXPECT_EQ (s.smoother.rampLength, 2646);
        }

        for (auto value : signaltest::firstSamples (Inspector::cutoffBuffer (processor), 512))
            ASSERT_EQ (value, 11000.0f);

        for (auto value : signaltest::firstSamples (Inspector::gainBuffer (processor), 512))
            ASSERT_EQ (value, 1.0f);
    }

    /** Runs blocks of blockSize and collects the smoothed cutoff of every sample. */
    std::vector<float> collectCutoff (VevareroAudioProcessor& processor, int numBlocks, int blockSize)
    {
        std::vector<float> values;

        for (int block = 0; block < numBlocks; ++block)
        {
            processSilence (processor, 2, blockSize);
            const auto samples = signaltest::firstSamples (Inspector::cutoffBuffer (processor), blockSize);
            values.insert (values.end(), samples.begin(), samples.end());
        }

        return values;
    }

    TEST (ProcessBlockSmoothing, CutoffRampsOverItsLengthAcrossBlocksAndReaims)
    {
        for (const double sampleRate : { 44100.0, 48000.0 })
        {
            VevareroAudioProcessor processor;
            processor.prepareToPlay (sampleRate, 441);
            const auto length = (int) (0.06 * sampleRate);

            setParameter (processor, "Cutoff", 5000.0f);
            const auto ramp = collectCutoff (processor, 10, 441);

            for (int i = 0; i < length; ++i)
                ASSERT_NEAR (ramp[(size_t) i], 11000.0 - 6000.0 * (i + 1) / length, 1.0) << i;

            for (size_t i = (size_t) length; i < ramp.size(); ++i)
                ASSERT_EQ (ramp[i], 5000.0f) << "the exact target once the ramp is over, sample " << i;

            // A change halfway through a ramp starts a new full-length ramp from the value reached.
            setParameter (processor, "Cutoff", 12000.0f);
            const auto firstHalf = collectCutoff (processor, 3, 441);
            const auto reached = firstHalf.back();
            setParameter (processor, "Cutoff", 8000.0f);
            const auto second = collectCutoff (processor, 10, 441);

            for (int i = 0; i < length; ++i)
                ASSERT_NEAR (second[(size_t) i], reached + (8000.0 - reached) * (i + 1) / length, 1.0) << i;

            EXPECT_NE (second[(size_t) length - 2], 8000.0f);
            EXPECT_EQ (second[(size_t) length], 8000.0f);
        }
    }

    TEST (ProcessBlockSmoothing, UnsmoothedParametersJumpAtTheNextBlock)
    {
        VevareroAudioProcessor processor;
        prepareSettled (processor, 44100.0, 256);

        setParameter (processor, "Resonance", 50.0f);
        setParameter (processor, "Amplitude", -60.0f);
        processSilence (processor, 2, 256);

        for (auto value : signaltest::firstSamples (Inspector::modulatedResonanceBuffer (processor), 256))
            ASSERT_FLOAT_EQ (value, 0.5f);

        EXPECT_NEAR (Inspector::gainSmoother (processor).targetValue, 0.001f, 1.0e-7);
        EXPECT_EQ (Inspector::gainSmoother (processor).remainingSteps, 2646 - 256) << "the gain ramps";
    }

    //==============================================================================
    TEST (ProcessBlockPrepare, SampleRateConstants)
    {
        const struct { double sampleRate; float resonanceScale; } cases[] = {
            { 22050.0, 1.0f }, { 44100.0, 1.0f }, { 48000.0, 1.0f }, { 48000.5, 0.6325f },
            { 88200.0, 0.8f }, { 96000.0, 0.81625f }, { 176400.0, 0.9f }, { 192000.0, 0.908125f }
        };

        VevareroAudioProcessor processor;

        for (const auto& c : cases)
        {
            processor.prepareToPlay (c.sampleRate, 128);
            EXPECT_NEAR (Inspector::resonanceScale (processor), c.resonanceScale, 1.0e-4) << c.sampleRate;
            EXPECT_EQ (Inspector::inverseSampleRate (processor), 1.0 / c.sampleRate);
            EXPECT_EQ (Inspector::cutoffSmoother (processor).rampLength, (int) std::floor (0.06 * c.sampleRate));
            EXPECT_EQ (Inspector::gainBuffer (processor).getNumSamples(), 128 + 64);

            for (auto& dc : Inspector::dcFilters (processor))
                EXPECT_NEAR (dc.pole, 1.0 - 126.0 / c.sampleRate, 1.0e-6) << c.sampleRate;
        }

        processor.prepareToPlay (44100.0, 64);
        EXPECT_NEAR (Inspector::dcFilters (processor)[0].pole, 0.997143f, 1.0e-6);
        processor.prepareToPlay (48000.0, 64);
        EXPECT_NEAR (Inspector::dcFilters (processor)[1].pole, 0.997375f, 1.0e-6);
    }

    TEST (ProcessBlockPrepare, PrepareClearsChannelStateAndKeepsTheRandomPosition)
    {
        VevareroAudioProcessor processor;
        processor.prepareToPlay (44100.0, 512);
        setParameter (processor, "Rate", 5.0f);
        setParameter (processor, "LFO_1_Rate", 60.0f);

        juce::AudioBuffer<float> buffer (2, 512);
        std::mt19937 rng (3);

        for (int block = 0; block < 8; ++block)
        {
            signaltest::fillWithNoise (buffer, rng, 0.5f);
            process (processor, buffer);
        }

        const auto randomIndex = Inspector::lfos (processor)[0].randomIndex;
        ASSERT_GT (randomIndex, 0);

        processor.prepareToPlay (44100.0, 512);

        for (int channel = 0; channel < 2; ++channel)
        {
            const auto c = (size_t) channel;
            EXPECT_EQ (Inspector::filters (processor)[c].s1, 0.0f);
            EXPECT_EQ (Inspector::filters (processor)[c].s2, 0.0f);
            EXPECT_EQ (Inspector::reducers (processor)[c].counter, 0);
            EXPECT_EQ (Inspector::reducers (processor)[c].heldValue, 0.0f);
            EXPECT_EQ (Inspector::dcFilters (processor)[c].previousInput, 0.0f);
            EXPECT_EQ (Inspector::dcFilters (processor)[c].previousOutput, 0.0f);
        }

        EXPECT_EQ (Inspector::lfos (processor)[0].phase, 0.0f);
        EXPECT_EQ (Inspector::lfos (processor)[0].randomIndex, randomIndex);
    }

    //==============================================================================
    TEST (ProcessBlockTempo, SyncedRatesFollowThePlayHead)
    {
        const struct { juce::Optional<double> bpm; bool hasPosition; float syncedIndex; float expectedBpm; double expectedHz; } cases[] = {
            { 90.0, true, 7.0f, 90.0f, 1.5 },                  // "1/4" at 90 BPM
            { 120.0, true, 3.0f, 120.0f, 0.5 },                // "1 BAR"
            { 120.0, true, 11.0f, 120.0f, 8.0 },               // "1/16"
            { 0.0, true, 17.0f, 1.0f, 128.0 / 240.0 },         // tempo 0 counts as 1 BPM
            { 0.5, true, 3.0f, 1.0f, 1.0 / 240.0 },
            { {}, true, 3.0f, 1.0f, 1.0 / 240.0 },             // no tempo reported
            { {}, false, 3.0f, 1.0f, 1.0 / 240.0 },            // no position at all
            { std::numeric_limits<double>::quiet_NaN(), true, 3.0f, 1.0f, 1.0 / 240.0 },
            { std::numeric_limits<double>::infinity(), true, 3.0f, 1.0f, 1.0 / 240.0 },
        };

        for (const auto& c : cases)
        {
            VevareroAudioProcessor processor;
            signaltest::FakePlayHead playHead;
            playHead.bpm = c.bpm;
            playHead.hasPosition = c.hasPosition;
            processor.setPlayHead (&playHead);
            processor.prepareToPlay (48000.0, 64);

            setParameter (processor, "LFO_2_Sync", 1.0f);
            setParameter (processor, "LFO_2_Synced_Rate", c.syncedIndex);
            processSilence (processor, 2, 64);

            EXPECT_EQ (Inspector::bpm (processor), c.expectedBpm);
            EXPECT_FLOAT_EQ (Inspector::msPerWholeNote (processor), 240000.0f / c.expectedBpm);

            const auto& lfos = Inspector::lfos (processor);
            EXPECT_NEAR (lfos[1].increment * 48000.0, c.expectedHz, c.expectedHz * 1.0e-5) << "LFO 2 synced";
            EXPECT_NEAR (lfos[0].increment * 48000.0, 1.0, 1.0e-5) << "LFO 1 keeps its free rate";

            processor.setPlayHead (nullptr);
        }
    }

    TEST (ProcessBlockTempo, WithoutAPlayHeadTheLastTempoStays)
    {
        VevareroAudioProcessor processor;
        processor.prepareToPlay (48000.0, 64);
        processSilence (processor, 2, 64);
        EXPECT_EQ (Inspector::bpm (processor), 120.0f);
        EXPECT_EQ (Inspector::msPerWholeNote (processor), 2000.0f);

        signaltest::FakePlayHead playHead;
        playHead.bpm = 90.0;
        processor.setPlayHead (&playHead);
        processSilence (processor, 2, 64);
        processor.setPlayHead (nullptr);
        processSilence (processor, 2, 64);

        EXPECT_EQ (Inspector::bpm (processor), 90.0f);
    }

    //==============================================================================
    TEST (ProcessBlockModulation, FullDepthCarriesTheCutoffToItsLimit)
    {
        VevareroAudioProcessor processor;
        setParameter (processor, "Cutoff", 80.0f);
        setParameter (processor, "LFO_1_Wave", 1.0f); // square: 1 for the first half cycle
        setParameter (processor, "Cutoff_Mod_Source", 1.0f);
        setParameter (processor, "Cutoff_Mod_Depth", 1.0f);
        prepareSettled (processor, 48000.0, 256);

        processSilence (processor, 2, 256);
        EXPECT_EQ (Inspector::lfoBuffers (processor)[0].getSample (0, 0), 1.0f);
        EXPECT_EQ (Inspector::cutoffBuffer (processor).getSample (0, 0), 80.0f);
        EXPECT_EQ (Inspector::modulatedCutoffBuffer (processor).getSample (0, 0), 18000.0f);

        setParameter (processor, "Cutoff_Mod_Source", 0.0f);
        processSilence (processor, 2, 256);

        for (auto value : signaltest::firstSamples (Inspector::modulatedCutoffBuffer (processor), 256))
            ASSERT_EQ (value, 80.0f) << "no source, no modulation, whatever the depth";

        EXPECT_EQ (Inspector::modulationAssignments (processor)[0].depth, 1.0f);
        EXPECT_EQ (Inspector::modulationInputs (processor)[0].source, nullptr);
    }

    TEST (ProcessBlockModulation, SourcesRouteTheirSignalsToEveryTarget)
    {
        VevareroAudioProcessor processor;
        setParameter (processor, "Dry_Wet_Mix", 0.0f);
        setParameter (processor, "LFO_1_Rate", 7.0f);
        setParameter (processor, "LFO_2_Rate", 3.0f);
        setParameter (processor, "LFO_2_Wave", 4.0f);
        setParameter (processor, "LFOs_Mix", 25.0f);
        prepareSettled (processor, 48000.0, 512);

        const char* targets[] = { "Cutoff", "Resonance", "Rate", "Bits", "Dry_Wet_Mix" };

        for (int source = 1; source <= 3; ++source)
        {
            for (auto* target : targets)
            {
                setParameter (processor, juce::String (target) + "_Mod_Source", (float) source);
                setParameter (processor, juce::String (target) + "_Mod_Depth", 1.0f);
            }

            processSilence (processor, 2, 512);

            const auto& lfo1 = Inspector::lfoBuffers (processor)[0];
            const auto& lfo2 = Inspector::lfoBuffers (processor)[1];
            const auto& mix = Inspector::lfoMixBuffer (processor);
            const auto& dryWet = Inspector::modulatedDryWetBuffer (processor);
            const auto& resonance = Inspector::modulatedResonanceBuffer (processor);

            for (int i = 0; i < 512; ++i)
            {
                const auto a = lfo1.getSample (0, i), b = lfo2.getSample (0, i);
                ASSERT_TRUE (a >= 0.0f && a <= 1.0f && b >= 0.0f && b <= 1.0f);
                ASSERT_NEAR (mix.getSample (0, i), 0.75f * a + 0.25f * b, 1.0e-6);

                const auto expected = source == 1 ? a : source == 2 ? b : mix.getSample (0, i);
                ASSERT_EQ (dryWet.getSample (0, i), expected) << "dry/wet 0 % follows the source, sample " << i;
                ASSERT_EQ (resonance.getSample (0, i), expected) << "resonance 0 % follows the source, sample " << i;
            }
        }
    }

    //==============================================================================
    TEST (ProcessBlockChannels, MonoLeavesTheSecondChannelsStateAlone)
    {
        VevareroAudioProcessor processor;
        juce::AudioProcessor::BusesLayout mono;
        mono.inputBuses.add (juce::AudioChannelSet::mono());
        mono.outputBuses.add (juce::AudioChannelSet::mono());
        ASSERT_TRUE (processor.setBusesLayout (mono));

        setParameter (processor, "Rate", 3.0f);
        processor.prepareToPlay (44100.0, 256);

        auto& second = Inspector::filters (processor)[1];
        second.s1 = 0.25f;
        second.s2 = -0.5f;
        Inspector::reducers (processor)[1].counter = 2;
        Inspector::reducers (processor)[1].heldValue = 0.75f;
        Inspector::dcFilters (processor)[1].previousInput = 0.125f;
        Inspector::dcFilters (processor)[1].previousOutput = -0.125f;

        const auto filterBefore = second;

        juce::AudioBuffer<float> buffer (1, 256);
        std::mt19937 rng (5);
        signaltest::fillWithNoise (buffer, rng, 0.5f);
        process (processor, buffer);

        EXPECT_EQ (second.s1, filterBefore.s1);
        EXPECT_EQ (second.s2, filterBefore.s2);
        EXPECT_EQ (second.g, filterBefore.g);
        EXPECT_EQ (Inspector::reducers (processor)[1].counter, 2);
        EXPECT_EQ (Inspector::reducers (processor)[1].heldValue, 0.75f);
        EXPECT_EQ (Inspector::dcFilters (processor)[1].previousInput, 0.125f);
        EXPECT_EQ (Inspector::dcFilters (processor)[1].previousOutput, -0.125f);

        EXPECT_NE (Inspector::filters (processor)[0].s1, 0.0f) << "channel 0 did run";
        EXPECT_NE (Inspector::dcFilters (processor)[0].previousInput, 0.0f);
    }

    TEST (ProcessBlockChannels, EmptyBlockAdvancesNothingButTakesNewTargets)
    {
        VevareroAudioProcessor processor;
        prepareSettled (processor, 44100.0, 128);
        processSilence (processor, 2, 100);

        const auto lfoBefore = Inspector::lfos (processor)[0];
        const auto smootherBefore = Inspector::cutoffSmoother (processor);

        setParameter (processor, "Cutoff", 2000.0f);
        setParameter (processor, "LFO_1_Rate", 5.0f);

        juce::AudioBuffer<float> empty (2, 0);
        process (processor, empty);

        const auto& lfo = Inspector::lfos (processor)[0];
        const auto& smoother = Inspector::cutoffSmoother (processor);
        EXPECT_EQ (lfo.phase, lfoBefore.phase);
        EXPECT_EQ (lfo.lastPhase, lfoBefore.lastPhase);
        EXPECT_EQ (lfo.randomIndex, lfoBefore.randomIndex);
        EXPECT_NEAR (lfo.increment * 44100.0, 5.0, 1.0e-5);
        EXPECT_EQ (smoother.currentValue, smootherBefore.currentValue);
        EXPECT_EQ (smoother.targetValue, 2000.0f);
        EXPECT_EQ (smoother.remainingSteps, smoother.rampLength);
    }

   #if JUCE_INTEL
    TEST (ProcessBlockChannels, FlushToZeroIsSetForTheBlockAndRestoredAfter)
    {
        VevareroAudioProcessor processor;
        processor.prepareToPlay (44100.0, 64);

        // A tiny input keeps the DC blocker's state in the denormal range unless they are flushed.
        juce::AudioBuffer<float> buffer (2, 64);
        const auto savedMode = _mm_getcsr();

        for (const unsigned int mode : { savedMode & ~0x8040u, savedMode | 0x8040u })
        {
            _mm_setcsr (mode);
            processor.prepareToPlay (44100.0, 64);
            buffer.clear();
            buffer.setSample (0, 0, 1.0e-39f);
            process (processor, buffer);

            const auto after = _mm_getcsr();
            _mm_setcsr (savedMode);

            EXPECT_EQ (after & 0x8040u, mode & 0x8040u) << "the caller's mode comes back";
            EXPECT_EQ (Inspector::dcFilters (processor)[0].previousOutput, 0.0f) << "denormals were flushed inside";
        }
    }
   #endif

    /** The output of a fresh processor fed the same noise, cut into blocks of the given sizes. */
    std::vector<float> renderInBlocks (int maximumBlock, const std::vector<int>& blockSizes)
    {
        VevareroAudioProcessor processor;
        setParameter (processor, "Rate", 2.0f);
        setParameter (processor, "Bits", 9.0f);
        setParameter (processor, "Resonance", 70.0f);
        setParameter (processor, "Cutoff_Mod_Source", 1.0f);
        setParameter (processor, "Cutoff_Mod_Depth", 0.4f);
        setParameter (processor, "LFO_1_Rate", 13.0f);
        processor.prepareToPlay (44100.0, maximumBlock);
        setParameter (processor, "Cutoff", 900.0f);
        setParameter (processor, "Drive", 40.0f);

        int total = 0;

        for (auto size : blockSizes)
            total += size;

        juce::AudioBuffer<float> input (2, total);
        std::mt19937 rng (17);
        signaltest::fillWithNoise (input, rng, 0.8f);

        std::vector<float> output;
        int start = 0;

        for (auto size : blockSizes)
        {
            juce::AudioBuffer<float> buffer (2, size);

            for (int channel = 0; channel < 2; ++channel)
                buffer.copyFrom (channel, 0, input, channel, start, size);

            process (processor, buffer);

            for (int i = 0; i < size; ++i)
                for (int channel = 0; channel < 2; ++channel)
                    output.push_back (buffer.getSample (channel, i));

            start += size;
        }

        return output;
    }

    TEST (ProcessBlockChannels, OversizedBlocksGiveTheSameResultAsAnnouncedOnes)
    {
        // 5000 samples: 64 + 64 fit the work buffers of the first processor, so its blocks run in pieces.
        const auto pieces = renderInBlocks (64, { 1000, 3000, 1000 });
        const auto regular = renderInBlocks (1024, { 100, 900, 1000, 1000, 1000, 1000 });

        ASSERT_EQ (pieces.size(), regular.size());

        for (size_t i = 0; i < pieces.size(); ++i)
            ASSERT_EQ (pieces[i], regular[i]) << i;
    }

    //==============================================================================
    TEST (ProcessBlockStability, TopCutoffBelowThirtySixKilohertzStaysBounded)
    {
        for (const double sampleRate : { 22050.0, 32000.0, 36000.0 })
        {
            for (int filterType = 0; filterType < 4; ++filterType)
            {
                for (int routing = 0; routing < 2; ++routing)
                {
                    VevareroAudioProcessor processor;
                    setParameter (processor, "Cutoff", 18000.0f);
                    setParameter (processor, "Resonance", 100.0f);
                    setParameter (processor, "Filter_Type", (float) filterType);
                    setParameter (processor, "Distortion_Routing", (float) routing);
                    setParameter (processor, "Cutoff_Mod_Source", 1.0f);
                    setParameter (processor, "Cutoff_Mod_Depth", 1.0f);
                    setParameter (processor, "Resonance_Mod_Source", 2.0f);
                    setParameter (processor, "Resonance_Mod_Depth", 1.0f);
                    prepareSettled (processor, sampleRate, 512);

                    juce::AudioBuffer<float> buffer (2, 512);
                    std::mt19937 rng (23);
                    float peak = 0.0f;

                    for (int block = 0; block < (int) sampleRate / 512; ++block)
                    {
                        signaltest::fillWithNoise (buffer, rng, block % 2 == 0 ? 1.0f : 0.01f);
                        process (processor, buffer);
                        peak = std::max (peak, signaltest::peakOrInfinity (buffer));
                    }

                    EXPECT_LT (peak, 8.0f) << sampleRate << " Hz, type " << filterType << ", routing " << routing;
                }
            }
        }
    }

    TEST (ProcessBlockStability, DefaultsPassTheSignalNearlyUnchanged)
    {
        VevareroAudioProcessor processor;
        processor.prepareToPlay (44100.0, 512);

        juce::AudioBuffer<float> buffer (2, 512), input (2, 512);
        double error = 0.0, energy = 0.0;

        for (int block = 0; block < 40; ++block)
        {
            for (int channel = 0; channel < 2; ++channel)
                for (int i = 0; i < 512; ++i)
                    input.setSample (channel, i, 0.05f * (float) std::sin ((block * 512 + i) * 2.0 * juce::MathConstants<double>::pi * (440.0 + 220.0 * channel) / 44100.0));

            buffer.makeCopyOf (input);
            process (processor, buffer);

            if (block >= 20)
            {
                for (int channel = 0; channel < 2; ++channel)
                {
                    for (int i = 0; i < 512; ++i)
                    {
                        const auto difference = buffer.getSample (channel, i) - input.getSample (channel, i);
                        error += difference * difference;
                        energy += input.getSample (channel, i) * input.getSample (channel, i);
                    }
                }
            }
        }

        // The 11 kHz low-pass, the sine drive and the DC blocker's slight phase shift leave a
        // quiet low tone nearly intact.
        EXPECT_LT (error / energy, 5.0e-3);
    }

    //==============================================================================
    const char* const allParameterIDs[] = {
        "Cutoff", "Resonance", "Filter_Type", "Drive", "Distortion_Routing", "Rate", "Bits", "LoFi_Routing",
        "Amplitude", "Dry_Wet_Mix", "LFO_1_Rate", "LFO_1_Synced_Rate", "LFO_1_Sync", "LFO_1_Wave",
        "LFO_2_Rate", "LFO_2_Synced_Rate", "LFO_2_Sync", "LFO_2_Wave", "LFOs_Mix",
        "Cutoff_Mod_Source", "Cutoff_Mod_Depth", "Resonance_Mod_Source", "Resonance_Mod_Depth",
        "Rate_Mod_Source", "Rate_Mod_Depth", "Bits_Mod_Source", "Bits_Mod_Depth",
        "Dry_Wet_Mix_Mod_Source", "Dry_Wet_Mix_Mod_Depth"
    };

    TEST (ProcessBlockProperties, RandomSettingsRatesAndBlockSizesStayFiniteAndBounded)
    {
        const double sampleRates[] = { 22050.0, 32000.0, 44100.0, 48000.0, 88200.0, 96000.0, 176400.0, 192000.0 };
        const int maximumBlocks[] = { 1, 32, 256, 512, 1024 };

        for (unsigned int seed = 1; seed <= 24; ++seed)
        {
            std::mt19937 rng (seed);
            auto pick = [&rng] (int count) { return std::uniform_int_distribution<int> (0, count - 1) (rng); };
            std::uniform_real_distribution<float> unit (0.0f, 1.0f);

            VevareroAudioProcessor processor;
            signaltest::FakePlayHead playHead;
            processor.setPlayHead (&playHead);

            const auto sampleRate = sampleRates[pick (8)];
            const auto maximumBlock = maximumBlocks[pick (5)];
            processor.prepareToPlay (sampleRate, maximumBlock);

            juce::AudioBuffer<float> buffer;
            float peak = 0.0f;

            for (int block = 0; block < 60; ++block)
            {
                for (int change = pick (6); change > 0; --change)
                {
                    auto* parameter = processor.valueTreeState.getParameter (allParameterIDs[pick (29)]);
                    parameter->setValueNotifyingHost (unit (rng));
                }

                const double tempos[] = { 0.0, 1.0, 60.0, 120.0, 174.0, 999.0 };
                playHead.bpm = tempos[pick (6)];

                // Now and then a block longer than announced, which must be split.
                const auto size = pick (10) == 0 ? maximumBlock + 64 + pick (3 * maximumBlock + 1)
                                                 : pick (maximumBlock + 65);

                buffer.setSize (2, size, false, false, true);
                signaltest::fillWithNoise (buffer, rng, pick (4) == 0 ? 4.0f : 1.0f);
                process (processor, buffer);

                const auto blockPeak = signaltest::peakOrInfinity (buffer);
                ASSERT_TRUE (std::isfinite (blockPeak)) << "seed " << seed << " block " << block;
                peak = std::max (peak, blockPeak);
            }

            EXPECT_LT (peak, 64.0f) << "seed " << seed << " at " << sampleRate << " Hz";
            processor.setPlayHead (nullptr);
        }
    }
}
