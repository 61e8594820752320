#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace qrvx
{

/** The MIDI-learn side of a control: a small menu that records whether the user asked to map the
    last received controller to it, or to clear its mapping, and tells listeners so.
*/
class MIDITarget : public juce::ChangeBroadcaster
{
public:
    MIDITarget();
    ~MIDITarget() override;

    /** Shows the learn menu at the mouse; the choice arrives later through handleMenuResult. */
    void menu();

    /** Applies a choice of the learn menu: 1 asks for an assignment, 2 for clearing, 0 (the menu
        was dismissed) changes nothing. A request sends one change message.
    */
    void handleMenuResult (int result);

    enum MenuItem
    {
        assignItem = 1,
        clearItem = 2
    };

    /** When not empty, an Alt-click on the control opens the learn menu. */
    juce::String mappingLabel;

    // Requests only ever get raised: whoever serves them decides what is done about them.
    bool assignRequested = false;
    bool clearRequested = false;

private:
    JUCE_DECLARE_WEAK_REFERENCEABLE (MIDITarget)
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MIDITarget)
};

} // namespace qrvx
