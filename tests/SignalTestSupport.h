#pragma once

#include "processor/PluginProcessor.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace signaltest
{
    /** A play head that reports a chosen tempo, no tempo, or no position at all. */
    struct FakePlayHead final : public juce::AudioPlayHead
    {
        juce::Optional<PositionInfo> getPosition() const override
        {
            if (! hasPosition)
                return {};

            PositionInfo info;
            info.setBpm (bpm);
            return info;
        }

        juce::Optional<double> bpm;
        bool hasPosition = true;
    };

    /** Sets a parameter the way the editor or host would, given its real (de-normalised) value. */
    inline void setParameter (VevareroAudioProcessor& processor, const juce::String& id, float realValue)
    {
        auto* parameter = processor.valueTreeState.getParameter (id);
        ASSERT_NE (parameter, nullptr) << id;
        parameter->setValueNotifyingHost (parameter->convertTo0to1 (realValue));
    }

    inline float parameterValue (VevareroAudioProcessor& processor, const juce::String& id)
    {
        return processor.valueTreeState.getRawParameterValue (id)->load();
    }

    /** Fills every channel with independent uniform noise of the given peak level. */
    inline void fillWithNoise (juce::AudioBuffer<float>& buffer, std::mt19937& rng, float level)
    {
        std::uniform_real_distribution<float> noise (-level, level);

        for (int channel = 0; channel < buffer.getNumChannels(); ++channel)
            for (int i = 0; i < buffer.getNumSamples(); ++i)
                buffer.setSample (channel, i, noise (rng));
    }

    /** The largest magnitude in the buffer, or infinity as soon as a sample is not finite. */
    inline float peakOrInfinity (const juce::AudioBuffer<float>& buffer)
    {
        float peak = 0.0f;

        for (int channel = 0; channel < buffer.getNumChannels(); ++channel)
        {
            for (int i = 0; i < buffer.getNumSamples(); ++i)
            {
                const auto sample = buffer.getSample (channel, i);

                if (! std::isfinite (sample))
                    return std::numeric_limits<float>::infinity();

                peak = std::max (peak, std::abs (sample));
            }
        }

        return peak;
    }

    inline std::vector<float> firstSamples (const juce::AudioBuffer<float>& buffer, int numSamples)
    {
        const auto* data = buffer.getReadPointer (0);
        return { data, data + numSamples };
    }
}
