#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

namespace qrvx
{
    /** What the host keeps of an instance: the parameter tree, with one extra element whose tag
        and single attribute are both nameTag, holding the current preset's name.
    */
    struct HostState
    {
        /** Writes the blob of the current parameters and presetName into destination. */
        static void save (juce::AudioProcessorValueTreeState& state, const juce::String& nameTag,
                          const juce::String& presetName, juce::MemoryBlock& destination);

        /** Installs the parameters of a blob and takes the name it carries into presetName. A
            blob without a name element keeps presetName; bytes that are no blob change nothing.
        */
        static void restore (juce::AudioProcessorValueTreeState& state, const juce::String& nameTag,
                             juce::String& presetName, const void* data, int sizeInBytes);
    };
}
