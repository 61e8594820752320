#include "StartUpPreset.h"
#include "PresetsManager.h"

namespace qrvx
{
    std::optional<StartUpPreset> StartUpPreset::load (juce::AudioProcessorValueTreeState& state)
    {
        const juce::File folder (PresetsManager::presetsFolderPath());
        folder.createDirectory();

        const PresetsManager presets;
        const StartUpPreset candidates[] = {
            { PresetsManager::defaultPresetName, presets.getDefaultPresetFile() },
            { "Zodad_Ide", folder.getChildFile ("Zodad_Ide").withFileExtension (PresetsManager::presetFileExtension) }
        };

        // A candidate that exists but cannot be read must not leave its name on default values;
        // the next one gets its chance.
        for (const auto& candidate : candidates)
            if (candidate.file.existsAsFile() && PresetsManager::loadPreset (candidate.file, state).wasOk())
                return candidate;

        return std::nullopt;
    }
}
