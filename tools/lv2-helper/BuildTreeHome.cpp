// Runs JUCE's LV2 TTL writer with HOME (and the XDG folders that default to it) inside the build
// tree. The writer loads the plug-in, and a loaded instance creates its presets folder under HOME;
// a build must not leave that, or GLib's dconf cache, in the user's home.

#include <cstdlib>
#include <filesystem>

int dumpLv2Turtle (int argc, const char** argv);

int main (int argc, const char** argv)
{
    const std::filesystem::path home { VEVARERO_LV2_HELPER_HOME };
    std::error_code ignored;
    std::filesystem::create_directories (home, ignored);

    setenv ("HOME", home.c_str(), 1);
    setenv ("XDG_CACHE_HOME", (home / ".cache").c_str(), 1);
    setenv ("XDG_CONFIG_HOME", (home / ".config").c_str(), 1);
    setenv ("XDG_DATA_HOME", (home / ".local/share").c_str(), 1);

    return dumpLv2Turtle (argc, argv);
}
