#pragma once

#include "QXLook.h"

namespace qrvx
{

/** The look of the two controls whose middle is their neutral point (dry/wet and the LFO mix):
    their value grows out of the centre in either direction instead of from the minimum.
*/
class QXBipolarLook final : public QXLook
{
public:
    explicit QXBipolarLook (float const& scale);
    ~QXBipolarLook() override;

    void drawLinearSliderBackground (juce::Graphics&, int x, int y, int width, int height,
                                     float sliderPos, float minSliderPos, float maxSliderPos,
                                     juce::Slider::SliderStyle, juce::Slider&) override;
    void drawRotarySlider (juce::Graphics&, int x, int y, int width, int height,
                           float sliderPos, float rotaryStartAngle, float rotaryEndAngle,
                           juce::Slider&) override;

private:
    // 12 o'clock within the knobs' default 1.2pi..2.8pi sweep, i.e. the middle of the range.
    float centreAngle;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (QXBipolarLook)
};

} // namespace qrvx
