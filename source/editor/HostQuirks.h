#pragma once

#include <optional>

namespace qrvx::HostQuirks
{
    /** True when the host is Ableton Live. Live records a parameter change as an automation
        gesture of its own, so the editor's clicks, drops and footer actions send it bare value
        changes instead of begin/end gestures.
    */
    bool isAbletonLive();

    /** Makes isAbletonLive() answer as given for as long as this object lives, whatever the real
        host is; for tests. Overrides nest: the innermost one wins.
    */
    class ScopedAbletonLiveOverride final
    {
    public:
        explicit ScopedAbletonLiveOverride (bool isLive);
        ~ScopedAbletonLiveOverride();

        ScopedAbletonLiveOverride (const ScopedAbletonLiveOverride&) = delete;
        ScopedAbletonLiveOverride& operator= (const ScopedAbletonLiveOverride&) = delete;

    private:
        std::optional<bool> previous;
    };
} // namespace qrvx::HostQuirks
