#pragma once

namespace qrvx
{
/** Sample-and-hold state of one channel. */
template <typename SampleType>
struct SamplerateReducer
{
    int counter = 0;
    SampleType heldValue = 0;
};
}
