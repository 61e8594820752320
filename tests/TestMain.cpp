#include <gtest/gtest.h>
#include <juce_gui_basics/juce_gui_basics.h>

// Last: Xlib's macros would clash with JUCE's and GoogleTest's names.
#include <X11/Xlib.h>

namespace
{
    // Xlib's default handler ends the process on any error. JUCE installs a quiet one only in
    // applications of its own, as hosts do for their plug-ins; a bare Xvfb without a window manager
    // lacks atoms that JUCE names on every window it opens, so the tests that open windows need one.
    int ignoreXErrors (Display*, XErrorEvent*) { return 0; }
}

// JUCE's message manager and GUI services must exist for processors, parameters and components.
int main (int argc, char** argv)
{
    ::testing::InitGoogleTest (&argc, argv);
    XSetErrorHandler (ignoreXErrors);
    juce::ScopedJuceInitialiser_GUI juce;
    return RUN_ALL_TESTS();
}
