#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** What the X server shows of a window on the desktop: the top-left width x height pixels of the
    peer's window, with everything embedded in it (a hosted plug-in's view lives in a child window
    painted by the plug-in's own copy of JUCE, so it can only be read back from the server).

    Returns an invalid image when there is no display, the window cannot be read, or the server's
    pixels are not 8 bits per colour channel.
*/
juce::Image grabWindowPixels (juce::ComponentPeer& peer, int width, int height);

/** What the X server shows in this area of the screen, whichever windows lie there: for windows the
    host has no peer of, such as a plug-in's popup menu. Invalid in the same cases as above.
*/
juce::Image grabScreenPixels (juce::Rectangle<int> area);

/** Places a window with its top-left corner at this point of the screen and shows it on the
    desktop. Windows placed apart so that none covers another can all be read back, since the
    server keeps no pixels of a covered part.
*/
void showOnScreenAt (juce::Component& window, juce::Point<int> topLeft);

/** Places a window at the screen's top-left corner and shows it on the desktop, so that all of it
    is on the screen and can be read back or clicked at known points.
*/
void showAtScreenCorner (juce::Component& window);

/** True when no colour channel of the two differs by more than the tolerance. */
bool coloursMatch (juce::Colour a, juce::Colour b, int tolerance);

/** Makes Xlib report errors to nobody instead of ending the process: a bare Xvfb without a window
    manager lacks atoms that JUCE names on every window it opens. Call before JUCE starts.
*/
void ignoreXErrors();
