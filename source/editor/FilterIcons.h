#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <optional>

/** The outline of a filter response, filled and stroked in teal. The four icons differ only in the
    points of their outline, which follow the icon's size.
*/
class FilterIcon : public juce::Component
{
public:
    ~FilterIcon() override;

    void paint (juce::Graphics& g) override;
    void resized() override;

    const juce::Path& getPath() const noexcept { return path; }

protected:
    /** A start point and three quadratic curves (control, end), then a line to a last point from
        which the outline closes; all as fractions of the icon's size, rounded to whole pixels.
    */
    struct Outline
    {
        float curvePoints[14];
        juce::Point<float> lastPoint;
        std::optional<juce::Point<float>> pixelPointBeforeLast; // not scaled with the icon
    };

    explicit FilterIcon (const Outline& outline);

private:
    const Outline outline;
    juce::Path path;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (FilterIcon)
};

class LPFIcon final : public FilterIcon
{
public:
    LPFIcon();
};

class HPFIcon final : public FilterIcon
{
public:
    HPFIcon();
};

class BPFIcon final : public FilterIcon
{
public:
    BPFIcon();
};

class BSFIcon final : public FilterIcon
{
public:
    BSFIcon();
};
