#pragma once

namespace qrvx
{
/** Note values of the synced LFO rates, in the order of the synced-rate choices ("8 BARS" .. "1/128"). */
struct BeatTranslator
{
    static constexpr int numRates = 18;

    /** Cycles per whole note; a dotted value is 4/3 of the next longer plain one. */
    static constexpr float beatDivTable[numRates] = { 0.125f, 0.25f, 0.5f, 1.0f,
                                                      4.0f / 3.0f, 2.0f,
                                                      8.0f / 3.0f, 4.0f,
                                                      16.0f / 3.0f, 8.0f,
                                                      32.0f / 3.0f, 16.0f,
                                                      64.0f / 3.0f, 32.0f,
                                                      128.0f / 3.0f, 64.0f,
                                                      256.0f / 3.0f, 128.0f };

    /** Rate in Hz of the note value at index (0..17) for a whole note lasting msPerWholeNote milliseconds. */
    static float syncedRate (int index, float msPerWholeNote) noexcept
    {
        return 1000.0f / (msPerWholeNote / beatDivTable[index]);
    }
};
}
