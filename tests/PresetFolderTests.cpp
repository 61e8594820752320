#include "ScratchHome.h"
#include "UnreadablePresetSupport.h"
#include "presets/PresetFileReader.h"
#include "presets/PresetFolder.h"

using qrvx::PresetFileReader;

namespace
{
    juce::File emptiedScratch (const char* name)
    {
        return juce::File (scratchhome::emptiedTestFolder (name).string());
    }

    const juce::String notRegular ("This is not a regular file, could not load preset.");
    const juce::String tooLarge ("The file is too large to be a preset, could not load preset.");
    const juce::String unreadableFile ("Invalid preset file supplied, could not load preset.");
}

TEST (PresetFileReader, ReadsOnlyRegularFilesAndNeverPastTheLimit)
{
    const auto folder = emptiedScratch ("reader");
    const auto fifo = folder.getChildFile ("fifo.glp");
    const auto ten = folder.getChildFile ("ten.glp");
    ASSERT_TRUE (ten.replaceWithText ("0123456789")) << "writing ten.glp";
    ASSERT_TRUE (unreadable::makeFifo (fifo)) << "making fifo.glp";
    ASSERT_TRUE (unreadable::linkToDevZero (folder.getChildFile ("zero.glp"))) << "linking zero.glp to /dev/zero";
    ASSERT_TRUE (ten.createSymbolicLink (folder.getChildFile ("link.glp"), false)) << "linking link.glp to ten.glp";
    ASSERT_TRUE (folder.getChildFile ("gone").createSymbolicLink (folder.getChildFile ("dangling.glp"), false))
        << "linking dangling.glp to a missing file";

    // The process's status reports a size of 0 but holds a few hundred bytes.
    struct Case { const char* what; juce::File file; size_t limit; juce::String error; size_t bytesRead; };
    const auto anySize = PresetFileReader::maximumFileSize;
    const Case cases[] = {
        { "as long as the limit", ten, 10, {}, 10 },
        { "a byte over the limit", ten, 9, tooLarge, 0 },
        { "link to a regular file", folder.getChildFile ("link.glp"), 10, {}, 10 },
        { "FIFO", fifo, anySize, notRegular, 0 },
        { "link to /dev/zero", folder.getChildFile ("zero.glp"), anySize, notRegular, 0 },
        { "folder", folder, anySize, notRegular, 0 },
        { "missing", folder.getChildFile ("missing.glp"), anySize, unreadableFile, 0 },
        { "dangling link", folder.getChildFile ("dangling.glp"), anySize, unreadableFile, 0 },
        { "reported empty, longer than the limit", juce::File ("/proc/self/status"), 16, tooLarge, 0 },
    };

    for (const auto& c : cases)
    {
        juce::MemoryBlock bytes ("left over", 9);
        juce::Result result = juce::Result::ok();
        auto read = [&] { result = PresetFileReader::read (c.file, bytes, c.limit); };
        EXPECT_TRUE (unreadable::finishesWithin (10.0, { fifo }, read)) << c.what << ", reading";
        EXPECT_EQ (result.getErrorMessage(), c.error) << c.what << ", error";
        EXPECT_EQ (bytes.getSize(), c.bytesRead) << c.what << ", bytes read";
    }

    juce::MemoryBlock status;
    const auto statusRead = PresetFileReader::read (juce::File ("/proc/self/status"), status);
    EXPECT_TRUE (statusRead.wasOk()) << "a file reporting no size: " << statusRead.getErrorMessage();
    EXPECT_TRUE (status.toString().startsWith ("Name:")) << "a file reporting no size is read whole";
    folder.deleteRecursively();
}

TEST (PresetFolder, ListsPresetFilesInAnyCaseByNameInNaturalOrder)
{
    const auto folder = emptiedScratch ("listing");

    struct Case { const char* what; juce::StringArray files; juce::StringArray names; };
    const Case cases[] = {
        { "natural order ignoring case",
          { "pad 10.glp", "Pad 2.glp", "apple.glp", "Zebra.glp", "pad 1.glp" },
          { "apple", "pad 1", "Pad 2", "pad 10", "Zebra" } },
        { "extension in any case",
          { "pad.Glp", "Pad.GLP", "Lead.gLp", "Notes.txt", "glp" },
          { "Lead", "Pad", "pad" } },
        { "dotted, hidden, nested and folders",
          { "Bass v1.2.glp", ".hidden.glp", "Sub/Nested.glp", "Folder.glp/", "Bass v1.glp" },
          { ".hidden", "Bass v1", "Bass v1.2" } },
    };

    for (const auto& c : cases)
    {
        folder.deleteRecursively();
        for (const auto& name : c.files)
            if (name.endsWith ("/"))
                folder.getChildFile (name).createDirectory();
            else
                folder.getChildFile (name).create();

        const auto entries = qrvx::PresetFolder::list (folder);
        EXPECT_EQ (qrvx::PresetFolder::namesOf (entries), c.names) << c.what;

        for (const auto& entry : entries)
        {
            EXPECT_TRUE (c.files.contains (entry.file.getFileName()))
                << c.what << ": " << entry.name << " is listed with a file not made, " << entry.file.getFullPathName();
            EXPECT_TRUE (entry.file.getParentDirectory() == folder)
                << c.what << ": " << entry.name << " is listed with a file outside the folder, "
                << entry.file.getFullPathName();
        }
    }
    folder.deleteRecursively();
}
