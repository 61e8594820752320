#include "ParameterTreeXml.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>

namespace qrvx
{
    namespace
    {
        // The property names that juce::AudioProcessorValueTreeState gives each parameter's child.
        const juce::Identifier idProperty ("id");
        const juce::Identifier valueProperty ("value");
        const juce::Identifier parameterType ("PARAM");

        /** True for a plain decimal number: optional sign, digits with an optional point, an
            optional exponent of at most five digits. Words like "nan" or "inf" and trailing junk
            are not numbers, although JUCE's lenient reading would take something from them.
        */
        bool isPlainNumber (juce::String::CharPointerType text)
        {
            auto isDigit = [] (juce::juce_wchar c) { return c >= '0' && c <= '9'; };

            if (*text == '+' || *text == '-')
                ++text;

            int digits = 0;

            while (isDigit (*text)) { ++text; ++digits; }

            if (*text == '.')
            {
                ++text;

                while (isDigit (*text)) { ++text; ++digits; }
            }

            if (digits == 0)
                return false;

            if (*text == 'e' || *text == 'E')
            {
                ++text;

                if (*text == '+' || *text == '-')
                    ++text;

                if (! isDigit (*text))
                    return false;

                while (*text == '0')
                    ++text;

                // JUCE's reader overflows an int on exponents of ten digits or more.
                int exponentDigits = 0;

                while (isDigit (*text)) { ++text; ++exponentDigits; }

                if (exponentDigits > 5)
                    return false;
            }

            return text.isEmpty();
        }

        /** True when the text starts with an entity or character reference that is closed by
            a semicolon and, for a character reference, names a character XML allows.
        */
        bool isWellFormedReference (const char* text, size_t length)
        {
            auto at = [text, length] (size_t i) { return i < length ? (juce::uint8) text[i] : (juce::uint8) 0; };
            auto isDigit = [] (juce::uint8 c) { return c >= '0' && c <= '9'; };
            auto isLetter = [] (juce::uint8 c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c >= 0x80; };

            size_t i = 1;

            if (at (i) != '#')
            {
                if (! (isLetter (at (i)) || at (i) == '_' || at (i) == ':'))
                    return false;

                while (isLetter (at (i)) || isDigit (at (i)) || at (i) == '_' || at (i) == ':' || at (i) == '-' || at (i) == '.')
                    ++i;

                return at (i) == ';';
            }

            const auto hex = at (++i) == 'x';
            i += hex ? 1 : 0;

            juce::uint32 code = 0;
            const auto firstDigit = i;

            for (;; ++i)
            {
                const auto c = at (i);
                const auto digit = isDigit (c) ? (int) (c - '0')
                                 : (hex && c >= 'a' && c <= 'f') ? (int) (c - 'a' + 10)
                                 : (hex && c >= 'A' && c <= 'F') ? (int) (c - 'A' + 10) : -1;

                if (digit < 0)
                    break;

                code = juce::jmin ((juce::uint32) 0x110000, code * (hex ? 16u : 10u) + (juce::uint32) digit);
            }

            return i > firstDigit && at (i) == ';'
                   && code > 0 && code < 0x110000 && ! (code >= 0xd800 && code <= 0xdfff);
        }

        /** JUCE reads, copies and frees XML trees recursively: a document nested a few ten
            thousand levels deep, a few hundred kilobytes, would overflow the host's stack.
        */
        constexpr int maximumNesting = 512;

        /** True when the elements of the text may nest deeper than the limit. Counts every start
            tag, also inside comments and character data, so it never counts fewer levels than
            JUCE's reader enters; a well-formed parameter tree is counted exactly.
        */
        bool nestingExceeds (const char* text, size_t length, int limit)
        {
            auto isNameStart = [] (juce::uint8 c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':' || c >= 0x80; };
            int depth = 0;
            size_t i = 0;

            while (i < length)
            {
                if (text[i] != '<' || i + 1 >= length)
                {
                    ++i;
                    continue;
                }

                if (text[i + 1] == '/')
                {
                    depth = juce::jmax (0, depth - 1);
                    i += 2;
                    continue;
                }

                if (! isNameStart ((juce::uint8) text[i + 1]))
                {
                    ++i;
                    continue;
                }

                if (++depth > limit)
                    return true;

                // Find the end of the start tag; an empty element closes itself.
                char quote = 0;

                for (++i; i < length && text[i] != '<'; ++i)
                {
                    if (quote != 0)
                    {
                        quote = text[i] == quote ? 0 : quote;
                    }
                    else if (text[i] == '"' || text[i] == '\'')
                    {
                        quote = text[i];
                    }
                    else if (text[i] == '>')
                    {
                        depth -= text[i - 1] == '/' ? 1 : 0;
                        ++i;
                        break;
                    }
                }
            }

            return false;
        }

        /** True when the text holds "<!DOCTYPE" in any letter case. */
        bool containsDocumentType (const char* text, size_t length)
        {
            static constexpr char keyword[] = "<!doctype";
            constexpr auto keywordLength = sizeof (keyword) - 1;
            auto lower = [] (char c) { return c >= 'A' && c <= 'Z' ? (char) (c - 'A' + 'a') : c; };

            for (size_t i = 0; i + keywordLength <= length; ++i)
            {
                size_t k = 0;

                while (k < keywordLength && lower (text[i + k]) == keyword[k])
                    ++k;

                if (k == keywordLength)
                    return true;
            }

            return false;
        }

        /** The finite number a property holds, if it holds one. */
        std::optional<double> readFiniteNumber (const juce::var& value)
        {
            double number = 0.0;

            if (value.isInt() || value.isInt64() || value.isDouble() || value.isBool())
            {
                number = (double) value;
            }
            else if (value.isString())
            {
                const auto text = value.toString().trim();

                if (! isPlainNumber (text.getCharPointer()))
                    return std::nullopt;

                number = text.getDoubleValue();
            }
            else
            {
                return std::nullopt;
            }

            if (! std::isfinite (number))
                return std::nullopt;

            return number;
        }

        void sanitiseChild (juce::ValueTree& child, const juce::RangedAudioParameter& parameter)
        {
            const auto& range = parameter.getNormalisableRange();
            const auto number = readFiniteNumber (child.getProperty (valueProperty));

            if (! number.has_value())
            {
                const auto defaultValue = parameter.convertFrom0to1 (parameter.getDefaultValue());
                child.setProperty (valueProperty, (double) defaultValue, nullptr);
                return;
            }

            if (*number < (double) range.start || *number > (double) range.end)
            {
                const auto limited = (float) juce::jlimit ((double) range.start, (double) range.end, *number);
                child.setProperty (valueProperty, (double) limited, nullptr);
            }
        }
    }

    //==============================================================================
    juce::String readUtf8Text (const void* data, size_t sizeInBytes)
    {
        const auto* bytes = static_cast<const juce::uint8*> (data);
        juce::MemoryOutputStream text (sizeInBytes);
        size_t i = 0;

        while (i < sizeInBytes && bytes[i] != 0)
        {
            const auto lead = bytes[i];

            if (lead < 0x80)
            {
                text.writeByte ((char) lead);
                ++i;
                continue;
            }

            // Length, payload bits and smallest code point of each well-formed lead byte.
            size_t length = 0;
            juce::uint32 codePoint = 0, smallest = 0;

            if (lead >= 0xc2 && lead <= 0xdf)      { length = 2; codePoint = lead & 0x1fu; smallest = 0x80; }
            else if (lead >= 0xe0 && lead <= 0xef) { length = 3; codePoint = lead & 0x0fu; smallest = 0x800; }
            else if (lead >= 0xf0 && lead <= 0xf4) { length = 4; codePoint = lead & 0x07u; smallest = 0x10000; }

            bool wellFormed = length > 0 && i + length <= sizeInBytes;

            for (size_t k = 1; wellFormed && k < length; ++k)
            {
                const auto next = bytes[i + k];
                wellFormed = (next & 0xc0) == 0x80;
                codePoint = (codePoint << 6) | (next & 0x3fu);
            }

            wellFormed = wellFormed && codePoint >= smallest && codePoint <= 0x10ffff
                                    && ! (codePoint >= 0xd800 && codePoint <= 0xdfff);

            if (wellFormed)
            {
                text.write (bytes + i, length);
                i += length;
            }
            else
            {
                text.write ("\xef\xbf\xbd", 3);
                ++i;
            }
        }

        return text.toUTF8();
    }

    std::unique_ptr<juce::XmlElement> parseParameterTreeXml (const juce::String& text)
    {
        // Find where the root element starts the way juce::XmlDocument does: whitespace,
        // comments and processing instructions, then an optional document type whose end is
        // found by counting angle brackets, then the same skipping again.
        auto skipSpaceCommentsAndInstructions = [] (juce::String::CharPointerType& p)
        {
            for (;;)
            {
                p.incrementToEndOfWhitespace();

                if (*p != '<' || (p[1] != '?' && ! (p[1] == '!' && p[2] == '-' && p[3] == '-')))
                    return;

                const auto isComment = p[1] == '!';
                p += isComment ? 4 : 2;
                const auto end = p.indexOf (juce::CharPointer_ASCII (isComment ? "-->" : "?>"));

                if (end < 0)
                {
                    p = p.findTerminatingNull();
                    return;
                }

                p += end + (isComment ? 3 : 2);
            }
        };

        if ((size_t) text.getNumBytesAsUTF8() > maximumDocumentSize)
            return nullptr;

        const auto start = text.getCharPointer();
        auto p = start;
        skipSpaceCommentsAndInstructions (p);

        auto documentTypeStart = p, documentTypeEnd = p;

        if (juce::CharacterFunctions::compareUpTo (p, juce::CharPointer_ASCII ("<!DOCTYPE"), 9) == 0)
        {
            p += 9;

            // One that never ends takes the rest of the text with it, leaving nothing to read.
            for (int depth = 1; depth > 0 && ! p.isEmpty();)
            {
                const auto c = p.getAndAdvance();
                depth += c == '<' ? 1 : (c == '>' ? -1 : 0);
            }

            documentTypeEnd = p;
            skipSpaceCommentsAndInstructions (p);
        }

        auto toOffset = [start] (juce::String::CharPointerType q) { return (size_t) (q.getAddress() - start.getAddress()); };

        juce::MemoryBlock bytes (text.toRawUTF8(), text.getNumBytesAsUTF8());
        auto* b = static_cast<char*> (bytes.getData());
        const auto size = bytes.getSize();

        // JUCE expands the entities a document type defines by re-parsing text it has cut and
        // joined, and can then read past the end of it or grow an expansion without bound; a
        // parameter tree has no use for them. Without the declaration they read as unknown
        // entities, which JUCE keeps as their names. JUCE takes the first declaration it meets
        // as the document type, so once this one is gone there must be no other anywhere: a
        // second one would take its place.
        std::fill (b + toOffset (documentTypeStart), b + toOffset (documentTypeEnd), ' ');

        if (containsDocumentType (b, size))
            return nullptr;

        for (auto i = toOffset (p); i < size; ++i)
        {
            // A reference that does not end where XML says it must lets JUCE read past the end of
            // the text, and one naming no character would be written back as a reference that
            // cannot be read: such an ampersand is taken as a plain character.
            if (b[i] == '&' && ! isWellFormedReference (b + i, size - i))
                b[i] = ' ';

            // JUCE's reader loops for ever on an instruction followed by text inside an element.
            if (b[i] == '<' && i + 1 < size && b[i + 1] == '?')
                b[i] = b[i + 1] = ' ';
        }

        if (nestingExceeds (b + toOffset (p), size - toOffset (p), maximumNesting))
            return nullptr;

        juce::XmlDocument document (bytes.toString());
        document.setEmptyTextElementsIgnored (true);
        return document.getDocumentElement (false);
    }

    juce::String readUtf16Text (const void* data, size_t sizeInBytes, bool bigEndian)
    {
        const auto* bytes = static_cast<const juce::uint8*> (data);
        const auto numUnits = sizeInBytes / 2;

        auto unitAt = [bytes, bigEndian] (size_t i)
        {
            const auto first = (juce::uint32) bytes[2 * i], second = (juce::uint32) bytes[2 * i + 1];
            return bigEndian ? (first << 8) | second : (second << 8) | first;
        };

        juce::MemoryOutputStream text (sizeInBytes * 2);

        for (size_t i = 0; i < numUnits; ++i)
        {
            auto code = unitAt (i);

            if (code == 0)
                break;

            if (code >= 0xd800 && code <= 0xdbff && i + 1 < numUnits
                && unitAt (i + 1) >= 0xdc00 && unitAt (i + 1) <= 0xdfff)
            {
                code = 0x10000 + ((code - 0xd800) << 10) + (unitAt (i + 1) - 0xdc00);
                ++i;
            }
            else if (code >= 0xd800 && code <= 0xdfff)
            {
                code = 0xfffd;
            }

            text.appendUTF8Char ((juce::juce_wchar) code);
        }

        return text.toUTF8();
    }

    juce::String getParameterTreeValueText (const juce::var& value)
    {
        if (value.isDouble())
        {
            char buffer[64];
            const auto result = std::to_chars (buffer, buffer + sizeof (buffer), (double) value,
                                               std::chars_format::general, 20);
            return juce::String (buffer, (size_t) (result.ptr - buffer));
        }

        return value.toString();
    }

    std::unique_ptr<juce::XmlElement> createParameterTreeXml (const juce::ValueTree& tree)
    {
        if (! tree.isValid())
            return nullptr;

        auto xml = std::make_unique<juce::XmlElement> (tree.getType());

        for (int i = 0; i < tree.getNumProperties(); ++i)
        {
            const auto name = tree.getPropertyName (i);
            const auto& value = tree.getProperty (name);

            if (auto* block = value.getBinaryData())
                xml->setAttribute ("base64:" + name.toString(), block->toBase64Encoding());
            else
                xml->setAttribute (name, getParameterTreeValueText (value));
        }

        // Adding a child walks the list of those already there; prepending does not.
        for (auto i = tree.getNumChildren(); --i >= 0;)
            if (auto childXml = createParameterTreeXml (tree.getChild (i)))
                xml->prependChildElement (childXml.release());

        return xml;
    }

    //==============================================================================
    void sanitiseParameterTree (juce::ValueTree& tree, juce::AudioProcessorValueTreeState& state)
    {
        if (! tree.isValid())
            return;

        for (auto* processorParameter : state.processor.getParameters())
        {
            auto* parameter = dynamic_cast<juce::RangedAudioParameter*> (processorParameter);

            if (parameter == nullptr || state.getParameter (parameter->paramID) != parameter)
                continue;

            // The state connects a parameter to every child carrying its ID, whatever the child's
            // type, so every such child must be safe.
            bool found = false;

            for (auto child : tree)
            {
                if (child.getProperty (idProperty).toString() == parameter->paramID)
                {
                    sanitiseChild (child, *parameter);
                    found = true;
                }
            }

            if (! found)
            {
                juce::ValueTree child (parameterType);
                child.setProperty (idProperty, parameter->paramID, nullptr);
                sanitiseChild (child, *parameter);
                tree.appendChild (child, nullptr);
            }
        }
    }

    juce::XmlElement::TextFormat getPresetFileFormat()
    {
        juce::XmlElement::TextFormat format;
        format.dtd = " ";
        format.customEncoding = "UTF-8";
        format.lineWrapLength = 60;
        format.newLineChars = "\r\n";
        return format;
    }

    bool fitsWhenWrittenBack (const juce::XmlElement& document, juce::AudioProcessorValueTreeState& state,
                              const juce::XmlElement* presetNameElement)
    {
        // 29 values of at most 25 characters each, and a name of 255 bytes escaped as character
        // references of up to 5 bytes per byte, in its own element: under 2 KB together.
        constexpr size_t room = 4096;

        auto tree = juce::ValueTree::fromXml (document);
        sanitiseParameterTree (tree, state);
        const auto xml = createParameterTreeXml (tree);

        if (xml == nullptr)
            return true;

        if (presetNameElement != nullptr)
            xml->addChildElement (new juce::XmlElement (*presetNameElement));

        return (size_t) xml->toString (getPresetFileFormat()).getNumBytesAsUTF8() + room <= maximumDocumentSize;
    }

    void installParameterTree (juce::AudioProcessorValueTreeState& state, juce::ValueTree tree)
    {
        if (! tree.isValid())
            return;

        sanitiseParameterTree (tree, state);
        state.replaceState (tree);
    }
}
