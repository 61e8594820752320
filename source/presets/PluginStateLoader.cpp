#include "PluginStateLoader.h"
#include "PluginStateSaver.h"
#include "ParameterTreeXml.h"

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

        return parseParameterTreeXml (readUtf8Text (bytes + 8, textLength));
    }
}
