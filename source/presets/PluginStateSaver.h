#pragma once

#include "StateBlobLayout.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <memory>

namespace qrvx
{
    /** Writes the host state of a parameter tree when it goes out of scope.

        The blob is JUCE's wrapper for XML held as bytes: the magic number, the length of the text,
        the tree's XML on one line without a declaration, and a zero byte. Whatever the destination
        held before is replaced.
    */
    class PluginStateSaver final
    {
    public:
        /** Takes a copy of the state's tree holding the parameters' current values. */
        PluginStateSaver (juce::AudioProcessorValueTreeState& state, juce::MemoryBlock& destination);

        ~PluginStateSaver();

        /** The element that will be written; elements added to it go into the blob, never into the
            parameter tree. Null when there is nothing to write.
        */
        juce::XmlElement* getXml() noexcept         { return xml.get(); }

        /** The blob for an element, as the destructor writes it. */
        static void writeBlob (const juce::XmlElement& element, juce::MemoryBlock& destination);

    private:
        juce::AudioProcessorValueTreeState& state;
        juce::MemoryBlock& destination;
        std::unique_ptr<juce::XmlElement> xml;

        JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PluginStateSaver)
    };
}
