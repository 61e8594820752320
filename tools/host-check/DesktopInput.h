#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <optional>

/** A user's mouse on the X server's desktop, through the XTEST extension: the events reach every
    client as if the pointer had moved and the button been pressed, so a hosted plug-in's view (a
    window that the plug-in's own copy of JUCE owns and reads its events from) handles them as it
    would a real click.
*/
namespace DesktopInput
{
    /** Moves the pointer to this point of the screen and presses and releases the left button there.
        Returns false when there is no display or the server lacks XTEST.
    */
    bool click (juce::Point<int> onScreen);

    /** Presses and releases a key, named as Xlib names its keysyms ("Escape", "Return"); it goes to
        whichever window has the keyboard focus. Returns false when there is no display, the server
        lacks XTEST or its keyboard has no such key.
    */
    bool pressKey (const juce::String& keysymName);

    /** Where on the screen a top-level window with this title is shown, if one is; the title is
        the one a window manager would show (WM_NAME). JUCE titles a window with its component's
        name, so a popup menu's window, which no window manager sees, is "menu".
    */
    std::optional<juce::Rectangle<int>> findShownWindow (const juce::String& title);
}
