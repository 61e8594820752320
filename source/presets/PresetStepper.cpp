#include "PresetStepper.h"

#include <functional>

namespace qrvx
{
    namespace
    {
        int indexOf (const PresetFolder::Entries& presets, const std::function<bool (const PresetFolder::Entry&)>& matches)
        {
            for (size_t i = 0; i < presets.size(); ++i)
                if (matches (presets[i]))
                    return (int) i;

            return -1;
        }
    }

    int PresetStepper::target (const PresetFolder::Entries& presets, const juce::String& currentName, bool forwards) const
    {
        auto from = -1;

        if (lastTried != juce::File() && currentName == nameAfterTry)
            from = indexOf (presets, [this] (const auto& entry) { return entry.file == lastTried; });

        // The name as it is spelt, first match: a preset whose name differs only in case is
        // another preset.
        if (from < 0)
            from = indexOf (presets, [&currentName] (const auto& entry) { return entry.name == currentName; });

        if (from < 0)
            return -1;

        const auto count = (int) presets.size();
        return (from + (forwards ? 1 : count - 1)) % count;
    }

    void PresetStepper::tried (const juce::File& file, const juce::String& nameAfter)
    {
        lastTried = file;
        nameAfterTry = nameAfter;
    }

    void PresetStepper::forget()
    {
        lastTried = juce::File();
        nameAfterTry.clear();
    }
}
