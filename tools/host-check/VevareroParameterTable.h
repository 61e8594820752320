#pragma once

#include <juce_core/juce_core.h>

#include <array>

/** What a host should find of one of Vevarero's parameters. Kept apart from the plug-in's own code
    on purpose: the tools that use it check the built binaries against it.
*/
struct ExpectedParameter
{
    const char* id;
    const char* name;
    const char* label;
    float start;
    float end;
    float skew;
    float defaultValue; // in the parameter's own units

    /** A real value as the plug-in normalises it towards a VST3 host: the skewed proportion. */
    float toNormalised (float realValue) const noexcept;

    /** A real value in plain proportion to the range, which is how an LV2 host normalises it:
        LV2 carries only the real range's ends.
    */
    float toProportion (float realValue) const noexcept;
};

/** The parameters in the order a host lists them. */
extern const std::array<ExpectedParameter, 29> vevareroParameters;

/** Index of the parameter with this ID, or -1. */
int vevareroParameterIndex (juce::StringRef id) noexcept;
