#pragma once

#include "Wavetable.h"

namespace qrvx
{
/** A wavetable LFO with a unipolar output. */
template <typename SampleType>
struct LFO
{
    SampleType phase = 0;
    SampleType increment = 0;
    std::vector<Wavetable<SampleType>> tables;
    SampleType lastPhase = 0;
    int randomIndex = 0;
};
}
