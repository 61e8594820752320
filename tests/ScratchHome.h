#pragma once

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

// The test program and the fuzzers run in a home folder of their own. The presets folder, the
// crash log and every folder JUCE, fontconfig or GLib derive from HOME then lie inside it, so no
// test can read or delete the user's presets, however the binary is started (ctest, an IDE, gdb,
// a --gtest_filter by hand).
namespace scratchhome
{
    /** The folder HOME points at once enter() has run; empty before. */
    inline std::filesystem::path& folder()
    {
        static std::filesystem::path path;
        return path;
    }

    /** Creates a fresh folder under the temporary folder and points HOME, and the XDG folders that
        default to it, there. Call it first thing in main, before anything reads HOME.
    */
    inline void enter (const std::string& name)
    {
        const char* temporary = std::getenv ("TMPDIR");
        const std::string parent = temporary != nullptr && *temporary != 0 ? temporary : "/tmp";
        auto pattern = parent + "/" + name + "-home.XXXXXX";

        if (mkdtemp (pattern.data()) == nullptr)
            throw std::runtime_error ("could not create a scratch home from " + pattern);

        folder() = pattern;
        setenv ("HOME", pattern.c_str(), 1);
        setenv ("XDG_CONFIG_HOME", (pattern + "/.config").c_str(), 1);
        setenv ("XDG_CACHE_HOME", (pattern + "/.cache").c_str(), 1);
        setenv ("XDG_DATA_HOME", (pattern + "/.local/share").c_str(), 1);
        setenv ("XDG_STATE_HOME", (pattern + "/.local/state").c_str(), 1);
    }

    /** Removes the folder enter() made, with everything the run left in it. */
    inline void leave()
    {
        if (folder().empty())
            return;

        std::error_code ignored;
        std::filesystem::remove_all (folder(), ignored);
        folder().clear();
    }

    /** True for a path strictly inside the folder enter() made: the only place a test may empty. */
    inline bool owns (const std::string& path)
    {
        if (folder().empty())
            return false;

        const auto relative = std::filesystem::path (path).lexically_normal().lexically_relative (folder());
        return ! relative.empty() && relative != "." && *relative.begin() != "..";
    }

    /** A folder of this test process alone for a test's files, emptied: tests run side by side
        (ctest -j) would otherwise write and read one another's. Not under Library, which the
        start-up tests empty.
    */
    inline std::filesystem::path emptiedTestFolder (const std::string& name)
    {
        const auto path = folder() / "test files" / name;
        std::error_code ignored;
        std::filesystem::remove_all (path, ignored);
        std::filesystem::create_directories (path, ignored);
        return path;
    }
}
