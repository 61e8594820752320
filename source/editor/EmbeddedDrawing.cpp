#include "EmbeddedDrawing.h"

namespace EmbeddedDrawing
{
    std::unique_ptr<juce::Drawable> load (const char* svgText, int size)
    {
        auto drawing = juce::Drawable::createFromImageData (svgText, static_cast<size_t> (size));
        jassert (drawing != nullptr);
        return drawing;
    }

    std::unique_ptr<juce::Drawable> loadTinted (const char* svgText, int size, juce::Colour stored, juce::Colour shown)
    {
        auto drawing = load (svgText, size);
        if (drawing != nullptr)
            drawing->replaceColour (stored, shown);
        return drawing;
    }
} // namespace EmbeddedDrawing
