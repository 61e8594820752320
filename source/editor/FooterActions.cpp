// What the footer's save, settings and randomise buttons do.

#include "Footer.h"

#include "HostQuirks.h"
#include "ParameterLink.h"
#include "presets/PresetsManager.h"

namespace qrvx
{
    const juce::String pluginCrashLoggerSubdirectory ("Ririvud");
    const juce::String pluginCrashLoggerPluginName ("Vevarero");
    const juce::String pluginCrashLoggerPluginVersionString (juce::String ("v ") + "1.0.0");
    const juce::String pluginCrashLoggerLogFileName (pluginCrashLoggerPluginName + "Log.txt");
    const juce::String pluginCrashLoggerWelcomeString (pluginCrashLoggerSubdirectory + " " + pluginCrashLoggerPluginName);
} // namespace qrvx

namespace
{
    using qrvx::PresetsManager;

    // Older blocks are cut away before a new one is added, so the log never grows without end.
    constexpr juce::int64 crashLogMaxInitialSize = 128 * 1024;

    juce::String operatingSystemLine()
    {
       #if JUCE_MAC
        return "Mac OSX " + juce::SystemStats::getOperatingSystemName();
       #else
        return juce::SystemStats::getOperatingSystemName();
       #endif
    }
}

//==============================================================================
juce::File Footer::withPresetExtension (const juce::File& chosen)
{
    if (chosen.hasFileExtension (PresetsManager::presetFileExtension))
        return chosen;

    return chosen.withFileExtension (PresetsManager::presetFileExtension);
}

void Footer::launchSaveDialog()
{
    saveChooser = std::make_unique<juce::FileChooser> ("Save Preset", juce::File (PresetsManager::presetsFolderPath()),
                                                       PresetsManager::wildcardForfileChooser(), true, false);

    const auto dialogFlags = juce::FileBrowserComponent::saveMode | juce::FileBrowserComponent::canSelectFiles
                       | juce::FileBrowserComponent::warnAboutOverwriting;

    openedWindows.open ([&]
    {
        saveChooser->launchAsync (dialogFlags, [safeThis = juce::Component::SafePointer<Footer> (this)] (const juce::FileChooser& chooser)
                                  {
                                      if (safeThis != nullptr)
                                          safeThis->saveFileChosen (chooser.getResult());
                                  });
    });
}

void Footer::saveFileChosen (const juce::File& chosen)
{
    if (chosen == juce::File())
        return;

    const auto file = withPresetExtension (chosen);

    // The dialog only warned about the file the user typed; this one may be another.
    if (file != chosen && file.exists())
    {
        askToReplace (file, [safeThis = juce::Component::SafePointer<Footer> (this), file] (bool replace)
                      {
                          if (replace && safeThis != nullptr)
                              safeThis->savePresetAs (file);
                      });
        return;
    }

    savePresetAs (file);
}

void Footer::savePresetAs (const juce::File& file)
{
    const auto result = PresetsManager::savePreset (processor.valueTreeState, file);

    if (result.failed())
    {
        showFailure ("Preset Not Saved", "\"" + file.getFullPathName() + "\": " + result.getErrorMessage());
        return;
    }

    processor.currentPreset.set (file.getFileNameWithoutExtension(), file.getFullPathName());
    arrows.forget();
}

//==============================================================================
juce::PopupMenu Footer::createConfigMenu()
{
    juce::PopupMenu menu;
    menu.addItem (initializeParametersItem, "INITIALIZE PARAMETERS");
    menu.addItem (saveAsDefaultItem, "SAVE CURRENT STATE AS DEFAULT");
    menu.addItem (openPresetsFolderItem, "OPEN PRESETS DIRECTORY");
    menu.addItem (crashLogItem, "GO TO CRASH LOG");
    menu.addItem (versionItem, (juce::String ("Vevarero") + " " + "v " + "1.0.0").toUpperCase(), false);
    return menu;
}

juce::PopupMenu::Options Footer::configMenuOptions()
{
    return juce::PopupMenu::Options()
        .withTargetComponent (configButton.get())
        .withItemThatMustBeVisible (initializeParametersItem)
        .withMinimumWidth (menuMinimumWidth);
}

void Footer::showConfigMenu()
{
    showMenu (createConfigMenu(), configMenuOptions(), [this] (int itemID) { configMenuItemChosen (itemID); });
}

void Footer::configMenuItemChosen (int itemID)
{
    switch (itemID)
    {
        case initializeParametersItem: initializeParameters(); break;
        case saveAsDefaultItem:        saveCurrentStateAsDefault(); break;
        case openPresetsFolderItem:    revealToUser (juce::File (PresetsManager::presetsFolderPath())); break;
        case crashLogItem:             revealToUser (writeCrashLog()); break;
        default: break;
    }
}

void Footer::initializeParameters()
{
    // Asked afresh: this is the one action that does not use the flag taken at construction.
    const auto live = qrvx::HostQuirks::isAbletonLive();

    for (auto* parameter : processor.getParameters())
        ParameterLink::writeValue (parameter, parameter->getDefaultValue(), live);
}

void Footer::saveCurrentStateAsDefault()
{
    const auto file = PresetsManager().getDefaultPresetFile();
    const auto result = PresetsManager::savePreset (processor.valueTreeState, file);

    if (result.failed())
        showFailure ("Default Not Saved", "\"" + file.getFullPathName() + "\": " + result.getErrorMessage());
}

juce::File Footer::getCrashLogFile()
{
    return juce::File ("~/Library/Logs")
        .getChildFile (qrvx::pluginCrashLoggerSubdirectory)
        .getChildFile (qrvx::pluginCrashLoggerLogFileName);
}

juce::File Footer::writeCrashLog()
{
    const auto file = getCrashLogFile();

    juce::FileLogger logger (file, qrvx::pluginCrashLoggerWelcomeString, crashLogMaxInitialSize);
    logger.logMessage (qrvx::pluginCrashLoggerPluginName + " " + qrvx::pluginCrashLoggerPluginVersionString);
    logger.logMessage (juce::PluginHostType().getHostDescription());
    logger.logMessage (operatingSystemLine());
    logger.logMessage ("CPU : " + juce::String (juce::SystemStats::getNumCpus()) + " x "
                       + juce::String (juce::SystemStats::getCpuSpeedInMegahertz()) + " MHz");
    logger.logMessage ("Memory : " + juce::String (juce::SystemStats::getMemorySizeInMegabytes()) + " MB");

    return file;
}

//==============================================================================
void Footer::randomiseParameters (juce::Random& source)
{
    // Drive, output level and dry/wet stay put, so a new random sound is never suddenly louder
    // or drier than the one before.
    const auto ids = processor.parametersUIDs;
    const auto depth = [&] (const juce::String& id) { return id + ids.modDepthSuffix; };
    const auto modSource = [&] (const juce::String& id) { return id + ids.modSourceSuffix; };

    struct Row
    {
        juce::String id;
        bool isSwitch;
    };

    const Row rows[] = {
        { ids.cutoffID, false },            { depth (ids.cutoffID), false },    { modSource (ids.cutoffID), false },
        { ids.resonanceID, false },         { depth (ids.resonanceID), false }, { modSource (ids.resonanceID), false },
        { ids.distortionRoutingID, true },  { ids.filterTypeID, false },
        { ids.rateID, false },              { depth (ids.rateID), false },      { modSource (ids.rateID), false },
        { ids.bitsID, false },              { depth (ids.bitsID), false },      { modSource (ids.bitsID), false },
        { ids.loFiRoutingID, false },
        { ids.lfo1RateID, false },          { ids.lfo1SyncedRateID, false },    { ids.lfo1SyncID, true },
        { ids.lfo1WaveID, false },
        { ids.lfo2RateID, false },          { ids.lfo2SyncedRateID, false },    { ids.lfo2SyncID, true },
        { ids.lfo2WaveID, false },
        { ids.lfosMixID, false },
    };

    for (const auto& row : rows)
    {
        // Drawn before the lookup, so that every row takes exactly one value from the sequence.
        auto value = source.nextFloat();

        if (row.isSwitch)
            value = value > 0.5f ? 1.0f : 0.0f;

        auto* parameter = processor.valueTreeState.getParameter (row.id);
        jassert (parameter != nullptr); // every randomised ID is one of the processor's parameters
        ParameterLink::writeValue (parameter, value, isAbletonLive);
    }
}
