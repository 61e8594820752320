#include "QrvxColours.h"

namespace qrvx::QrvxColours
{
    const juce::Colour blue       { 0xff1c91ab };
    const juce::Colour green      { 0xff199143 };
    const juce::Colour yellow     { 0xffccb51f };
    const juce::Colour orange     { 0xffc67624 };
    const juce::Colour lime       { 0xff96ca30 };
    const juce::Colour teal       { 0xff4bc89a };
    const juce::Colour grey       { 0xff303030 };
    const juce::Colour dark_grey  { 0xff272727 };
    const juce::Colour light_grey { 0xffbdbdbd };
} // namespace qrvx::QrvxColours
