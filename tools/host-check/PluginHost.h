#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include <memory>
#include <optional>

/** Finds and loads plug-in binaries the way a host does, through JUCE's VST3 and LV2 hosting.

    JUCE's LV2 hosting only knows the bundles in its standard folders (~/.lv2, /usr/lib/lv2,
    /usr/local/lib/lv2) and ignores LV2_PATH, so a freshly built bundle is made known by searching its
    folder explicitly before it is looked up by URI.
*/
class PluginHost final
{
public:
    PluginHost() = default;

    /** Loads the plug-in inside a .vst3 bundle. Returns null and sets the error when that fails. */
    std::unique_ptr<juce::AudioPluginInstance> loadVst3 (const juce::File& bundle,
                                                         double sampleRate, int blockSize,
                                                         juce::String& error);

    /** Loads the LV2 plug-in with this URI. The location is a folder of bundles or one bundle;
        it is searched in addition to the standard folders.
    */
    std::unique_ptr<juce::AudioPluginInstance> loadLv2 (const juce::File& location,
                                                        const juce::String& uri,
                                                        double sampleRate, int blockSize,
                                                        juce::String& error);

    /** Looks for an LV2 plug-in in the standard folders whose name is one of these, ignoring case. */
    std::optional<juce::PluginDescription> findInstalledLv2 (const juce::StringArray& acceptedNames);

    /** Loads a plug-in found by findInstalledLv2. */
    std::unique_ptr<juce::AudioPluginInstance> loadLv2 (const juce::PluginDescription& description,
                                                        double sampleRate, int blockSize,
                                                        juce::String& error);

    /** The folder that is searched for a given LV2 location (a bundle's parent, else the folder). */
    static juce::File lv2SearchFolderFor (const juce::File& location);

private:
    juce::VST3PluginFormat vst3Format;
    juce::LV2PluginFormat lv2Format;

    juce::Array<juce::File> searchedLv2Folders;
    bool installedLv2Scanned = false;
    juce::Array<juce::PluginDescription> installedLv2;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PluginHost)
};
