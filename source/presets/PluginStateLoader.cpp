#include "PluginStateLoader.h"
#include "PluginStateSaver.h"
#include "ParameterTreeXml.h"

#include <cstring>

namespace qrvx
{
    PluginStateLoader::PluginStateLoader (juce::AudioProcessorValueTreeState& stateToFill, std::unique_ptr<juce::XmlElement> element)
        : state (stateToFill),
          xml (std::move (element))
    {
    }

    PluginStateLoader::~PluginStateLoader()
    {
        if (xml != nullptr)
            installParameterTree (state, juce::ValueTree::fromXml (*xml));
    }

    std::unique_ptr<juce::XmlElement> PluginStateLoader::readBlob (const void* data, int sizeInBytes)
    {
        if (data == nullptr || sizeInBytes <= 8)
            return nullptr;

        const auto* bytes = static_cast<const char*> (data);

        if (juce::ByteOrder::littleEndianInt (bytes) != stateBlobMagic)
            return nullptr;

        const auto declaredLength = (int) juce::ByteOrder::littleEndianInt (bytes + 4);

        if (declaredLength <= 0)
            return nullptr;

        const auto textLength = (size_t) juce::jmin (sizeInBytes - 8, declaredLength);

        // The host's bytes are copied with a zero after them: a multi-byte UTF-8 sequence cut
        // off at the end must not lead the decoder past the data it was given.
        juce::HeapBlock<char> text (textLength + 1, true);
        std::memcpy (text.get(), bytes + 8, textLength);

        return juce::parseXML (juce::String::fromUTF8 (text.get()));
    }
}
