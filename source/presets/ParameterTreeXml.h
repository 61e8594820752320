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

    /** Text from bytes that should be UTF-8, ending at the first zero byte or at the end of the
        data. Malformed sequences become U+FFFD: JUCE's XML reader steps over a character by the
        length its first byte announces, and on a malformed one would step past the end.
    */
    juce::String readUtf8Text (const void* data, size_t sizeInBytes);

    /** Text from UTF-16 bytes of the given byte order, surrogate pairs joined; a lone
        surrogate becomes U+FFFD. Stops at a zero code unit.
    */
    juce::String readUtf16Text (const void* data, size_t sizeInBytes, bool bigEndian);

    /** The longest document text, in bytes of UTF-8, that parseParameterTreeXml reads. The
        documents this plug-in writes are a few kilobytes; this leaves room for far larger ones,
        among them a tree nested as deep as reading allows, indented as a preset file indents it,
        while keeping the time and memory that reading one can take small (JUCE's reading and
        writing of attributes take time growing with the square of their number on one element).
    */
    constexpr size_t maximumDocumentSize = 640 * 1024;

    /** Parses a whole document, ignoring empty text, as preset files and host states are read.
        Before JUCE's reader sees the text, what it cannot read safely is taken out: the document
        type declaration, processing instructions after the prolog, and ampersands that start no
        well-formed reference. None of these can carry anything a parameter tree uses. A document
        is not read at all when it is longer than maximumDocumentSize, nests deeper than 512
        elements or holds a second document type declaration anywhere.
    */
    std::unique_ptr<juce::XmlElement> parseParameterTreeXml (const juce::String& text);

    /** The layout of preset files: CR LF line ends, the document type argument " ", UTF-8. */
    juce::XmlElement::TextFormat getPresetFileFormat();

    /** True when what a document would become as the parameter tree, once sanitised, can be
        written back and read again: written as a preset file, with the preset-name element a
        host state would carry if one is given, it stays within maximumDocumentSize, with room
        left for every parameter's value to change and for a preset name as long as a file name.
        A host state, the same on one line, is never longer. Reading only documents like this
        means that whatever was read can be read again after it is saved, although saving
        indents, escapes and adds children and values.
    */
    bool fitsWhenWrittenBack (const juce::XmlElement& document, juce::AudioProcessorValueTreeState& state,
                              const juce::XmlElement* presetNameElement = nullptr);

    /** Sanitises the tree and makes it the state's tree, which pushes every value into its
        parameter. An invalid tree changes nothing.
    */
    void installParameterTree (juce::AudioProcessorValueTreeState& state, juce::ValueTree tree);
}
