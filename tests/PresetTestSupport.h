#pragma once

#include "processor/PluginProcessor.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

// Helpers shared by the preset-file, host-state and start-up tests.
namespace presettest
{
    inline juce::RangedAudioParameter& parameter (VevareroAudioProcessor& processor, const juce::String& id)
    {
        auto* p = processor.valueTreeState.getParameter (id);
        if (p == nullptr)
            throw std::runtime_error ("no parameter " + id.toStdString());
        return *p;
    }

    inline float value (VevareroAudioProcessor& processor, const juce::String& id)
    {
        return processor.valueTreeState.getRawParameterValue (id)->load();
    }

    /** Writes a real value the way a host does. */
    inline void setValue (VevareroAudioProcessor& processor, const juce::String& id, float realValue)
    {
        auto& p = parameter (processor, id);
        p.setValueNotifyingHost (p.convertTo0to1 (realValue));
    }

    inline float defaultValue (VevareroAudioProcessor& processor, const juce::String& id)
    {
        auto& p = parameter (processor, id);
        return p.convertFrom0to1 (p.getDefaultValue());
    }

    inline juce::StringArray parameterIDs (VevareroAudioProcessor& processor)
    {
        juce::StringArray ids;

        for (auto* p : processor.getParameters())
            if (auto* ranged = dynamic_cast<juce::RangedAudioParameter*> (p))
                ids.add (ranged->paramID);

        return ids;
    }

    /** Moves every parameter away from its default so that a load visibly sets or resets each. */
    inline void moveAllAwayFromDefaults (VevareroAudioProcessor& processor)
    {
        for (auto* p : processor.getParameters())
            p->setValueNotifyingHost (p->getDefaultValue() > 0.5f ? 0.0f : 1.0f);
    }

    /** True when every parameter holds a finite value inside its range. */
    inline ::testing::AssertionResult allParametersSane (VevareroAudioProcessor& processor)
    {
        for (auto* p : processor.getParameters())
        {
            auto* ranged = dynamic_cast<juce::RangedAudioParameter*> (p);
            const auto& range = ranged->getNormalisableRange();
            const auto real = processor.valueTreeState.getRawParameterValue (ranged->paramID)->load();

            if (! std::isfinite (real) || real < range.start || real > range.end)
                return ::testing::AssertionFailure() << ranged->paramID << " holds " << real;
        }

        return ::testing::AssertionSuccess();
    }

    /** An empty folder for one test's files inside the build tree. */
    inline juce::File freshFolder (const juce::String& name)
    {
        auto folder = juce::File (VEVARERO_TEST_OUTPUT_DIR).getChildFile ("presets").getChildFile (name);
        folder.deleteRecursively();
        folder.createDirectory();
        return folder;
    }

    inline void writeBytes (const juce::File& file, const std::string& bytes)
    {
        file.getParentDirectory().createDirectory();
        ASSERT_TRUE (file.replaceWithData (bytes.data(), bytes.size())) << file.getFullPathName();
    }

    inline std::string readBytes (const juce::File& file)
    {
        juce::MemoryBlock block;
        file.loadFileAsData (block);
        return std::string (static_cast<const char*> (block.getData()), block.getSize());
    }

    inline std::string toBytes (const juce::MemoryBlock& block)
    {
        return std::string (static_cast<const char*> (block.getData()), block.getSize());
    }

    inline int countChildrenOfType (const juce::ValueTree& tree, const juce::String& type)
    {
        int count = 0;

        for (const auto& child : tree)
            if (child.getType().toString().equalsIgnoreCase (type))
                ++count;

        return count;
    }
}
