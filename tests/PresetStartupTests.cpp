#include "PresetTestSupport.h"

#include <pwd.h>
#include <unistd.h>

using namespace presettest;

// This test fills the presets folder itself, so ctest runs it with a home folder of its own and
// never alongside another (see tests/CMakeLists.txt).
TEST (PresetStartup, ChoosesUserDefaultThenZodadIdeThenNothing)
{
    const auto home = juce::File::getSpecialLocation (juce::File::userHomeDirectory);
    const auto* account = getpwuid (getuid());

    if (account == nullptr || home == juce::File (account->pw_dir) || home == juce::File ("/"))
        GTEST_SKIP() << "HOME must point at a scratch folder; this test rewrites the presets folder";

    const auto library = home.getChildFile ("Library"), folder = library.getChildFile ("Audio/Presets/Ririvud/Vevarero");
    auto withCutoff = [] (int cutoff) { return fileHeader + "<Vevarero>\r\n  <PARAM id=\"Cutoff\" value=\"" + std::to_string (cutoff) + "\"/>\r\n</Vevarero>\r\n"; };
    const std::string userDefault = withCutoff (1000), zodadIde = withCutoff (500), empty, broken = "<Vevarero><PARAM", aFolder;

    struct Case { const char* what; const std::string* userDefaultFile; const std::string* zodadIdeFile; juce::String name; float cutoff; };
    const Case cases[] = {
        { "empty folder",                 nullptr,      nullptr,   "INIT",         11000.0f },
        { "only Zodad_Ide",               nullptr,      &zodadIde, "Zodad_Ide",    500.0f },
        { "both",                         &userDefault, &zodadIde, "User_Default", 1000.0f },
        { "User_Default.glp is a folder", &aFolder,     &zodadIde, "Zodad_Ide",    500.0f },
        { "unparsable User_Default",      &broken,      &zodadIde, "Zodad_Ide",    500.0f },
        { "neither can be read",          &empty,       &broken,   "INIT",         11000.0f },
        { "Zodad_Ide.glp is a folder",    &broken,      &aFolder,  "INIT",         11000.0f },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        library.deleteRecursively(); // the processor must create every level of the folder

        for (const auto& [name, content] : { std::pair { "User_Default.glp", c.userDefaultFile }, std::pair { "Zodad_Ide.glp", c.zodadIdeFile } })
        {
            if (content == &aFolder)
                folder.getChildFile (name).getChildFile ("inside").createDirectory();
            else if (content != nullptr)
                writeBytes (folder.getChildFile (name), *content);
        }

        VevareroAudioProcessor processor;
        EXPECT_TRUE (folder.isDirectory());
        EXPECT_EQ (processor.presetName, c.name);
        EXPECT_EQ (processor.presetFilePath, c.name == "INIT" ? juce::String() : folder.getChildFile (c.name + ".glp").getFullPathName());
        EXPECT_EQ (value (processor, "Cutoff"), c.cutoff);
        EXPECT_TRUE (othersAtDefault (processor, "Cutoff"));
    }

    library.deleteRecursively();
}
