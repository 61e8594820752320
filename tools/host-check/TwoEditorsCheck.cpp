// A musician with the plug-in on two tracks keeps both editors open and closes them in any order.
// What one editor leaves behind when it goes is shared by every instance the host loaded from the
// same binary: the VST3 wrapper's record of the host's run loops, through which each editor's
// painting, timers and input are driven, and the process-wide default look, with which popup menus
// and alerts are drawn. Only two instances in one process, their editors in real windows, show it.
// A menu is a window of its own too, which must go with the editor that opened it.

#include "HostChecks.h"
#include "DesktopInput.h"
#include "WindowPixels.h"
#include "look/QrvxColours.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>

namespace
{
    constexpr auto blockSize = HostChecks::blockSize;
    constexpr auto editorWidth = HostChecks::editorWidth;
    constexpr int tolerance = 4;

    // Each wait polls, so a quick machine moves on at once and a loaded one gets its seconds. A dead
    // editor runs out every wait of its row, so these stay shorter than the arrows' check's.
    constexpr double secondsPerWait = 6.0;
    constexpr int millisecondsPerPoll = 50;

    // Side by side on the 1280-pixel screen: the server keeps no pixels of a covered window.
    const juce::Point<int> windowPositions[] = { { 0, 0 }, { editorWidth, 0 } };
    const char* const openingNames[] = { "earlier-opened", "later-opened" };

    // Which editor closes (0 the earlier-opened one), whether its instance is deleted after it, as
    // a host does when a track goes, and which editor's preset list is open as it closes (-1 none);
    // the other editor is then checked.
    const struct { const char* what; int closing; bool deletesInstance; int listOpenIn; } orders[] = {
        { "the earlier-opened editor closes", 0, false, -1 },
        { "the later-opened editor closes", 1, false, -1 },
        { "the earlier instance is deleted, its editor closed first", 0, true, -1 },
        { "the later instance is deleted, its editor closed first", 1, true, -1 },
        { "the earlier-opened editor closes with its preset list open, then its instance is deleted", 0, true, 0 },
        { "the later-opened editor closes under the earlier-opened one's open preset list", 1, false, 0 },
    };

    // A window left behind by a closed editor is gone within this, or never.
    constexpr double secondsForAClosedEditorsList = 1.0;

    // Where PluginEditor.cpp's resized() puts the filter type picture at 640 x 400, (199, 151, 80,
    // 40), and Footer.cpp the preset name plate, (223, 13, 191, 20) in the footer at (2, 332). The
    // picture's icons (FilterIcons.cpp) fill the area under a response curve: the low-pass one's
    // lower left, the high-pass one's lower right, neither corner the band-pass one's.
    const juce::Rectangle<int> filterPicture { 199, 151, 80, 40 };
    const juce::Point<int> pictureLowerLeft { 199 + 8, 151 + 32 }, pictureLowerRight { 199 + 72, 151 + 32 };
    const juce::Point<int> plateCentre { 2 + 223 + 95, 332 + 13 + 10 }, plateLeftOfName { 240, 355 };

    struct FilterPicture
    {
        const char* name;
        float type;
        bool lowerLeftFilled, lowerRightFilled;
    };

    const FilterPicture lowPass { "LOWPASS", 0.0f, true, false };
    const FilterPicture highPass { "HIGHPASS", 1.0f, false, true };
    const FilterPicture bandPass { "BANDPASS", 2.0f, false, false };

    juce::Colour pictureColour (bool filled)
    {
        namespace palette = qrvx::QrvxColours;
        return filled ? palette::dark_grey().overlaidWith (palette::teal().withAlpha ((juce::uint8) 0x32))
                      : palette::dark_grey();
    }

    bool showsPicture (const juce::Image& window, const FilterPicture& picture)
    {
        return coloursMatch (window.getPixelAt (pictureLowerLeft.x, pictureLowerLeft.y), pictureColour (picture.lowerLeftFilled), tolerance)
            && coloursMatch (window.getPixelAt (pictureLowerRight.x, pictureLowerRight.y), pictureColour (picture.lowerRightFilled), tolerance);
    }

    juce::String rgb (juce::Colour c)
    {
        return juce::String (c.getRed()) + "," + juce::String (c.getGreen()) + "," + juce::String (c.getBlue());
    }

    juce::String describePicture (const juce::Image& window, const FilterPicture& expected)
    {
        if (! window.isValid())
            return "a window that could not be read back";

        return "the filter picture's lower left " + rgb (window.getPixelAt (pictureLowerLeft.x, pictureLowerLeft.y))
             + " and lower right " + rgb (window.getPixelAt (pictureLowerRight.x, pictureLowerRight.y))
             + ", expected " + rgb (pictureColour (expected.lowerLeftFilled)) + " and "
             + rgb (pictureColour (expected.lowerRightFilled)) + " (" + expected.name + ")";
    }

    /** What QXLook paints a popup menu with: its background, under a two-pixel frame. */
    const juce::Colour menuBackground = qrvx::QrvxColours::dark_grey(), menuFrame = qrvx::QrvxColours::grey();

    /** The colour that covers most of the picture. */
    juce::Colour mostCommonColour (const juce::Image& picture)
    {
        std::map<juce::uint32, int> counts;

        for (int y = 0; y < picture.getHeight(); ++y)
            for (int x = 0; x < picture.getWidth(); ++x)
                ++counts[picture.getPixelAt (x, y).getARGB()];

        const auto most = std::max_element (counts.begin(), counts.end(),
                                            [] (const auto& a, const auto& b) { return a.second < b.second; });
        return most != counts.end() ? juce::Colour (most->first) : juce::Colour();
    }

    /** The menu's left and right frame, halfway down, and the colour that covers most of it. */
    struct MenuLook
    {
        juce::Colour leftFrame, rightFrame, background;

        explicit MenuLook (const juce::Image& menu)
            : leftFrame (menu.getPixelAt (1, menu.getHeight() / 2)),
              rightFrame (menu.getPixelAt (menu.getWidth() - 2, menu.getHeight() / 2)),
              background (mostCommonColour (menu))
        {
        }

        bool isThePlugInsOwn() const
        {
            return coloursMatch (leftFrame, menuFrame, tolerance) && coloursMatch (rightFrame, menuFrame, tolerance)
                && coloursMatch (background, menuBackground, tolerance);
        }
    };

    /** The host's part of a block, in silence: enough for a format that hands parameter changes over
        with the audio (LV2) to do so.
    */
    void processBlock (juce::AudioPluginInstance& instance)
    {
        juce::AudioBuffer<float> buffer (juce::jmax (instance.getTotalNumInputChannels(), instance.getTotalNumOutputChannels()), blockSize);
        juce::MidiBuffer midi;
        buffer.clear();
        instance.processBlock (buffer, midi);
    }
}

//==============================================================================
void HostChecks::checkTwoEditors()
{
    const auto failuresBefore = failures;
    const auto filterTypeIndex = vevareroParameterIndex ("Filter_Type");
    const auto& filterType = vevareroParameters[(size_t) filterTypeIndex];
    const juce::String menuTitle ("menu"); // JUCE's PopupMenu window

    // The preset list shows the presets folder, and an empty list opens no menu: one preset of the
    // check's own goes in for the check's time.
    const auto folder = presetsFolderUnderHome();
    const auto preset = folder.getChildFile ("Two Editors.glp");
    const auto presetWritten = ! preset.exists() && folder.createDirectory()
                            && presetWith (filterType.id, lowPass.type).writeTo (preset);

    if (! expect (preset.existsAsFile(), "two editors: could not write " + preset.getFullPathName() + " for the preset list"))
        return;

    std::optional<MenuLook> lastMenu;

    for (const auto& order : orders)
    {
        const auto row = "two editors, " + juce::String (order.what) + ": ";
        const auto closing = order.closing, remaining = 1 - order.closing;
        const auto remainingName = juce::String ("the remaining ") + openingNames[remaining] + " editor";

        std::unique_ptr<juce::AudioPluginInstance> instances[2];
        juce::Array<juce::AudioProcessorParameter*> parameters[2];
        std::unique_ptr<juce::AudioProcessorEditor> editors[2];

        // A little of the host's life: its message loop, and a block for every instance it holds.
        const auto runHost = [&]
        {
            juce::MessageManager::getInstance()->runDispatchLoopUntil (millisecondsPerPoll);

            for (auto& instance : instances)
                if (instance != nullptr)
                    processBlock (*instance);
        };

        const auto waitFor = [&] (const std::function<bool()>& condition) { return waitUntil (condition, runHost, secondsPerWait); };

        const auto closeAll = [&]
        {
            for (auto& editor : editors)
                editor.reset();

            runHost();

            for (auto& instance : instances)
            {
                if (instance != nullptr)
                    instance->releaseResources();

                instance.reset();
            }

            juce::MessageManager::getInstance()->runDispatchLoopUntil (20);
        };

        for (int i = 0; i < 2; ++i)
        {
            if ((instances[i] = createInstance (parameters[i])) == nullptr)
                break;

            instances[i]->prepareToPlay (sampleRate, blockSize);
            parameters[i][filterTypeIndex]->setValue (hostNormalised (filterType, lowPass.type));
        }

        if (instances[0] == nullptr || instances[1] == nullptr)
        {
            closeAll();
            break;
        }

        runHost();

        // Each editor must have settled, its window showing it, before anything closes: JUCE's LV2
        // hosting can fall over when a view goes while its embedding is still under way.
        for (int i = 0; i < 2; ++i)
        {
            auto opened = openEditorShowing (*instances[i], [] (const juce::Image& window)
            {
                return showsPicture (window, lowPass)
                    && coloursMatch (window.getPixelAt (plateLeftOfName.x, plateLeftOfName.y), qrvx::QrvxColours::blue(), tolerance);
            }, runHost, secondsPerWait, windowPositions[i]);

            editors[i] = std::move (opened.editor);

            if (editors[i] == nullptr)
            {
                fail (row + "the " + openingNames[i] + " editor's window never showed its low-pass picture and preset plate in "
                      + juce::String (opened.openings) + " opening(s): " + describePicture (opened.window, lowPass));
                break;
            }
        }

        if (editors[0] == nullptr || editors[1] == nullptr)
        {
            closeAll();
            continue;
        }

        std::optional<juce::Rectangle<int>> menuArea;
        const auto findMenu = [&] { menuArea = DesktopInput::findShownWindow (menuTitle); return menuArea.has_value(); };
        const auto clickPlate = [&] (int editorIndex, const char* step)
        {
            return expect (DesktopInput::click (editors[editorIndex]->getScreenPosition() + plateCentre),
                           row + step + ": cannot send a click to the X server (no XTEST?)");
        };

        if (order.listOpenIn >= 0)
        {
            if (! clickPlate (order.listOpenIn, "before closing"))
            {
                closeAll();
                break;
            }

            if (! waitFor (findMenu))
                fail (row + "before closing, a click on the " + openingNames[order.listOpenIn]
                      + " editor's preset name plate: no window titled " + menuTitle.quoted() + " appeared on the desktop");
        }

        editors[closing].reset();
        runHost();

        // The list goes with the editor that opened it, as though dismissed.
        if (order.listOpenIn == closing
            && ! waitUntil ([&] { return ! findMenu(); }, runHost, secondsForAClosedEditorsList))
            fail (row + "the closed " + openingNames[closing] + " editor's preset list was still shown "
                  + juce::String (secondsForAClosedEditorsList) + " s after the editor closed");

        if (order.deletesInstance)
        {
            instances[closing]->releaseResources();
            instances[closing].reset();
            runHost();
        }

        // The other editor's list may stay (JUCE's VST3 wrapper dismisses every menu when a view
        // closes, its LV2 one does not). If it stays, it is still drawn in the plug-in's look, and
        // a click on the plate that opened it closes it.
        if (order.listOpenIn == remaining && findMenu())
        {
            const auto menu = grabScreenPixels (*menuArea);

            if (expect (menu.isValid(), row + "could not read the open list's window back from the X server"))
                expect (MenuLook (menu).isThePlugInsOwn(),
                        row + "the " + openingNames[remaining] + " editor's open preset list is no longer in the plug-in's look");

            if (clickPlate (remaining, "closing the open list"))
                expect (waitFor ([&] { return ! findMenu(); }),
                        row + "the " + openingNames[remaining] + " editor's preset list was still shown "
                        + juce::String (secondsPerWait) + " s after a click on its plate");
        }

        auto& editor = *editors[remaining];
        auto* filterTypeParameter = parameters[remaining][filterTypeIndex];

        const auto grabWindow = [&]
        {
            auto* peer = editor.getPeer();
            return peer != nullptr ? grabWindowPixels (*peer, editorWidth, editorHeight) : juce::Image();
        };

        // a. The host moves a parameter that the editor's timer polls, and the window must follow.
        filterTypeParameter->setValue (hostNormalised (filterType, highPass.type));
        juce::Image window;

        if (! waitFor ([&] { window = grabWindow(); return window.isValid() && showsPicture (window, highPass); }))
            fail (row + "step a, the host set Filter_Type to HIGHPASS: " + remainingName + "'s window shows "
                  + describePicture (window, highPass) + " after " + juce::String (secondsPerWait) + " s");

        // b. A click on the picture steps to the next type, which the host must then read.
        const auto bandPassValue = hostNormalised (filterType, bandPass.type);
        const auto readsBandPass = [&] { return std::abs (filterTypeParameter->getValue() - bandPassValue) <= 1.0e-4f; };

        if (! expect (DesktopInput::click (editor.getScreenPosition() + filterPicture.getCentre()),
                      row + "step b: cannot send a click to the X server (no XTEST?)"))
        {
            closeAll();
            break;
        }

        const auto clickAnswered = waitFor (readsBandPass);

        if (! clickAnswered)
            fail (row + "step b, a click on " + remainingName + "'s filter picture: the host reads Filter_Type "
                  + juce::String (filterTypeParameter->getValue(), 4) + " after " + juce::String (secondsPerWait)
                  + " s, expected " + juce::String (bandPassValue, 4) + " (BANDPASS, the type after HIGHPASS)");

        // c. A click on the name plate opens the preset list, a window of its own on the desktop,
        // drawn with whatever look the plug-in's copy of JUCE holds as the default.
        if (clickAnswered && clickPlate (remaining, "step c"))
        {
            if (! waitFor (findMenu))
            {
                fail (row + "step c, a click on " + remainingName + "'s preset name plate: no window titled "
                      + menuTitle.quoted() + " appeared on the desktop");
            }
            else
            {
                // The window is mapped before the menu has painted into it.
                juce::Image menu;
                waitFor ([&] { menu = grabScreenPixels (*menuArea); return menu.isValid() && MenuLook (menu).isThePlugInsOwn(); });

                if (expect (menu.isValid(), row + "step c: could not read the menu's window back from the X server"))
                {
                    const MenuLook look (menu);
                    lastMenu.emplace (menu);

                    expect (look.isThePlugInsOwn(),
                            row + "step c, the preset list of " + remainingName + " (" + juce::String (menuArea->getWidth()) + " x "
                            + juce::String (menuArea->getHeight()) + "): frame " + rgb (look.leftFrame) + " and " + rgb (look.rightFrame)
                            + ", background " + rgb (look.background) + ", expected the plug-in's frame " + rgb (menuFrame)
                            + " and background " + rgb (menuBackground) + ", not JUCE's stock look");
                }

                // Escape goes to the window with the keyboard focus, which hands it to the menu.
                if (expect (DesktopInput::pressKey ("Escape"), row + "step c: cannot send the Escape key to the X server"))
                    expect (waitFor ([&] { return ! findMenu(); }),
                            row + "step c: the preset list was still shown " + juce::String (secondsPerWait) + " s after Escape");
            }
        }

        closeAll();

        // A menu left behind belongs to an editor that is gone, and would cover the next row's.
        expect (! findMenu(), row + "a window titled " + menuTitle.quoted() + " is still shown after both editors closed");
    }

    if (presetWritten)
        preset.deleteFile();

    if (failures == failuresBefore && expect (lastMenu.has_value(), "two editors: no preset list was read back"))
        pass ("two editors side by side, in " + juce::String ((int) std::size (orders)) + " orders one closed or its "
              + "instance deleted: the other showed the host's Filter_Type change, answered a click on its filter "
              + "picture, and opened its preset list in the plug-in's look (frame " + rgb (lastMenu->leftFrame)
              + ", background " + rgb (lastMenu->background) + "), which Escape closed; a preset list open in the "
              + "closing editor went with it, and one open in the other stayed in the plug-in's look or was dismissed");
}
