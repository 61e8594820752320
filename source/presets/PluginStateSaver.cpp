#include "PluginStateSaver.h"
#include "ParameterTreeXml.h"

#include <cstring>

namespace qrvx
{
    PluginStateSaver::PluginStateSaver (juce::AudioProcessorValueTreeState& stateToSave, juce::MemoryBlock& destinationBlock)
        : state (stateToSave),
          destination (destinationBlock),
          xml (createParameterTreeXml (state.copyState()))
    {
    }

    PluginStateSaver::~PluginStateSaver()
    {
        if (xml != nullptr)
            writeBlob (*xml, destination);
    }

    void PluginStateSaver::writeBlob (const juce::XmlElement& element, juce::MemoryBlock& destinationBlock)
    {
        {
            juce::MemoryOutputStream out (destinationBlock, false);
            out.writeInt ((int) stateBlobMagic);
            out.writeInt (0);
            element.writeTo (out, juce::XmlElement::TextFormat().singleLine().withoutHeader());
            out.writeByte (0);
        }

        // The stream has trimmed the block to what it wrote; the length excludes the header and
        // the final zero.
        const auto textLength = (juce::uint32) destinationBlock.getSize() - (juce::uint32) (stateBlobHeaderSize + stateBlobTrailerSize);
        auto* lengthField = static_cast<char*> (destinationBlock.getData()) + stateBlobLengthOffset;
        const juce::uint32 littleEndianLength = juce::ByteOrder::swapIfBigEndian (textLength);
        std::memcpy (lengthField, &littleEndianLength, sizeof (littleEndianLength));
    }
}
