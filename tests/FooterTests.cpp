#include "ControlTestSupport.h" // rectangles print as text in failure messages
#include "EditorTestSupport.h"
#include "ScratchHome.h"
#include "UnreadablePresetSupport.h"
#include "editor/Footer.h"
#include "editor/HostQuirks.h"
#include "look/QXLook.h"
#include "look/QrvxColours.h"
#include "presets/PresetsManager.h"

#include <gtest/gtest.h>

namespace
{
    using qrvx::PresetsManager;
    using Rect = juce::Rectangle<int>;

    float cutoff (VevareroAudioProcessor& p)
    {
        return p.valueTreeState.getRawParameterValue ("Cutoff")->load();
    }

    void setCutoff (VevareroAudioProcessor& p, float hertz)
    {
        auto* parameter = p.valueTreeState.getParameter ("Cutoff");
        parameter->setValueNotifyingHost (parameter->convertTo0to1 (hertz));
    }

    /** Bounding box of the pixels inside an area that pass a test. */
    Rect boundsOf (const juce::Image& image, Rect area, const std::function<bool (juce::Colour)>& wanted)
    {
        Rect box;
        for (int y = area.getY(); y < area.getBottom(); ++y)
            for (int x = area.getX(); x < area.getRight(); ++x)
                if (wanted (image.getPixelAt (x, y)))
                    box = box.isEmpty() ? Rect (x, y, 1, 1) : box.getUnion ({ x, y, 1, 1 });
        return box;
    }

    /** One line per item: ID, text, colour if it has one, and whether it is disabled. */
    juce::StringArray describe (const juce::PopupMenu& menu)
    {
        juce::StringArray lines;
        for (juce::PopupMenu::MenuItemIterator it (menu); it.next();)
        {
            const auto& item = it.getItem();
            lines.add (juce::String (item.itemID) + " " + item.text + (item.isEnabled ? "" : " (disabled)")
                       + (item.colour.isTransparent() ? "" : " in " + item.colour.toString()));
        }
        return lines;
    }

    /** A footer over emptied presets and crash-log folders; what it would show outside itself is recorded. */
    class FooterTest : public testing::Test
    {
    protected:
        void SetUp() override
        {
            TearDown();
            ASSERT_FALSE (HasFailure()) << "the tests would write presets and logs outside the test program's home";
            ASSERT_TRUE (folder.createDirectory()) << "could not create the presets folder " << folder.getFullPathName();
            footer.showFailure = [this] (const juce::String&, const juce::String& message) { failures.add (message); };
            footer.revealToUser = [this] (const juce::File& f) { revealed.add (f); };
            footer.askToReplace = [this] (const juce::File& f, std::function<void (bool)> answer)
            {
                questions.add (f);
                pendingAnswer = answer;
            };
        }

        // Runs after a failed SetUp too, so it checks for itself that it empties only the test
        // program's own home: anywhere else these folders hold a user's presets and logs.
        void TearDown() override
        {
            for (const auto& emptied : { folder, Footer::getCrashLogFile().getParentDirectory() })
            {
                if (scratchhome::owns (emptied.getFullPathName().toStdString()))
                    emptied.deleteRecursively();
                else
                    ADD_FAILURE() << "left alone, outside the test program's home: " << emptied.getFullPathName();
            }
        }

        /** A preset file whose cutoff tells it apart, written from a processor of its own. */
        juce::File writePreset (const juce::String& fileName, float cutoffHertz)
        {
            VevareroAudioProcessor writer;
            setCutoff (writer, cutoffHertz);
            const auto file = folder.getChildFile (fileName);
            EXPECT_TRUE (file.getParentDirectory().createDirectory()) << "no folder for the preset " << fileName;
            const auto saved = PresetsManager::savePreset (writer.valueTreeState, file);
            EXPECT_TRUE (saved.wasOk()) << "writing the preset " << fileName << ": " << saved.getErrorMessage();
            return file;
        }

        static float cutoffSavedIn (const juce::File& file)
        {
            VevareroAudioProcessor reader;
            return PresetsManager::loadPreset (file, reader.valueTreeState).wasOk() ? cutoff (reader) : -1.0f;
        }

        template <typename ChildType = juce::Button>
        ChildType& child (const juce::String& name = {})
        {
            return namedChild<ChildType> (footer, name);
        }

        VevareroAudioProcessor processor;
        Footer footer { processor };
        const juce::File folder { PresetsManager::presetsFolderPath() };
        juce::StringArray failures;
        juce::Array<juce::File> revealed, questions;
        std::function<void (bool)> pendingAnswer;
    };
}

//==============================================================================
TEST_F (FooterTest, ChildrenLandOnTheirRectanglesAtBothSizes)
{
    EXPECT_EQ (footer.getBounds(), Rect (0, 0, 640, 115)) << "the footer's own size, until the editor lays it out";

    struct Size { int w, h; };
    const Size sizes[] = { { 636, 66 }, { 640, 115 } };

    // Where each child lands at each of the two sizes above.
    struct Row { const char* what; const juce::Component* component; Rect at[2]; };
    const Row rows[] = {
        { "name label",  &child<juce::Label>(),      { { 223, 13, 191, 20 }, { 224, 23, 192, 34 } } },
        { "list button", &child<juce::TextButton>(), { { 223, 13, 191, 20 }, { 224, 23, 192, 34 } } },
        { "prev",        &child ("prev"),            { { 198, 13, 20, 20 },  { 199, 23, 20, 34 } } },
        { "next",        &child ("next"),            { { 419, 13, 20, 20 },  { 421, 23, 20, 34 } } },
        { "save",        &child ("save"),            { { 374, 38, 40, 16 },  { 376, 62, 40, 27 } } },
        { "config",      &child ("config"),          { { 223, 38, 40, 16 },  { 224, 62, 40, 27 } } },
        { "rnd",         &child ("rnd"),             { { 459, 17, 51, 33 },  { 461, 29, 51, 58 } } },
    };
    const auto& nameLabel = rows[0];
    const auto& listButton = rows[1];

    footer.setVisible (true);
    for (size_t s = 0; s < std::size (sizes); ++s)
    {
        footer.setSize (sizes[s].w, sizes[s].h);
        const auto size = juce::String (sizes[s].w) + " x " + juce::String (sizes[s].h);

        for (const auto& row : rows)
            EXPECT_EQ (row.component->getBounds(), row.at[s]) << row.what << " at " << size;

        // A click on the name reaches the invisible list button lying over it.
        const auto click = nameLabel.at[s].getCentre();
        EXPECT_EQ (footer.getComponentAt (click), listButton.component)
            << "a click at " << click.toString() << " on the name at " << size;
    }
}

TEST_F (FooterTest, PaintsPlateShadeLogoWordmarkAndPressedButtons)
{
    qrvx::QXLook look (processor.fontScale);
    footer.setLookAndFeel (&look);
    footer.setSize (636, 66);
    processor.currentPreset.setName ("Bass v1.2");
    footer.updatePresetName();
    const auto image = renderComponent (footer);

    // A sheet to look at: the footer, and below it each button large, normal then held down.
    juce::Image sheet (juce::Image::ARGB, 636, 132, true);
    juce::Graphics g (sheet);
    g.fillAll (juce::Colour (0xff191919));
    g.drawImageAt (image, 0, 0);

    int x = 4;
    for (const juce::String name : { "prev", "next", "save", "config", "rnd" })
    {
        auto& button = child (name);
        button.setSize (58, 58);
        const auto normal = renderComponent (button);
        button.setState (juce::Button::buttonDown);
        const auto down = renderComponent (button);
        g.drawImageAt (normal, x, 70);
        g.drawImageAt (down, x + 63, 70);
        x += 126;
        const auto looksTheSameHeldDown = name == "save" || name == "config";
        EXPECT_EQ (sameImage (normal, down), looksTheSameHeldDown) << name << " held down";
    }
    footer.setLookAndFeel (nullptr);
    const auto file = testOutputFile ("footer.png");
    EXPECT_TRUE (file.deleteFile()) << "an old sheet is in the way: " << file.getFullPathName();
    if (auto stream = file.createOutputStream())
        EXPECT_TRUE (juce::PNGImageFormat().writeImageToStream (sheet, *stream)) << "writing " << file.getFullPathName();
    else
        ADD_FAILURE() << "cannot open " << file.getFullPathName();

    // The plate, between the arrows; its rounded tips are nearly, not fully, covered.
    const auto isPlate = [] (juce::Colour c) { return c.getGreen() > 0x80 && c.getRed() < 0x40; };
    EXPECT_EQ (boundsOf (image, { 219, 0, 200, 38 }, isPlate), Rect (223, 13, 191, 20)) << "the plate";

    // The top shade fades from its grey at the top edge into the background over ten rows.
    const auto shade = [&] (int y) { return (int) image.getPixelAt (5, y).getRed(); };
    EXPECT_NEAR (shade (0), 0x27, 2) << "the shade's top row";
    EXPECT_GT (shade (0), shade (3)) << "the shade from row 0 to row 3";
    EXPECT_GT (shade (3), shade (6)) << "the shade from row 3 to row 6";
    EXPECT_GT (shade (6), 0x19) << "the shade's row 6 against the background";
    EXPECT_EQ (image.getPixelAt (5, 10), juce::Colour (0xff191919)) << "row 10, below the shade";

    // The logotype is white and the wordmark light grey, each centred in its box and as wide as it.
    struct Drawing { const char* what; Rect area, box; int brightest; };
    const Drawing drawings[] = {
        { "logotype", { 0, 0, 200, 66 },   { 13, 13, 153, 40 }, 0xff },
        { "wordmark", { 520, 0, 116, 66 }, { 528, 20, 95, 26 }, 0xbd },
    };

    for (const auto& d : drawings)
    {
        const auto brighter = [&] (int level)
        {
            const auto greyAtLeast = [=] (juce::Colour c) { return c.getRed() >= level && c.getRed() == c.getBlue(); };
            return boundsOf (image, d.area, greyAtLeast);
        };
        const auto drawn = brighter (0x80);
        const auto where = juce::String (d.what) + " drawn at " + drawn.toString() + ", its box " + d.box.toString();
        EXPECT_TRUE (d.box.contains (drawn)) << where;
        EXPECT_GE (drawn.getWidth(), d.box.getWidth() - 2) << where;
        EXPECT_LE (drawn.getCentre().getDistanceFrom (d.box.getCentre()), 2) << where;
        EXPECT_FALSE (brighter (d.brightest - 3).isEmpty()) << d.what << ": nothing as bright as " << d.brightest - 3;
        EXPECT_TRUE (brighter (d.brightest + 4).isEmpty()) << d.what << ": something brighter than " << d.brightest + 4;
    }
}

TEST_F (FooterTest, ArrowsStepThroughTheFolderWithWrapAround)
{
    const juce::StringArray all { "Alpha", "Beta", "Gamma" };

    for (const int count : { 1, 3 }) // a single preset is reloaded by either arrow
    {
        for (int i = 0; i < count; ++i)
            writePreset (all[i] + ".glp", 200.0f * (float) (i + 1));
        const auto names = footer.createPresetNamesArray();
        ASSERT_EQ (names.size(), count);

        for (int from = 0; from < count; ++from)
            for (const int step : { -1, 1 })
            {
                processor.currentPreset.setName (names[from]);
                setCutoff (processor, 1000.0f);
                const auto* arrow = step < 0 ? "prev" : "next";
                footer.buttonClicked (&child (arrow));
                const auto to = names[(from + step + count) % count];
                const auto where = juce::String (arrow) + " from " + names[from] + " of " + juce::String (count);
                const auto file = folder.getChildFile (to + ".glp");
                EXPECT_EQ (processor.currentPreset.getName(), to) << where;
                EXPECT_EQ (processor.currentPreset.getFilePath(), file.getFullPathName()) << where;
                EXPECT_EQ (cutoff (processor), 200.0f * (float) (all.indexOf (to) + 1)) << where;
            }
    }

    // No file carries the current name exactly: the arrows leave everything alone.
    for (const juce::String current : { "INIT", "ALPHA", "alpha" })
        for (const auto* arrow : { "prev", "next" })
        {
            processor.currentPreset.set (current, "unchanged");
            setCutoff (processor, 1000.0f);
            footer.buttonClicked (&child (arrow));
            const auto where = arrow + juce::String (" from ") + current;
            EXPECT_EQ (processor.currentPreset.getName(), current) << where;
            EXPECT_EQ (processor.currentPreset.getFilePath(), "unchanged") << where;
            EXPECT_EQ (cutoff (processor), 1000.0f) << where;
        }
    EXPECT_TRUE (failures.isEmpty()) << failures.joinIntoString ("\n");
}

TEST_F (FooterTest, ListHoldsThePresetFilesOfTheFolderAndLoadsTheChoice)
{
    writePreset ("Bass v1.2.glp", 500.0f);
    writePreset ("Bass v1.glp", 700.0f); // what swapping the extension in would open for "Bass v1.2"
    ASSERT_TRUE (folder.getChildFile ("Broken.glp").replaceWithText ("this is not a preset"));
    for (const auto* unlisted : { "Notes.txt", "NoExtension", "Sub/Nested.glp" })
        writePreset (unlisted, 900.0f);
    folder.getChildFile ("Folder.glp").createDirectory();

    auto names = footer.createPresetNamesArray();
    names.sort (false);
    ASSERT_EQ (names, juce::StringArray ({ "Bass v1", "Bass v1.2", "Broken" }));
    const auto presets = footer.createPresetList(); // the names' order, each with its file

    for (const juce::String current : { "Bass v1", "Broken", "INIT", "bass v1" })
    {
        processor.currentPreset.setName (current);
        juce::StringArray expected;
        for (const auto& name : names)
        {
            const auto highlight = name == current ? " in " + qrvx::QrvxColours::blue().toString() : juce::String();
            expected.add (juce::String (expected.size() + 1) + " " + name + highlight);
        }
        EXPECT_EQ (describe (footer.createPresetListMenu (names)), expected) << "the menu with " << current << " current";
    }
    const auto options = footer.presetListMenuOptions();
    EXPECT_EQ (options.getTargetComponent(), &child<juce::TextButton>()) << "the list opens from the list button";
    EXPECT_EQ (options.getMaximumNumColumns(), 4) << "the list's columns";

    processor.currentPreset.set ("Current", "current path");
    setCutoff (processor, 1000.0f);
    footer.presetListItemChosen (presets, 0); // dismissed
    footer.presetListItemChosen (presets, names.indexOf ("Broken") + 1);
    footer.updatePresetName();
    EXPECT_EQ (processor.currentPreset.getName(), "Current") << "after dismissing and picking Broken";
    EXPECT_EQ (processor.currentPreset.getFilePath(), "current path") << "after dismissing and picking Broken";
    EXPECT_EQ (cutoff (processor), 1000.0f) << "after dismissing and picking Broken";
    EXPECT_EQ (child<juce::Label>().getText(), "Current") << "after dismissing and picking Broken";
    ASSERT_EQ (failures.size(), 1) << "only the broken preset is refused";
    EXPECT_TRUE (failures[0].contains ("Broken")) << "the refusal names the preset: " << failures[0];
    EXPECT_TRUE (failures[0].contains ("could not load")) << "the refusal says why: " << failures[0];

    footer.presetListItemChosen (presets, names.indexOf ("Bass v1.2") + 1);
    footer.updatePresetName();
    const auto picked = folder.getChildFile ("Bass v1.2.glp");
    EXPECT_EQ (processor.currentPreset.getFilePath(), picked.getFullPathName()) << "after picking Bass v1.2";
    EXPECT_EQ (cutoff (processor), 500.0f) << "after picking Bass v1.2";
    EXPECT_EQ (child<juce::Label>().getText(), "Bass v1.2") << "after picking Bass v1.2";
}

//==============================================================================
TEST_F (FooterTest, SaveFollowsTheExtensionRuleWritesTheValuesOfTheClickAndKeepsTheNameOnFailure)
{
    const auto existing = writePreset ("Bass.glp", 300.0f);

    // Cutoff is set just before each save: the parameter tree's own copy has not caught up yet.
    struct Row { const char* typed; const char* written; };
    const Row rows[] = {
        { "Bass.glp", "Bass.glp" },
        { "Lead",     "Lead.glp" },
        { "Pad.GLP",  "Pad.GLP" },
        { "Pad.txt",  "Pad.glp" },
    };

    for (const auto& row : rows)
    {
        setCutoff (processor, 1234.0f);
        footer.saveFileChosen (folder.getChildFile (row.typed));
        footer.updatePresetName();
        const auto written = folder.getChildFile (row.written);
        EXPECT_FLOAT_EQ (cutoffSavedIn (written), 1234.0f) << row.typed;
        EXPECT_EQ (processor.currentPreset.getFilePath(), written.getFullPathName()) << row.typed;
        EXPECT_EQ (child<juce::Label>().getText(), written.getFileNameWithoutExtension()) << row.typed;
    }

    // The dialog only asked about the file typed: overwriting another one needs its own question.
    writePreset ("Bass.glp", 300.0f);
    setCutoff (processor, 900.0f);
    for (const auto replace : { false, true })
    {
        const auto where = replace ? "Bass.v2, answered replace" : "Bass.v2, answered keep";
        footer.saveFileChosen (folder.getChildFile ("Bass.v2"));
        EXPECT_EQ (questions.getLast(), existing) << where;
        EXPECT_FLOAT_EQ (cutoffSavedIn (existing), 300.0f) << where << ": nothing is written before the answer";
        pendingAnswer (replace);
        EXPECT_FLOAT_EQ (cutoffSavedIn (existing), replace ? 900.0f : 300.0f) << where;
        EXPECT_EQ (processor.currentPreset.getName(), replace ? "Bass" : "Pad") << where;
    }
    footer.saveFileChosen (folder.getChildFile ("Fresh.v2"));
    footer.saveFileChosen ({}); // cancelled
    EXPECT_EQ (questions.size(), 2) << "only the two saves as Bass.v2 ask";
    EXPECT_TRUE (failures.isEmpty()) << failures.joinIntoString ("\n");
    EXPECT_EQ (folder.findChildFiles (juce::File::findFiles, false).size(), 5) << "no Pad.txt, nothing for the cancel";

    // Neither a preset nor the default can be written where a folder is missing or in the way.
    footer.saveFileChosen (folder.getChildFile ("No Such Folder").getChildFile ("Bass"));
    PresetsManager().getDefaultPresetFile().getChildFile ("in the way").create();
    footer.configMenuItemChosen (Footer::saveAsDefaultItem);
    ASSERT_EQ (failures.size(), 2) << failures.joinIntoString ("\n");
    EXPECT_TRUE (failures[0].contains ("Could not write preset")) << "into a missing folder: " << failures[0];
    EXPECT_TRUE (failures[1].contains ("Could not write preset")) << "the default, a folder in the way: " << failures[1];
    EXPECT_EQ (processor.currentPreset.getName(), "Fresh") << "after the failed saves";
    const auto fresh = folder.getChildFile ("Fresh.glp");
    EXPECT_EQ (processor.currentPreset.getFilePath(), fresh.getFullPathName()) << "after the failed saves";
}

TEST_F (FooterTest, ConfigMenuItemsAndTheCrashLog)
{
    const juce::StringArray items {
        "1 INITIALIZE PARAMETERS",
        "2 SAVE CURRENT STATE AS DEFAULT",
        "3 OPEN PRESETS DIRECTORY",
        "4 GO TO CRASH LOG",
        "-10 VEVARERO V 1.0.0 (disabled)",
    };
    EXPECT_EQ (describe (Footer::createConfigMenu()), items) << "the config menu";
    EXPECT_EQ (footer.configMenuOptions().getTargetComponent(), &child ("config")) << "the menu's button";

    processor.currentPreset.setName ("Kept");
    HostEventRecorder host (processor);
    footer.configMenuItemChosen (0); // dismissed
    footer.configMenuItemChosen (Footer::versionItem);
    EXPECT_TRUE (host.events().empty()) << "dismissed or version, the host saw " << host.describe();
    EXPECT_TRUE (revealed.isEmpty()) << "dismissed or version revealed " << revealed.getFirst().getFullPathName();
    EXPECT_TRUE (failures.isEmpty()) << "dismissed or version: " << failures.joinIntoString ("\n");

    setCutoff (processor, 2345.0f); // the default preset gets the values of the moment
    footer.configMenuItemChosen (Footer::saveAsDefaultItem);
    EXPECT_FLOAT_EQ (cutoffSavedIn (folder.getChildFile ("User_Default.glp")), 2345.0f) << "the default's cutoff";
    EXPECT_EQ (processor.currentPreset.getName(), "Kept") << "after saving the default";

    footer.configMenuItemChosen (Footer::openPresetsFolderItem);
    footer.configMenuItemChosen (Footer::crashLogItem);
    const auto home = juce::File::getSpecialLocation (juce::File::userHomeDirectory);
    const auto log = home.getChildFile ("Library/Logs/Ririvud/VevareroLog.txt");
    ASSERT_EQ (revealed, juce::Array<juce::File> ({ folder, log })) << "the presets folder, then the crash log";

    const auto first = log.loadFileAsString();
    auto block = juce::StringArray::fromLines (first.trimEnd());
    block.remove (3); // when the log was opened

    const auto asterisks = juce::String::repeatedString ("*", 58);
    const auto onMac = (juce::SystemStats::getOperatingSystemType() & juce::SystemStats::MacOSX) != 0;
    EXPECT_EQ (block, juce::StringArray ("",
                                         asterisks,
                                         "Ririvud Vevarero",
                                         "",
                                         "Vevarero v 1.0.0",
                                         juce::PluginHostType().getHostDescription(),
                                         (onMac ? "Mac OSX " : "") + juce::SystemStats::getOperatingSystemName(),
                                         "CPU : " + juce::String (juce::SystemStats::getNumCpus()) + " x "
                                             + juce::String (juce::SystemStats::getCpuSpeedInMegahertz()) + " MHz",
                                         "Memory : " + juce::String (juce::SystemStats::getMemorySizeInMegabytes()) + " MB"))
        << "the first block of the log";

    Footer::writeCrashLog(); // a second use adds a second block
    const auto second = log.loadFileAsString();
    EXPECT_TRUE (second.startsWith (first)) << "the second block replaced the first: " << second;
    EXPECT_EQ (juce::StringArray::fromLines (second.trimEnd()).size(), 20) << "lines after the second block";

    // A log above 128 KiB is cut to its tail, from a line start, before the new block.
    juce::MemoryOutputStream text;
    for (int i = 0; text.getDataSize() <= 200000; ++i)
        text << "line " << juce::String (i).paddedLeft ('0', 6) << "\n";
    const auto big = text.toString();
    ASSERT_TRUE (log.replaceWithText (big, false, false, "\n"));

    Footer::writeCrashLog();
    const auto trimmed = log.loadFileAsString();
    const auto kept = trimmed.upToFirstOccurrenceOf ("\r\n" + asterisks, false, false);
    const auto start = "kept from the big log, starting " + kept.substring (0, 20);
    EXPECT_LE (kept.length(), 131072) << start;
    EXPECT_GT (kept.length(), 131072 - 20) << start;
    EXPECT_TRUE (big.endsWith (kept)) << start << ", is not the big log's tail";
    EXPECT_TRUE (kept.trimStart().startsWith ("line ")) << start << ", is not cut at a line start";
    EXPECT_EQ (juce::StringArray::fromLines (trimmed.fromFirstOccurrenceOf (kept, false, false).trimEnd()).size(), 10)
        << "lines of the block after the kept tail";
}

TEST_F (FooterTest, InitializeAndRandomiseWriteUnderTheGestureRule)
{
    const juce::StringArray randomised {
        "Cutoff", "Cutoff_Mod_Depth", "Cutoff_Mod_Source", "Resonance", "Resonance_Mod_Depth", "Resonance_Mod_Source",
        "Distortion_Routing", "Filter_Type", "Rate", "Rate_Mod_Depth", "Rate_Mod_Source", "Bits", "Bits_Mod_Depth",
        "Bits_Mod_Source", "LoFi_Routing", "LFO_1_Rate", "LFO_1_Synced_Rate", "LFO_1_Sync", "LFO_1_Wave", "LFO_2_Rate",
        "LFO_2_Synced_Rate", "LFO_2_Sync", "LFO_2_Wave", "LFOs_Mix"
    };
    const juce::StringArray switches { "Distortion_Routing", "LFO_1_Sync", "LFO_2_Sync" };
    const auto followsTheGestureRule = [] (const HostEventRecorder& h, bool live)
    {
        return live ? h.gestureBegins() + h.gestureEnds() == 0 : h.everyValueInItsOwnGesture();
    };
    processor.currentPreset.setName ("Kept");
    HostEventRecorder host (processor);
    footer.buttonClicked (&child ("rnd"));
    EXPECT_EQ (host.changedParameters(), randomised) << "the first randomise";
    const auto firstCutoff = cutoff (processor);
    footer.buttonClicked (&child ("rnd")); // the footer's source goes on rather than starting again
    EXPECT_NE (cutoff (processor), firstCutoff) << "the second randomise";

    for (const auto live : { false, true })
    {
        const qrvx::HostQuirks::ScopedAbletonLiveOverride inLive (live);
        Footer builtInThisHost (processor); // randomise takes the host at construction, initialise asks when it runs
        for (auto* p : processor.getParameters())
            p->setValueNotifyingHost (p->getDefaultValue() > 0.5f ? 0.0f : 1.0f);

        host.clear();
        footer.configMenuItemChosen (Footer::initializeParametersItem);
        EXPECT_EQ (host.valueChanges(), 29) << "initialise, live " << live;
        for (auto* p : processor.getParameters())
            EXPECT_EQ (p->getValue(), p->getDefaultValue()) << p->getName (40) << ", live " << live;
        EXPECT_TRUE (followsTheGestureRule (host, live)) << "initialise, live " << live << ": " << host.describe();

        // Drive, output level and dry/wet are never drawn; one draw for every other parameter, in order.
        for (juce::int64 seed = 1; seed <= 20; ++seed)
        {
            host.clear();
            juce::Random source (seed), replay (seed);
            builtInThisHost.randomiseParameters (source);
            ASSERT_EQ (host.changedParameters(), randomised) << "seed " << seed << ", live " << live;
            for (const auto& e : host.events())
                if (e.kind == HostEventRecorder::Event::Kind::value)
                {
                    const auto draw = replay.nextFloat();
                    const auto expected = switches.contains (e.parameterID) ? (draw > 0.5f ? 1.0f : 0.0f) : draw;
                    EXPECT_EQ (e.value, expected) << e.parameterID << ", seed " << seed << ", live " << live;
                }
            EXPECT_EQ (source.nextInt(), replay.nextInt()) << "draws used, seed " << seed << ", live " << live;
            EXPECT_TRUE (followsTheGestureRule (host, live))
                << "randomise, seed " << seed << ", live " << live << ": " << host.describe();
        }
    }
    EXPECT_EQ (processor.currentPreset.getName(), "Kept") << "after initialise and randomise";
}

//==============================================================================
TEST_F (FooterTest, ArrowsGoOnPastABrokenPresetAndStartFromANameSetAnotherWay)
{
    writePreset ("A.glp", 200.0f);
    ASSERT_TRUE (folder.getChildFile ("Broken.glp").replaceWithText ("this is not a preset"));
    writePreset ("C.glp", 600.0f);
    const auto presets = footer.createPresetList();
    footer.presetListItemChosen (presets, 1);

    // "pick", "save" and "host" name the current preset another way: the arrows start from it again.
    struct Step { const char* action; const char* name; float cutoff; bool refused; };
    const Step steps[] = {
        { "next",   "A", 200.0f, true },
        { "next",   "C", 600.0f, false },
        { "next",   "A", 200.0f, false },
        { "prev",   "C", 600.0f, false },
        { "prev",   "C", 600.0f, true },
        { "prev",   "A", 200.0f, false },
        { "next",   "A", 200.0f, true },
        { "pick A", "A", 200.0f, false },
        { "next",   "A", 200.0f, true },
        { "save A", "A", 200.0f, false },
        { "next",   "A", 200.0f, true },
        { "host C", "C", 200.0f, false },
        { "next",   "A", 200.0f, false },
    };

    for (size_t i = 0; i < std::size (steps); ++i)
    {
        const auto& step = steps[i];
        const juce::String action (step.action);
        const auto failuresBefore = failures.size();

        if (action == "next" || action == "prev")
            footer.buttonClicked (&child (action));
        else if (action == "pick A")
            footer.presetListItemChosen (presets, 1);
        else if (action == "save A")
            footer.saveFileChosen (folder.getChildFile ("A.glp"));
        else
            processor.currentPreset.setName ("C");

        footer.updatePresetName();
        const auto where = "step " + std::to_string (i) + ", " + step.action;
        EXPECT_EQ (processor.currentPreset.getName(), step.name) << where;
        EXPECT_EQ (child<juce::Label>().getText(), step.name) << where;
        EXPECT_EQ (cutoff (processor), step.cutoff) << where;
        EXPECT_EQ (failures.size() - failuresBefore, step.refused ? 1 : 0) << where;
        if (action != "host C") // a restored name leaves the file path to the host's state
        {
            const auto file = folder.getChildFile (juce::String (step.name) + ".glp");
            EXPECT_EQ (processor.currentPreset.getFilePath(), file.getFullPathName()) << where;
        }
    }
}

TEST_F (FooterTest, FifosAndEndlessFilesAreRefusedWithAReasonAndTheCurrentPresetKept)
{
    const auto a = writePreset ("A.glp", 200.0f);
    const auto fifo = folder.getChildFile ("Fifo.glp");
    ASSERT_TRUE (unreadable::makeFifo (fifo));
    ASSERT_TRUE (unreadable::linkToDevZero (folder.getChildFile ("Zero.glp")));
    const auto presets = footer.createPresetList();
    ASSERT_EQ (qrvx::PresetFolder::namesOf (presets), juce::StringArray ({ "A", "Fifo", "Zero" }));

    struct Step { const char* action; const char* triedName; };
    const Step steps[] = {
        { "pick Fifo", "Fifo" },
        { "pick Zero", "Zero" },
        { "next",      "Fifo" },
        { "next",      "Zero" },
        { "prev",      "Fifo" },
    };

    footer.presetListItemChosen (presets, 1);
    for (const auto& step : steps)
    {
        const juce::String action (step.action);
        const auto failuresBefore = failures.size();
        EXPECT_TRUE (unreadable::finishesWithin (10.0, { fifo }, [&]
        {
            if (action.startsWith ("pick"))
                footer.presetListItemChosen (presets, action.endsWith ("Fifo") ? 2 : 3);
            else
                footer.buttonClicked (&child (action));
        })) << step.action;

        EXPECT_EQ (processor.currentPreset.getName(), "A") << step.action;
        EXPECT_EQ (processor.currentPreset.getFilePath(), a.getFullPathName()) << step.action;
        EXPECT_EQ (cutoff (processor), 200.0f) << step.action;
        ASSERT_EQ (failures.size(), failuresBefore + 1) << step.action;
        const auto reason = "\"" + juce::String (step.triedName) + "\": This is not a regular file, could not load preset.";
        EXPECT_EQ (failures[failures.size() - 1], reason) << step.action;
    }
}

TEST_F (FooterTest, MenuAndArrowsShowEveryCaseOfTheExtensionInNaturalOrder)
{
    // Written in this order: each file's cutoff is 100 Hz times its place here.
    const juce::StringArray files {
        "pad 10.glp", "Pad 2.GLP", "apple.Glp", "Zebra.glp", "pad 1.glp", "Bass v1.2.glp", "Bass v1.glp"
    };
    for (int i = 0; i < files.size(); ++i)
        writePreset (files[i], 100.0f * (float) (i + 1));
    const juce::StringArray order {
        "apple.Glp", "Bass v1.glp", "Bass v1.2.glp", "pad 1.glp", "Pad 2.GLP", "pad 10.glp", "Zebra.glp"
    };

    const auto presets = footer.createPresetList();
    processor.currentPreset.setName ("apple");
    juce::StringArray expectedMenu;
    for (const auto& file : order)
    {
        const auto highlight = file == order[0] ? " in " + qrvx::QrvxColours::blue().toString() : juce::String();
        const auto name = juce::File (file).getFileNameWithoutExtension();
        expectedMenu.add (juce::String (expectedMenu.size() + 1) + " " + name + highlight);
    }
    const auto menu = footer.createPresetListMenu (footer.createPresetNamesArray());
    EXPECT_EQ (describe (menu), expectedMenu) << "the menu, apple current";

    // Each press loads the very file that was listed.
    for (int press = 1; press <= order.size(); ++press)
    {
        footer.buttonClicked (&child ("next"));
        const auto file = folder.getChildFile (order[press % order.size()]);
        EXPECT_EQ (processor.currentPreset.getName(), file.getFileNameWithoutExtension()) << "press " << press;
        EXPECT_EQ (processor.currentPreset.getFilePath(), file.getFullPathName()) << "press " << press;
        EXPECT_EQ (cutoff (processor), 100.0f * (float) (files.indexOf (file.getFileName()) + 1)) << "press " << press;
    }
    footer.presetListItemChosen (presets, order.indexOf ("Pad 2.GLP") + 1);
    const auto pad2 = folder.getChildFile ("Pad 2.GLP");
    EXPECT_EQ (processor.currentPreset.getFilePath(), pad2.getFullPathName()) << "after picking Pad 2.GLP";
    EXPECT_TRUE (failures.isEmpty()) << failures.joinIntoString ("\n");
}
