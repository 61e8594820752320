#pragma once

#include "PresetFolder.h"

namespace qrvx
{
    /** Where the preset arrows go. Each press goes on from the file the arrows last tried, whether
        it loaded or not, so that a broken preset is stepped over rather than tried again and
        again; once the preset name has changed some other way (the list, a save, the host), the
        arrows go on from the entry of that name instead. Both ends wrap around.
    */
    class PresetStepper final
    {
    public:
        /** Index in presets of the preset a press tries, or -1 when there is nowhere to go from. */
        int target (const PresetFolder::Entries& presets, const juce::String& currentName, bool forwards) const;

        /** Remembers what a press tried; nameAfter is the current preset name once it is over. */
        void tried (const juce::File& file, const juce::String& nameAfter);

        /** The next press goes on from the current name. */
        void forget();

    private:
        juce::File lastTried;
        juce::String nameAfterTry;
    };
}
