#pragma once

#include "MIDITarget.h"

namespace qrvx
{

/** Every slider of the editor, rotary or linear. Besides the slider it can show how far a
    modulation reaches from the current value (a wedge under a rotary knob's face), and an
    Alt-click opens its MIDI-learn menu once it has a mapping label.
*/
class QrvxKnob : public juce::Slider,
                 public MIDITarget
{
public:
    QrvxKnob();
    ~QrvxKnob() override;

    void mouseDown (const juce::MouseEvent&) override;
    void paint (juce::Graphics&) override;

    /** How far the modulation wedge reaches, as a fraction (0 to 1) of the travel left between
        the current value and the end of the range.
    */
    float modulationAmount = 0.0f;

    /** Uses modulationAmount squared, for depths that are applied squared. */
    bool squareAmount = false;

private:
    void paintModulationWedge (juce::Graphics&);

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (QrvxKnob)
};

} // namespace qrvx
