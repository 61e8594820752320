#pragma once

#include <cstdint>

namespace qrvx
{
    // The host state is JUCE's wrapper for XML held as bytes: a 32-bit magic number, the 32-bit
    // length of the text (both little-endian), the text, and a zero byte. The host check reads it
    // from outside the plug-in, so this header stays free of JUCE.

    /** First four bytes of a state blob, read as a little-endian 32-bit integer. */
    constexpr std::uint32_t stateBlobMagic = 0x21324356;

    /** Where the length of the text stands: right after the magic. */
    constexpr int stateBlobLengthOffset = 4;

    /** Bytes before the text: the magic and the length. */
    constexpr int stateBlobHeaderSize = 8;

    /** Bytes after the text: its terminating zero, which the length leaves out. */
    constexpr int stateBlobTrailerSize = 1;
}
