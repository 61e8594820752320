#include "ScratchHome.h"
#include "presets/PresetsManager.h"
#include "presets/StateBlobLayout.h"
#include "processor/PluginProcessor.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

using qrvx::PresetsManager;

namespace
{
    constexpr int numPresets = 4;

    /** What the other threads may see: the names and paths of the preset files and host blobs. */
    struct Known
    {
        juce::Array<juce::File> files;
        juce::StringArray fileNames;
        std::vector<juce::MemoryBlock> blobs;
        juce::StringArray blobNames;
    };

    Known makeKnownPresets()
    {
        Known known;
        const juce::File folder (scratchhome::emptiedTestFolder ("presets across threads").string());

        VevareroAudioProcessor source;

        for (int i = 0; i < numPresets; ++i)
        {
            // Long names: each copy shares one heap block, so a copy read while another thread
            // assigns can reach freed memory.
            const auto fileName = "Footer preset number " + juce::String (i) + " with a long name";
            const auto file = folder.getChildFile (fileName + ".glp");
            source.getParameters()[i]->setValueNotifyingHost (0.1f * (float) (i + 1));
            EXPECT_TRUE (PresetsManager::savePreset (source.valueTreeState, file).wasOk()) << file.getFullPathName();
            known.files.add (file);
            known.fileNames.add (fileName);

            const auto blobName = "Host project number " + juce::String (i) + " with a long name";
            source.currentPreset.setName (blobName);
            known.blobs.emplace_back();
            source.getStateInformation (known.blobs.back());
            known.blobNames.add (blobName);
        }

        return known;
    }

    /** The name a host blob carries, read from its text. */
    juce::String nameInBlob (const juce::MemoryBlock& blob)
    {
        const auto* start = static_cast<const char*> (blob.getData()) + qrvx::stateBlobHeaderSize;
        const auto length = (int) blob.getSize() - qrvx::stateBlobHeaderSize - qrvx::stateBlobTrailerSize;
        const auto text = juce::String::fromUTF8 (start, length);
        return text.fromLastOccurrenceOf ("Preset_Name=\"", false, false).upToFirstOccurrenceOf ("\"", false, false);
    }

    /** What a thread saw that no thread ever wrote. */
    class Strays
    {
    public:
        void checkName (const juce::String& seen, const Known& known)
        {
            if (! known.fileNames.contains (seen) && ! known.blobNames.contains (seen) && seen != "INIT")
                add ("name \"" + seen + "\"");
        }

        void checkPath (const juce::String& seen, const Known& known)
        {
            if (seen.isNotEmpty() && ! known.files.contains (juce::File (seen)))
                add ("path \"" + seen + "\"");
        }

        juce::String list() const
        {
            const std::lock_guard<std::mutex> scope (lock);
            return seenSoFar.joinIntoString (", ");
        }

    private:
        void add (const juce::String& what)
        {
            const std::lock_guard<std::mutex> scope (lock);
            seenSoFar.addIfNotAlreadyThere (what);
        }

        mutable std::mutex lock;
        juce::StringArray seenSoFar;
    };

    struct Contest
    {
        const char* what;
        int hostSavers;
        int hostRestorers;
    };
}

TEST (PresetAcrossThreads, HostSavesAndRestoresBesideFooterLoads)
{
    const auto known = makeKnownPresets();

    // Hosts save and restore on threads of their own while the footer, on this thread as on the
    // message thread, loads presets and reads the name and path for its label.
    const Contest contests[] = {
        { "footer loads beside host saves", 3, 0 },
        { "footer loads beside host restores", 0, 3 },
        { "footer loads beside host saves and restores", 2, 2 },
    };

    constexpr int footerLoads = 200;
    constexpr int readsPerLoad = 50;

    for (const auto& contest : contests)
    {
        VevareroAudioProcessor processor;
        std::atomic<bool> footerDone { false };
        std::atomic<int> hostCalls { 0 };
        Strays strays;
        std::vector<std::thread> hosts;

        for (int i = 0; i < contest.hostSavers; ++i)
            hosts.emplace_back ([&]
            {
                while (! footerDone)
                {
                    juce::MemoryBlock block;
                    processor.getStateInformation (block);
                    strays.checkName (nameInBlob (block), known);
                    ++hostCalls;
                }
            });

        for (int i = 0; i < contest.hostRestorers; ++i)
            hosts.emplace_back ([&, i]
            {
                for (int call = i; ! footerDone; ++call)
                {
                    const auto& blob = known.blobs[(size_t) (call % numPresets)];
                    processor.setStateInformation (blob.getData(), (int) blob.getSize());
                    ++hostCalls;
                }
            });

        for (int load = 0; load < footerLoads; ++load)
        {
            const auto& file = known.files.getReference (load % numPresets);
            const auto loaded = PresetsManager::loadPreset (file, processor.valueTreeState);
            EXPECT_TRUE (loaded.wasOk()) << contest.what << ": " << file.getFileName() << ", " << loaded.getErrorMessage();
            // Fresh copies, as the footer makes its list and file afresh for every load, so that the
            // current preset holds the texts' only references and the next change frees them.
            processor.currentPreset.set (juce::String (known.fileNames[load % numPresets].toRawUTF8()),
                                         juce::String (file.getFullPathName().toRawUTF8()));

            for (int read = 0; read < readsPerLoad; ++read)
            {
                strays.checkName (processor.currentPreset.getName(), known);
                strays.checkPath (processor.currentPreset.getFilePath(), known);
            }
        }

        footerDone = true;

        for (auto& host : hosts)
            host.join();

        EXPECT_GT (hostCalls.load(), 0) << contest.what << ": no host call ran beside the footer";
        EXPECT_EQ (strays.list(), juce::String()) << contest.what << ": seen but never written";

        // A host restore names the preset but leaves the footer's last file in place.
        const auto lastFile = known.files[(footerLoads - 1) % numPresets];
        EXPECT_EQ (processor.currentPreset.getFilePath(), lastFile.getFullPathName()) << contest.what;
    }
}
