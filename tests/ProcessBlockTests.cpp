#include "ProcessorInspector.h"
#include "SignalTestSupport.h"

#if JUCE_INTEL
 #include <xmmintrin.h>
#endif

namespace
{
    using Inspector = ProcessorInspector;
    using namespace signaltest;

    void processSilence (VevareroAudioProcessor& processor, int numSamples)
    {
        juce::AudioBuffer<float> buffer (2, numSamples);
        buffer.clear();
        render (processor, buffer, { numSamples });
    }

    /** Prepares, lets one block take up the current parameters, and prepares again so nothing ramps. */
    void prepareSettled (VevareroAudioProcessor& processor, double sampleRate, int maximumBlock)
    {
        processor.prepareToPlay (sampleRate, maximumBlock);
        processSilence (processor, 16);
        processor.prepareToPlay (sampleRate, maximumBlock);
    }

    TEST (ProcessBlockSmoothing, DefaultsHoldStillAndCutoffChangesRampOverTheFullLength)
    {
        VevareroAudioProcessor processor;
        processor.prepareToPlay (44100.0, 441);
        processSilence (processor, 441);

        // The smoothers are built on the defaults' engine values, and the defaults must read back
        // as exactly those (JUCE 7 derives the raw value from the normalised default, snapped to
        // the interval): else a later prepare's first block would jump away from them.
        const struct { const char* name; float engineValue; } defaults[] = {
            { "cutoff",  11000.0f },
            { "drive",   1.0f },
            { "gain",    1.0f },
            { "dry/wet", 1.0f }
        };

        for (size_t i = 0; i < Inspector::smoothers (processor).size(); ++i)
        {
            const auto* smoother = Inspector::smoothers (processor)[i];
            EXPECT_EQ (smoother->targetValue, defaults[i].engineValue) << defaults[i].name << " smoother's target";
            EXPECT_EQ (smoother->remainingSteps, 0)
                << defaults[i].name << " smoother ramps towards " << smoother->targetValue;
        }

        // 60 ms ramps over as many blocks as they take, then the exact target; a change halfway
        // re-aims from the value reached, again for the full length.
        const struct { float target; int blocks; } changes[] = {
            { 5000.0f, 10 },
            { 17000.0f, 3 },
            { 2000.0f, 10 }
        };
        float from = 11000.0f, value = from;

        for (const auto& change : changes)
        {
            setParameters (processor, { { "Cutoff", change.target } });

            for (int i = 0; i < change.blocks * 441; ++i)
            {
                if (i % 441 == 0)
                    processSilence (processor, 441);

                value = Inspector::cutoffBuffer (processor).getSample (0, i % 441);
                const auto expected = i < 2646 ? from + (change.target - from) * (float) (i + 1) / 2646.0f : change.target;
                // Only a change left to run its full course is measured; the halfway one just moves the start.
                if (change.blocks >= 10)
                {
                    ASSERT_LE (std::abs (value - expected), (i < 2646 ? 1.0f : 0.0f))
                        << "cutoff towards " << change.target << " at sample " << i
                        << " is " << value << ", expected " << expected;
                }
            }

            from = value;
        }
    }

    TEST (ProcessBlockSmoothing, TheFirstBlockAfterPreparingStartsOnItsOwnSettings)
    {
        // However the settings reach an instance around prepareToPlay (a host restoring a session
        // before or after preparing, a parameter flush without samples first, or new settings
        // before a prepare for another block size), the first block plays them from its first
        // sample, exactly as an instance prepared once more after settling on them does.
        const struct { const char* what; double sampleRate; Settings settings; } cases[] = {
            { "Amp -60 dB",                               44100.0, { { "Amplitude", -60.0f } } },
            { "Dry / Wet 0 %, Bits 2",                    44100.0, { { "Dry_Wet_Mix", 0.0f }, { "Bits", 2.0f } } },
            { "Drive 100 %, Amp -20 dB",                  48000.0, { { "Drive", 100.0f }, { "Amplitude", -20.0f } } },
            { "Amp -30 dB, Dry / Wet 50 %, HIGHPASS 18 kHz", 96000.0, { { "Amplitude", -30.0f }, { "Dry_Wet_Mix", 50.0f },
                                                                      { "Filter_Type", 1.0f }, { "Cutoff", 18000.0f } } },
        };

        enum Moment { beforePreparing, afterPreparing, afterAnEmptyBlock, beforePreparingAgain };
        const char* const momentNames[] = { "before preparing", "after preparing", "after an empty block",
                                            "before preparing again" };

        juce::AudioBuffer<float> input (2, 4096);

        for (int i = 0; i < input.getNumSamples(); ++i)
            for (int channel = 0; channel < 2; ++channel)
                input.setSample (channel, i, 0.5f * (float) std::sin (juce::MathConstants<double>::twoPi * 1000.0 * i / 44100.0));

        const std::vector<int> blocks (8, 512);

        for (const auto& c : cases)
        {
            VevareroAudioProcessor settled;
            setParameters (settled, c.settings);
            prepareSettled (settled, c.sampleRate, 512);
            const auto expected = render (settled, input, blocks);

            for (const auto moment : { beforePreparing, afterPreparing, afterAnEmptyBlock, beforePreparingAgain })
            {
                VevareroAudioProcessor fresh;
                const auto setBeforePreparing = moment == beforePreparing || moment == beforePreparingAgain;

                if (moment == beforePreparingAgain)
                {
                    fresh.prepareToPlay (c.sampleRate, 256);
                    processSilence (fresh, 256);
                }

                if (setBeforePreparing)
                    setParameters (fresh, c.settings);

                fresh.prepareToPlay (c.sampleRate, 512);

                if (moment == afterAnEmptyBlock)
                    processSilence (fresh, 0);

                if (! setBeforePreparing)
                    setParameters (fresh, c.settings);

                const auto output = render (fresh, input, blocks);

                for (int channel = 0; channel < 2; ++channel)
                {
                    const auto at = firstDifference (output.getReadPointer (channel), expected.getReadPointer (channel), input.getNumSamples());
                    EXPECT_EQ (at, input.getNumSamples())
                        << c.what << " at " << c.sampleRate << " Hz, set " << momentNames[moment] << ", channel " << channel
                        << ": sample " << at << " is " << output.getSample (channel, juce::jmin (at, input.getNumSamples() - 1))
                        << ", settled " << expected.getSample (channel, juce::jmin (at, input.getNumSamples() - 1));
                }
            }
        }
    }

    TEST (ProcessBlockPrepare, SetsRateDependentValuesAndClearsChannelsButNotTheRandomPosition)
    {
        const struct { double sampleRate; float resonanceScale, pole; } cases[] = {
            { 44100.0, 1.0f,     0.997143f },
            { 48000.0, 1.0f,     0.997375f },
            { 48000.5, 0.6325f,  0.997375f },
            { 96000.0, 0.81625f, 0.9986875f }
        };

        VevareroAudioProcessor processor;
        setParameters (processor, { { "Rate", 5.0f },
                                    { "LFO_1_Rate", 60.0f } });
        processor.prepareToPlay (44100.0, 512);
        juce::AudioBuffer<float> buffer (2, 4096);
        std::mt19937 rng (3);

        for (const auto& c : cases)
        {
            fillWithNoise (buffer, rng, 0.5f);
            render (processor, buffer, { 4096 });
            const auto randomIndex = Inspector::lfos (processor)[0].randomIndex;
            processor.prepareToPlay (c.sampleRate, 512);

            EXPECT_NEAR (Inspector::resonanceScale (processor), c.resonanceScale, 1.0e-4)
                << "resonance scale at " << c.sampleRate;
            EXPECT_EQ (Inspector::lfos (processor)[0].phase, 0.0f) << "LFO 1 phase after preparing at " << c.sampleRate;
            EXPECT_EQ (Inspector::lfos (processor)[0].randomIndex, randomIndex)
                << "LFO 1 random position after preparing at " << c.sampleRate;

            for (size_t channel = 0; channel < 2; ++channel)
            {
                const auto& [dc, filter, reducer] = std::tie (Inspector::dcFilters (processor)[channel],
                                                              Inspector::filters (processor)[channel],
                                                              Inspector::reducers (processor)[channel]);
                const auto where = juce::String (c.sampleRate) + " Hz, channel " + juce::String ((int) channel);
                EXPECT_LT (std::abs (dc.pole - c.pole), 1.0e-6f) << "DC blocker pole " << dc.pole << " at " << where;
                EXPECT_EQ (dc.previousInput, 0.0f) << "DC blocker input at " << where;
                EXPECT_EQ (dc.previousOutput, 0.0f) << "DC blocker output at " << where;
                EXPECT_EQ (filter.s1, 0.0f) << "filter s1 at " << where;
                EXPECT_EQ (filter.s2, 0.0f) << "filter s2 at " << where;
                EXPECT_EQ (reducer.counter, 0) << "reducer counter at " << where;
                EXPECT_EQ (reducer.heldValue, 0.0f) << "reducer held value at " << where;
            }
        }
    }

    TEST (ProcessBlockTempo, SyncedRatesFollowThePlayHead)
    {
        // Every case first hears 90 BPM, then its own play head; with none the last tempo stays.
        // An absurd tempo sends the LFO phase to the far end of float, yet every read stays in its table.
        const auto nan = std::numeric_limits<double>::quiet_NaN();
        struct Case
        {
            juce::Optional<double> bpm;
            bool hasPosition, attached;
            float index, expectedBpm;
            double hz;
        };

        const Case cases[] = {
            { 90.0, true, true, 7.0f, 90.0f, 1.5 },          // "1/4"
            { 120.0, true, true, 11.0f, 120.0f, 8.0 },       // "1/16"
            { 0.0, true, true, 17.0f, 1.0f, 128.0 / 240.0 }, // "1/128", tempo 0 counting as 1 BPM
            { {}, true, true, 3.0f, 1.0f, 1.0 / 240.0 },     // "1 BAR"
            { {}, false, true, 3.0f, 1.0f, 1.0 / 240.0 },
            { nan, true, true, 3.0f, 1.0f, 1.0 / 240.0 },
            { std::numeric_limits<double>::infinity(), true, true, 3.0f, 1.0f, 1.0 / 240.0 },
            { 120.0, true, false, 7.0f, 90.0f, 1.5 },
            { 1.0e30, true, true, 7.0f, 1.0e30f, 1.0e30 / 60.0 }
        };

        for (const auto& c : cases)
        {
            FakePlayHead playHead;
            VevareroAudioProcessor processor;
            playHead.bpm = 90.0;
            processor.setPlayHead (&playHead);
            processor.prepareToPlay (48000.0, 64);
            setParameters (processor, { { "LFO_2_Sync", 1.0f },
                                        { "LFO_2_Synced_Rate", c.index } });
            processSilence (processor, 64);

            playHead.bpm = c.bpm;
            playHead.hasPosition = c.hasPosition;
            processor.setPlayHead (c.attached ? &playHead : nullptr);
            processSilence (processor, 64);

            const auto tempo = c.bpm.hasValue() ? juce::String (*c.bpm) : juce::String ("none");
            const auto where = juce::String ("play head ") + (c.attached ? "attached" : "detached")
                             + (c.hasPosition ? ", tempo " + tempo : ", no position")
                             + ", synced rate index " + juce::String (c.index);
            EXPECT_EQ (Inspector::bpm (processor), c.expectedBpm) << "tempo taken from " << where;
            EXPECT_NEAR (Inspector::lfos (processor)[1].increment * 48000.0, c.hz, c.hz * 1.0e-5)
                << "LFO 2 synced rate, " << where;
            EXPECT_NEAR (Inspector::lfos (processor)[0].increment * 48000.0, 1.0, 1.0e-5)
                << "LFO 1 keeps its free rate, " << where;
        }
    }

    TEST (ProcessBlockModulation, SourcesPushEveryTargetTowardsTheTopOfItsRange)
    {
        // Every base at the bottom of its range; the square of LFO 1 is 1 for its first half cycle.
        VevareroAudioProcessor processor;
        setParameters (processor, { { "Cutoff", 80.0f },
                                    { "Bits", 1.0f },
                                    { "Dry_Wet_Mix", 0.0f },
                                    { "LFO_1_Wave", 1.0f },
                                    { "LFO_1_Rate", 7.0f },
                                    { "LFO_2_Wave", 4.0f },
                                    { "LFO_2_Rate", 3.0f },
                                    { "LFOs_Mix", 25.0f } });
        prepareSettled (processor, 48000.0, 512);

        const struct { const char* name; juce::AudioBuffer<float>& buffer; float base, top; } targets[] = {
            { "cutoff",    Inspector::modulatedCutoffBuffer (processor),    80.0f, 18000.0f },
            { "resonance", Inspector::modulatedResonanceBuffer (processor), 0.0f,  1.0f },
            { "rate",      Inspector::modulatedRateBuffer (processor),      0.0f,  64.0f },
            { "bits",      Inspector::modulatedBitsBuffer (processor),      1.0f,  16.0f },
            { "dry/wet",   Inspector::modulatedDryWetBuffer (processor),    0.0f,  1.0f }
        };

        for (int source = 0; source <= 3; ++source)
        {
            for (const juce::String target : { "Cutoff", "Resonance", "Rate", "Bits", "Dry_Wet_Mix" })
                setParameters (processor, { { target + "_Mod_Source", (float) source }, { target + "_Mod_Depth", 1.0f } });

            processSilence (processor, 512);
            const auto* lfo1 = Inspector::lfoBuffers (processor)[0].getReadPointer (0);
            const auto* lfo2 = Inspector::lfoBuffers (processor)[1].getReadPointer (0);
            const auto* mix = Inspector::lfoMixBuffer (processor).getReadPointer (0);
            const float* const sources[] = { nullptr, lfo1, lfo2, mix };

            for (int i = 0; i < 512; ++i)
            {
                // "NONE" leaves every base alone; a source of 1 reaches exactly the top.
                const auto s = source == 0 ? 0.0f : sources[source][i];
                ASSERT_NEAR (mix[i], 0.75f * lfo1[i] + 0.25f * lfo2[i], 1.0e-6)
                    << "LFO mix at " << i << ", source " << source;

                for (const auto& t : targets)
                {
                    const auto tolerance = s == 0.0f || s == 1.0f ? 0.0f : 1.0e-6f * t.top;
                    ASSERT_NEAR (t.buffer.getSample (0, i), t.base + (t.top - t.base) * s, tolerance)
                        << t.name << " from source " << source << " at " << i << ", source value " << s;
                }
            }
        }
    }

    TEST (ProcessBlockChannels, EachChannelRunsTheStagesInOrderAndStereoEqualsTwoMonoRuns)
    {
        // Filter type, drive after the filter, lo-fi routing, then the knobs' real values. The
        // modulated settings also sweep the drive, and draw on the fixed waves only: each
        // instance has random tables of its own.
        struct Case
        {
            int type, post, loFi;
            float drive, rate, bits, cutoff, resonance, amp, dryWet;
            bool modulated;
        };

        const Case cases[] = {
            { 0, 0, 0, 40.0f, 0.0f, 16.0f, 900.0f, 70.0f, 0.0f, 100.0f, false },
            { 1, 1, 1, 100.0f, 3.0f, 5.0f, 2500.0f, 30.0f, -6.0f, 60.0f, false },
            { 2, 0, 2, 0.0f, 1.0f, 8.0f, 400.0f, 100.0f, 6.0f, 30.0f, false },
            { 3, 1, 0, 60.0f, 64.0f, 2.0f, 6000.0f, 0.0f, -20.0f, 100.0f, false },
            { 2, 1, 2, 30.0f, 2.0f, 6.0f, 3000.0f, 80.0f, -3.0f, 70.0f, true },
            { 0, 0, 1, 30.0f, 2.0f, 6.0f, 3000.0f, 80.0f, -3.0f, 70.0f, true }
        };
        const Settings modulation { { "LFO_1_Rate", 9.0f },
                                    { "LFO_2_Wave", 4.0f },
                                    { "LFO_2_Rate", 2.5f },
                                    { "Cutoff_Mod_Source", 1.0f },
                                    { "Cutoff_Mod_Depth", 0.7f },
                                    { "Resonance_Mod_Source", 2.0f },
                                    { "Resonance_Mod_Depth", 0.5f },
                                    { "Rate_Mod_Source", 3.0f },
                                    { "Rate_Mod_Depth", 0.2f },
                                    { "Bits_Mod_Source", 1.0f },
                                    { "Bits_Mod_Depth", 0.6f },
                                    { "Dry_Wet_Mix_Mod_Source", 2.0f },
                                    { "Dry_Wet_Mix_Mod_Depth", 0.5f } };

        juce::AudioBuffer<float> input (2, 3000);
        std::mt19937 rng (31);
        fillWithNoise (input, rng, 0.9f);

        for (const auto& c : cases)
        {
            auto prepare = [&c, &modulation] (VevareroAudioProcessor& processor, int maximumBlock)
            {
                setParameters (processor, { { "Filter_Type", (float) c.type },
                                            { "Distortion_Routing", (float) c.post },
                                            { "LoFi_Routing", (float) c.loFi },
                                            { "Drive", c.drive },
                                            { "Rate", c.rate },
                                            { "Bits", c.bits },
                                            { "Cutoff", c.cutoff },
                                            { "Resonance", c.resonance },
                                            { "Amplitude", c.amp },
                                            { "Dry_Wet_Mix", c.dryWet } });
                setParameters (processor, c.modulated ? modulation : Settings {});
                prepareSettled (processor, 44100.0, maximumBlock);
                setParameters (processor, c.modulated ? Settings { { "Drive", 90.0f } } : Settings {});
            };

            const auto caseName = "type " + juce::String (c.type) + (c.post ? ", drive post" : ", drive pre")
                                + ", lo-fi routing " + juce::String (c.loFi) + (c.modulated ? ", modulated" : "");

            VevareroAudioProcessor stereo;
            prepare (stereo, 1024);
            const auto both = render (stereo, input, { 256, 100, 0, 700, 256, 1, 1687 });

            for (int channel = 0; channel < 2; ++channel)
            {
                // A mono run that announced blocks of 64 takes its one block in pieces, and must
                // leave the second channel's state alone.
                VevareroAudioProcessor mono;
                ASSERT_TRUE (mono.setBusesLayout ({ { juce::AudioChannelSet::mono() }, { juce::AudioChannelSet::mono() } }))
                    << "mono layout refused";
                prepare (mono, 64);
                auto [filter, reducer, dc] = std::tie (Inspector::filters (mono)[1],
                                                       Inspector::reducers (mono)[1],
                                                       Inspector::dcFilters (mono)[1]);
                std::tie (filter.s1, reducer.counter, dc.previousOutput) = std::tuple (0.25f, 1, -0.125f);
                const juce::AudioBuffer<float> oneChannel (input.getArrayOfWritePointers() + channel, 1, 3000);
                const auto single = render (mono, oneChannel, { 3000 });

                const auto where = caseName + ", channel " + juce::String (channel);
                EXPECT_EQ (firstDifference (both.getReadPointer (channel), single.getReadPointer (0), 3000), 3000)
                    << "first sample where stereo and mono differ, " << where;

                // Mono leaves the second channel alone.
                EXPECT_EQ (filter.s1, 0.25f) << "second channel's filter s1, " << where;
                EXPECT_EQ (filter.s2, 0.0f) << "second channel's filter s2, " << where;
                EXPECT_EQ (filter.g, 1.0f) << "second channel's filter g, " << where;
                EXPECT_EQ (reducer.counter, 1) << "second channel's reducer counter, " << where;
                EXPECT_EQ (reducer.heldValue, 0.0f) << "second channel's reducer held value, " << where;
                EXPECT_EQ (dc.previousOutput, -0.125f) << "second channel's DC blocker output, " << where;
                EXPECT_EQ (dc.previousInput, 0.0f) << "second channel's DC blocker input, " << where;

                if (c.modulated)
                    continue;

                // The same stages built by hand: drive, filter (or the other way round), lo-fi, gain, DC blocker, crossfade.
                auto value = [&mono] (const char* id) { return mono.valueTreeState.getRawParameterValue (id)->load(); };
                const auto driveFactor = 1.0f + value ("Drive") * 0.01f * 14.0f;
                const auto gain = juce::Decibels::decibelsToGain (value ("Amplitude"));
                const auto gains = qrvx::crossfadeGains (value ("Dry_Wet_Mix") * 0.01f);
                using qrvx::LoFiRouting, qrvx::processLoFi;
                const decltype (&processLoFi<LoFiRouting::chain, float>) loFiStages[] = {
                    processLoFi<LoFiRouting::chain, float>,
                    processLoFi<LoFiRouting::mix, float>,
                    processLoFi<LoFiRouting::ring, float>
                };

                qrvx::StateVariableFilter<float> filterStage;
                qrvx::SamplerateReducer<float> reducerStage;
                qrvx::DCFilter<float> dcStage;
                filterStage.reset();
                filterStage.updateCoefficients (value ("Cutoff"), value ("Resonance") * 0.01f, 1.0f / 44100.0f);
                dcStage.prepare (44100.0);

                for (int i = 0; i < 3000; ++i)
                {
                    const auto x = input.getSample (channel, i);
                    const auto y = runFilter (filterStage, c.type, c.post ? x : std::sin (driveFactor * x));
                    const auto loFiInput = c.post ? std::sin (driveFactor * y) : y;
                    const auto loFi = loFiStages[c.loFi] (loFiInput, reducerStage, (int) c.rate, (int) c.bits);
                    ASSERT_NEAR (single.getSample (0, i), qrvx::crossfade (x, dcStage.process (loFi * gain), gains), 1.0e-5f)
                        << "stages by hand, " << where << " at " << i;
                }
            }
        }
    }

    TEST (ProcessBlockHostLimits, BlockBeforePrepareChangesNothingAndLongBlocksGoInPiecesThatMatchAnnouncedBlocks)
    {
        // Nothing is sized before prepareToPlay: a chunk loop over the empty work buffers would never end.
        VevareroAudioProcessor unprepared;
        setParameters (unprepared, { { "Cutoff", 500.0f },
                                     { "LFO_1_Rate", 30.0f } });
        juce::AudioBuffer<float> input (2, 512);
        std::mt19937 rng (5);
        fillWithNoise (input, rng, 0.5f);
        const auto passed = render (unprepared, input, { 512 });

        for (int channel = 0; channel < 2; ++channel)
            EXPECT_EQ (firstDifference (passed.getReadPointer (channel), input.getReadPointer (channel), 512), 512)
                << "first changed sample of an unprepared block, channel " << channel;

        const auto& cutoff = *Inspector::smoothers (unprepared)[0];
        EXPECT_EQ (cutoff.targetValue, 11000.0f) << "cutoff target: the parameters were not read";
        EXPECT_EQ (cutoff.currentValue, 11000.0f) << "cutoff value: the parameters were not read";
        EXPECT_EQ (Inspector::lfos (unprepared)[0].phase, 0.0f) << "LFO 1 phase of an unprepared processor";
        EXPECT_EQ (Inspector::filters (unprepared)[0].s2, 1.0f) << "filter s2 of an unprepared processor";

        // A host that announced 256 gets work buffers of 256 plus the slack. The cutoff ramps
        // through the whole run, so every control sample differs and the control buffer shows
        // where the last piece began: its values lie at the front, the earlier pieces' behind.
        constexpr int announced = 256, capacity = announced + Inspector::workBufferSlack;
        const struct { int block; std::vector<int> pieces; } cases[] = {
            { capacity,         { capacity } },
            { capacity + 1,     { capacity, 1 } },
            { 2 * capacity + 7, { capacity, capacity, 7 } }
        };

        for (const auto& c : cases)
        {
            input.setSize (2, c.block);
            fillWithNoise (input, rng, 0.8f);

            auto run = [&input] (VevareroAudioProcessor& processor, int maximumBlock, const std::vector<int>& blocks)
            {
                setParameters (processor, { { "Resonance", 60.0f },
                                            { "Rate", 3.0f },
                                            { "LFO_1_Rate", 40.0f },
                                            { "Cutoff_Mod_Source", 1.0f },
                                            { "Cutoff_Mod_Depth", 0.3f } });
                processor.prepareToPlay (44100.0, maximumBlock);
                setParameters (processor, { { "Cutoff", 2000.0f } });
                return render (processor, input, blocks);
            };

            VevareroAudioProcessor oversized, announcedPieces;
            const auto whole = run (oversized, announced, { c.block });
            const auto pieces = run (announcedPieces, capacity, c.pieces);

            for (int channel = 0; channel < 2; ++channel)
                EXPECT_EQ (firstDifference (whole.getReadPointer (channel), pieces.getReadPointer (channel), c.block), c.block)
                    << "first sample where one block of " << c.block << " and the pieces differ, channel " << channel;

            const auto* wholeCutoff = Inspector::cutoffBuffer (oversized).getReadPointer (0);
            const auto* piecesCutoff = Inspector::cutoffBuffer (announcedPieces).getReadPointer (0);
            EXPECT_EQ (firstDifference (wholeCutoff, piecesCutoff, capacity), capacity)
                << "first control sample where one block of " << c.block << " and announced pieces differ";
        }
    }

   #if JUCE_INTEL
    TEST (ProcessBlockChannels, FlushToZeroIsSetForTheBlockAndRestoredAfter)
    {
        VevareroAudioProcessor processor;
        juce::AudioBuffer<float> tiny (2, 64);
        tiny.clear();
        tiny.setSample (0, 0, 1.0e-39f);
        const auto savedMode = _mm_getcsr();

        for (const unsigned int mode : { savedMode & ~0x8040u, savedMode | 0x8040u })
        {
            // A tiny input keeps the DC blocker's state in the denormal range unless they are flushed.
            _mm_setcsr (mode);
            processor.prepareToPlay (44100.0, 64);
            render (processor, tiny, { 64 });
            const auto after = _mm_getcsr();
            _mm_setcsr (savedMode);
            EXPECT_EQ (after & 0x8040u, mode & 0x8040u) << "the caller's mode comes back, caller's mode " << mode;
            EXPECT_EQ (Inspector::dcFilters (processor)[0].previousOutput, 0.0f)
                << "denormals were flushed inside, caller's mode " << mode;
        }
    }
   #endif

    TEST (ProcessBlockStability, LowCutoffsDieAwayAfterTheInputStops)
    {
        // Settings where the band integrator's gain would outweigh the filter's damping, and ones
        // where the quantiser meets the filter's residue after the input stops: half a second of a
        // 240 Hz sine, then silence. Three seconds on, what is left must lie below -100 dBFS, in
        // whichever tap, wherever the drive sits and however the lo-fi stage combines.
        const struct { double sampleRate; float cutoff, resonance; int type, post; float drive, level; int bits, loFi, rate; } cases[] = {
            { 44100.0,  80.0f,    0.0f,   0, 0, 0.0f,   0.2f, 16, 0, 0 },
            { 96000.0,  80.0f,    0.0f,   0, 0, 0.0f,   0.2f, 16, 0, 0 },
            { 44100.0,  125.0f,   0.0f,   1, 0, 0.0f,   0.2f, 16, 0, 0 },
            { 96000.0,  800.0f,   42.0f,  2, 0, 0.0f,   1.0f, 16, 0, 0 },
            { 48000.0,  1700.0f,  100.0f, 0, 0, 0.0f,   0.2f, 16, 0, 0 },
            { 48000.0,  80.0f,    100.0f, 0, 0, 0.0f,   0.2f, 16, 0, 0 },
            { 192000.0, 80.0f,    100.0f, 0, 0, 0.0f,   1.0f, 16, 0, 0 },
            { 48000.0,  80.0f,    0.0f,   0, 1, 100.0f, 1.0f, 16, 0, 0 },
            { 44100.0,  11000.0f, 0.0f,   0, 0, 0.0f,   0.2f, 8,  0, 0 },
            { 44100.0,  11000.0f, 0.0f,   0, 0, 0.0f,   0.2f, 8,  1, 0 },
            { 48000.0,  80.0f,    100.0f, 0, 0, 0.0f,   0.2f, 8,  0, 0 },
            { 44100.0,  11000.0f, 0.0f,   0, 0, 0.0f,   0.2f, 1,  1, 5 },
            { 48000.0,  80.0f,    100.0f, 0, 1, 100.0f, 1.0f, 8,  0, 0 },
        };

        for (const auto& c : cases)
        {
            VevareroAudioProcessor processor;
            setParameters (processor, { { "Cutoff", c.cutoff },
                                        { "Resonance", c.resonance },
                                        { "Filter_Type", (float) c.type },
                                        { "Distortion_Routing", (float) c.post },
                                        { "Drive", c.drive },
                                        { "Bits", (float) c.bits },
                                        { "LoFi_Routing", (float) c.loFi },
                                        { "Rate", (float) c.rate } });
            prepareSettled (processor, c.sampleRate, 512);

            // The tone, three seconds of silence and at least 4096 samples measured, in whole blocks of 512.
            const auto toneLength = (int) (c.sampleRate / 2), silenceLength = (int) (c.sampleRate * 3);
            const auto totalLength = (toneLength + silenceLength + 4096 + 511) / 512 * 512;
            juce::AudioBuffer<float> input (2, totalLength);
            input.clear();

            for (int i = 0; i < toneLength; ++i)
                for (int channel = 0; channel < 2; ++channel)
                    input.setSample (channel, i, c.level * (float) std::sin (juce::MathConstants<double>::twoPi * 240.0 * i / c.sampleRate));

            auto output = render (processor, input, std::vector<int> ((size_t) totalLength / 512, 512));
            const juce::AudioBuffer<float> tail (output.getArrayOfWritePointers(), 2, toneLength + silenceLength,
                                                 totalLength - toneLength - silenceLength);

            EXPECT_LT (peakOrInfinity (tail), 1.0e-5f)
                << "peak 3 s after the input stopped: " << c.sampleRate << " Hz, Cutoff " << c.cutoff << " Hz, Resonance "
                << c.resonance << " %, filter type " << c.type << (c.post ? ", drive post " : ", drive pre ") << c.drive
                << " %, Bits " << c.bits << ", LoFi routing " << c.loFi << ", Rate " << c.rate
                << ", input level " << juce::String (c.level);
        }
    }

    TEST (ProcessBlockStability, TopCutoffNearOrPastNyquistStaysBounded)
    {
        for (const double sampleRate : { 22050.0, 32000.0, 36000.0 })
        {
            for (int setting = 0; setting < 8; ++setting) // each filter type, drive before and after it
            {
                VevareroAudioProcessor processor;
                setParameters (processor, { { "Cutoff", 18000.0f },
                                            { "Resonance", 100.0f },
                                            { "Filter_Type", (float) (setting / 2) },
                                            { "Distortion_Routing", (float) (setting % 2) },
                                            { "Cutoff_Mod_Source", 1.0f },
                                            { "Cutoff_Mod_Depth", 1.0f },
                                            { "Resonance_Mod_Source", 2.0f },
                                            { "Resonance_Mod_Depth", 1.0f } });
                prepareSettled (processor, sampleRate, 512);
                juce::AudioBuffer<float> buffer (2, 512);
                std::mt19937 rng (23);

                for (int block = 0; block < (int) sampleRate / 512; ++block)
                {
                    fillWithNoise (buffer, rng, block % 2 == 0 ? 1.0f : 0.01f);
                    ASSERT_LT (peakOrInfinity (render (processor, buffer, { 512 })), 8.0f)
                        << "peak at " << sampleRate << " Hz, filter type " << setting / 2
                        << (setting % 2 ? ", drive post" : ", drive pre") << ", block " << block;
                }
            }
        }
    }
}
