#include "ParameterTreeXml.h"

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
            optional exponent. Words like "nan" or "inf" and trailing junk are not numbers, although
            JUCE's lenient reading would take something from them.
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

                while (isDigit (*text))
                    ++text;
            }

            return text.isEmpty();
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

        for (const auto& child : tree)
            if (auto childXml = createParameterTreeXml (child))
                xml->addChildElement (childXml.release());

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

    void installParameterTree (juce::AudioProcessorValueTreeState& state, juce::ValueTree tree)
    {
        if (! tree.isValid())
            return;

        sanitiseParameterTree (tree, state);
        state.replaceState (tree);
    }
}
