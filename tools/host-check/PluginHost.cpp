#include "PluginHost.h"

namespace
{
    std::unique_ptr<juce::AudioPluginInstance> createInstance (juce::AudioPluginFormat& format,
                                                               const juce::PluginDescription& description,
                                                               double sampleRate, int blockSize,
                                                               juce::String& error)
    {
        error.clear();
        auto instance = format.createInstanceFromDescription (description, sampleRate, blockSize, error);

        if (instance == nullptr && error.isEmpty())
            error = "the " + format.getName() + " hosting returned no instance";

        return instance;
    }
}

std::unique_ptr<juce::AudioPluginInstance> PluginHost::loadVst3 (const juce::File& bundle,
                                                                 double sampleRate, int blockSize,
                                                                 juce::String& error)
{
    if (! bundle.exists())
    {
        error = "no such bundle: " + bundle.getFullPathName();
        return {};
    }

    juce::OwnedArray<juce::PluginDescription> found;
    vst3Format.findAllTypesForFile (found, bundle.getFullPathName());

    if (found.isEmpty())
    {
        error = "the VST3 hosting found no plug-in in " + bundle.getFullPathName();
        return {};
    }

    return createInstance (vst3Format, *found.getFirst(), sampleRate, blockSize, error);
}

juce::File PluginHost::lv2SearchFolderFor (const juce::File& location)
{
    return location.getFileExtension().equalsIgnoreCase (".lv2") ? location.getParentDirectory()
                                                                  : location;
}

std::unique_ptr<juce::AudioPluginInstance> PluginHost::loadLv2 (const juce::File& location,
                                                                const juce::String& uri,
                                                                double sampleRate, int blockSize,
                                                                juce::String& error)
{
    const auto folder = lv2SearchFolderFor (location);

    if (! folder.isDirectory())
    {
        error = "no such folder: " + folder.getFullPathName();
        return {};
    }

    // Searching a folder again reloads its bundles, which the underlying library warns about.
    if (! searchedLv2Folders.contains (folder))
    {
        lv2Format.searchPathsForPlugins (juce::FileSearchPath (folder.getFullPathName()), false, false);
        searchedLv2Folders.add (folder);
    }

    juce::OwnedArray<juce::PluginDescription> found;
    lv2Format.findAllTypesForFile (found, uri);

    if (found.isEmpty())
    {
        error = "the LV2 hosting found no plug-in " + uri + " in " + folder.getFullPathName();
        return {};
    }

    return createInstance (lv2Format, *found.getFirst(), sampleRate, blockSize, error);
}

std::optional<juce::PluginDescription> PluginHost::findInstalledLv2 (const juce::StringArray& acceptedNames)
{
    if (! installedLv2Scanned)
    {
        installedLv2Scanned = true;

        // The format loaded the standard folders when it was made; searching them again only makes
        // the underlying library warn about every bundle it reloads.
        const auto uris = lv2Format.searchPathsForPlugins ({}, false, false);

        for (const auto& uri : uris)
        {
            juce::OwnedArray<juce::PluginDescription> found;
            lv2Format.findAllTypesForFile (found, uri);

            for (auto* description : found)
                installedLv2.add (*description);
        }
    }

    for (const auto& description : installedLv2)
        for (const auto& name : acceptedNames)
            if (description.name.equalsIgnoreCase (name))
                return description;

    return std::nullopt;
}

std::unique_ptr<juce::AudioPluginInstance> PluginHost::loadLv2 (const juce::PluginDescription& description,
                                                                double sampleRate, int blockSize,
                                                                juce::String& error)
{
    return createInstance (lv2Format, description, sampleRate, blockSize, error);
}
