#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

namespace qrvx
{
    /** Knows the presets folder, the default preset and how a parameter tree goes to and comes
        from a ".glp" file. Holds no state of its own.
    */
    class PresetsManager final
    {
    public:
        /** File name (without extension) of the preset that a new instance loads first. */
        static const juce::String defaultPresetName;

        /** Full path of the user's presets folder. The home folder is looked up on the first call
            and kept from then on, so whoever sets HOME before the first instance (a test program,
            say) decides where presets live.
        */
        static const juce::String& presetsFolderPath();

        /** The file User_Default.glp in the presets folder. */
        juce::File getDefaultPresetFile() const;

        /** Writes the tree as a preset file, replacing the file through a temporary one so that a
            failed write leaves the old file whole.
        */
        static juce::Result savePreset (const juce::ValueTree& tree, const juce::File& file);

        /** Writes the current state of the parameters, with every value the parameters hold right
            now (the tree itself only catches up with them on a timer).
        */
        static juce::Result savePreset (juce::AudioProcessorValueTreeState& state, const juce::File& file);

        /** Reads any well-formed XML document as the new parameter tree; a file that yields no XML,
            is no regular file or is too large leaves the parameters as they are.
        */
        static juce::Result loadPreset (const juce::File& file, juce::AudioProcessorValueTreeState& state);

        /** The file pattern of preset files, "*.glp". */
        static juce::String wildcardForfileChooser();

        /** Extension of preset files, without the dot. */
        static constexpr const char* presetFileExtension = "glp";
    };
}
