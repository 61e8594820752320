#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include <optional>

namespace qrvx
{
    /** The preset a new instance starts with. */
    struct StartUpPreset
    {
        juce::String name;
        juce::File file;

        /** Creates the presets folder if it is missing, then loads User_Default, else Zodad_Ide,
            from it. With neither the parameters keep their values and there is no start-up preset.
        */
        static std::optional<StartUpPreset> load (juce::AudioProcessorValueTreeState& state);
    };
}
