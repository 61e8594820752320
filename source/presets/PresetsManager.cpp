#include "PresetsManager.h"
#include "ParameterTreeXml.h"
#include "PresetFileReader.h"

namespace qrvx
{
    namespace
    {
        /** A preset file's text: UTF-16 after a byte-order mark saying so, otherwise UTF-8 with or
            without its byte-order mark.
        */
        juce::String decodeDocumentText (const juce::MemoryBlock& bytes)
        {
            const auto* data = static_cast<const char*> (bytes.getData());
            auto size = bytes.getSize();

            if (size >= 2 && juce::CharPointer_UTF16::isByteOrderMarkBigEndian (data))
                return readUtf16Text (data + 2, size - 2, true);

            if (size >= 2 && juce::CharPointer_UTF16::isByteOrderMarkLittleEndian (data))
                return readUtf16Text (data + 2, size - 2, false);

            if (size >= 3 && juce::CharPointer_UTF8::isByteOrderMark (data))
            {
                data += 3;
                size -= 3;
            }

            return readUtf8Text (data, size);
        }
    }

    const juce::String PresetsManager::defaultPresetName ("User_Default");

    const juce::String& PresetsManager::presetsFolderPath()
    {
        static const juce::String path = juce::File::getSpecialLocation (juce::File::userHomeDirectory).getFullPathName()
                                         + "/Library/Audio/Presets/" + "Ririvud" + "/" + "Vevarero";
        return path;
    }

    juce::File PresetsManager::getDefaultPresetFile() const
    {
        return juce::File (presetsFolderPath() + juce::File::getSeparatorString() + defaultPresetName)
                   .withFileExtension (presetFileExtension);
    }

    juce::Result PresetsManager::savePreset (const juce::ValueTree& tree, const juce::File& file)
    {
        if (! tree.isValid())
            return juce::Result::fail ("Invalid preset data supplied, failed to save preset.");

        const auto xml = createParameterTreeXml (tree);

        if (! xml->writeTo (file, getPresetFileFormat()))
            return juce::Result::fail ("Could not write preset to file.");

        return juce::Result::ok();
    }

    juce::Result PresetsManager::savePreset (juce::AudioProcessorValueTreeState& state, const juce::File& file)
    {
        return savePreset (state.copyState(), file);
    }

    juce::Result PresetsManager::loadPreset (const juce::File& file, juce::AudioProcessorValueTreeState& state)
    {
        juce::MemoryBlock bytes;
        const auto read = PresetFileReader::read (file, bytes);

        if (read.failed())
            return read;

        // Parsed from the file's text rather than from the file itself, so that a document type
        // naming an outside file never makes a preset read (or hang on) some other file.
        const auto xml = parseParameterTreeXml (decodeDocumentText (bytes));

        if (xml == nullptr || ! fitsWhenWrittenBack (*xml, state))
            return juce::Result::fail ("Invalid preset file supplied, could not load preset.");

        installParameterTree (state, juce::ValueTree::fromXml (*xml));
        return juce::Result::ok();
    }

    juce::String PresetsManager::wildcardForfileChooser()
    {
        return juce::String ("*.") + presetFileExtension;
    }
}
