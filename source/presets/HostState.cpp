#include "HostState.h"
#include "ParameterTreeXml.h"
#include "PluginStateLoader.h"
#include "PluginStateSaver.h"

namespace qrvx
{
    void HostState::save (juce::AudioProcessorValueTreeState& state, const juce::String& nameTag,
                          const juce::String& presetName, juce::MemoryBlock& destination)
    {
        PluginStateSaver saver (state, destination);

        // The name travels in the blob only; the parameter tree never holds it.
        if (auto* xml = saver.getXml())
        {
            // A tree loaded from a saved host state may still carry a name element of its own; a
            // restore takes the first one it finds, so only the current name may travel.
            for (auto* child = xml->getFirstChildElement(); child != nullptr;)
            {
                auto* next = child->getNextElement();

                if (child->getTagName().equalsIgnoreCase (nameTag))
                    xml->removeChildElement (child, true);

                child = next;
            }

            xml->createNewChildElement (nameTag)->setAttribute (nameTag, presetName);
        }
    }

    void HostState::restore (juce::AudioProcessorValueTreeState& state, const juce::String& nameTag,
                             juce::String& presetName, const void* data, int sizeInBytes)
    {
        auto xml = PluginStateLoader::readBlob (data, sizeInBytes);

        if (xml == nullptr)
            return;

        auto newName = presetName;

        for (auto* child : xml->getChildIterator())
        {
            // Older or hand-edited states may spell the tag differently; the attribute must match.
            if (child->getTagName().equalsIgnoreCase (nameTag))
            {
                newName = child->getStringAttribute (nameTag);
                xml->removeChildElement (child, true);
                break;
            }
        }

        // The next host state carries this name beside the tree: both must fit when written back.
        juce::XmlElement nameElement (nameTag);
        nameElement.setAttribute (nameTag, newName);

        if (! fitsWhenWrittenBack (*xml, state, &nameElement))
            return;

        presetName = newName;

        PluginStateLoader loader (state, std::move (xml));
    }
}
