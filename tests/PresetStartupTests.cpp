#include "PresetTestSupport.h"
#include "presets/PresetsManager.h"

#include <pwd.h>
#include <unistd.h>

using namespace presettest;

// These tests fill the presets folder itself, so ctest runs them one at a time with a home folder
// of their own (see tests/CMakeLists.txt).
namespace
{
    const std::string aFolder = "<folder>";

    std::string presetWithCutoff (int cutoff)
    {
        return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n\r\n \r\n<Vevarero>\r\n  <PARAM id=\"Cutoff\" value=\""
               + std::to_string (cutoff) + "\"/>\r\n</Vevarero>\r\n";
    }

    bool homeIsTheRealOne()
    {
        const auto home = juce::File::getSpecialLocation (juce::File::userHomeDirectory);
        const auto* account = getpwuid (getuid());
        return account == nullptr || home == juce::File (account->pw_dir) || home == juce::File ("/");
    }
}

class PresetStartup : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (homeIsTheRealOne())
            GTEST_SKIP() << "HOME must point at a scratch folder; these tests rewrite the presets folder";

        // Remove everything up to the home folder, so the processor must create every level.
        libraryFolder().deleteRecursively();
    }

    void TearDown() override
    {
        if (! homeIsTheRealOne())
            libraryFolder().deleteRecursively();
    }

    static juce::File libraryFolder()
    {
        return juce::File::getSpecialLocation (juce::File::userHomeDirectory).getChildFile ("Library");
    }

    static juce::File presetsFolder()   { return juce::File (qrvx::PresetsManager::presetsFolderPath); }

    static void place (const juce::String& name, const std::string* content)
    {
        if (content == nullptr)
            return;

        const auto file = presetsFolder().getChildFile (name + ".glp");

        if (*content == aFolder)
            file.getChildFile ("inside").createDirectory();
        else
            writeBytes (file, *content);
    }
};

TEST_F (PresetStartup, ChoosesUserDefaultThenZodadIdeThenNothing)
{
    const auto userDefault = presetWithCutoff (1000);
    const auto zodadIde = presetWithCutoff (500);
    const std::string empty, broken = "<Vevarero><PARAM";

    struct Case
    {
        const char* what;
        const std::string* userDefaultFile;
        const std::string* zodadIdeFile;
        const char* expectedName;
        float expectedCutoff;
    };

    const Case cases[] = {
        { "empty folder",                  nullptr,      nullptr,   "INIT",         11000.0f },
        { "only Zodad_Ide",                nullptr,      &zodadIde, "Zodad_Ide",    500.0f },
        { "only User_Default",             &userDefault, nullptr,   "User_Default", 1000.0f },
        { "both",                          &userDefault, &zodadIde, "User_Default", 1000.0f },
        { "User_Default.glp is a folder",  &aFolder,     &zodadIde, "Zodad_Ide",    500.0f },
        { "unparsable User_Default",       &broken,      &zodadIde, "Zodad_Ide",    500.0f },
        { "empty User_Default",            &empty,       nullptr,   "INIT",         11000.0f },
        { "both unparsable",               &broken,      &empty,    "INIT",         11000.0f },
        { "Zodad_Ide.glp is a folder",     nullptr,      &aFolder,  "INIT",         11000.0f },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        libraryFolder().deleteRecursively();
        place ("User_Default", c.userDefaultFile);
        place ("Zodad_Ide", c.zodadIdeFile);

        VevareroAudioProcessor processor;

        EXPECT_TRUE (presetsFolder().isDirectory());
        EXPECT_EQ (processor.presetName, c.expectedName);
        EXPECT_EQ (value (processor, "Cutoff"), c.expectedCutoff);

        const juce::String name (c.expectedName);
        const auto expectedPath = name == "INIT" ? juce::String()
                                                 : presetsFolder().getChildFile (name + ".glp").getFullPathName();
        EXPECT_EQ (processor.presetFilePath, expectedPath);

        // Everything the chosen file does not mention is at its default.
        for (const auto& id : parameterIDs (processor))
            if (id != "Cutoff")
            {
                EXPECT_EQ (value (processor, id), defaultValue (processor, id)) << id;
            }
    }
}

TEST_F (PresetStartup, SavedDefaultIsWhatTheNextInstanceStartsWith)
{
    presetsFolder().createDirectory();

    VevareroAudioProcessor first;
    moveAllAwayFromDefaults (first);
    ASSERT_TRUE (qrvx::PresetsManager::savePreset (first.valueTreeState, qrvx::PresetsManager().getDefaultPresetFile()).wasOk());

    VevareroAudioProcessor second;
    EXPECT_EQ (second.presetName, "User_Default");

    for (const auto& id : parameterIDs (first))
        EXPECT_EQ (value (second, id), value (first, id)) << id;
}
