#pragma once

#include "presets/PresetsManager.h"
#include "presets/StateBlobLayout.h"
#include "processor/PluginProcessor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

// Helpers shared by the preset-file, host-state and start-up tests.
namespace presettest
{
    using qrvx::PresetsManager;

    const std::string fileHeader = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n\r\n \r\n";

    inline float value (VevareroAudioProcessor& processor, const juce::String& id) { return processor.valueTreeState.getRawParameterValue (id)->load(); }

    inline void setValue (VevareroAudioProcessor& processor, const juce::String& id, float realValue)
    {
        auto* p = processor.valueTreeState.getParameter (id);
        p->setValueNotifyingHost (p->convertTo0to1 (realValue));
    }

    /** Moves every parameter away from its default, so that a load visibly sets or resets each. */
    inline void moveAllAwayFromDefaults (VevareroAudioProcessor& processor)
    {
        for (auto* p : processor.getParameters())
            p->setValueNotifyingHost (p->getDefaultValue() > 0.5f ? 0.0f : 1.0f);
    }

    /** Every parameter finite and in its range, and every one but the named at its default. */
    inline testing::AssertionResult othersAtDefault (VevareroAudioProcessor& processor, const juce::String& named)
    {
        for (auto* p : processor.getParameters())
        {
            auto& ranged = dynamic_cast<juce::RangedAudioParameter&> (*p);
            const auto real = value (processor, ranged.paramID);

            if (! std::isfinite (real) || real < ranged.getNormalisableRange().start || real > ranged.getNormalisableRange().end
                || (ranged.paramID != named && real != ranged.convertFrom0to1 (ranged.getDefaultValue())))
                return testing::AssertionFailure() << ranged.paramID << " holds " << real;
        }
        return testing::AssertionSuccess();
    }

    inline int countNameElements (const juce::ValueTree& tree)
    {
        return (int) std::count_if (tree.begin(), tree.end(), [] (auto child) { return child.getType().toString().equalsIgnoreCase ("Preset_Name"); });
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

    inline std::string littleEndian32 (juce::uint32 v) { return { (char) v, (char) (v >> 8), (char) (v >> 16), (char) (v >> 24) }; }

    /** A host-state blob around the given text, its length field matching. */
    inline std::string blob (const std::string& text)
    {
        return littleEndian32 (qrvx::stateBlobMagic) + littleEndian32 ((juce::uint32) text.size()) + text + '\0';
    }

    /** The two ways a parameter tree travels: as a preset file and as the host's state. */
    enum class Route { presetFile, hostState };

    inline std::string wrap (Route route, const std::string& document) { return route == Route::hostState ? blob (document) : document; }

    // Every parameter in creation order: the text a new processor writes, and a hand-written value
    // on the parameter's grid, some in forms the writer itself would not produce.
    const char* const parameterRows[][3] = {
        { "Cutoff", "11000", "500.0" }, { "Resonance", "0", "50" }, { "Filter_Type", "0", "2" },
        { "Drive", "0", "25" }, { "Distortion_Routing", "0", "1" }, { "Rate", "0", "32" }, { "Bits", "16", "8" },
        { "LoFi_Routing", "0", "1" }, { "Amplitude", "0", "-60" }, { "Dry_Wet_Mix", "100", "075" },
        { "LFO_1_Rate", "1", "2" }, { "LFO_1_Synced_Rate", "3", "5" }, { "LFO_1_Sync", "0", "1" }, { "LFO_1_Wave", "0", "4" },
        { "LFO_2_Rate", "1", "0.01" }, { "LFO_2_Synced_Rate", "3", "17" }, { "LFO_2_Sync", "0", "1" }, { "LFO_2_Wave", "0", "6" },
        { "LFOs_Mix", "50", "20" }, { "Cutoff_Mod_Source", "0", "1" }, { "Cutoff_Mod_Depth", "0", "0.5" },
        { "Resonance_Mod_Source", "0", "2" }, { "Resonance_Mod_Depth", "0", "1" }, { "Rate_Mod_Source", "0", "3" },
        { "Rate_Mod_Depth", "0", "0.25" }, { "Bits_Mod_Source", "0", "0" }, { "Bits_Mod_Depth", "0", "0" },
        { "Dry_Wet_Mix_Mod_Source", "0", "3" }, { "Dry_Wet_Mix_Mod_Depth", "0", "1" },
    };

    /** The exact bytes of one column of the table, the cutoff as given, as a preset file or as a
        host state carrying the (escaped) name.
    */
    inline std::string documentOf (int column, Route route, const std::string& cutoff, const std::string& escapedName = {})
    {
        const auto file = route == Route::presetFile;
        auto text = (file ? fileHeader : "") + "<Vevarero>" + (file ? "\r\n" : "");
        for (const auto& row : parameterRows)
            text += std::string (file ? "  " : "") + "<PARAM id=\"" + row[0] + "\" value=\"" + (std::string (row[0]) == "Cutoff" ? cutoff : row[column]) + "\"/>" + (file ? "\r\n" : "");
        return file ? text + "</Vevarero>\r\n" : blob (text + "<Preset_Name Preset_Name=\"" + escapedName + "\"/></Vevarero>");
    }

    /** Loads bytes as the route carries them; returns the error that loading a preset file reports. */
    inline juce::String load (VevareroAudioProcessor& processor, Route route, const std::string& bytes)
    {
        const auto file = freshFolder ("route").getChildFile ("loaded.glp");
        writeBytes (file, bytes);

        if (route == Route::presetFile)
            return PresetsManager::loadPreset (file, processor.valueTreeState).getErrorMessage();

        processor.setStateInformation (bytes.data(), (int) bytes.size());
        return {};
    }

    /** Loads into a processor holding a cutoff of 1234 and the name "Old". True when the load
        took; false when it changed nothing, which a preset file load must also report.
    */
    inline bool takes (VevareroAudioProcessor& processor, Route route, const std::string& bytes)
    {
        setValue (processor, "Cutoff", 1234.0f);
        processor.presetName = "Old";
        const auto before = processor.valueTreeState.copyState();
        const auto error = load (processor, route, bytes);
        const auto took = ! processor.valueTreeState.copyState().isEquivalentTo (before) || processor.presetName != "Old";

        EXPECT_TRUE (route == Route::hostState || error == (took ? "" : "Invalid preset file supplied, could not load preset."))
            << "the load reported \"" << error << "\"";
        return took;
    }

    /** Whatever the file or the host's block held before is replaced. */
    inline std::string save (VevareroAudioProcessor& processor, Route route)
    {
        const auto file = freshFolder ("route").getChildFile ("saved.glp");
        writeBytes (file, std::string (5000, 'x'));

        if (route == Route::presetFile)
            return PresetsManager::savePreset (processor.valueTreeState, file).wasOk() ? readBytes (file) : "(not saved)";

        juce::MemoryBlock block (10000, true);
        processor.getStateInformation (block);
        return std::string (static_cast<const char*> (block.getData()), block.getSize());
    }
}
