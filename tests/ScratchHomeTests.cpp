#include "ScratchHome.h"
#include "editor/Footer.h"
#include "presets/PresetsManager.h"

#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

// Every place the plug-in, JUCE, fontconfig or GLib would write in a home folder lies inside the
// test program's own one, whichever way the binary was started. Some tests empty these folders.
TEST (ScratchHome, EveryFolderDerivedFromHomeLiesInsideTheTestProgramsOwn)
{
    const auto home = scratchhome::folder().string();
    const auto* account = getpwuid (getuid());
    ASSERT_FALSE (home.empty()) << "the test program made no home of its own";
    ASSERT_TRUE (juce::File (home).isDirectory()) << home;
    ASSERT_NE (account, nullptr) << "no account entry for user " << getuid();
    ASSERT_NE (juce::File (home), juce::File (account->pw_dir)) << "the scratch home is the account's own";

    const auto variable = [] (const char* name)
    {
        const char* value = std::getenv (name);
        return std::string (value != nullptr ? value : "");
    };
    const auto path = [] (const juce::File& f) { return f.getFullPathName().toStdString(); };
    const auto special = [&] (juce::File::SpecialLocationType which)
    {
        return path (juce::File::getSpecialLocation (which));
    };

    struct Case { const char* what; std::string path; bool isTheHomeItself; };
    const Case cases[] = {
        { "HOME", variable ("HOME"), true },
        { "JUCE's home folder", special (juce::File::userHomeDirectory), true },
        { "~", path (juce::File ("~")), true },
        { "the presets folder", qrvx::PresetsManager::presetsFolderPath().toStdString(), false },
        { "the crash log", path (Footer::getCrashLogFile()), false },
        { "JUCE's application data folder", special (juce::File::userApplicationDataDirectory), false },
        { "XDG_CONFIG_HOME", variable ("XDG_CONFIG_HOME"), false },
        { "XDG_CACHE_HOME", variable ("XDG_CACHE_HOME"), false },
        { "XDG_DATA_HOME", variable ("XDG_DATA_HOME"), false },
        { "XDG_STATE_HOME", variable ("XDG_STATE_HOME"), false },
    };

    for (const auto& c : cases)
    {
        if (c.isTheHomeItself)
            EXPECT_EQ (juce::File (c.path), juce::File (home)) << c.what << " is " << c.path << ", not " << home;
        else
            EXPECT_TRUE (scratchhome::owns (c.path)) << c.what << " is " << c.path << ", outside " << home;
    }
}
