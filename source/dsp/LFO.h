#pragma once

#include "Wavetable.h"

#include <juce_core/juce_core.h>

#include <cmath>

namespace qrvx
{
/** The LFO waveforms, numbered like the "LFO_1_Wave" / "LFO_2_Wave" choices. */
enum LFOWave
{
    sineWave = 0,
    squareWave,
    sawUpWave,
    sawDownWave,
    triangleWave,
    randomWave,
    smoothRandomWave,

    numLFOWaves
};

/** A wavetable LFO with a unipolar output.

    The phase runs freely; the two random waves do not follow the phase but step one table entry
    along at every wrap of it, so they hold one level per cycle.
*/
template <typename SampleType>
struct LFO
{
    /** Builds the seven tables; the two random ones are seeded afresh for every LFO. */
    LFO()
    {
        constexpr int size = Table::size;
        constexpr int half = size / 2;

        tables.reserve ((size_t) numLFOWaves);

        tables.push_back (Table::fromEntries ([] (int i)
        {
            return std::sin ((double) (float) i * radiansPerEntry);
        }));

        tables.push_back (Table::fromEntries ([] (int i) { return i < half ? 1.0 : -1.0; }));

        tables.push_back (Table::fromEntries ([] (int i)
        {
            return 2.0 * (double) ((float) i * (1.0f / (float) size)) - 1.0;
        }));

        tables.push_back (Table::fromEntries ([] (int i)
        {
            return 2.0 * (1.0 - (double) ((float) i * (1.0f / (float) size))) - 1.0;
        }));

        tables.push_back (Table::fromEntries ([] (int i)
        {
            const double t = i < half ? (double) ((float) i * (1.0f / (float) half))
                                      : 1.0 + (double) ((float) (i - half) * (-1.0f / (float) half));
            return 2.0 * t - 1.0;
        }));

        tables.push_back (Table::fromEntries ([random = seededRandom()] (int) mutable
        {
            return randomLevel (random);
        }));

        tables.push_back (makeSmoothRandomTable());
    }

    /** Restarts the cycle; the random position and the wrap detection carry on. */
    void resetPhase() noexcept
    {
        phase = 0;
    }

    /** Sets the phase advance per sample from a rate in Hz and a sample period in seconds. */
    void setRate (SampleType rateHz, SampleType samplePeriod) noexcept
    {
        increment = rateHz * samplePeriod;
    }

    /** Advances one sample and returns the output (0..1) of the given wave (0..6). */
    SampleType tick (int wave) noexcept
    {
        SampleType value;
        render (wave, &value, 1);
        return value;
    }

    /** Ticks numSamples times into dest, with the wave (0..6) fixed for the whole run. */
    void render (int wave, SampleType* dest, int numSamples) noexcept
    {
        const auto* table = tables[(size_t) wave].samples.data();

        // The running state goes through the loop in locals: dest might alias the members as far
        // as the compiler knows, which would put every phase step through memory.
        Cursor cursor { phase, increment, lastPhase, randomIndex };

        if (isRandomWave (wave))
        {
            for (int i = 0; i < numSamples; ++i)
                dest[i] = tickWith<true> (table, cursor);
        }
        else
        {
            for (int i = 0; i < numSamples; ++i)
                dest[i] = tickWith<false> (table, cursor);
        }

        phase = cursor.phase;
        lastPhase = cursor.lastPhase;
        randomIndex = cursor.randomIndex;
    }

    SampleType phase = 0;
    SampleType increment = 0;
    std::vector<Wavetable<SampleType>> tables;
    SampleType lastPhase = 0;
    int randomIndex = 0;

private:
    using Table = Wavetable<SampleType>;

    /** The sine table's step: one cycle over the table. */
    static constexpr double radiansPerEntry = juce::MathConstants<double>::twoPi / Table::size;

    static constexpr bool isRandomWave (int wave) noexcept
    {
        return wave == randomWave || wave == smoothRandomWave;
    }

    struct Cursor
    {
        SampleType phase, increment, lastPhase;
        int randomIndex;
    };

    template <bool readsRandomIndex>
    static SampleType tickWith (const SampleType* table, Cursor& cursor) noexcept
    {
        constexpr auto tableSize = (SampleType) Table::size;

        const auto oldPhase = cursor.phase;
        auto newPhase = oldPhase + cursor.increment;

        if (newPhase >= 1)
            newPhase -= 1;

        cursor.phase = newPhase;

        const auto position = readsRandomIndex ? (SampleType) cursor.randomIndex * ((SampleType) 1 / tableSize)
                                               : oldPhase;
        const auto scaled = position * tableSize;

        // The comparison also catches a phase that absurd rates have pushed to infinity or NaN.
        const auto index = scaled < tableSize ? (int) scaled : Table::size - 1;
        const auto value = table[index];

        if (cursor.lastPhase > oldPhase && ++cursor.randomIndex >= Table::size)
            cursor.randomIndex = 0;

        cursor.lastPhase = oldPhase;
        return (value + (SampleType) 1) * (SampleType) 0.5;
    }

    static juce::Random seededRandom()
    {
        juce::Random random;
        random.setSeedRandomly();
        return random;
    }

    /** A level in [-1, 1): 2u - 1, with u the generator's next 32-bit output read unsigned and scaled to [0, 1). */
    static double randomLevel (juce::Random& random)
    {
        const auto u = (double) (juce::uint32) random.nextInt() / 4294967296.0;
        return 2.0 * u - 1.0;
    }

    /** 64 random anchors, 16 entries apart, joined by straight lines; the last runs back to the first. */
    static Table makeSmoothRandomTable()
    {
        constexpr int spacing = 16;
        constexpr int size = Table::size;

        auto random = seededRandom();
        Table table;
        table.samples.resize ((size_t) size);
        auto* entries = table.samples.data();

        for (int i = 0; i < size; i += spacing)
            entries[i] = (SampleType) randomLevel (random);

        for (int anchor = 0; anchor < size; anchor += spacing)
        {
            const auto next = entries[(anchor + spacing) % size];
            const SampleType step = (next - entries[anchor]) * (SampleType) 0.0625;

            for (int i = anchor + 1; i < anchor + spacing; ++i)
                entries[i] = entries[i - 1] + step;
        }

        return table;
    }
};
}
