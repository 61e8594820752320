#include "PluginStateLoader.h"
#include "StateBlobLayout.h"
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
        if (data == nullptr || sizeInBytes <= stateBlobHeaderSize)
            return nullptr;

        const auto* bytes = static_cast<const char*> (data);

        if (juce::ByteOrder::littleEndianInt (bytes) != stateBlobMagic)
            return nullptr;

        const auto declaredLength = (int) juce::ByteOrder::littleEndianInt (bytes + stateBlobLengthOffset);

        if (declaredLength <= 0)
            return nullptr;

        const auto textLength = (size_t) juce::jmin (sizeInBytes - stateBlobHeaderSize, declaredLength);

        return parseParameterTreeXml (readUtf8Text (bytes + stateBlobHeaderSize, textLength));
    }
}
