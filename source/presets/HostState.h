#pragma once

#include "CurrentPreset.h"

#include <juce_audio_processors/juce_audio_processors.h>

namespace qrvx
{
    /** What the host keeps of an instance: the parameter tree, with one extra element whose tag
        and single attribute are both nameTag, holding the current preset's name.
    */
    struct HostState
    {
        /** Writes the blob of the current parameters and the preset's name into destination. */
        static void save (juce::AudioProcessorValueTreeState& state, const juce::String& nameTag,
                          const CurrentPreset& preset, juce::MemoryBlock& destination);

        /** Installs the parameters of a blob and gives the preset the name it carries, keeping its
            file path. A blob without a name element keeps the name; bytes that are no blob change
            nothing.
        */
        static void restore (juce::AudioProcessorValueTreeState& state, const juce::String& nameTag,
                             CurrentPreset& preset, const void* data, int sizeInBytes);
    };
}
