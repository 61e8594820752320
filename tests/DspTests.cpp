#include "SignalTestSupport.h"

#include "dsp/BeatTranslator.h"

namespace
{
    constexpr double twoPi = juce::MathConstants<double>::twoPi;
    using Lfo = qrvx::LFO<float>;

    TEST (DspDCFilter, ConstantDecaysByThePoleWhileAudioPasses)
    {
        qrvx::DCFilter<float> constant, sine;
        constant.prepare (44100.0);
        sine.prepare (44100.0);
        float expected = 1.0f, sinePeak = 0.0f;

        for (int i = 0; i < 2 * 44100; ++i, expected *= constant.pole)
        {
            ASSERT_NEAR (constant.process (1.0f), expected, 1.0e-6) << "constant input at sample " << i;
            const auto output = sine.process ((float) std::sin (twoPi * 1000.0 * i / 44100.0));
            sinePeak = i < 44100 ? 0.0f : std::max (sinePeak, std::abs (output));
        }

        EXPECT_LT (expected, 1.0e-3f) << "the DC is gone";
        EXPECT_NEAR (sinePeak, 1.0f, 0.01f) << "a 1 kHz tone passes";
    }

    TEST (DspLoFi, QuantiserHoldAndTheirRoutings)
    {
        // Worked values, then the floor: below 2^-24 a sample passes as 0 does, from 2^-24 on it
        // comes out as at least a quarter step.
        const struct { float input; int levels; float expected; } cases[] = {
            { 0.2f,  1,  0.25f },
            { -0.2f, 1,  -0.25f },
            { 0.5f,  1,  0.75f },
            { 0.3f,  4,  0.3125f },
            { -0.3f, 4,  -0.3125f },
            { 0.05f, 4,  0.0625f },
            { 1.0f,  2,  0.875f },
            { 0.37f, 16, 0.37f },
            { 0.0f,  1,  0.0f },
            { 0.0f,  7,  0.0f },
            { 0x1.fffffep-25f,  8, 0x1.fffffep-25f },
            { -0x1.fffffep-25f, 1, -0x1.fffffep-25f },
            { 0x1.0p-24f,       8, 0.03125f },
            { 0x1.000002p-24f,  8, 0.03125f },
            { -0x1.000002p-24f, 8, -0.03125f }
        };

        for (const auto& c : cases)
            EXPECT_FLOAT_EQ (qrvx::quantise (c.input, c.levels), c.expected)
                << "quantise " << c.input << " at " << c.levels << " levels";

        // Each taken sample is held for rate + 1 samples. Rate 0 mid-hold passes the input and
        // freezes the count: back at 4, the old value sees its count out.
        qrvx::SamplerateReducer<float> reducers[4];
        const int rates[] = { 1, 2, 64 };

        // Step i feeds the input i + 1 at the given rate.
        const struct { int rate; float held; } switched[] = {
            { 4, 1 },
            { 4, 1 },
            { 4, 1 },
            { 0, 4 },
            { 0, 5 },
            { 0, 6 },
            { 0, 7 },
            { 0, 8 },
            { 4, 1 },
            { 4, 1 },
            { 4, 11 }
        };

        for (int i = 0; i < 300; ++i)
            for (int r = 0; r < 3; ++r)
                ASSERT_EQ (reducers[r].process ((float) i, rates[r]), (float) (i - i % (rates[r] + 1)))
                    << "rate " << rates[r] << " at " << i;

        for (int i = 0; i < 11; ++i)
            EXPECT_EQ (reducers[3].process ((float) i + 1.0f, switched[i].rate), switched[i].held)
                << "switched step " << i << " at rate " << switched[i].rate;

        // At rate 1 and 4 levels CHAIN quantises the held value, MIX averages it with the
        // quantised input, RING multiplies the two.
        using qrvx::LoFiRouting, qrvx::processLoFi, qrvx::quantise;
        qrvx::SamplerateReducer<float> chain, mix, ring;
        const float inputs[] = { -0.9f, 0.3f, 0.9f, -0.6f, 0.1f, 0.77f };

        for (int i = 0; i < 6; ++i)
        {
            const auto x = inputs[i], held = inputs[i - i % 2];
            EXPECT_FLOAT_EQ (processLoFi<LoFiRouting::chain> (x, chain, 1, 4), quantise (held, 4))
                << "CHAIN, input " << i;
            EXPECT_FLOAT_EQ (processLoFi<LoFiRouting::mix> (x, mix, 1, 4), (held + quantise (x, 4)) * 0.5f)
                << "MIX, input " << i;
            EXPECT_FLOAT_EQ (processLoFi<LoFiRouting::ring> (x, ring, 1, 4), quantise (x, 4) * held)
                << "RING, input " << i;
        }
    }

    TEST (DspCrossfade, EqualPowerGains)
    {
        const struct { float amount, dry, wet; double tolerance; } cases[] = {
            { 0.0f, 1.0f,    4.77e-6f, 5.0e-8 },
            { 0.5f, 0.7077f, 0.7077f,  1.0e-4 },
            { 1.0f, 4.77e-6f, 1.0f,    5.0e-8 }
        };

        for (const auto& c : cases)
        {
            const auto dryGain = qrvx::crossfade (1.0f, 0.0f, c.amount);
            const auto wetGain = qrvx::crossfade (0.0f, 1.0f, c.amount);
            EXPECT_LE (std::abs (dryGain - c.dry), c.tolerance) << "dry gain " << dryGain << " at amount " << c.amount;
            EXPECT_LE (std::abs (wetGain - c.wet), c.tolerance) << "wet gain " << wetGain << " at amount " << c.amount;
        }
    }

    /** Steady-state peak output at 44.1 kHz for a sine of the given level and frequency. */
    float sineResponse (int type, float cutoff, float resonance, double frequency, float level)
    {
        qrvx::StateVariableFilter<float> filter;
        filter.reset();
        filter.updateCoefficients (cutoff, resonance, 1.0f / 44100.0f);
        float peak = 0.0f;

        for (int i = 0; i < 22050; ++i)
        {
            const auto input = level * (float) std::sin (twoPi * frequency * i / 44100.0);
            const auto output = signaltest::runFilter (filter, type, input);
            peak = i < 11025 ? 0.0f : std::max (peak, std::abs (output));
        }

        return peak;
    }

    TEST (DspFilter, FullResonancePeaksAtTheCutoffAndStopBandsStop)
    {
        // Lowpass and bandpass, at cutoffs where the band integrator runs 4 % hot and, lower
        // down, where its gain is held back so that the filter still settles.
        for (const auto& [type, cutoff] : { std::pair (0, 300.0f),
                                            std::pair (0, 1000.0f),
                                            std::pair (0, 4000.0f),
                                            std::pair (0, 12000.0f),
                                            std::pair (2, 300.0f),
                                            std::pair (2, 1000.0f),
                                            std::pair (2, 4000.0f),
                                            std::pair (2, 12000.0f) })
        {
            std::pair<float, double> best;

            for (double frequency = cutoff * 0.5; frequency < cutoff * 2.0; frequency *= 1.02)
                best = std::max (best, std::pair (sineResponse (type, cutoff, 1.0f, frequency, 0.01f), frequency));

            EXPECT_NEAR (best.second / cutoff, 1.0, 0.05)
                << "peak frequency over cutoff: type " << type << " cutoff " << cutoff;
            EXPECT_GT (best.first, 0.05f)
                << "full resonance lifts the cutoff well above unity: type " << type << " cutoff " << cutoff;
        }

        for (const auto& [type, frequency] : { std::pair (0, 8000.0),
                                               std::pair (1, 100.0),
                                               std::pair (3, 1000.0) })
            EXPECT_LT (sineResponse (type, 1000.0f, 0.0f, frequency, 0.1f), 0.01f)
                << "type " << type << " at " << frequency << " Hz, cutoff 1000 Hz";
    }

    TEST (DspFilter, WhereTheBandIntegratorSettlesAtFullFactorEverySampleIsThatStep)
    {
        // Settings where the band integrator keeps its full 1.04 factor: every tap and both states
        // stay bit-identical to that step written out, over noise loud enough to saturate the tanh.
        const struct { double sampleRate; float cutoff, resonance; } cases[] = {
            { 44100.0, 11000.0f, 0.0f },
            { 48000.0, 8000.0f,  1.0f },
            { 48000.0, 5500.0f,  1.0f },
            { 48000.0, 2000.0f,  0.5f },
            { 48000.0, 250.0f,   0.0f },
            { 96000.0, 600.0f,   0.0f },
        };

        for (const auto& c : cases)
        {
            for (int type = 0; type < 4; ++type)
            {
                qrvx::StateVariableFilter<float> filter;
                filter.reset();
                filter.updateCoefficients (c.cutoff, c.resonance, (float) (1.0 / c.sampleRate));
                const auto [g, h, k] = std::tuple (filter.g, filter.h, filter.k);
                float s1 = 0.0f, s2 = 0.0f;
                std::mt19937 rng (7);
                std::uniform_real_distribution<float> noise (-1.0f, 1.0f);

                for (int i = 0; i < 4096; ++i)
                {
                    const auto x = noise (rng);
                    const float hp = ((x - k * s1) - s2) * h;
                    const float gHp = g * hp;
                    const double bp = std::tanh ((double) ((s1 + gHp) * 1.04f));
                    const double lp = (double) s2 + (double) g * bp;
                    s1 = (float) ((double) gHp + bp);
                    s2 = (float) ((double) g * bp + lp);
                    const float taps[] = { (float) lp, hp, (float) bp, (float) (lp * 0.5 + (double) hp * 0.5) };

                    const auto output = signaltest::runFilter (filter, type, x);
                    ASSERT_TRUE (output == taps[type] && filter.s1 == s1 && filter.s2 == s2)
                        << "output " << output << " (step " << taps[type] << "), s1 " << filter.s1 << " (" << s1 << "), s2 "
                        << filter.s2 << " (" << s2 << "): " << c.sampleRate << " Hz, cutoff " << c.cutoff
                        << " Hz, resonance " << c.resonance << ", type " << type << ", sample " << i;
                }
            }
        }
    }

    std::vector<float> render (Lfo& lfo, int wave, float rateHz, float sampleRate, int numSamples)
    {
        std::vector<float> values ((size_t) numSamples);
        lfo.setRate (rateHz, 1.0f / sampleRate);
        lfo.render (wave, values.data(), numSamples);
        return values;
    }

    TEST (DspLFO, TablesHaveTheirShapesAndRandomOnesDifferBetweenInstances)
    {
        using namespace qrvx;
        Lfo lfo, other;
        ASSERT_EQ (lfo.tables.size(), (size_t) numLFOWaves) << "one table per wave";

        for (size_t wave = 0; wave < lfo.tables.size(); ++wave)
        {
            const auto& samples = lfo.tables[wave].samples;
            ASSERT_EQ (samples.size(), (size_t) 1024) << "entries in the table of wave " << wave;

            for (size_t i = 0; i < samples.size(); ++i)
                ASSERT_LE (std::abs (samples[i]), 1.0f) << "wave " << wave << " entry " << i;
        }

        const struct { int wave, index; float value; } points[] = {
            { squareWave,   511,  1.0f },
            { squareWave,   512,  -1.0f },
            { sawUpWave,    0,    -1.0f },
            { sawUpWave,    512,  0.0f },
            { sawUpWave,    1023, 1.0f - 2.0f / 1024.0f },
            { sawDownWave,  0,    1.0f },
            { sawDownWave,  512,  0.0f },
            { triangleWave, 0,    -1.0f },
            { triangleWave, 512,  1.0f },
            { triangleWave, 1023, -1.0f + 2.0f / 512.0f }
        };

        for (const auto& p : points)
            EXPECT_NEAR (lfo.tables[(size_t) p.wave].samples[(size_t) p.index], p.value, 1.0e-6)
                << "wave " << p.wave << " entry " << p.index;

        for (const int wave : { randomWave, smoothRandomWave })
            EXPECT_NE (lfo.tables[(size_t) wave].samples, other.tables[(size_t) wave].samples)
                << "wave " << wave << " is the same in two LFOs";

        // Smooth random joins anchors 16 entries apart by straight lines, the last back to the first.
        const auto& smooth = lfo.tables[smoothRandomWave].samples;

        for (size_t i = 0; i < 1024; ++i)
        {
            const auto anchor = i / 16 * 16, nextAnchor = (anchor + 16) % 1024;
            const auto between = smooth[anchor] + (float) (i % 16) / 16.0f * (smooth[nextAnchor] - smooth[anchor]);
            ASSERT_NEAR (smooth[i], between, 1.0e-5f) << "smooth random entry " << i;
        }
    }

    TEST (DspLFO, WavesRunTheirCyclesFromTheStartAndRandomOnesStepAtEveryWrap)
    {
        // Square and random spend whole half and whole cycles at one level; the float phase of
        // the square runs a few hundredths of a percent off.
        for (const auto& [wave, rateHz, tolerance] : { std::tuple (qrvx::squareWave, 1.0f, 48),
                                                       std::tuple (qrvx::randomWave, 2.0f, 2) })
        {
            Lfo lfo;
            const auto values = render (lfo, wave, rateHz, 48000.0f, 48000 * 5);
            EXPECT_EQ (values.front(), (lfo.tables[(size_t) wave].samples[0] + 1.0f) * 0.5f)
                << "entry 0 comes first: wave " << wave;
            std::vector<int> runs { 1 };

            for (size_t i = 1; i < values.size(); ++i)
                values[i] == values[i - 1] ? (void) ++runs.back() : runs.push_back (1);

            ASSERT_GE (runs.size(), (size_t) 9) << "runs of one level in wave " << wave;

            for (size_t run = 1; run + 1 < runs.size(); ++run)
                EXPECT_NEAR (runs[run], 24000, tolerance) << "wave " << wave << " run " << run;
        }

        // The sine starts in the middle and peaks a quarter cycle on; a raised rate goes on from there.
        Lfo sine;
        const auto quarter = render (sine, qrvx::sineWave, 1.0f, 48000.0f, 12001);
        const auto half = render (sine, qrvx::sineWave, 2.0f, 48000.0f, 12000);
        EXPECT_EQ (quarter.front(), 0.5f) << "sine at its start";
        EXPECT_LT (std::abs (quarter.back() - 1.0f), 1.0e-4f) << "sine a quarter cycle on is " << quarter.back();
        EXPECT_LT (std::abs (half.front() - 1.0f), 1.0e-4f) << "sine just after the rate doubles is " << half.front();
        EXPECT_LT (std::abs (half.back()), 1.0e-4f) << "sine a quarter cycle after the rate doubles is " << half.back();

        // The random position counts every wrap whatever the wave, one sample late.
        for (const int wave : { qrvx::sineWave, qrvx::squareWave, qrvx::randomWave, qrvx::smoothRandomWave })
        {
            Lfo lfo;
            lfo.setRate (0.3f, 0.5f);

            for (int i = 0, wraps = 0; i < 20000; ++i)
            {
                const auto phaseBefore = lfo.phase;
                lfo.tick (wave);
                ASSERT_EQ (lfo.randomIndex, wraps % 1024) << "wave " << wave << " at " << i;
                wraps += lfo.phase < phaseBefore ? 1 : 0;
            }
        }
    }

    TEST (DspBeatTranslator, PlainNotesDoubleAndDottedOnesSitAtFourThirds)
    {
        // A whole note of 2 s (120 BPM): "1 BAR" (index 3) is 0.5 Hz.
        for (int k = 0; k < 18; ++k)
        {
            const auto cycles = k <= 3     ? std::pow (2.0, k - 3)
                              : k % 2 == 1 ? std::pow (2.0, (k - 3) / 2)
                                           : 4.0 / 3.0 * std::pow (2.0, (k - 4) / 2);
            EXPECT_NEAR (qrvx::BeatTranslator::syncedRate (k, 2000.0f), cycles * 0.5, cycles * 1.0e-6)
                << "synced rate index " << k;
        }
    }
}
