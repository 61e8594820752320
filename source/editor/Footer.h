#pragma once

#include "OpenedWindows.h"
#include "presets/PresetFolder.h"
#include "presets/PresetStepper.h"
#include "processor/PluginProcessor.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <memory>

namespace qrvx
{
    // What the crash log is called, where it lives and how it introduces itself. The file name and
    // the welcome line are built from the first two, so they are defined in this order.
    extern const juce::String pluginCrashLoggerSubdirectory;
    extern const juce::String pluginCrashLoggerPluginName;
    extern const juce::String pluginCrashLoggerPluginVersionString;
    extern const juce::String pluginCrashLoggerLogFileName;
    extern const juce::String pluginCrashLoggerWelcomeString;
} // namespace qrvx

/** The strip along the bottom of the editor: the current preset's name on a blue plate (click it
    for the list of presets), arrows that step through the presets folder, and the save, settings
    and randomise buttons, between the logotype and the maker's wordmark.

    Menus and dialogs open asynchronously; what happens once the user has chosen is done by the
    public ...Chosen functions, which tests call directly. Whatever the footer opened and is still
    open when it goes is dismissed with it.
*/
class Footer final : public juce::Component,
                     public juce::Button::Listener
{
public:
    explicit Footer (VevareroAudioProcessor& processor);
    ~Footer() override;

    void paint (juce::Graphics&) override;
    void resized() override;
    void buttonClicked (juce::Button*) override;

    /** Shows the processor's preset name; the editor's timer calls this. */
    void updatePresetName();

    /** The preset files in the presets folder, read afresh, in the order the list shows them. */
    qrvx::PresetFolder::Entries createPresetList() const;

    /** Names (without extension) of the preset files in the presets folder, read afresh. */
    juce::StringArray createPresetNamesArray() const;

    /** Loads the preset presets[index] and makes it the current one. A preset that fails to load
        leaves the current one as it was and tells the user why.
    */
    void loadPreset (const qrvx::PresetFolder::Entries& presets, int index);

    //==============================================================================
    /** The preset list: one item per name (IDs from 1), the current preset coloured. */
    juce::PopupMenu createPresetListMenu (const juce::StringArray& names) const;
    juce::PopupMenu::Options presetListMenuOptions();
    void presetListItemChosen (const qrvx::PresetFolder::Entries& presets, int itemID);

    //==============================================================================
    /** The file a save writes when the user picks the given one: preset files always carry the
        preset extension.
    */
    static juce::File withPresetExtension (const juce::File& chosen);

    /** Saves to the file picked in the save dialog; an empty file means the dialog was cancelled. */
    void saveFileChosen (const juce::File& chosen);

    //==============================================================================
    enum ConfigMenuItem
    {
        initializeParametersItem = 1,
        saveAsDefaultItem = 2,
        openPresetsFolderItem = 3,
        crashLogItem = 4,
        versionItem = -10
    };

    static juce::PopupMenu createConfigMenu();
    juce::PopupMenu::Options configMenuOptions();
    void configMenuItemChosen (int itemID);

    /** Every parameter back to its default, under the host's gesture rule. */
    void initializeParameters();

    /** Writes the parameters to the preset that new instances start from. */
    void saveCurrentStateAsDefault();

    /** Appends a block of system information to the crash log and returns the log file. */
    static juce::File writeCrashLog();
    static juce::File getCrashLogFile();

    /** Gives the randomised parameters one draw each, in a fixed order, so a seeded source always
        gives the same sound.
    */
    void randomiseParameters (juce::Random& source);

    //==============================================================================
    // What the footer opens outside itself. Each starts out doing the real thing; tests swap
    // them for recorders so that no window or file manager appears.
    std::function<void (const juce::String& title, const juce::String& message)> showFailure;
    std::function<void (const juce::File&)> revealToUser;
    std::function<void (const juce::File&, std::function<void (bool replace)>)> askToReplace;

private:
    void showPresetList();
    void stepThroughPresets (bool forwards);
    void tryToLoad (const qrvx::PresetFolder::Entry& preset);
    void launchSaveDialog();
    void showConfigMenu();
    void showMenu (juce::PopupMenu, const juce::PopupMenu::Options&, std::function<void (int itemID)> chosen);
    void showAlert (const juce::MessageBoxOptions&, std::function<void (int buttonIndex)> answered);
    void savePresetAs (const juce::File& file);

    // Narrow menus (a short preset list) still get a comfortable target.
    static constexpr int menuMinimumWidth = 40;

    VevareroAudioProcessor& processor;
    bool isAbletonLive = false;
    juce::Random random;
    qrvx::PresetStepper arrows;

    std::unique_ptr<juce::Drawable> prevImage, prevDownImage, nextImage, nextDownImage,
                                    saveImage, configImage, randomImage, randomDownImage;

    std::unique_ptr<juce::Label> presetNameLabel;
    std::unique_ptr<juce::TextButton> presetListButton;
    std::unique_ptr<juce::DrawableButton> prevButton, nextButton, saveButton, configButton, randomButton;

    std::unique_ptr<juce::Drawable> wordmarkDrawable;
    std::unique_ptr<juce::Drawable> logoDrawable;

    std::unique_ptr<juce::FileChooser> saveChooser;

    // Last, so that it goes first: the save dialog, and any question it asks, close before the
    // chooser that owns the dialog is deleted.
    qrvx::OpenedWindows openedWindows;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Footer)
};
