#pragma once

#include "ParameterTreeXml.h"

#include <juce_core/juce_core.h>

namespace qrvx
{
    /** Reads the bytes of a preset file without trusting what the file system says about it:
        anything but a regular file (a FIFO, a device, a link to either) is refused before a byte
        is read, and no more than the size limit is ever read, whatever size the file reports.
    */
    class PresetFileReader final
    {
    public:
        /** UTF-16 takes at most twice the bytes of the same text in UTF-8, and a byte-order mark
            may come first: no longer file can hold a document short enough to be read.
        */
        static constexpr size_t maximumFileSize = 2 * maximumDocumentSize + 2;

        /** Fills bytes with the whole file, or empties it and fails with a reason a user
            understands.
        */
        static juce::Result read (const juce::File& file, juce::MemoryBlock& bytes, size_t sizeLimit = maximumFileSize);
    };
}
