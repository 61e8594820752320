#pragma once

#include <juce_core/juce_core.h>

#include <vector>

namespace qrvx
{
    /** What a presets folder offers: its preset files, in the order a user looks for them. */
    class PresetFolder final
    {
    public:
        struct Entry
        {
            /** The file name without its extension: what the user sees and the preset is called. */
            juce::String name;
            juce::File file;
        };

        using Entries = std::vector<Entry>;

        /** Every file directly in the folder (hidden ones too, no folders) whose extension is the
            preset extension in any letter case, by name ignoring case, numbers in natural order
            ("Pad 2" before "Pad 10").
        */
        static Entries list (const juce::File& folder);

        static juce::StringArray namesOf (const Entries& entries);
    };
}
