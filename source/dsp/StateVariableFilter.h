#pragma once

namespace qrvx
{
/** State of one channel's zero-delay state-variable filter. */
template <typename SampleType>
struct StateVariableFilter
{
    SampleType g = 1, h = 1, k = 1;
    SampleType s1 = 0, s2 = 1;
    SampleType R = 1;
};
}
