#pragma once

#include <vector>

namespace qrvx
{
/** One LFO waveform: 1024 values in -1..1, read without interpolation. */
template <typename SampleType>
struct Wavetable
{
    static constexpr int size = 1024;

    std::vector<SampleType> samples;

    /** Builds a table from entry (i) for i = 0..size-1; entry returns the value in -1..1. */
    template <typename EntryFunction>
    static Wavetable fromEntries (EntryFunction&& entry)
    {
        Wavetable table;
        table.samples.reserve ((size_t) size);

        for (int i = 0; i < size; ++i)
            table.samples.push_back ((SampleType) entry (i));

        return table;
    }
};
}
