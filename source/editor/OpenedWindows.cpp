#include "OpenedWindows.h"

#include <algorithm>

namespace qrvx
{

namespace
{
    using WindowPointer = juce::Component::SafePointer<juce::Component>;

    /** Every window that takes the user's input now, the topmost first. */
    std::vector<juce::Component*> modalWindows()
    {
        auto& manager = *juce::ModalComponentManager::getInstance();
        std::vector<juce::Component*> modal;

        for (int i = 0; i < manager.getNumModalComponents(); ++i)
            modal.push_back (manager.getModalComponent (i));

        return modal;
    }

    void close (juce::Component& window)
    {
        // A menu keeps the look it was shown with until JUCE deletes it, which comes later.
        window.setLookAndFeel (nullptr);
        window.exitModalState (0);
        window.setVisible (false);

        // Off the desktop, nothing reaches it before its deletion: a change of the default look
        // would otherwise have an alert lay itself out again around a dialog already gone.
        window.removeFromDesktop();
    }
} // namespace

OpenedWindows::~OpenedWindows()
{
    dismissAll();
}

void OpenedWindows::open (const std::function<void()>& show)
{
    const auto before = modalWindows();
    show();

    windows.erase (std::remove (windows.begin(), windows.end(), nullptr), windows.end());

    for (auto* window : modalWindows())
        if (std::find (before.begin(), before.end(), window) == before.end())
            windows.emplace_back (window);
}

void OpenedWindows::dismissAll()
{
    const auto modal = modalWindows();
    const auto isNoted = [this] (juce::Component* window)
    {
        return std::find (windows.begin(), windows.end(), window) != windows.end();
    };

    // The topmost windows down to the lowest noted one; then the noted ones already dismissed but
    // not yet deleted, which may still hold a look.
    const auto lowestNoted = std::find_if (modal.rbegin(), modal.rend(), isNoted);
    std::vector<WindowPointer> closing (modal.begin(), lowestNoted.base());
    closing.insert (closing.end(), windows.begin(), windows.end());
    windows.clear();

    for (auto& window : closing)
        if (window != nullptr)
            close (*window);
}

} // namespace qrvx
