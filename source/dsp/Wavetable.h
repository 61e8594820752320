#pragma once

#include <vector>

namespace qrvx
{
/** One LFO waveform: 1024 values in -1..1. */
template <typename SampleType>
struct Wavetable
{
    std::vector<SampleType> samples;
};
}
