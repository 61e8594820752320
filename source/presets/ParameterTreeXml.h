#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include <memory>

namespace qrvx
{
    /** The XML form of a parameter tree, shared by preset files and the host state.

        Numbers held as doubles are written with up to 20 significant digits (the %.20g form), so
        a float survives the trip exactly; every other property, including a value that was read
        from a file and not changed since, is written as its own text. Binary properties use the
        "base64:" naming that juce::ValueTree::fromXml understands. Returns nullptr for an invalid
        tree.
    */
    std::unique_ptr<juce::XmlElement> createParameterTreeXml (const juce::ValueTree& tree);

    /** Text of one property value as createParameterTreeXml writes it. */
    juce::String getParameterTreeValueText (const juce::var& value);

    /** Makes a tree safe to hand to the parameters: every child whose "id" names a parameter of
        the state gets a finite "value" inside that parameter's range. A missing value, or one that
        is not a finite number, becomes the parameter's default; a value outside the range is
        limited to it. A parameter without any child gets one, appended with its default. Values
        that are already fine are left untouched, text and all.
    */
    void sanitiseParameterTree (juce::ValueTree& tree, juce::AudioProcessorValueTreeState& state);

    /** Sanitises the tree and makes it the state's tree, which pushes every value into its
        parameter. An invalid tree changes nothing.
    */
    void installParameterTree (juce::AudioProcessorValueTreeState& state, juce::ValueTree tree);
}
