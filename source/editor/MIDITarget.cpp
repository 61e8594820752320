#include "MIDITarget.h"

namespace qrvx
{

MIDITarget::MIDITarget() = default;
MIDITarget::~MIDITarget() = default;

void MIDITarget::menu()
{
    juce::PopupMenu learnMenu;
    learnMenu.addItem (assignItem, "ASSIGN TO LAST CC");
    learnMenu.addItem (clearItem, "CLEAR CC MAPPING");

    // The menu stays open while the message loop runs on, so its control may be gone by the time
    // the user picks something.
    learnMenu.showMenuAsync (juce::PopupMenu::Options().withItemThatMustBeVisible (assignItem).withMinimumWidth (60),
                             [target = juce::WeakReference<MIDITarget> (this)] (int result)
                             {
                                 if (target != nullptr)
                                     target->handleMenuResult (result);
                             });
}

void MIDITarget::handleMenuResult (int result)
{
    if (result == assignItem)
        assignRequested = true;
    else if (result == clearItem)
        clearRequested = true;
    else
        return;

    sendChangeMessage();
}

} // namespace qrvx
