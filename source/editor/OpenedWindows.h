#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <vector>

namespace qrvx
{

/** The windows a component opens outside itself: popup menus, alerts and dialogs live on the
    desktop, not among its children, and so do not go when it goes.

    Each is noted as it opens. Whatever is still there when dismissAll() runs, or this is
    destroyed, is closed as though the user had dismissed it: its callback gets 0, as after Escape
    or Cancel; it lets go of the look it was shown with; and it leaves the screen at once. A window
    stacked over one of them goes too: a modal window takes every click and key until it closes,
    so whatever opened over it was opened from it (JUCE's file dialog asks its own questions that
    way). JUCE deletes each window at the next turn of the message loop, as after any dismissal.

    Use it on the message thread, or with the message manager locked.
*/
class OpenedWindows final
{
public:
    OpenedWindows() = default;
    ~OpenedWindows();

    /** Calls show, and notes every window that it made modal. */
    void open (const std::function<void()>& show);

    /** Closes every noted window still there, and every window stacked over one of them. */
    void dismissAll();

private:
    std::vector<juce::Component::SafePointer<juce::Component>> windows;

    JUCE_DECLARE_NON_COPYABLE (OpenedWindows)
};

} // namespace qrvx
