#pragma once

#include <juce_core/juce_core.h>

namespace qrvx
{
    /** The preset an instance is on: its name, and the file it was loaded from or saved to.

        The footer writes and reads them on the message thread while hosts save and restore the
        state on threads of their own (a background project save, a restore on a loader thread). A
        juce::String copied on one thread while another assigns it can be read after it is freed,
        so both live behind one lock, and a load or save changes them together. The audio thread
        never comes here.
    */
    class CurrentPreset final
    {
    public:
        CurrentPreset() = default;

        /** A preset file's name without its extension, or "INIT". */
        juce::String getName() const;

        /** Full path of the preset file; empty until a preset is loaded or saved. */
        juce::String getFilePath() const;

        /** After a preset file was loaded or saved: its name and path in one step. */
        void set (const juce::String& newName, const juce::String& newFilePath);

        /** After a host restored its state, which carries the name but no file: the path stays. */
        void setName (const juce::String& newName);

    private:
        juce::CriticalSection lock;
        juce::String name { "INIT" };
        juce::String filePath;

        JUCE_DECLARE_NON_COPYABLE (CurrentPreset)
    };
}
