#include "dsp/BeatTranslator.h"
#include "dsp/Crossfade.h"
#include "dsp/DCFilter.h"
#include "dsp/LFO.h"
#include "dsp/RampSmoother.h"
#include "dsp/SamplerateReducer.h"
#include "dsp/StateVariableFilter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace
{
    constexpr double pi = juce::MathConstants<double>::pi;

    //==============================================================================
    TEST (DspRampSmoother, RampLengthIsTheFlooredSampleCount)
    {
        const struct { double sampleRate; int samples; } cases[] = {
            { 44100.0, 2646 }, { 48000.0, 2880 }, { 96000.0, 5760 }, { 22050.0, 1323 }, { 8000.0, 480 }
        };

        for (const auto& c : cases)
        {
            RampSmoother smoother (11000.0f);
            smoother.reset (c.sampleRate, 0.06);
            EXPECT_EQ (smoother.rampLength, c.samples) << c.sampleRate;

            smoother.setTarget (5000.0f);
            int steps = 0;

            while (smoother.remainingSteps > 0)
            {
                smoother.nextValue();
                ++steps;
            }

            EXPECT_EQ (steps, c.samples) << c.sampleRate;
            EXPECT_EQ (smoother.nextValue(), 5000.0f) << "the exact target once the ramp has run out";
        }
    }

    TEST (DspRampSmoother, RampIsLinearAndEndsExactlyOnTarget)
    {
        RampSmoother smoother (11000.0f);
        smoother.reset (44100.0, 0.06);
        smoother.setTarget (5000.0f);

        const auto length = smoother.rampLength;

        for (int i = 1; i <= length; ++i)
        {
            const auto expected = 11000.0 + (5000.0 - 11000.0) * i / length;
            ASSERT_NEAR (smoother.nextValue(), expected, 0.5) << i;
        }

        for (int i = 0; i < 100; ++i)
            ASSERT_EQ (smoother.nextValue(), 5000.0f);
    }

    TEST (DspRampSmoother, NewTargetMidRampReaimsFromWhereItStandsForTheFullLength)
    {
        RampSmoother smoother (11000.0f);
        smoother.reset (48000.0, 0.06);
        smoother.setTarget (5000.0f);

        float reached = 0.0f;

        for (int i = 0; i < smoother.rampLength / 2; ++i)
            reached = smoother.nextValue();

        smoother.setTarget (8000.0f);
        EXPECT_EQ (smoother.remainingSteps, smoother.rampLength);

        const auto first = smoother.nextValue();
        EXPECT_NEAR (first - reached, (8000.0f - reached) / (float) smoother.rampLength, 1.0e-3);

        int steps = 1;

        while (smoother.remainingSteps > 0)
        {
            smoother.nextValue();
            ++steps;
        }

        EXPECT_EQ (steps, smoother.rampLength);
        EXPECT_EQ (smoother.nextValue(), 8000.0f);
    }

    TEST (DspRampSmoother, SameTargetZeroLengthAndResetDoNotRamp)
    {
        RampSmoother smoother (1.0f);
        smoother.reset (44100.0, 0.06);
        smoother.setTarget (1.0f);
        EXPECT_EQ (smoother.remainingSteps, 0) << "an unchanged target starts nothing";

        smoother.setTarget (0.25f);
        smoother.nextValue();
        smoother.reset (44100.0, 0.06);
        EXPECT_EQ (smoother.currentValue, 0.25f) << "reset jumps to the target";
        EXPECT_EQ (smoother.nextValue(), 0.25f);

        RampSmoother instant (1.0f);
        instant.reset (44100.0, 0.0);
        instant.setTarget (3.0f);
        EXPECT_EQ (instant.currentValue, 3.0f);
        EXPECT_EQ (instant.nextValue(), 3.0f);
    }

    //==============================================================================
    TEST (DspDCFilter, PoleFollowsTheSampleRate)
    {
        const struct { double sampleRate; float pole; } cases[] = { { 44100.0, 0.997143f }, { 48000.0, 0.997375f } };

        for (const auto& c : cases)
        {
            qrvx::DCFilter<float> dc;
            dc.previousInput = 0.3f;
            dc.previousOutput = -0.2f;
            dc.prepare (c.sampleRate);

            EXPECT_NEAR (dc.pole, c.pole, 1.0e-6);
            EXPECT_EQ (dc.previousInput, 0.0f);
            EXPECT_EQ (dc.previousOutput, 0.0f);
        }
    }

    TEST (DspDCFilter, ConstantDecaysByThePoleWhileAudioPasses)
    {
        qrvx::DCFilter<float> dc;
        dc.prepare (44100.0);

        auto previous = dc.process (1.0f);
        EXPECT_EQ (previous, 1.0f);

        for (int i = 0; i < 44100; ++i)
        {
            const auto output = dc.process (1.0f);
            ASSERT_NEAR (output, previous * dc.pole, 1.0e-6);
            previous = output;
        }

        EXPECT_LT (previous, 1.0e-3f) << "a second of DC is almost gone";

        qrvx::DCFilter<float> sineDc;
        sineDc.prepare (44100.0);
        float peak = 0.0f;

        for (int i = 0; i < 2 * 44100; ++i)
        {
            const auto output = sineDc.process ((float) std::sin (2.0 * pi * 1000.0 * i / 44100.0));

            if (i >= 44100)
                peak = std::max (peak, std::abs (output));
        }

        EXPECT_NEAR (peak, 1.0f, 0.01f);
    }

    //==============================================================================
    TEST (DspLoFi, QuantiserWorkedValues)
    {
        const struct { float input; int levels; float expected; } cases[] = {
            { 0.3f, 4, 0.3125f }, { -0.3f, 4, -0.3125f }, { 0.05f, 4, 0.0625f }, { 0.5f, 1, 0.75f },
            { 1.0f, 2, 0.875f }, { 0.2f, 1, 0.25f }, { -0.2f, 1, -0.25f }, { 0.37f, 16, 0.37f }
        };

        for (const auto& c : cases)
            EXPECT_FLOAT_EQ (qrvx::quantise (c.input, c.levels), c.expected) << c.input << " at " << c.levels;

        for (int levels = 1; levels <= 16; ++levels)
            EXPECT_EQ (qrvx::quantise (0.0f, levels), 0.0f) << levels;
    }

    TEST (DspLoFi, EachTakenSampleIsHeldForRatePlusOneSamples)
    {
        for (const int rate : { 1, 2, 5, 64 })
        {
            qrvx::SamplerateReducer<float> reducer;

            for (int i = 0; i < 1000; ++i)
            {
                const auto expected = (float) (i - i % (rate + 1));
                ASSERT_EQ (reducer.process ((float) i, rate), expected) << "rate " << rate << " sample " << i;
            }
        }

        qrvx::SamplerateReducer<float> off;
        off.counter = 3;
        off.heldValue = 9.0f;

        for (int i = 0; i < 10; ++i)
            EXPECT_EQ (off.process ((float) i, 0), (float) i);

        EXPECT_EQ (off.counter, 3) << "rate 0 leaves the state alone";
        EXPECT_EQ (off.heldValue, 9.0f);
    }

    TEST (DspLoFi, RateDroppingToZeroFreezesTheCount)
    {
        qrvx::SamplerateReducer<float> reducer;
        std::vector<float> outputs;

        for (int i = 0; i < 3; ++i)
            outputs.push_back (reducer.process (10.0f + (float) i, 4));

        for (int i = 0; i < 5; ++i)
            outputs.push_back (reducer.process (20.0f + (float) i, 0));

        for (int i = 0; i < 3; ++i)
            outputs.push_back (reducer.process (30.0f + (float) i, 4));

        const std::vector<float> expected { 10, 10, 10, 20, 21, 22, 23, 24, 10, 10, 32 };
        EXPECT_EQ (outputs, expected);
    }

    TEST (DspLoFi, RoutingsAtTheDefaultsPassOrSquareTheSignal)
    {
        qrvx::SamplerateReducer<float> reducer;

        for (const float y : { -0.9f, -0.31f, 0.0f, 0.013f, 0.5f, 0.77f })
        {
            EXPECT_EQ (qrvx::processLoFi<qrvx::LoFiRouting::chain> (y, reducer, 0, 16), y);
            EXPECT_EQ (qrvx::processLoFi<qrvx::LoFiRouting::mix> (y, reducer, 0, 16), y);
            EXPECT_EQ (qrvx::processLoFi<qrvx::LoFiRouting::ring> (y, reducer, 0, 16), y * y);
        }
    }

    TEST (DspLoFi, ChainQuantisesTheHeldValueAndEveryRoutingHoldsOnce)
    {
        qrvx::SamplerateReducer<float> chain, mix, ring;
        const float inputs[] = { 0.3f, 0.9f, -0.6f, 0.1f };
        const float chainExpected[] = { 0.3125f, 0.3125f, -0.5625f, -0.5625f };
        const float mixExpected[] = { (0.3f + 0.3125f) * 0.5f, (0.3f + 0.9375f) * 0.5f,
                                      (-0.6f - 0.5625f) * 0.5f, (-0.6f + 0.0625f) * 0.5f };
        const float ringExpected[] = { 0.3125f * 0.3f, 0.9375f * 0.3f, -0.5625f * -0.6f, 0.0625f * -0.6f };

        for (int i = 0; i < 4; ++i)
        {
            EXPECT_FLOAT_EQ (qrvx::processLoFi<qrvx::LoFiRouting::chain> (inputs[i], chain, 1, 4), chainExpected[i]) << i;
            EXPECT_FLOAT_EQ (qrvx::processLoFi<qrvx::LoFiRouting::mix> (inputs[i], mix, 1, 4), mixExpected[i]) << i;
            EXPECT_FLOAT_EQ (qrvx::processLoFi<qrvx::LoFiRouting::ring> (inputs[i], ring, 1, 4), ringExpected[i]) << i;
        }
    }

    //==============================================================================
    TEST (DspCrossfade, EqualPowerGains)
    {
        EXPECT_NEAR (qrvx::crossfade (1.0f, 0.0f, 0.5f), 0.7077f, 1.0e-4) << "dry gain at 50 %";
        EXPECT_NEAR (qrvx::crossfade (0.0f, 1.0f, 0.5f), 0.7077f, 1.0e-4) << "wet gain at 50 %";

        const auto halfGain = qrvx::crossfade (1.0f, 0.0f, 0.5f);
        EXPECT_NEAR (2.0f * halfGain * halfGain, 1.0017f, 1.0e-4) << "combined power";

        EXPECT_EQ (qrvx::crossfade (1.0f, 0.0f, 0.0f), 1.0f);
        EXPECT_NEAR (qrvx::crossfade (0.0f, 1.0f, 0.0f), 4.77e-6f, 0.05e-6f) << "wet leak at 0 %";
        EXPECT_EQ (qrvx::crossfade (0.0f, 1.0f, 1.0f), 1.0f);
        EXPECT_NEAR (qrvx::crossfade (1.0f, 0.0f, 1.0f), 4.77e-6f, 0.05e-6f) << "dry leak at 100 %";

        float previous = 2.0f;

        for (int step = 0; step <= 100; ++step)
        {
            const auto gain = qrvx::crossfade (1.0f, 0.0f, (float) step / 100.0f);
            EXPECT_LT (gain, previous) << "the dry gain falls steadily, step " << step;
            EXPECT_NEAR (gain, std::cos (step / 100.0 * pi / 2.0), 2.0e-3);
            previous = gain;
        }
    }

    //==============================================================================
    using Filter = qrvx::StateVariableFilter<float>;

    float runFilter (Filter& filter, qrvx::FilterType type, float input)
    {
        switch (type)
        {
            case qrvx::FilterType::lowpass:  return filter.filter<qrvx::FilterType::lowpass> (input);
            case qrvx::FilterType::highpass: return filter.filter<qrvx::FilterType::highpass> (input);
            case qrvx::FilterType::bandpass: return filter.filter<qrvx::FilterType::bandpass> (input);
            case qrvx::FilterType::notch:    return filter.filter<qrvx::FilterType::notch> (input);
        }

        return 0.0f;
    }

    /** Steady-state peak output for a sine of the given level and frequency. */
    float sineResponse (qrvx::FilterType type, float cutoff, float resonance, double frequency, float level, double sampleRate)
    {
        Filter filter;
        filter.reset();
        const auto period = (float) (1.0 / sampleRate);
        const int settle = (int) sampleRate / 4;
        float peak = 0.0f;

        for (int i = 0; i < settle * 2; ++i)
        {
            filter.updateCoefficients (cutoff, resonance, period);
            const auto output = runFilter (filter, type, level * (float) std::sin (2.0 * pi * frequency * i / sampleRate));

            if (i >= settle)
                peak = std::max (peak, std::abs (output));
        }

        return peak;
    }

    TEST (DspFilter, ResonantResponsePeaksNearTheCutoff)
    {
        for (const auto type : { qrvx::FilterType::lowpass, qrvx::FilterType::bandpass })
        {
            // Below about 3 kHz full resonance rings on by itself (the band integrator runs 4 %
            // hot), so the peak is measured where the filter settles.
            for (const float cutoff : { 4000.0f, 7000.0f, 12000.0f })
            {
                double bestFrequency = 0.0;
                float bestLevel = 0.0f;

                for (double frequency = cutoff * 0.5; frequency < cutoff * 2.0; frequency *= 1.02)
                {
                    const auto level = sineResponse (type, cutoff, 1.0f, frequency, 0.01f, 44100.0);

                    if (level > bestLevel)
                    {
                        bestLevel = level;
                        bestFrequency = frequency;
                    }
                }

                EXPECT_NEAR (bestFrequency / cutoff, 1.0, 0.05) << "type " << (int) type << " cutoff " << cutoff;
                EXPECT_GT (bestLevel, 0.01f * 5.0f) << "a resonance of 100 % lifts the cutoff well above unity";
            }
        }

        EXPECT_LT (sineResponse (qrvx::FilterType::lowpass, 1000.0f, 0.0f, 8000.0, 0.1f, 44100.0), 0.01f);
        EXPECT_LT (sineResponse (qrvx::FilterType::highpass, 1000.0f, 0.0f, 100.0, 0.1f, 44100.0), 0.01f);
        EXPECT_LT (sineResponse (qrvx::FilterType::notch, 1000.0f, 0.0f, 1000.0, 0.1f, 44100.0), 0.1f * 0.1f) << "-20 dB at the notch";
    }

    TEST (DspFilter, NotchIsTheMeanOfLowAndHighPass)
    {
        Filter notch, lowpass, highpass;
        notch.reset();
        std::mt19937 rng (7);
        std::uniform_real_distribution<float> noise (-1.0f, 1.0f);

        for (int i = 0; i < 2000; ++i)
        {
            const auto cutoff = 200.0f + (float) (i % 97) * 50.0f;
            const auto input = noise (rng);

            notch.updateCoefficients (cutoff, 0.6f, 1.0f / 44100.0f);
            lowpass = notch;
            highpass = notch;

            const auto expected = 0.5f * (lowpass.filter<qrvx::FilterType::lowpass> (input)
                                          + highpass.filter<qrvx::FilterType::highpass> (input));
            ASSERT_NEAR (notch.filter<qrvx::FilterType::notch> (input), expected, 1.0e-5f) << i;
        }
    }

    TEST (DspFilter, LoudBandpassStaysWithinUnity)
    {
        std::mt19937 rng (11);
        std::uniform_real_distribution<float> noise (-100.0f, 100.0f);

        for (const float cutoff : { 80.0f, 1000.0f, 18000.0f })
        {
            Filter filter;
            filter.reset();

            for (int i = 0; i < 44100; ++i)
            {
                const auto input = i < 22050 ? noise (rng) : 20.0f * (float) std::sin (2.0 * pi * cutoff * i / 44100.0);
                filter.updateCoefficients (cutoff, 1.0f, 1.0f / 44100.0f);
                const auto output = filter.filter<qrvx::FilterType::bandpass> (input);
                ASSERT_LE (std::abs (output), 1.0f) << cutoff << " at " << i;
            }
        }
    }

    TEST (DspFilter, DriveIsASineShaperBeforeOrAfterTheFilter)
    {
        EXPECT_FLOAT_EQ (Filter::drive (1.0f, 1.0f), std::sin (1.0f));
        EXPECT_NEAR (Filter::drive (1.0f, 1.0f), 0.841, 1.0e-3) << "drive 0 % still shapes full scale";
        EXPECT_NEAR (Filter::drive (0.1f, 15.0f), 0.997, 1.0e-3) << "drive 100 %";
        EXPECT_NEAR (Filter::drive (0.001f, 1.0f), 0.001f, 1.0e-9) << "small inputs pass almost unchanged";

        const auto period = 1.0f / 44100.0f;
        Filter pre, preReference, post, postReference;

        for (auto* filter : { &pre, &preReference, &post, &postReference })
            filter->reset();

        for (int i = 0; i < 500; ++i)
        {
            const auto input = (float) std::sin (i * 0.05) * 1.5f;

            preReference.updateCoefficients (2000.0f, 0.8f, period);
            postReference.updateCoefficients (2000.0f, 0.8f, period);
            const auto preExpected = preReference.filter<qrvx::FilterType::lowpass> (std::sin (3.0f * input));
            const auto postExpected = std::sin (postReference.filter<qrvx::FilterType::lowpass> (input) * 3.0f);

            ASSERT_EQ ((pre.processSample<qrvx::FilterType::lowpass, qrvx::DriveRouting::preFilter> (input, 3.0f, 2000.0f, 0.8f, period)),
                       preExpected) << i;
            ASSERT_EQ ((post.processSample<qrvx::FilterType::lowpass, qrvx::DriveRouting::postFilter> (input, 3.0f, 2000.0f, 0.8f, period)),
                       postExpected) << i;
        }
    }

    TEST (DspFilter, ResonanceSetsTheDamping)
    {
        Filter filter;

        for (const auto& c : { std::pair<float, float> { 0.0f, 1.0f }, { 1.0f, 0.05f }, { 0.5f, 1.0f / (2.0f * 2.875f) } })
        {
            filter.updateCoefficients (1000.0f, c.first, 1.0f / 48000.0f);
            EXPECT_FLOAT_EQ (filter.R, c.second) << "resonance " << c.first;
            EXPECT_FLOAT_EQ (filter.k, 2.0f * filter.R + filter.g);
        }

        filter.updateCoefficients (12000.0f, 0.0f, 1.0f / 48000.0f);
        EXPECT_NEAR (filter.g, 1.0f, 1.0e-6) << "tan (π / 4) at a quarter of the sample rate";
    }

    //==============================================================================
    using Lfo = qrvx::LFO<float>;

    TEST (DspLFO, TablesHaveTheirShapes)
    {
        Lfo lfo;
        ASSERT_EQ (lfo.tables.size(), (size_t) qrvx::numLFOWaves);

        for (const auto& table : lfo.tables)
        {
            ASSERT_EQ (table.samples.size(), (size_t) 1024);

            for (auto value : table.samples)
                ASSERT_TRUE (value >= -1.0f && value <= 1.0f);
        }

        const auto& sine = lfo.tables[qrvx::sineWave].samples;
        EXPECT_EQ (sine[0], 0.0f);
        EXPECT_EQ (sine[256], 1.0f);
        EXPECT_EQ (sine[768], -1.0f);

        const auto& square = lfo.tables[qrvx::squareWave].samples;
        EXPECT_EQ (square[511], 1.0f);
        EXPECT_EQ (square[512], -1.0f);

        const auto& sawUp = lfo.tables[qrvx::sawUpWave].samples;
        const auto& sawDown = lfo.tables[qrvx::sawDownWave].samples;
        const auto& triangle = lfo.tables[qrvx::triangleWave].samples;
        EXPECT_EQ (sawUp[0], -1.0f);
        EXPECT_EQ (sawUp[512], 0.0f);
        EXPECT_EQ (sawDown[0], 1.0f);
        EXPECT_EQ (triangle[0], -1.0f);
        EXPECT_EQ (triangle[512], 1.0f);
        EXPECT_NEAR (triangle[1023], -1.0f + 2.0f / 512.0f, 1.0e-6);

        for (int i = 1; i < 1024; ++i)
        {
            EXPECT_GT (sawUp[(size_t) i], sawUp[(size_t) i - 1]);
            EXPECT_NEAR (sawUp[(size_t) i] + sawDown[(size_t) i], 0.0f, 1.0e-6);
        }
    }

    TEST (DspLFO, RandomTablesDifferAndSmoothRandomJoinsItsAnchors)
    {
        Lfo first, second;
        const auto& rnd = first.tables[qrvx::randomWave].samples;
        const auto& smooth = first.tables[qrvx::smoothRandomWave].samples;

        EXPECT_NE (rnd, second.tables[qrvx::randomWave].samples);
        EXPECT_NE (smooth, second.tables[qrvx::smoothRandomWave].samples);
        EXPECT_NE (rnd, smooth);

        for (int anchor = 0; anchor < 1024; anchor += 16)
        {
            const auto next = smooth[(size_t) (anchor + 16) % 1024];
            const auto step = (next - smooth[(size_t) anchor]) * 0.0625f;

            for (int i = anchor + 1; i < anchor + 16; ++i)
                ASSERT_NEAR (smooth[(size_t) i] - smooth[(size_t) i - 1], step, 1.0e-6) << i;

            EXPECT_NEAR (smooth[(size_t) anchor + 15] + step, next, 1.0e-5) << "the line arrives at the next anchor";
        }
    }

    /** Lengths of the runs of equal output values. */
    std::vector<int> runLengths (const std::vector<float>& values)
    {
        std::vector<int> runs { 1 };

        for (size_t i = 1; i < values.size(); ++i)
        {
            if (values[i] == values[i - 1])
                ++runs.back();
            else
                runs.push_back (1);
        }

        return runs;
    }

    std::vector<float> tickMany (Lfo& lfo, int wave, int numSamples)
    {
        std::vector<float> values ((size_t) numSamples);
        lfo.render (wave, values.data(), numSamples);
        return values;
    }

    TEST (DspLFO, SquareSpendsHalfOfEachCycleAtEachLevel)
    {
        Lfo lfo;
        lfo.setRate (1.0f, 1.0f / 48000.0f);
        const auto values = tickMany (lfo, qrvx::squareWave, 48000 * 3 + 100);

        EXPECT_EQ (values.front(), 1.0f);
        const auto runs = runLengths (values);
        ASSERT_GE (runs.size(), (size_t) 6);

        // The float phase accumulator runs a few hundredths of a percent off 1 Hz.
        for (size_t run = 0; run < 6; ++run)
            EXPECT_NEAR (runs[run], 24000, 48) << run;

        for (size_t run = 0; run < 6; run += 2)
            EXPECT_NEAR (runs[run] + runs[run + 1], 48000, 48) << run;

        for (auto value : values)
            ASSERT_TRUE (value == 0.0f || value == 1.0f);
    }

    TEST (DspLFO, SineStartsAtTheMiddleAndPeaksAQuarterCycleLater)
    {
        Lfo lfo;
        lfo.setRate (1.0f, 1.0f / 48000.0f);
        const auto values = tickMany (lfo, qrvx::sineWave, 48000);

        EXPECT_EQ (values.front(), 0.5f);
        const auto peak = std::max_element (values.begin(), values.end());
        EXPECT_EQ (*peak, 1.0f);
        EXPECT_NEAR ((int) (peak - values.begin()), 12000, 60);

        const auto trough = std::min_element (values.begin(), values.end());
        EXPECT_EQ (*trough, 0.0f);
        EXPECT_NEAR ((int) (trough - values.begin()), 36000, 60);
    }

    TEST (DspLFO, RandomHoldsOneLevelPerCycle)
    {
        Lfo lfo;
        lfo.setRate (2.0f, 1.0f / 48000.0f);
        const auto values = tickMany (lfo, qrvx::randomWave, 48000 * 5);
        const auto runs = runLengths (values);

        ASSERT_GE (runs.size(), (size_t) 9);

        for (size_t run = 1; run + 1 < runs.size(); ++run)
            EXPECT_NEAR (runs[run], 24000, 2) << run;

        EXPECT_EQ (values.front(), (lfo.tables[qrvx::randomWave].samples[0] + 1.0f) * 0.5f);
    }

    TEST (DspLFO, SmoothRandomMovesOneSixteenthOfAnAnchorStepPerCycle)
    {
        Lfo lfo;
        lfo.setRate (0.25f, 1.0f); // four samples per cycle, exactly
        const auto& table = lfo.tables[qrvx::smoothRandomWave].samples;
        const auto values = tickMany (lfo, qrvx::smoothRandomWave, 4 * 40 + 1);

        // The level of cycle j shows from its second sample on: the wrap is seen one sample late.
        for (int cycle = 1; cycle < 40; ++cycle)
        {
            const auto level = values[(size_t) (4 * cycle + 1)];
            const auto previous = values[(size_t) (4 * cycle - 3)];
            const auto segment = (cycle - 1) / 16;
            const auto anchorDistance = table[(size_t) (segment + 1) * 16] - table[(size_t) segment * 16];

            if (cycle % 16 != 0)
                ASSERT_NEAR (level - previous, anchorDistance / 16.0f * 0.5f, 1.0e-6) << cycle;
        }

        EXPECT_EQ (lfo.randomIndex, 40);
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

                if (phaseBefore < previousPhase)
                    ++wraps;

                previousPhase = phaseBefore;
                ASSERT_EQ (lfo.randomIndex, wraps % 1024) << "wave " << wave << " sample " << i;
            }

            EXPECT_GT (wraps, 1024) << "the index has gone round the table";
        }
    }

    TEST (DspLFO, PhaseResetKeepsTheRandomPosition)
    {
        Lfo lfo;
        lfo.setRate (0.1f, 1.0f);

        for (int i = 0; i < 25; ++i)
            lfo.tick (qrvx::sineWave);

        const auto index = lfo.randomIndex;
        const auto lastPhase = lfo.lastPhase;
        ASSERT_GT (lastPhase, 0.0f);

        lfo.resetPhase();
        EXPECT_EQ (lfo.phase, 0.0f);
        EXPECT_EQ (lfo.lastPhase, lastPhase);
        EXPECT_EQ (lfo.randomIndex, index);

        EXPECT_EQ (lfo.tick (qrvx::sineWave), 0.5f);
        EXPECT_EQ (lfo.randomIndex, index + 1) << "the restart counts as a wrap";
    }

    TEST (DspLFO, RaisingTheRateContinuesFromThePhase)
    {
        Lfo lfo;
        lfo.setRate (1.0f, 1.0f / 1000.0f);

        for (int i = 0; i < 250; ++i)
            lfo.tick (qrvx::sawUpWave);

        const auto phase = lfo.phase;
        lfo.setRate (10.0f, 1.0f / 1000.0f);
        const auto next = lfo.tick (qrvx::sawUpWave);

        EXPECT_NEAR (next, phase, 2.0f / 1024.0f) << "the saw continues from where it stood";
        EXPECT_NEAR (lfo.phase, phase + 0.01f, 1.0e-6);
    }

    TEST (DspLFO, RunawayIncrementNeverReadsOutsideTheTable)
    {
        for (const float increment : { 5.0f, std::numeric_limits<float>::infinity() })
        {
            Lfo lfo;
            lfo.increment = increment;

            for (int i = 0; i < 100; ++i)
            {
                const auto value = lfo.tick (qrvx::sawUpWave);
                ASSERT_TRUE (value >= 0.0f && value <= 1.0f) << increment;
            }
        }
    }

    //==============================================================================
    TEST (DspBeatTranslator, NoteValuesFollowTheirRule)
    {
        ASSERT_EQ (qrvx::BeatTranslator::numRates, 18);

        for (int k = 0; k < 18; ++k)
        {
            double expected;

            if (k <= 3)
                expected = std::pow (2.0, k - 3);
            else if (k % 2 == 1)
                expected = std::pow (2.0, (k - 3) / 2);
            else
                expected = 4.0 / 3.0 * std::pow (2.0, (k - 4) / 2);

            EXPECT_EQ (qrvx::BeatTranslator::beatDivTable[k], (float) expected) << k;
        }
    }

    TEST (DspBeatTranslator, SyncedRatesInHertz)
    {
        const struct { int index; float bpm; double hz; } cases[] = {
            { 3, 120.0f, 0.5 }, { 11, 120.0f, 8.0 }, { 7, 90.0f, 1.5 }, { 17, 1.0f, 128.0 / 240.0 }, { 3, 1.0f, 1.0 / 240.0 }
        };

        for (const auto& c : cases)
        {
            const auto msPerWholeNote = 60000.0f / c.bpm * 4.0f;
            EXPECT_NEAR (qrvx::BeatTranslator::syncedRate (c.index, msPerWholeNote), c.hz, c.hz * 1.0e-6) << c.index << " at " << c.bpm;
        }
    }
}
