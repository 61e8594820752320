#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace qrvx
{

/** Makes a look the process-wide default for as long as the holder lives, so that popup menus,
    alerts and dialogs, which have no parent to take a look from, draw with it.

    Every instance of the plug-in in a host shares the one default, and each open editor holds its
    own look this way. When the holder of the default goes, the default passes to the look of the
    most recently made holder still alive, and only after the last one back to JUCE's own: closing
    one editor leaves every other open editor's menus in the plug-in's look, whichever closes first.

    Build and delete holders where JUCE builds components: on the message thread, or on another
    thread that holds a MessageManagerLock (as a VST3 host's thread does while JUCE's wrapper builds
    the first editor, before the host's run loop is registered). The look must outlive its holder.
*/
class DefaultLookHolder final
{
public:
    explicit DefaultLookHolder (juce::LookAndFeel&);
    ~DefaultLookHolder();

private:
    juce::LookAndFeel& look;

    JUCE_DECLARE_NON_COPYABLE (DefaultLookHolder)
};

} // namespace qrvx
