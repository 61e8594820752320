#pragma once

#include "processor/PluginProcessor.h"

#include <gtest/gtest.h>

#include <random>

namespace signaltest
{
    /** A play head that reports a chosen tempo, no tempo, or no position at all. */
    struct FakePlayHead final : public juce::AudioPlayHead
    {
        juce::Optional<PositionInfo> getPosition() const override
        {
            PositionInfo info;
            info.setBpm (bpm);
            return hasPosition ? juce::Optional<PositionInfo> (info) : juce::nullopt;
        }

        juce::Optional<double> bpm;
        bool hasPosition = true;
    };

    /** Parameter IDs with real (de-normalised) values, set the way the editor or host would. */
    using Settings = std::vector<std::pair<juce::String, float>>;

    inline void setParameters (VevareroAudioProcessor& processor, const Settings& settings)
    {
        for (const auto& [id, value] : settings)
        {
            auto* parameter = processor.valueTreeState.getParameter (id);
            ASSERT_NE (parameter, nullptr) << id;
            parameter->setValueNotifyingHost (parameter->convertTo0to1 (value));
        }
    }

    inline void process (VevareroAudioProcessor& processor, juce::AudioBuffer<float>& buffer)
    {
        juce::MidiBuffer midi;
        processor.processBlock (buffer, midi);
    }

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
            for (int i = 0; i < buffer.getNumSamples(); ++i)
                peak = std::isfinite (buffer.getSample (channel, i)) ? std::max (peak, std::abs (buffer.getSample (channel, i)))
                                                                      : std::numeric_limits<float>::infinity();

        return peak;
    }

    /** One sample through the filter tap chosen at run time. */
    inline float runFilter (qrvx::StateVariableFilter<float>& filter, int type, float input)
    {
        using qrvx::FilterType;

        switch (type)
        {
            case 1:  return filter.filter<FilterType::highpass> (input);
            case 2:  return filter.filter<FilterType::bandpass> (input);
            case 3:  return filter.filter<FilterType::notch> (input);
            default: return filter.filter<FilterType::lowpass> (input);
        }
    }
}
