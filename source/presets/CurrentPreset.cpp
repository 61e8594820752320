#include "CurrentPreset.h"

namespace qrvx
{
    // A copy made under the lock holds its own reference to the text, so it stays valid after the
    // lock is released, whatever another thread assigns next.
    juce::String CurrentPreset::getName() const
    {
        const juce::ScopedLock scope (lock);
        return name;
    }

    juce::String CurrentPreset::getFilePath() const
    {
        const juce::ScopedLock scope (lock);
        return filePath;
    }

    void CurrentPreset::set (const juce::String& newName, const juce::String& newFilePath)
    {
        const juce::ScopedLock scope (lock);
        name = newName;
        filePath = newFilePath;
    }

    void CurrentPreset::setName (const juce::String& newName)
    {
        const juce::ScopedLock scope (lock);
        name = newName;
    }
}
