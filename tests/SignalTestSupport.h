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
            ASSERT_NE (parameter, nullptr) << "no parameter with the ID " << id;
            parameter->setValueNotifyingHost (parameter->convertTo0to1 (value));
        }
    }

    inline void fillWithNoise (juce::AudioBuffer<float>& buffer, std::mt19937& rng, float level)
    {
        std::uniform_real_distribution<float> noise (-level, level);

        for (int channel = 0; channel < buffer.getNumChannels(); ++channel)
            for (int i = 0; i < buffer.getNumSamples(); ++i)
                buffer.setSample (channel, i, noise (rng));
    }

    /** Runs a copy of the input through the processor as consecutive blocks of the given sizes. */
    inline juce::AudioBuffer<float> render (VevareroAudioProcessor& processor,
                                            const juce::AudioBuffer<float>& input,
                                            const std::vector<int>& blocks)
    {
        juce::AudioBuffer<float> output;
        output.makeCopyOf (input); // the copy constructor would share the data of a buffer that only refers to it
        juce::MidiBuffer midi;
        int start = 0;

        for (auto size : blocks)
        {
            const auto blockStart = std::exchange (start, start + size);
            juce::AudioBuffer<float> block (output.getArrayOfWritePointers(), output.getNumChannels(), blockStart, size);
            processor.processBlock (block, midi);
        }

        return output;
    }

    /** The first sample at which two runs of samples differ: numSamples when they are identical. */
    inline int firstDifference (const float* a, const float* b, int numSamples)
    {
        return (int) (std::mismatch (a, a + numSamples, b).first - a);
    }

    /** The largest magnitude in the buffer, or infinity if any sample is not finite. */
    inline float peakOrInfinity (const juce::AudioBuffer<float>& buffer)
    {
        float peak = 0.0f;

        for (int channel = 0; channel < buffer.getNumChannels(); ++channel)
        {
            const auto* samples = buffer.getReadPointer (channel);

            for (auto* sample = samples; sample != samples + buffer.getNumSamples(); ++sample)
                peak = std::isfinite (*sample) ? std::max (peak, std::abs (*sample)) : std::numeric_limits<float>::infinity();
        }

        return peak;
    }

    /** One sample through the filter tap chosen at run time. */
    inline float runFilter (qrvx::StateVariableFilter<float>& filter, int type, float input)
    {
        using qrvx::FilterType;
        return type == 1 ? filter.filter<FilterType::highpass> (input)
             : type == 2 ? filter.filter<FilterType::bandpass> (input)
             : type == 3 ? filter.filter<FilterType::notch> (input)
                         : filter.filter<FilterType::lowpass> (input);
    }
}
