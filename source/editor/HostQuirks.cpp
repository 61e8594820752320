#include "HostQuirks.h"

#include <juce_audio_processors/juce_audio_processors.h>

namespace qrvx::HostQuirks
{
    namespace
    {
        // Only ever touched on the message thread, like everything else in the editor.
        std::optional<bool> abletonLiveOverride;
    }

    bool isAbletonLive()
    {
        if (abletonLiveOverride.has_value())
            return *abletonLiveOverride;

        return juce::PluginHostType().isAbletonLive();
    }

    ScopedAbletonLiveOverride::ScopedAbletonLiveOverride (bool isLive)
        : previous (abletonLiveOverride)
    {
        abletonLiveOverride = isLive;
    }

    ScopedAbletonLiveOverride::~ScopedAbletonLiveOverride()
    {
        abletonLiveOverride = previous;
    }
} // namespace qrvx::HostQuirks
