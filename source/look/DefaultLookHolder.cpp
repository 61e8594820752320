#include "DefaultLookHolder.h"

#include <algorithm>
#include <vector>

namespace qrvx
{

namespace
{
    /** The looks of the holders alive, oldest first; shared by every instance in this binary.
        Touched only with the message manager locked, which lets one thread in at a time.
    */
    std::vector<juce::LookAndFeel*>& heldLooks()
    {
        static std::vector<juce::LookAndFeel*> looks;
        return looks;
    }
}

DefaultLookHolder::DefaultLookHolder (juce::LookAndFeel& lookToHold)
    : look (lookToHold)
{
    JUCE_ASSERT_MESSAGE_MANAGER_IS_LOCKED
    heldLooks().push_back (&look);
    juce::LookAndFeel::setDefaultLookAndFeel (&look);
}

DefaultLookHolder::~DefaultLookHolder()
{
    JUCE_ASSERT_MESSAGE_MANAGER_IS_LOCKED
    auto& looks = heldLooks();
    looks.erase (std::find (looks.begin(), looks.end(), &look));

    // A default set by someone else since is theirs to keep. Handing it over before the look goes
    // also keeps JUCE from ever holding a look that is being deleted.
    if (&juce::LookAndFeel::getDefaultLookAndFeel() == &look)
        juce::LookAndFeel::setDefaultLookAndFeel (looks.empty() ? nullptr : looks.back());
}

} // namespace qrvx
