#include "FooterTestSupport.h"
#include "editor/HostQuirks.h"

#include <map>
#include <regex>

using namespace footertest;

namespace
{
    class FooterActionTest : public FooterTest
    {
    protected:
        void SetUp() override
        {
            FooterTest::SetUp();
            Footer::getCrashLogFile().getParentDirectory().deleteRecursively();
            footer->revealToUser = [this] (const juce::File& f) { revealed.add (f); };
            footer->askToReplace = [this] (const juce::File& f, std::function<void (bool)> answer)
            {
                questions.add (f);
                pendingAnswer = std::move (answer);
            };
        }

        void TearDown() override
        {
            Footer::getCrashLogFile().getParentDirectory().deleteRecursively();
            FooterTest::TearDown();
        }

        /** Cutoff that a preset file holds, read back through the loader. */
        float cutoffSavedIn (const juce::File& file)
        {
            const auto before = cutoff (processor);
            EXPECT_TRUE (PresetsManager::loadPreset (file, processor.valueTreeState).wasOk()) << file.getFullPathName();
            const auto saved = cutoff (processor);
            setCutoff (processor, before);
            return saved;
        }

        juce::Array<juce::File> revealed, questions;
        std::function<void (bool)> pendingAnswer;
    };

    juce::StringArray allParameterIDs (VevareroAudioProcessor& p)
    {
        juce::StringArray ids;
        for (auto* parameter : p.getParameters())
            ids.add (dynamic_cast<juce::AudioProcessorParameterWithID&> (*parameter).paramID);
        return ids;
    }

    juce::StringArray lines (const juce::String& text)
    {
        juce::StringArray result;
        result.addLines (text.trimEnd());
        return result;
    }

    /** Some value in 0..1 that differs from seed to seed. */
    float source01 (juce::int64 seed) { return (float) (seed % 7) / 7.0f; }

    const juce::String asterisks = juce::String::repeatedString ("*", 58);
}

//==============================================================================
TEST_F (FooterActionTest, SaveNamesTheFileByTheExtensionRuleAndWritesCurrentValues)
{
    struct Row { const char* typed; const char* written; };
    const Row rows[] = { { "Bass", "Bass.glp" }, { "Lead.GLP", "Lead.GLP" }, { "Pad.txt", "Pad.glp" } };

    for (const auto& row : rows)
    {
        // Set just before the click: the parameter tree's own copy has not caught up yet.
        setCutoff (processor, 1234.0f);
        footer->saveFileChosen (folder.getChildFile (row.typed));

        const auto written = folder.getChildFile (row.written);
        EXPECT_TRUE (written.existsAsFile()) << row.typed;
        EXPECT_FLOAT_EQ (cutoffSavedIn (written), 1234.0f) << row.typed;
        EXPECT_EQ (processor.presetFilePath, written.getFullPathName());

        const auto shownBefore = label().getText();
        footer->updatePresetName();
        EXPECT_EQ (label().getText(), written.getFileNameWithoutExtension()) << row.typed << " (was " << shownBefore << ")";
    }

    EXPECT_FALSE (folder.getChildFile ("Pad.txt").exists());
    EXPECT_TRUE (failures.isEmpty() && questions.isEmpty());

    // Cancelled: nothing written, nothing renamed.
    const auto filesBefore = folder.findChildFiles (juce::File::findFiles, false).size();
    footer->saveFileChosen ({});
    EXPECT_EQ (folder.findChildFiles (juce::File::findFiles, false).size(), filesBefore);
    EXPECT_EQ (processor.presetName, "Pad");
}

TEST_F (FooterActionTest, FailedSavesKeepTheCurrentPresetAndSayWhy)
{
    processor.presetName = "Kept";
    processor.presetFilePath = "kept path";

    footer->saveFileChosen (folder.getChildFile ("No Such Folder").getChildFile ("Bass"));
    ASSERT_EQ (failures.size(), 1);
    EXPECT_TRUE (failures[0].contains ("Could not write preset to file.")) << failures[0];

    // The default preset's name taken by a folder: it cannot be written either.
    PresetsManager().getDefaultPresetFile().getChildFile ("keeps the folder").create();
    footer->configMenuItemChosen (Footer::saveAsDefaultItem);
    ASSERT_EQ (failures.size(), 2);
    EXPECT_TRUE (failures[1].contains ("Could not write preset to file.")) << failures[1];

    EXPECT_EQ (processor.presetName, "Kept");
    EXPECT_EQ (processor.presetFilePath, "kept path");
}

TEST_F (FooterActionTest, AsksBeforeTheExtensionRuleOverwritesAnotherFile)
{
    const auto existing = writePreset ("Bass.glp", 300.0f);
    setCutoff (processor, 900.0f);

    // The typed file itself: the dialog has already asked.
    footer->saveFileChosen (existing);
    EXPECT_TRUE (questions.isEmpty());
    EXPECT_FLOAT_EQ (cutoffSavedIn (existing), 900.0f);

    writePreset ("Bass.glp", 300.0f);
    processor.presetName = "Before";

    for (const auto replace : { false, true })
    {
        questions.clear();
        footer->saveFileChosen (folder.getChildFile ("Bass.v2"));
        ASSERT_EQ (questions.size(), 1);
        EXPECT_EQ (questions[0], existing);
        EXPECT_FLOAT_EQ (cutoffSavedIn (existing), 300.0f) << "nothing written before the answer";

        pendingAnswer (replace);
        EXPECT_FLOAT_EQ (cutoffSavedIn (existing), replace ? 900.0f : 300.0f);
        EXPECT_EQ (processor.presetName, replace ? "Bass" : "Before");
    }

    EXPECT_FALSE (folder.getChildFile ("Bass.v2").exists());
    footer->saveFileChosen (folder.getChildFile ("Fresh.v2")); // nothing to overwrite: no question
    EXPECT_EQ (questions.size(), 1);
    EXPECT_TRUE (folder.getChildFile ("Fresh.glp").existsAsFile());
}

//==============================================================================
TEST_F (FooterActionTest, ConfigMenuItems)
{
    const auto menu = Footer::createConfigMenu();
    struct Row { int id; const char* text; bool enabled; };
    const Row expected[] = { { 1, "INITIALIZE PARAMETERS", true }, { 2, "SAVE CURRENT STATE AS DEFAULT", true },
                             { 3, "OPEN PRESETS DIRECTORY", true }, { 4, "GO TO CRASH LOG", true },
                             { -10, "VEVARERO V 1.0.0", false } };

    size_t index = 0;
    for (juce::PopupMenu::MenuItemIterator it (menu); it.next(); ++index)
    {
        ASSERT_LT (index, std::size (expected));
        const auto& item = it.getItem();
        EXPECT_EQ (item.itemID, expected[index].id);
        EXPECT_EQ (item.text, expected[index].text);
        EXPECT_EQ (item.isEnabled, expected[index].enabled);
        EXPECT_FALSE (item.isTicked || item.isSeparator);
    }
    EXPECT_EQ (index, std::size (expected));

    const auto options = footer->configMenuOptions();
    EXPECT_EQ (options.getTargetComponent(), &button ("config"));
    EXPECT_EQ (options.getItemThatMustBeVisible(), 1);
    EXPECT_EQ (options.getMinimumWidth(), 40);
    EXPECT_EQ (options.getMaximumNumColumns(), 0);

    // The version line and a dismissed menu do nothing.
    processor.presetName = "Kept";
    HostEventRecorder host (processor);
    for (const auto id : { 0, -10, 5 })
        footer->configMenuItemChosen (id);
    EXPECT_TRUE (host.events().empty() && revealed.isEmpty() && failures.isEmpty());

    footer->configMenuItemChosen (Footer::openPresetsFolderItem);
    ASSERT_EQ (revealed.size(), 1);
    EXPECT_EQ (revealed[0], folder);

    // The default preset gets the values of the moment; the current name stays.
    setCutoff (processor, 2345.0f);
    footer->configMenuItemChosen (Footer::saveAsDefaultItem);
    EXPECT_FLOAT_EQ (cutoffSavedIn (folder.getChildFile ("User_Default.glp")), 2345.0f);
    EXPECT_EQ (processor.presetName, "Kept");
}

TEST_F (FooterActionTest, InitializeSetsEveryParameterToItsDefaultUnderTheGestureRule)
{
    const auto ids = allParameterIDs (processor);
    ASSERT_EQ (ids.size(), 29);
    processor.presetName = "Kept";

    for (const auto live : { false, true })
    {
        for (auto* p : processor.getParameters())
            p->setValueNotifyingHost (p->getDefaultValue() > 0.5f ? 0.0f : 1.0f);

        // The footer was built outside Live: this action asks again when it runs.
        const qrvx::HostQuirks::ScopedAbletonLiveOverride host (live);
        HostEventRecorder recorder (processor);
        footer->configMenuItemChosen (Footer::initializeParametersItem);

        for (auto* p : processor.getParameters())
            EXPECT_EQ (p->getValue(), p->getDefaultValue()) << p->getName (40);

        EXPECT_EQ (recorder.changedParameters(), ids);
        if (live)
            EXPECT_EQ (recorder.gestureBegins() + recorder.gestureEnds(), 0);
        else
            EXPECT_TRUE (recorder.everyValueInItsOwnGesture());
    }
    EXPECT_EQ (processor.presetName, "Kept");
}

TEST_F (FooterActionTest, RandomiseDrawsOncePerParameterInOrderAndLeavesLevelsAlone)
{
    const juce::StringArray order {
        "Cutoff", "Cutoff_Mod_Depth", "Cutoff_Mod_Source", "Resonance", "Resonance_Mod_Depth", "Resonance_Mod_Source",
        "Distortion_Routing", "Filter_Type", "Rate", "Rate_Mod_Depth", "Rate_Mod_Source", "Bits", "Bits_Mod_Depth",
        "Bits_Mod_Source", "LoFi_Routing", "LFO_1_Rate", "LFO_1_Synced_Rate", "LFO_1_Sync", "LFO_1_Wave",
        "LFO_2_Rate", "LFO_2_Synced_Rate", "LFO_2_Sync", "LFO_2_Wave", "LFOs_Mix"
    };
    const juce::StringArray switches { "Distortion_Routing", "LFO_1_Sync", "LFO_2_Sync" };
    const juce::StringArray untouched { "Drive", "Amplitude", "Dry_Wet_Mix", "Dry_Wet_Mix_Mod_Source", "Dry_Wet_Mix_Mod_Depth" };

    {
        HostEventRecorder recorder (processor);
        footer->buttonClicked (&button ("rnd"));
        EXPECT_EQ (recorder.changedParameters(), order) << "the dice button draws from the footer's own source";
    }

    for (const auto live : { false, true })
    {
        const qrvx::HostQuirks::ScopedAbletonLiveOverride host (live);
        Footer liveAwareFooter (processor); // takes the host at construction

        for (juce::int64 seed = 1; seed <= 40; ++seed)
        {
            std::map<juce::String, float> before;
            for (const auto& id : untouched)
            {
                setNormalisedValue (processor, id, source01 (seed));
                before[id] = normalisedValue (processor, id);
            }

            HostEventRecorder recorder (processor);
            juce::Random source (seed);
            liveAwareFooter.randomiseParameters (source);

            ASSERT_EQ (recorder.changedParameters(), order) << "seed " << seed;

            juce::Random replay (seed); // one draw per parameter, in the same order
            for (const auto& e : recorder.events())
                if (e.kind == HostEventRecorder::Event::Kind::value)
                {
                    const auto draw = replay.nextFloat();
                    EXPECT_EQ (e.value, switches.contains (e.parameterID) ? (draw > 0.5f ? 1.0f : 0.0f) : draw) << e.parameterID;
                }
            EXPECT_EQ (source.nextInt(), replay.nextInt()) << "seed " << seed;

            for (const auto& id : untouched)
                ASSERT_EQ (normalisedValue (processor, id), before[id]) << id;

            if (live)
                EXPECT_EQ (recorder.gestureBegins() + recorder.gestureEnds(), 0);
            else
                EXPECT_TRUE (recorder.everyValueInItsOwnGesture());
        }
    }
}

//==============================================================================
TEST_F (FooterActionTest, CrashLogAppendsABlockPerUseAndTrimsLargeLogs)
{
    const auto log = Footer::getCrashLogFile();
    EXPECT_EQ (log, juce::File::getSpecialLocation (juce::File::userHomeDirectory)
                        .getChildFile ("Library/Logs/Ririvud/VevareroLog.txt"));

    footer->configMenuItemChosen (Footer::crashLogItem);
    ASSERT_EQ (revealed.size(), 1);
    EXPECT_EQ (revealed[0], log);

    const auto first = log.loadFileAsString();
    const auto block = lines (first);
    ASSERT_EQ (block.size(), 10) << first;

    EXPECT_EQ (block[0], "");
    EXPECT_EQ (block[1], asterisks);
    EXPECT_EQ (block[2], "Ririvud Vevarero");
    EXPECT_TRUE (block[3].startsWith ("Log started: "));
    EXPECT_EQ (block[4], "");
    EXPECT_EQ (block[5], "Vevarero v 1.0.0");
    EXPECT_EQ (block[6], juce::PluginHostType().getHostDescription());
   #if JUCE_MAC
    EXPECT_EQ (block[7], "Mac OSX " + juce::SystemStats::getOperatingSystemName());
   #else
    EXPECT_EQ (block[7], juce::SystemStats::getOperatingSystemName());
   #endif
    EXPECT_TRUE (std::regex_match (block[8].toStdString(), std::regex ("CPU : [1-9][0-9]* x [0-9]+ MHz"))) << block[8];
    EXPECT_TRUE (std::regex_match (block[9].toStdString(), std::regex ("Memory : [1-9][0-9]* MB"))) << block[9];
    EXPECT_TRUE (first.endsWith ("MB\r\n"));

    // A second use appends a second block and keeps the first.
    Footer::writeCrashLog();
    const auto second = log.loadFileAsString();
    EXPECT_TRUE (second.startsWith (first));
    EXPECT_EQ (lines (second).size(), 20);

    // A log above 128 KiB is cut to its tail, from a line start, before the new block.
    juce::MemoryOutputStream text;
    for (int i = 0; text.getDataSize() <= 200000; ++i)
        text << "line " << juce::String (i).paddedLeft ('0', 6) << "\n";
    const auto big = text.toString();
    ASSERT_TRUE (log.replaceWithText (big, false, false, "\n"));

    Footer::writeCrashLog();
    const auto trimmed = log.loadFileAsString();
    const auto kept = trimmed.upToFirstOccurrenceOf ("\r\n" + asterisks, false, false);

    EXPECT_LE (kept.length(), 131072);
    EXPECT_GT (kept.length(), 131072 - 20);
    EXPECT_TRUE (big.endsWith (kept));
    EXPECT_TRUE (kept.trimStart().startsWith ("line ")) << kept.substring (0, 20);
    EXPECT_EQ (lines (trimmed.fromFirstOccurrenceOf (kept, false, false)).size(), 10);
}
