#include "HostState.h"
#include "ParameterTreeXml.h"
#include "PluginStateLoader.h"
#include "PluginStateSaver.h"

#include <optional>

namespace qrvx
{
    namespace
    {
        /** Takes every preset-name element out of a state's XML and returns the first one's name.
            None may stay in a parameter tree: the tree finds parameters by their "id" alone, so a
            parameter could bind to a name element and lose its value when the next save drops it.
            Older or hand-edited states may spell the tag differently; the attribute must match.
        */
        std::optional<juce::String> takeNameElements (juce::XmlElement& xml, const juce::String& nameTag)
        {
            std::optional<juce::String> name;

            for (auto* child = xml.getFirstChildElement(); child != nullptr;)
            {
                auto* next = child->getNextElement();

                if (child->getTagName().equalsIgnoreCase (nameTag))
                {
                    if (! name.has_value())
                        name = child->getStringAttribute (nameTag);

                    xml.removeChildElement (child, true);
                }

                child = next;
            }

            return name;
        }
    } // namespace

    void HostState::save (juce::AudioProcessorValueTreeState& state, const juce::String& nameTag,
                          const CurrentPreset& preset, juce::MemoryBlock& destination)
    {
        PluginStateSaver saver (state, destination);

        // The name travels in the blob only; the parameter tree never holds it.
        if (auto* xml = saver.getXml())
        {
            // A tree loaded from a preset file may carry a name element of its own; a
            // restore takes the first one it finds, so only the current name may travel.
            takeNameElements (*xml, nameTag);
            xml->createNewChildElement (nameTag)->setAttribute (nameTag, preset.getName());
        }
    }

    void HostState::restore (juce::AudioProcessorValueTreeState& state, const juce::String& nameTag,
                             CurrentPreset& preset, const void* data, int sizeInBytes)
    {
        auto xml = PluginStateLoader::readBlob (data, sizeInBytes);

        if (xml == nullptr)
            return;

        const auto newName = takeNameElements (*xml, nameTag);

        // The next host state carries this name beside the tree: both must fit when written back.
        juce::XmlElement nameElement (nameTag);
        nameElement.setAttribute (nameTag, newName.value_or (preset.getName()));

        if (! fitsWhenWrittenBack (*xml, state, &nameElement))
            return;

        // Only a name the blob carries is set: writing back the one read above could undo a
        // preset the footer loaded meanwhile.
        if (newName.has_value())
            preset.setName (*newName);

        PluginStateLoader loader (state, std::move (xml));
    }
}
