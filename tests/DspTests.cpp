#include "SignalTestSupport.h"

#include "dsp/BeatTranslator.h"

namespace
{
    constexpr double twoPi = juce::MathConstants<double>::twoPi;
    using Filter = qrvx::StateVariableFilter<float>;
    using Lfo = qrvx::LFO<float>;

    TEST (DspDCFilter, ConstantDecaysByThePoleWhileAudioPasses)
    {
        qrvx::DCFilter<float> constant, sine;
        constant.prepare (44100.0);
        sine.prepare (44100.0);
        float expected = 1.0f, sinePeak = 0.0f;

        for (int i = 0; i < 2 * 44100; ++i, expected *= constant.pole)
        {
            ASSERT_NEAR (constant.process (1.0f), expected, 1.0e-6) << i;
            const auto output = sine.process ((float) std::sin (twoPi * 1000.0 * i / 44100.0));
            sinePeak = i < 44100 ? 0.0f : std::max (sinePeak, std::abs (output));
        }

        EXPECT_LT (expected, 1.0e-3f) << "the DC is gone";
        EXPECT_NEAR (sinePeak, 1.0f, 0.01f) << "a 1 kHz tone passes";
    }

    TEST (DspLoFi, QuantiserWorkedValues)
    {
        const struct { float input; int levels; float expected; } cases[] = {
            { 0.2f, 1, 0.25f }, { -0.2f, 1, -0.25f }, { 0.5f, 1, 0.75f }, { 0.3f, 4, 0.3125f }, { -0.3f, 4, -0.3125f },
            { 0.05f, 4, 0.0625f }, { 1.0f, 2, 0.875f }, { 0.37f, 16, 0.37f }, { 0.0f, 1, 0.0f }, { 0.0f, 7, 0.0f }
        };

        for (const auto& c : cases)
            EXPECT_FLOAT_EQ (qrvx::quantise (c.input, c.levels), c.expected) << c.input << " at " << c.levels;
    }

    TEST (DspLoFi, EachTakenSampleIsHeldForRatePlusOneAndRateZeroFreezesTheCount)
    {
        for (const int rate : { 1, 2, 64 })
        {
            qrvx::SamplerateReducer<float> reducer;
            for (int i = 0; i < 300; ++i)
                ASSERT_EQ (reducer.process ((float) i, rate), (float) (i - i % (rate + 1))) << "rate " << rate << " at " << i;
        }

        // Rate 0 mid-hold passes the input; back at 4, the old value sees its count out.
        qrvx::SamplerateReducer<float> reducer;
        const int rates[] = { 4, 4, 4, 0, 0, 0, 0, 0, 4, 4, 4 };
        const float expected[] = { 1, 1, 1, 4, 5, 6, 7, 8, 1, 1, 11 };

        for (int i = 0; i < 11; ++i)
            EXPECT_EQ (reducer.process ((float) i + 1.0f, rates[i]), expected[i]) << i;
    }

    TEST (DspLoFi, RoutingsCombineHoldAndQuantiser)
    {
        using qrvx::LoFiRouting, qrvx::processLoFi, qrvx::quantise;
        qrvx::SamplerateReducer<float> idle, chain, mix, ring;
        const float inputs[] = { -0.9f, 0.3f, 0.9f, -0.6f, 0.1f, 0.77f };

        for (int i = 0; i < 6; ++i)
        {
            // At the defaults (rate 0, 16 levels) CHAIN and MIX pass the signal and RING squares it;
            // at rate 1 and 4 levels CHAIN quantises the held value, MIX averages it with the
            // quantised input, RING multiplies the two.
            const auto x = inputs[i], held = inputs[i - i % 2];
            EXPECT_EQ (processLoFi<LoFiRouting::chain> (x, idle, 0, 16), x);
            EXPECT_EQ (processLoFi<LoFiRouting::mix> (x, idle, 0, 16), x);
            EXPECT_EQ (processLoFi<LoFiRouting::ring> (x, idle, 0, 16), x * x);
            EXPECT_FLOAT_EQ (processLoFi<LoFiRouting::chain> (x, chain, 1, 4), quantise (held, 4)) << i;
            EXPECT_FLOAT_EQ (processLoFi<LoFiRouting::mix> (x, mix, 1, 4), (held + quantise (x, 4)) * 0.5f) << i;
            EXPECT_FLOAT_EQ (processLoFi<LoFiRouting::ring> (x, ring, 1, 4), quantise (x, 4) * held) << i;
        }
    }

    TEST (DspCrossfade, EqualPowerGains)
    {
        const struct { float amount, dry, wet; double tolerance; } cases[] = {
            { 0.0f, 1.0f, 4.77e-6f, 5.0e-8 }, { 0.5f, 0.7077f, 0.7077f, 1.0e-4 }, { 1.0f, 4.77e-6f, 1.0f, 5.0e-8 }
        };

        for (const auto& c : cases)
        {
            EXPECT_NEAR (qrvx::crossfade (1.0f, 0.0f, c.amount), c.dry, c.tolerance) << c.amount;
            EXPECT_NEAR (qrvx::crossfade (0.0f, 1.0f, c.amount), c.wet, c.tolerance) << c.amount;
        }
    }

    /** Steady-state peak output at 44.1 kHz for a sine of the given level and frequency. */
    float sineResponse (int type, float cutoff, float resonance, double frequency, float level)
    {
        Filter filter;
        filter.reset();
        filter.updateCoefficients (cutoff, resonance, 1.0f / 44100.0f);
        float peak = 0.0f;

        for (int i = 0; i < 22050; ++i)
        {
            const auto output = signaltest::runFilter (filter, type, level * (float) std::sin (twoPi * frequency * i / 44100.0));
            peak = i < 11025 ? 0.0f : std::max (peak, std::abs (output));
        }

        return peak;
    }

    TEST (DspFilter, FullResonancePeaksAtTheCutoffAndStopBandsStop)
    {
        // Lowpass and bandpass. Below about 3 kHz full resonance rings on by itself (the band
        // integrator runs 4 % hot), so the peak is measured where the filter settles.
        for (const int type : { 0, 2 })
        {
            for (const float cutoff : { 4000.0f, 12000.0f })
            {
                double bestFrequency = 0.0;
                float bestLevel = 0.0f;

                for (double frequency = cutoff * 0.5; frequency < cutoff * 2.0; frequency *= 1.02)
                    if (const auto level = sineResponse (type, cutoff, 1.0f, frequency, 0.01f); level > bestLevel)
                        std::tie (bestLevel, bestFrequency) = std::tuple (level, frequency);

                EXPECT_NEAR (bestFrequency / cutoff, 1.0, 0.05) << "type " << type << " cutoff " << cutoff;
                EXPECT_GT (bestLevel, 0.05f) << "full resonance lifts the cutoff well above unity";
            }
        }

        for (const auto& [type, frequency] : { std::pair (0, 8000.0), std::pair (1, 100.0), std::pair (3, 1000.0) })
            EXPECT_LT (sineResponse (type, 1000.0f, 0.0f, frequency, 0.1f), 0.01f) << "type " << type;
    }

    TEST (DspFilter, NotchIsTheMeanOfLowAndHighPassAndLoudBandpassStaysWithinUnity)
    {
        std::mt19937 rng (11);
        std::uniform_real_distribution<float> noise (-100.0f, 100.0f);

        for (const float cutoff : { 80.0f, 1000.0f, 18000.0f })
        {
            Filter notch;
            notch.reset();

            for (int i = 0; i < 44100; ++i)
            {
                const auto input = i < 22050 ? noise (rng) : 20.0f * (float) std::sin (twoPi * cutoff * i / 44100.0);
                notch.updateCoefficients (cutoff, i % 2 == 0 ? 1.0f : 0.6f, 1.0f / 44100.0f);
                auto lowpass = notch, highpass = notch, bandpass = notch;
                const auto mean = 0.5f * (lowpass.filter<qrvx::FilterType::lowpass> (input) + highpass.filter<qrvx::FilterType::highpass> (input));
                ASSERT_NEAR (notch.filter<qrvx::FilterType::notch> (input), mean, 1.0e-5f * std::max (1.0f, std::abs (mean))) << cutoff << " at " << i;
                ASSERT_LE (std::abs (bandpass.filter<qrvx::FilterType::bandpass> (input)), 1.0f) << cutoff << " at " << i;
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
        ASSERT_EQ (lfo.tables.size(), (size_t) numLFOWaves);

        for (const auto& table : lfo.tables)
            ASSERT_TRUE (table.samples.size() == 1024
                         && std::all_of (table.samples.begin(), table.samples.end(), [] (float v) { return std::abs (v) <= 1.0f; }));

        const struct { int wave, index; float value; } points[] = {
            { squareWave, 511, 1.0f }, { squareWave, 512, -1.0f }, { sawUpWave, 0, -1.0f }, { sawUpWave, 512, 0.0f },
            { sawUpWave, 1023, 1.0f - 2.0f / 1024.0f }, { sawDownWave, 0, 1.0f }, { sawDownWave, 512, 0.0f }, { triangleWave, 0, -1.0f },
            { triangleWave, 512, 1.0f }, { triangleWave, 1023, -1.0f + 2.0f / 512.0f }
        };

        for (const auto& p : points)
            EXPECT_NEAR (lfo.tables[(size_t) p.wave].samples[(size_t) p.index], p.value, 1.0e-6) << p.wave << " at " << p.index;

        for (const int wave : { randomWave, smoothRandomWave })
            EXPECT_NE (lfo.tables[(size_t) wave].samples, other.tables[(size_t) wave].samples) << wave;
    }

    TEST (DspLFO, SquareSpendsHalfACycleAtEachLevelAndRandomHoldsOneLevelPerCycle)
    {
        // The float phase of the square runs a few hundredths of a percent off.
        for (const auto& [wave, rateHz, tolerance] : { std::tuple (qrvx::squareWave, 1.0f, 48), std::tuple (qrvx::randomWave, 2.0f, 2) })
        {
            Lfo lfo;
            const auto values = render (lfo, wave, rateHz, 48000.0f, 48000 * 5);
            EXPECT_EQ (values.front(), (lfo.tables[(size_t) wave].samples[0] + 1.0f) * 0.5f) << "entry 0 comes first";
            std::vector<int> runs { 1 };

            for (size_t i = 1; i < values.size(); ++i)
                values[i] == values[i - 1] ? (void) ++runs.back() : runs.push_back (1);

            ASSERT_GE (runs.size(), (size_t) 9) << wave;

            for (size_t run = 1; run + 1 < runs.size(); ++run)
                EXPECT_NEAR (runs[run], 24000, tolerance) << "wave " << wave << " run " << run;
        }
    }

    TEST (DspLFO, SineStartsAtTheMiddleAndPeaksAQuarterCycleLaterAndARaisedRateGoesOnFromThere)
    {
        Lfo lfo;
        const auto quarter = render (lfo, qrvx::sineWave, 1.0f, 48000.0f, 12001);
        const auto half = render (lfo, qrvx::sineWave, 2.0f, 48000.0f, 12000);

        EXPECT_EQ (quarter.front(), 0.5f);
        EXPECT_NEAR (quarter.back(), 1.0f, 1.0e-4f);
        EXPECT_NEAR (half.front(), 1.0f, 1.0e-4f) << "no jump";
        EXPECT_NEAR (half.back(), 0.0f, 1.0e-4f) << "half a cycle at 2 Hz";
    }

    TEST (DspLFO, SmoothRandomMovesOneSixteenthOfAnAnchorStepPerCycle)
    {
        Lfo lfo;
        const auto& table = lfo.tables[qrvx::smoothRandomWave].samples;
        const auto values = render (lfo, qrvx::smoothRandomWave, 0.25f, 1.0f, 4 * 40 + 1); // four samples a cycle

        // The level of a cycle shows from its second sample on: the wrap is seen one sample late.
        for (int cycle = 1; cycle < 40; ++cycle)
        {
            const auto segment = (size_t) (cycle - 1) / 16;
            const auto step = (table[(segment + 1) * 16] - table[segment * 16]) / 16.0f * 0.5f;
            EXPECT_TRUE (cycle % 16 == 0 || std::abs (values[(size_t) (4 * cycle + 1)] - values[(size_t) (4 * cycle - 3)] - step) < 1.0e-6f) << cycle;
        }
    }

    TEST (DspLFO, RandomIndexCountsEveryWrapWhateverTheWave)
    {
        for (const int wave : { qrvx::sineWave, qrvx::squareWave, qrvx::randomWave, qrvx::smoothRandomWave })
        {
            Lfo lfo;
            lfo.setRate (0.3f, 0.5f);
            int wraps = 0;
            float previousPhase = lfo.phase;

            for (int i = 0; i < 20000; ++i)
            {
                const auto phaseBefore = lfo.phase;
                lfo.tick (wave);
                wraps += phaseBefore < previousPhase ? 1 : 0;
                previousPhase = phaseBefore;
                ASSERT_EQ (lfo.randomIndex, wraps % 1024) << "wave " << wave << " at " << i;
            }

            EXPECT_GT (wraps, 1024) << "the index has gone round the table";
        }
    }

    TEST (DspBeatTranslator, PlainNotesDoubleAndDottedOnesSitAtFourThirds)
    {
        // A whole note of 2 s (120 BPM): "1 BAR" (index 3) is 0.5 Hz.
        for (int k = 0; k < 18; ++k)
        {
            const auto cycles = k <= 3 ? std::pow (2.0, k - 3) : k % 2 == 1 ? std::pow (2.0, (k - 3) / 2) : 4.0 / 3.0 * std::pow (2.0, (k - 4) / 2);
            EXPECT_NEAR (qrvx::BeatTranslator::syncedRate (k, 2000.0f), cycles * 0.5, cycles * 1.0e-6) << k;
        }
    }
}
