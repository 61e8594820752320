#pragma once

#include <juce_graphics/juce_graphics.h>

/** The editor's palette. Panels, knobs, selectors, sockets and the footer all pick their colours
    from here, so the editor reads as one piece.

    Functions rather than objects: a colour object at namespace scope is built while the program
    loads, in an order that differs between binaries, so another file's object made from it could
    see it still unset. These give the colour whenever they are asked.
*/
namespace qrvx::QrvxColours
{
    inline juce::Colour blue() noexcept       { return juce::Colour (0xff1c91abu); }
    inline juce::Colour green() noexcept      { return juce::Colour (0xff199143u); }
    inline juce::Colour yellow() noexcept     { return juce::Colour (0xffccb51fu); }
    inline juce::Colour orange() noexcept     { return juce::Colour (0xffc67624u); }
    inline juce::Colour lime() noexcept       { return juce::Colour (0xff96ca30u); }
    inline juce::Colour teal() noexcept       { return juce::Colour (0xff4bc89au); }
    inline juce::Colour grey() noexcept       { return juce::Colour (0xff303030u); }
    inline juce::Colour dark_grey() noexcept  { return juce::Colour (0xff272727u); }
    inline juce::Colour light_grey() noexcept { return juce::Colour (0xffbdbdbdu); }
} // namespace qrvx::QrvxColours
