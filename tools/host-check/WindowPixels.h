#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** What the X server shows of a window on the desktop: the top-left width x height pixels of the
    peer's window, with everything embedded in it (a hosted plug-in's view lives in a child window
    painted by the plug-in's own copy of JUCE, so it can only be read back from the server).

    Returns an invalid image when there is no display, the window cannot be read, or the server's
    pixels are not 8 bits per colour channel.
*/
juce::Image grabWindowPixels (juce::ComponentPeer& peer, int width, int height);
