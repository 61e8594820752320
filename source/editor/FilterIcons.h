#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** The outline of a filter response, filled and stroked in teal; the four icons differ only in the
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
    FilterIcon();   // sizes are set by the subclasses, whose outlines exist only once they are built

    /** Rebuilds the outline for the icon's current size. */
    virtual void buildPath (float width, float height) = 0;

    /** Adds the shared shape: a start point, three quadratic curves (control, end), each given as
        fractions of the size and rounded to whole pixels.
    */
    void startWithCurves (float width, float height, const float (&fractions)[14]);

    juce::Path path;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (FilterIcon)
};

class LPFIcon final : public FilterIcon
{
public:
    LPFIcon() { setSize (400, 200); }

private:
    void buildPath (float width, float height) override;
};

class HPFIcon final : public FilterIcon
{
public:
    HPFIcon() { setSize (400, 200); }

private:
    void buildPath (float width, float height) override;
};

class BPFIcon final : public FilterIcon
{
public:
    BPFIcon() { setSize (400, 200); }

private:
    void buildPath (float width, float height) override;
};

class BSFIcon final : public FilterIcon
{
public:
    BSFIcon() { setSize (400, 200); }

private:
    void buildPath (float width, float height) override;
};
