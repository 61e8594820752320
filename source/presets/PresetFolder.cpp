#include "PresetFolder.h"
#include "PresetsManager.h"

#include <algorithm>

namespace qrvx
{
    namespace
    {
        // Names equal but for case or spacing still need one order, so that the menu and the
        // arrows agree from one listing to the next whatever order the directory gives.
        bool comesBefore (const PresetFolder::Entry& a, const PresetFolder::Entry& b)
        {
            if (const auto ignoringCase = a.name.compareNatural (b.name, false); ignoringCase != 0)
                return ignoringCase < 0;

            if (const auto withCase = a.name.compareNatural (b.name, true); withCase != 0)
                return withCase < 0;

            return a.file.getFileName().compare (b.file.getFileName()) < 0;
        }
    }

    PresetFolder::Entries PresetFolder::list (const juce::File& folder)
    {
        Entries entries;

        // The extension is checked here rather than by a wildcard: JUCE matches a single wildcard
        // ignoring case but several, or a recursive search, in the file system's letter case.
        for (const auto& found : juce::RangedDirectoryIterator (folder, false, "*", juce::File::findFiles))
        {
            const auto& file = found.getFile();

            if (file.hasFileExtension (PresetsManager::presetFileExtension)) // in any letter case
                entries.push_back ({ file.getFileNameWithoutExtension(), file });
        }

        std::stable_sort (entries.begin(), entries.end(), comesBefore);
        return entries;
    }

    juce::StringArray PresetFolder::namesOf (const Entries& entries)
    {
        juce::StringArray names;

        for (const auto& entry : entries)
            names.add (entry.name);

        return names;
    }
}
