#pragma once

#include "Crossfade.h"
#include "DCFilter.h"
#include "SamplerateReducer.h"
#include "StateVariableFilter.h"

#include <juce_core/juce_core.h>

namespace qrvx
{
/** The per-sample signals the channels of one chunk read; all channels read the same ones. */
template <typename SampleType>
struct ChannelSignals
{
    const SampleType* drive;
    const typename StateVariableFilter<SampleType>::Coefficients* filterCoefficients;
    const SampleType* rate;
    const SampleType* bits;
    const SampleType* gain;
    const CrossfadeGains<SampleType>* crossfadeGains;
};

/** The stages of one channel, in the order of the chain, around the filter recursion. */
template <typename SampleType, DriveRouting routing, LoFiRouting loFiRouting>
struct ChannelStages
{
    using Filter = StateVariableFilter<SampleType>;
    using Signals = ChannelSignals<SampleType>;

    static constexpr auto driveFirst = routing == DriveRouting::preFilter;

    /** Drive before the filter, or the input unchanged. */
    static forcedinline SampleType beforeFilter (SampleType x, const Signals& signals, int i) noexcept
    {
        if constexpr (driveFirst)
            return Filter::drive (x, signals.drive[i]);
        else
            return x;
    }

    /** Drive after the filter, lo-fi stage, gain, DC blocker and crossfade with the dry input. */
    static forcedinline SampleType afterFilter (SampleType y, SampleType dry, const Signals& signals, int i,
                                                SamplerateReducer<SampleType>& reducer,
                                                DCFilter<SampleType>& dcBlocker) noexcept
    {
        if constexpr (! driveFirst)
            y = Filter::drive (y, signals.drive[i]);

        const auto loFi = processLoFi<loFiRouting> (y, reducer, (int) signals.rate[i], (int) signals.bits[i]);
        const auto wet = dcBlocker.process (loFi * signals.gain[i]);

        return crossfade (dry, wet, signals.crossfadeGains[i]);
    }
};

/** Where each channel's filter, sample-and-hold and DC-blocker records live: arrays with one
    entry per channel.
*/
template <typename SampleType>
struct ChannelRecords
{
    StateVariableFilter<SampleType>* filters;
    SamplerateReducer<SampleType>* reducers;
    DCFilter<SampleType>* dcBlockers;
};

/** The records of one channel as the sample loops work on them: copies, which the compiler keeps
    in registers. The records themselves could alias the sample lines as far as it knows, which
    would send the integrators through memory at every sample.
*/
template <typename SampleType>
struct ChannelState
{
    using Filter = StateVariableFilter<SampleType>;
    using Reducer = SamplerateReducer<SampleType>;
    using DCBlocker = DCFilter<SampleType>;

    ChannelState (const ChannelRecords<SampleType>& records, int channel) noexcept
        : filter (records.filters[channel]), reducer (records.reducers[channel]), dcBlocker (records.dcBlockers[channel]),
          filterRecord (records.filters[channel]), reducerRecord (records.reducers[channel]), dcBlockerRecord (records.dcBlockers[channel])
    {
    }

    /** Writes the copies back to the records. */
    ~ChannelState()
    {
        filterRecord = filter;
        reducerRecord = reducer;
        dcBlockerRecord = dcBlocker;
    }

    Filter filter;
    Reducer reducer;
    DCBlocker dcBlocker;

private:
    Filter& filterRecord;
    Reducer& reducerRecord;
    DCBlocker& dcBlockerRecord;

    JUCE_DECLARE_NON_COPYABLE (ChannelState)
};

/** A lone channel over one chunk, in place: all stages per sample, so the work around the filter
    fills the waits of its recursion, where each sample waits on the tanh of the one before.
*/
template <typename SampleType, FilterType type, DriveRouting routing, LoFiRouting loFiRouting>
void runOneChannel (SampleType* samples, int numSamples, const ChannelSignals<SampleType>& signals,
                    ChannelState<SampleType>& state) noexcept
{
    using Stages = ChannelStages<SampleType, routing, loFiRouting>;

    for (int i = 0; i < numSamples; ++i)
    {
        const auto dry = samples[i];

        state.filter.setCoefficients (signals.filterCoefficients[i]);
        const auto y = state.filter.template filter<type> (Stages::beforeFilter (dry, signals, i));

        samples[i] = Stages::afterFilter (y, dry, signals, i, state.reducer, state.dcBlocker);
    }
}

/** Two channels over one chunk, in place, with two scratch lines.

    The two filter recursions run side by side in one loop, each filling the other's tanh waits.
    The drive's sines run in a loop of their own: mispredicted branches inside the library's sine
    and tanh throw away whatever work the CPU had started past them, and the two recursions do
    best with nothing costly in between. Every value comes from exactly the arithmetic of one
    sample-by-sample pass per channel; only the order of work that does not depend on each other
    changes.
*/
template <typename SampleType, FilterType type, DriveRouting routing, LoFiRouting loFiRouting>
void runTwoChannels (SampleType* const* channels, SampleType* const* scratch, int numSamples,
                     const ChannelSignals<SampleType>& signals,
                     ChannelState<SampleType>& first, ChannelState<SampleType>& second) noexcept
{
    using Stages = ChannelStages<SampleType, routing, loFiRouting>;

    auto* firstSamples = channels[0];
    auto* secondSamples = channels[1];
    auto* firstLine = scratch[0];
    auto* secondLine = scratch[1];
    const auto* coefficients = signals.filterCoefficients;

    if constexpr (Stages::driveFirst)
    {
        for (int i = 0; i < numSamples; ++i)
        {
            firstLine[i] = Stages::beforeFilter (firstSamples[i], signals, i);
            secondLine[i] = Stages::beforeFilter (secondSamples[i], signals, i);
        }

        for (int i = 0; i < numSamples; ++i)
        {
            first.filter.setCoefficients (coefficients[i]);
            second.filter.setCoefficients (coefficients[i]);
            const auto firstY = first.filter.template filter<type> (firstLine[i]);
            const auto secondY = second.filter.template filter<type> (secondLine[i]);

            firstSamples[i] = Stages::afterFilter (firstY, firstSamples[i], signals, i, first.reducer, first.dcBlocker);
            secondSamples[i] = Stages::afterFilter (secondY, secondSamples[i], signals, i, second.reducer, second.dcBlocker);
        }
    }
    else
    {
        for (int i = 0; i < numSamples; ++i)
        {
            first.filter.setCoefficients (coefficients[i]);
            second.filter.setCoefficients (coefficients[i]);
            firstLine[i] = first.filter.template filter<type> (firstSamples[i]);
            secondLine[i] = second.filter.template filter<type> (secondSamples[i]);
        }

        for (int i = 0; i < numSamples; ++i)
        {
            firstSamples[i] = Stages::afterFilter (firstLine[i], firstSamples[i], signals, i, first.reducer, first.dcBlocker);
            secondSamples[i] = Stages::afterFilter (secondLine[i], secondSamples[i], signals, i, second.reducer, second.dcBlocker);
        }
    }
}

/** The audio stages of the first numChannels channels (at most 2) over one chunk, in place;
    scratch holds a line of at least numSamples for each of them.
*/
template <typename SampleType, FilterType type, DriveRouting routing, LoFiRouting loFiRouting>
void runChannelStages (SampleType* const* channels, SampleType* const* scratch, int numChannels, int numSamples,
                       const ChannelSignals<SampleType>& signals, const ChannelRecords<SampleType>& records) noexcept
{
    if (numChannels == 2)
    {
        ChannelState<SampleType> first (records, 0);
        ChannelState<SampleType> second (records, 1);
        runTwoChannels<SampleType, type, routing, loFiRouting> (channels, scratch, numSamples, signals, first, second);
    }
    else if (numChannels == 1)
    {
        ChannelState<SampleType> state (records, 0);
        runOneChannel<SampleType, type, routing, loFiRouting> (channels[0], numSamples, signals, state);
    }
}

/** One specialisation of runChannelStages. */
template <typename SampleType>
using ChannelKernel = void (*) (SampleType* const*, SampleType* const*, int, int,
                                const ChannelSignals<SampleType>&, const ChannelRecords<SampleType>&);

namespace detail
{
    template <typename SampleType, FilterType type, DriveRouting routing>
    ChannelKernel<SampleType> pickChannelKernel (LoFiRouting loFiRouting) noexcept
    {
        switch (loFiRouting)
        {
            case LoFiRouting::mix:   return runChannelStages<SampleType, type, routing, LoFiRouting::mix>;
            case LoFiRouting::ring:  return runChannelStages<SampleType, type, routing, LoFiRouting::ring>;
            case LoFiRouting::chain: break;
        }

        return runChannelStages<SampleType, type, routing, LoFiRouting::chain>;
    }

    template <typename SampleType, FilterType type>
    ChannelKernel<SampleType> pickChannelKernel (DriveRouting routing, LoFiRouting loFiRouting) noexcept
    {
        return routing == DriveRouting::postFilter ? pickChannelKernel<SampleType, type, DriveRouting::postFilter> (loFiRouting)
                                                   : pickChannelKernel<SampleType, type, DriveRouting::preFilter> (loFiRouting);
    }
}

/** The loop specialised for a block's filter type and routings, so that the sample loop never
    branches on them.
*/
template <typename SampleType>
ChannelKernel<SampleType> pickChannelKernel (FilterType type, DriveRouting routing, LoFiRouting loFiRouting) noexcept
{
    switch (type)
    {
        case FilterType::highpass: return detail::pickChannelKernel<SampleType, FilterType::highpass> (routing, loFiRouting);
        case FilterType::bandpass: return detail::pickChannelKernel<SampleType, FilterType::bandpass> (routing, loFiRouting);
        case FilterType::notch:    return detail::pickChannelKernel<SampleType, FilterType::notch> (routing, loFiRouting);
        case FilterType::lowpass:  break;
    }

    return detail::pickChannelKernel<SampleType, FilterType::lowpass> (routing, loFiRouting);
}
}
