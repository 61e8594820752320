#pragma once

namespace qrvx
{
/** One-pole DC blocker state of one channel. */
template <typename SampleType>
struct DCFilter
{
    SampleType previousInput = 0, previousOutput = 0, pole = 0;
};
}
