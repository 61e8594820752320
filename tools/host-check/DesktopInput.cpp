#include "DesktopInput.h"

// Last: Xlib's macros would clash with JUCE's names.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

namespace
{
    struct ScopedDisplay
    {
        Display* display = XOpenDisplay (nullptr);
        ~ScopedDisplay() { if (display != nullptr) XCloseDisplay (display); }
    };

    juce::String titleOf (Display* display, ::Window window)
    {
        XTextProperty property {};

        if (XGetWMName (display, window, &property) == 0 || property.value == nullptr)
            return {};

        const auto title = juce::String::fromUTF8 (reinterpret_cast<const char*> (property.value), (int) property.nitems);
        XFree (property.value);
        return title;
    }
}

bool DesktopInput::click (juce::Point<int> onScreen)
{
    ScopedDisplay x;
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;

    if (x.display == nullptr || ! XTestQueryExtension (x.display, &eventBase, &errorBase, &major, &minor))
        return false;

    // The move comes first on its own, so that the view sees the pointer enter and lie over the
    // button before the press, as with a hand on a mouse.
    XTestFakeMotionEvent (x.display, -1, onScreen.x, onScreen.y, CurrentTime);
    XSync (x.display, False);
    XTestFakeButtonEvent (x.display, 1, True, CurrentTime);
    XTestFakeButtonEvent (x.display, 1, False, CurrentTime);
    XSync (x.display, False);
    return true;
}

bool DesktopInput::pressKey (const juce::String& keysymName)
{
    ScopedDisplay x;
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;

    if (x.display == nullptr || ! XTestQueryExtension (x.display, &eventBase, &errorBase, &major, &minor))
        return false;

    const auto keysym = XStringToKeysym (keysymName.toRawUTF8());
    const unsigned int keycode = keysym != NoSymbol ? XKeysymToKeycode (x.display, keysym) : 0u;

    if (keycode == 0)
        return false;

    XTestFakeKeyEvent (x.display, keycode, True, CurrentTime);
    XTestFakeKeyEvent (x.display, keycode, False, CurrentTime);
    XSync (x.display, False);
    return true;
}

std::optional<juce::Rectangle<int>> DesktopInput::findShownWindow (const juce::String& title)
{
    ScopedDisplay x;

    if (x.display == nullptr)
        return {};

    ::Window root = 0, parent = 0;
    ::Window* children = nullptr;
    unsigned int numChildren = 0;

    if (XQueryTree (x.display, DefaultRootWindow (x.display), &root, &parent, &children, &numChildren) == 0)
        return {};

    std::optional<juce::Rectangle<int>> found;

    for (unsigned int i = 0; i < numChildren && ! found.has_value(); ++i)
    {
        XWindowAttributes attributes {};

        if (XGetWindowAttributes (x.display, children[i], &attributes) != 0
            && attributes.map_state == IsViewable
            && titleOf (x.display, children[i]) == title)
            found = juce::Rectangle<int> (attributes.x, attributes.y, attributes.width, attributes.height);
    }

    if (children != nullptr)
        XFree (children);

    return found;
}
