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

    float cutoff (VevareroAudioProcessor& p) { return p.valueTreeState.getRawParameterValue ("Cutoff")->load(); }

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
            lines.add (juce::String (it.getItem().itemID) + " " + it.getItem().text + (it.getItem().isEnabled ? "" : " (disabled)")
                       + (it.getItem().colour.isTransparent() ? "" : " in " + it.getItem().colour.toString()));
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
            ASSERT_TRUE (folder.createDirectory());
            footer.showFailure = [this] (const juce::String&, const juce::String& message) { failures.add (message); };
            footer.revealToUser = [this] (const juce::File& f) { revealed.add (f); };
            footer.askToReplace = [this] (const juce::File& f, std::function<void (bool)> answer) { questions.add (f); pendingAnswer = answer; };
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
            EXPECT_TRUE (file.getParentDirectory().createDirectory() && PresetsManager::savePreset (writer.valueTreeState, file).wasOk());
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
            for (auto* c : footer.getChildren())
                if (auto* typed = dynamic_cast<ChildType*> (c); typed != nullptr && c->getName() == name)
                    return *typed;
            throw std::runtime_error ("the footer has no child " + name.toStdString());
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
    EXPECT_EQ (footer.getBounds(), Rect (0, 0, 640, 115)); // until the editor lays it out

    const juce::Component* children[] = { &child<juce::Label>(), &child<juce::TextButton>(), &child ("prev"),
                                          &child ("next"), &child ("save"), &child ("config"), &child ("rnd") };
    struct Row { int w, h; Rect expected[7]; };
    const Row rows[] = {
        { 636, 66, { { 223, 13, 191, 20 }, { 223, 13, 191, 20 }, { 198, 13, 20, 20 }, { 419, 13, 20, 20 },
                     { 374, 38, 40, 16 }, { 223, 38, 40, 16 }, { 459, 17, 51, 33 } } },
        { 640, 115, { { 224, 23, 192, 34 }, { 224, 23, 192, 34 }, { 199, 23, 20, 34 }, { 421, 23, 20, 34 },
                      { 376, 62, 40, 27 }, { 224, 62, 40, 27 }, { 461, 29, 51, 58 } } },
    };

    footer.setVisible (true);
    for (const auto& row : rows)
    {
        footer.setSize (row.w, row.h);
        for (size_t i = 0; i < std::size (children); ++i)
            EXPECT_EQ (children[i]->getBounds(), row.expected[i]) << "child " << i << " at " << row.w;

        // A click on the name reaches the invisible list button lying over it.
        EXPECT_EQ (footer.getComponentAt (row.expected[0].getCentre()), children[1]);
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
        EXPECT_EQ (sameImage (normal, down), name == "save" || name == "config") << name << " held down";
    }
    footer.setLookAndFeel (nullptr);
    const auto file = testOutputFile ("footer.png");
    EXPECT_TRUE (file.deleteFile() && juce::PNGImageFormat().writeImageToStream (sheet, *file.createOutputStream()));

    // The plate, between the arrows; its rounded tips are nearly, not fully, covered.
    EXPECT_EQ (boundsOf (image, { 219, 0, 200, 38 }, [] (juce::Colour c) { return c.getGreen() > 0x80 && c.getRed() < 0x40; }),
               Rect (223, 13, 191, 20));

    // The top shade fades from its grey at the top edge into the background over ten rows.
    const auto shade = [&] (int y) { return (int) image.getPixelAt (5, y).getRed(); };
    EXPECT_TRUE (std::abs (shade (0) - 0x27) <= 2 && shade (0) > shade (3) && shade (3) > shade (6) && shade (6) > 0x19) << shade (3);
    EXPECT_EQ (image.getPixelAt (5, 10), juce::Colour (0xff191919));

    // The logotype is white and the wordmark light grey, each centred in its box and as wide as it.
    struct Drawing { Rect area, box; int brightest; };
    for (const auto& d : { Drawing { { 0, 0, 200, 66 }, { 13, 13, 153, 40 }, 0xff }, Drawing { { 520, 0, 116, 66 }, { 528, 20, 95, 26 }, 0xbd } })
    {
        const auto brighter = [&] (int level) { return boundsOf (image, d.area, [=] (juce::Colour c) { return c.getRed() >= level && c.getRed() == c.getBlue(); }); };
        const auto drawn = brighter (0x80);
        EXPECT_TRUE (d.box.contains (drawn) && drawn.getWidth() >= d.box.getWidth() - 2 && drawn.getCentre().getDistanceFrom (d.box.getCentre()) <= 2)
            << drawn.toString() << " in " << d.box.toString();
        EXPECT_TRUE (! brighter (d.brightest - 3).isEmpty() && brighter (d.brightest + 4).isEmpty()) << d.brightest;
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
                footer.buttonClicked (&child (step < 0 ? "prev" : "next"));
                const auto to = names[(from + step + count) % count];
                EXPECT_TRUE (processor.currentPreset.getName() == to && processor.currentPreset.getFilePath() == folder.getChildFile (to + ".glp").getFullPathName()
                             && cutoff (processor) == 200.0f * (float) (all.indexOf (to) + 1)) << step << " from " << from;
            }
    }

    // No file carries the current name exactly: the arrows leave everything alone.
    for (const juce::String current : { "INIT", "ALPHA", "alpha" })
        for (const auto* arrow : { "prev", "next" })
        {
            processor.currentPreset.set (current, "unchanged");
            setCutoff (processor, 1000.0f);
            footer.buttonClicked (&child (arrow));
            EXPECT_TRUE (processor.currentPreset.getName() == current && processor.currentPreset.getFilePath() == "unchanged" && cutoff (processor) == 1000.0f) << current << arrow;
        }
    EXPECT_TRUE (failures.isEmpty());
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
            expected.add (juce::String (expected.size() + 1) + " " + name + (name == current ? " in " + qrvx::QrvxColours::blue().toString() : ""));
        EXPECT_EQ (describe (footer.createPresetListMenu (names)), expected);
    }
    const auto options = footer.presetListMenuOptions();
    EXPECT_TRUE (options.getTargetComponent() == &child<juce::TextButton>() && options.getMaximumNumColumns() == 4);

    processor.currentPreset.set ("Current", "current path");
    setCutoff (processor, 1000.0f);
    footer.presetListItemChosen (presets, 0); // dismissed
    footer.presetListItemChosen (presets, names.indexOf ("Broken") + 1);
    footer.updatePresetName();
    EXPECT_TRUE (processor.currentPreset.getName() == "Current" && processor.currentPreset.getFilePath() == "current path" && cutoff (processor) == 1000.0f);
    EXPECT_EQ (child<juce::Label>().getText(), "Current");
    ASSERT_EQ (failures.size(), 1) << "only the broken preset is refused";
    EXPECT_TRUE (failures[0].contains ("Broken") && failures[0].contains ("could not load")) << failures[0];

    footer.presetListItemChosen (presets, names.indexOf ("Bass v1.2") + 1);
    footer.updatePresetName();
    EXPECT_TRUE (processor.currentPreset.getFilePath() == folder.getChildFile ("Bass v1.2.glp").getFullPathName() && cutoff (processor) == 500.0f);
    EXPECT_EQ (child<juce::Label>().getText(), "Bass v1.2");
}

//==============================================================================
TEST_F (FooterTest, SaveFollowsTheExtensionRuleWritesTheValuesOfTheClickAndKeepsTheNameOnFailure)
{
    const auto existing = writePreset ("Bass.glp", 300.0f);

    // Cutoff is set just before each save: the parameter tree's own copy has not caught up yet.
    struct Row { const char* typed; const char* written; };
    for (const auto& row : { Row { "Bass.glp", "Bass.glp" }, Row { "Lead", "Lead.glp" }, Row { "Pad.GLP", "Pad.GLP" }, Row { "Pad.txt", "Pad.glp" } })
    {
        setCutoff (processor, 1234.0f);
        footer.saveFileChosen (folder.getChildFile (row.typed));
        footer.updatePresetName();
        const auto written = folder.getChildFile (row.written);
        EXPECT_FLOAT_EQ (cutoffSavedIn (written), 1234.0f) << row.typed;
        EXPECT_TRUE (processor.currentPreset.getFilePath() == written.getFullPathName() && child<juce::Label>().getText() == written.getFileNameWithoutExtension());
    }

    // The dialog only asked about the file typed: overwriting another one needs its own question.
    writePreset ("Bass.glp", 300.0f);
    setCutoff (processor, 900.0f);
    for (const auto replace : { false, true })
    {
        footer.saveFileChosen (folder.getChildFile ("Bass.v2"));
        EXPECT_EQ (questions.getLast(), existing);
        EXPECT_FLOAT_EQ (cutoffSavedIn (existing), 300.0f) << "nothing is written before the answer";
        pendingAnswer (replace);
        EXPECT_FLOAT_EQ (cutoffSavedIn (existing), replace ? 900.0f : 300.0f);
        EXPECT_EQ (processor.currentPreset.getName(), replace ? "Bass" : "Pad");
    }
    footer.saveFileChosen (folder.getChildFile ("Fresh.v2"));
    footer.saveFileChosen ({}); // cancelled
    EXPECT_TRUE (questions.size() == 2 && failures.isEmpty());
    EXPECT_EQ (folder.findChildFiles (juce::File::findFiles, false).size(), 5); // no Pad.txt, nothing for the cancel

    // Neither a preset nor the default can be written where a folder is missing or in the way.
    footer.saveFileChosen (folder.getChildFile ("No Such Folder").getChildFile ("Bass"));
    PresetsManager().getDefaultPresetFile().getChildFile ("in the way").create();
    footer.configMenuItemChosen (Footer::saveAsDefaultItem);
    ASSERT_EQ (failures.size(), 2);
    EXPECT_TRUE (failures[0].contains ("Could not write preset") && failures[1].contains ("Could not write preset")) << failures.joinIntoString ("\n");
    EXPECT_TRUE (processor.currentPreset.getName() == "Fresh" && processor.currentPreset.getFilePath() == folder.getChildFile ("Fresh.glp").getFullPathName());
}

TEST_F (FooterTest, ConfigMenuItemsAndTheCrashLog)
{
    EXPECT_EQ (describe (Footer::createConfigMenu()), juce::StringArray ({ "1 INITIALIZE PARAMETERS", "2 SAVE CURRENT STATE AS DEFAULT",
                                                                           "3 OPEN PRESETS DIRECTORY", "4 GO TO CRASH LOG", "-10 VEVARERO V 1.0.0 (disabled)" }));
    EXPECT_EQ (footer.configMenuOptions().getTargetComponent(), &child ("config"));

    processor.currentPreset.setName ("Kept");
    HostEventRecorder host (processor);
    footer.configMenuItemChosen (0); // dismissed
    footer.configMenuItemChosen (Footer::versionItem);
    EXPECT_TRUE (host.events().empty() && revealed.isEmpty() && failures.isEmpty());

    setCutoff (processor, 2345.0f); // the default preset gets the values of the moment
    footer.configMenuItemChosen (Footer::saveAsDefaultItem);
    EXPECT_FLOAT_EQ (cutoffSavedIn (folder.getChildFile ("User_Default.glp")), 2345.0f);
    EXPECT_EQ (processor.currentPreset.getName(), "Kept");

    footer.configMenuItemChosen (Footer::openPresetsFolderItem);
    footer.configMenuItemChosen (Footer::crashLogItem);
    const auto log = juce::File::getSpecialLocation (juce::File::userHomeDirectory).getChildFile ("Library/Logs/Ririvud/VevareroLog.txt");
    ASSERT_EQ (revealed, juce::Array<juce::File> ({ folder, log }));

    const auto first = log.loadFileAsString();
    auto block = juce::StringArray::fromLines (first.trimEnd());
    block.remove (3); // when the log was opened

    const auto asterisks = juce::String::repeatedString ("*", 58);
    const auto onMac = (juce::SystemStats::getOperatingSystemType() & juce::SystemStats::MacOSX) != 0;
    EXPECT_EQ (block, juce::StringArray ("", asterisks, "Ririvud Vevarero", "", "Vevarero v 1.0.0", juce::PluginHostType().getHostDescription(),
                                         (onMac ? "Mac OSX " : "") + juce::SystemStats::getOperatingSystemName(),
                                         "CPU : " + juce::String (juce::SystemStats::getNumCpus()) + " x "
                                             + juce::String (juce::SystemStats::getCpuSpeedInMegahertz()) + " MHz",
                                         "Memory : " + juce::String (juce::SystemStats::getMemorySizeInMegabytes()) + " MB"));

    Footer::writeCrashLog(); // a second use adds a second block
    EXPECT_TRUE (log.loadFileAsString().startsWith (first) && juce::StringArray::fromLines (log.loadFileAsString().trimEnd()).size() == 20);

    // A log above 128 KiB is cut to its tail, from a line start, before the new block.
    juce::MemoryOutputStream text;
    for (int i = 0; text.getDataSize() <= 200000; ++i)
        text << "line " << juce::String (i).paddedLeft ('0', 6) << "\n";
    const auto big = text.toString();
    ASSERT_TRUE (log.replaceWithText (big, false, false, "\n"));

    Footer::writeCrashLog();
    const auto trimmed = log.loadFileAsString();
    const auto kept = trimmed.upToFirstOccurrenceOf ("\r\n" + asterisks, false, false);
    EXPECT_TRUE (kept.length() <= 131072 && kept.length() > 131072 - 20 && big.endsWith (kept) && kept.trimStart().startsWith ("line "))
        << kept.length() << ": " << kept.substring (0, 20);
    EXPECT_EQ (juce::StringArray::fromLines (trimmed.fromFirstOccurrenceOf (kept, false, false).trimEnd()).size(), 10);
}

TEST_F (FooterTest, InitializeAndRandomiseWriteUnderTheGestureRule)
{
    const juce::StringArray randomised { "Cutoff", "Cutoff_Mod_Depth", "Cutoff_Mod_Source", "Resonance", "Resonance_Mod_Depth", "Resonance_Mod_Source",
                                         "Distortion_Routing", "Filter_Type", "Rate", "Rate_Mod_Depth", "Rate_Mod_Source", "Bits", "Bits_Mod_Depth",
                                         "Bits_Mod_Source", "LoFi_Routing", "LFO_1_Rate", "LFO_1_Synced_Rate", "LFO_1_Sync", "LFO_1_Wave", "LFO_2_Rate",
                                         "LFO_2_Synced_Rate", "LFO_2_Sync", "LFO_2_Wave", "LFOs_Mix" };
    const juce::StringArray switches { "Distortion_Routing", "LFO_1_Sync", "LFO_2_Sync" };
    const auto followsTheGestureRule = [] (const HostEventRecorder& h, bool live) { return live ? h.gestureBegins() + h.gestureEnds() == 0 : h.everyValueInItsOwnGesture(); };
    processor.currentPreset.setName ("Kept");
    HostEventRecorder host (processor);
    footer.buttonClicked (&child ("rnd"));
    EXPECT_EQ (host.changedParameters(), randomised);
    const auto firstCutoff = cutoff (processor);
    footer.buttonClicked (&child ("rnd")); // the footer's source goes on rather than starting again
    EXPECT_NE (cutoff (processor), firstCutoff);

    for (const auto live : { false, true })
    {
        const qrvx::HostQuirks::ScopedAbletonLiveOverride inLive (live);
        Footer builtInThisHost (processor); // randomise takes the host at construction, initialise asks when it runs
        for (auto* p : processor.getParameters())
            p->setValueNotifyingHost (p->getDefaultValue() > 0.5f ? 0.0f : 1.0f);

        host.clear();
        footer.configMenuItemChosen (Footer::initializeParametersItem);
        EXPECT_EQ (host.valueChanges(), 29);
        for (auto* p : processor.getParameters())
            EXPECT_EQ (p->getValue(), p->getDefaultValue()) << p->getName (40);
        EXPECT_TRUE (followsTheGestureRule (host, live)) << "initialise, live " << live;

        // Drive, output level and dry/wet are never drawn; one draw for every other parameter, in order.
        for (juce::int64 seed = 1; seed <= 20; ++seed)
        {
            host.clear();
            juce::Random source (seed), replay (seed);
            builtInThisHost.randomiseParameters (source);
            ASSERT_EQ (host.changedParameters(), randomised) << "seed " << seed;
            for (const auto& e : host.events())
                if (e.kind == HostEventRecorder::Event::Kind::value)
                {
                    const auto draw = replay.nextFloat();
                    EXPECT_EQ (e.value, switches.contains (e.parameterID) ? (draw > 0.5f ? 1.0f : 0.0f) : draw) << e.parameterID;
                }
            EXPECT_EQ (source.nextInt(), replay.nextInt()) << "seed " << seed;
            EXPECT_TRUE (followsTheGestureRule (host, live)) << "randomise, live " << live;
        }
    }
    EXPECT_EQ (processor.currentPreset.getName(), "Kept");
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
        { "next", "A", 200.0f, true },      { "next", "C", 600.0f, false },     { "next", "A", 200.0f, false },
        { "prev", "C", 600.0f, false },     { "prev", "C", 600.0f, true },      { "prev", "A", 200.0f, false },
        { "next", "A", 200.0f, true },      { "pick A", "A", 200.0f, false },   { "next", "A", 200.0f, true },
        { "save A", "A", 200.0f, false },   { "next", "A", 200.0f, true },      { "host C", "C", 200.0f, false },
        { "next", "A", 200.0f, false },
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
            EXPECT_EQ (processor.currentPreset.getFilePath(), folder.getChildFile (juce::String (step.name) + ".glp").getFullPathName()) << where;
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
    const Step steps[] = { { "pick Fifo", "Fifo" }, { "pick Zero", "Zero" }, { "next", "Fifo" }, { "next", "Zero" }, { "prev", "Fifo" } };

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

        EXPECT_TRUE (processor.currentPreset.getName() == "A" && processor.currentPreset.getFilePath() == a.getFullPathName() && cutoff (processor) == 200.0f)
            << step.action << ": " << processor.currentPreset.getName() << " at " << cutoff (processor);
        ASSERT_EQ (failures.size(), failuresBefore + 1) << step.action;
        EXPECT_EQ (failures[failures.size() - 1], "\"" + juce::String (step.triedName) + "\": This is not a regular file, could not load preset.") << step.action;
    }
}

TEST_F (FooterTest, MenuAndArrowsShowEveryCaseOfTheExtensionInNaturalOrder)
{
    const juce::StringArray files { "pad 10.glp", "Pad 2.GLP", "apple.Glp", "Zebra.glp", "pad 1.glp", "Bass v1.2.glp", "Bass v1.glp" };
    for (int i = 0; i < files.size(); ++i)
        writePreset (files[i], 100.0f * (float) (i + 1));
    const juce::StringArray order { "apple.Glp", "Bass v1.glp", "Bass v1.2.glp", "pad 1.glp", "Pad 2.GLP", "pad 10.glp", "Zebra.glp" };

    const auto presets = footer.createPresetList();
    processor.currentPreset.setName ("apple");
    juce::StringArray expectedMenu;
    for (const auto& file : order)
        expectedMenu.add (juce::String (expectedMenu.size() + 1) + " " + juce::File (file).getFileNameWithoutExtension()
                          + (file == order[0] ? " in " + qrvx::QrvxColours::blue().toString() : ""));
    EXPECT_EQ (describe (footer.createPresetListMenu (footer.createPresetNamesArray())), expectedMenu);

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
    EXPECT_EQ (processor.currentPreset.getFilePath(), folder.getChildFile ("Pad 2.GLP").getFullPathName());
    EXPECT_TRUE (failures.isEmpty()) << failures.joinIntoString ("\n");
}
