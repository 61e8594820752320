#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include <memory>

namespace qrvx
{
    /** Installs a host state's element as the parameter tree when it goes out of scope. */
    class PluginStateLoader final
    {
    public:
        PluginStateLoader (juce::AudioProcessorValueTreeState& state, std::unique_ptr<juce::XmlElement> element);

        ~PluginStateLoader();

        /** The element inside a state blob, or nullptr when the bytes are not one.

            A blob is taken only when it is longer than its header, starts with the magic number and
            its length field is positive; the text is the bytes after the header, up to that length
            or the end of the data, whichever comes first, and a zero byte among them ends it.
        */
        static std::unique_ptr<juce::XmlElement> readBlob (const void* data, int sizeInBytes);

    private:
        juce::AudioProcessorValueTreeState& state;
        std::unique_ptr<juce::XmlElement> xml;

        JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PluginStateLoader)
    };
}
