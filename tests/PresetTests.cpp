#include "PresetTestSupport.h"
#include "presets/ParameterTreeXml.h"

using namespace presettest;

namespace
{
    // Every parameter in creation order: the text a new processor writes, and a hand-written value
    // on the parameter's grid, some in forms the writer itself would not produce.
    const char* const parameterRows[][3] = {
        { "Cutoff", "11000", "500.0" }, { "Resonance", "0", "50" }, { "Filter_Type", "0", "2" },
        { "Drive", "0", "25" }, { "Distortion_Routing", "0", "1" }, { "Rate", "0", "32" }, { "Bits", "16", "8" },
        { "LoFi_Routing", "0", "1" }, { "Amplitude", "0", "-60" }, { "Dry_Wet_Mix", "100", "075" },
        { "LFO_1_Rate", "1", "2" }, { "LFO_1_Synced_Rate", "3", "5" }, { "LFO_1_Sync", "0", "1" }, { "LFO_1_Wave", "0", "4" },
        { "LFO_2_Rate", "1", "0.01" }, { "LFO_2_Synced_Rate", "3", "17" }, { "LFO_2_Sync", "0", "1" }, { "LFO_2_Wave", "0", "6" },
        { "LFOs_Mix", "50", "20" }, { "Cutoff_Mod_Source", "0", "1" }, { "Cutoff_Mod_Depth", "0", "0.5" },
        { "Resonance_Mod_Source", "0", "2" }, { "Resonance_Mod_Depth", "0", "1" }, { "Rate_Mod_Source", "0", "3" },
        { "Rate_Mod_Depth", "0", "0.25" }, { "Bits_Mod_Source", "0", "0" }, { "Bits_Mod_Depth", "0", "0" },
        { "Dry_Wet_Mix_Mod_Source", "0", "3" }, { "Dry_Wet_Mix_Mod_Depth", "0", "1" },
    };

    std::string presetFileOf (int column)
    {
        auto text = fileHeader + "<Vevarero>\r\n";
        for (const auto& row : parameterRows)
            text += std::string ("  <PARAM id=\"") + row[0] + "\" value=\"" + row[column] + "\"/>\r\n";
        return text + "</Vevarero>\r\n";
    }
}

//==============================================================================
TEST (PresetFileFormat, WritesTheExactBytes)
{
    struct Case { juce::var value; const char* written; };
    const Case cases[] = {
        { 11000.0, "11000" },
        { (double) 0.1f, "0.10000000149011611938" },
        { (double) -12.345f, "-12.345000267028808594" },
        { -0.0, "-0" },
        { 5, "5" },
        { "11000.0", "11000.0" },
        { juce::String::fromUTF8 ("a&b<c>\"d\"\ne^`\xc3\xa9\xe2\x82\xac' ok\t[@]"),
          "a&amp;b&lt;c&gt;&quot;d&quot;&#10;e&#94;&#96;&#233;&#8364;' ok&#9;[@]" },
    };

    juce::ValueTree tree ("Vevarero");
    auto expected = fileHeader + "<Vevarero>\r\n";

    for (const auto& c : cases)
    {
        const auto id = "P" + juce::String (tree.getNumChildren());
        tree.appendChild (juce::ValueTree ("PARAM", { { "id", id }, { "value", c.value } }), nullptr);
        expected += "  <PARAM id=\"" + id.toStdString() + "\" value=\"" + c.written + "\"/>\r\n";
    }

    const auto file = freshFolder ("format").getChildFile ("written.glp");
    writeBytes (file, std::string (5000, 'x')); // an older, longer file is replaced whole
    ASSERT_TRUE (PresetsManager::savePreset (tree, file).wasOk());
    EXPECT_EQ (readBytes (file), expected + "</Vevarero>\r\n");

    // A new processor's tree, in creation order; then a value read and unchanged is written back as read.
    VevareroAudioProcessor processor;
    EXPECT_EQ (save (processor, Route::presetFile), presetFileOf (1));
    moveAllAwayFromDefaults (processor);
    writeBytes (file, presetFileOf (2));
    ASSERT_TRUE (PresetsManager::loadPreset (file, processor.valueTreeState).wasOk());

    for (const auto& row : parameterRows)
        EXPECT_EQ (value (processor, row[0]), std::stof (row[2])) << row[0];

    EXPECT_EQ (save (processor, Route::presetFile), presetFileOf (2));

    setValue (processor, "Cutoff", 4560.0f); // just now, before the tree's timer has caught up
    auto changed = presetFileOf (2);
    EXPECT_EQ (save (processor, Route::presetFile), changed.replace (changed.find ("500.0"), 5, "4560"));
    EXPECT_EQ (PresetsManager::wildcardForfileChooser(), "*.glp");
}

TEST (PresetFileFormat, FailuresAreReportedAndWriteNothing)
{
    const auto folder = freshFolder ("failures");
    const auto blocked = folder.getChildFile ("blocked.glp"), inFolderMissing = folder.getChildFile ("missing/a.glp");
    writeBytes (blocked.getChildFile ("inside.txt"), "kept"); // a folder that cannot be replaced

    VevareroAudioProcessor processor;
    EXPECT_EQ (PresetsManager::savePreset (juce::ValueTree(), folder.getChildFile ("invalid.glp")).getErrorMessage(),
               "Invalid preset data supplied, failed to save preset.");

    for (const auto& file : { inFolderMissing, blocked })
    {
        EXPECT_EQ (PresetsManager::savePreset (processor.valueTreeState, file).getErrorMessage(), "Could not write preset to file.");
        EXPECT_EQ (PresetsManager::loadPreset (file, processor.valueTreeState).getErrorMessage(),
                   "Invalid preset file supplied, could not load preset.");
    }

    EXPECT_EQ (readBytes (blocked.getChildFile ("inside.txt")), "kept");
    EXPECT_EQ (folder.getNumberOfChildFiles (juce::File::findFilesAndDirectories), 1) << "something written or left behind";
}

TEST (PresetFileFormat, ReadsWhatCanBeReadSafelyAndRefusesTheRest)
{
    // Unsafe input, left alone, makes JUCE's reader loop for ever, read past the end of its text,
    // exhaust the stack or step past the end of a broken character.
    auto withNote = [] (const std::string& note) { return "<Vevarero><PARAM id=\"Cutoff\" value=\"900\"/><PARAM id=\"Note\" value=\"" + note + "\"/></Vevarero>"; };
    auto nested = [] (int depth, const std::string& attribute)
    {
        std::string open, close;
        for (int i = 1; i < depth; ++i) { open += "<a" + attribute + ">"; close += "</a>"; }
        return "<Vevarero><PARAM id=\"Cutoff\" value=\"500\"/>" + open + close + "</Vevarero>";
    };
    auto utf16 = [] (const std::string& utf8, bool bigEndian)
    {
        std::string bytes = bigEndian ? "\xfe\xff" : "\xff\xfe";
        const auto text = juce::String::fromUTF8 (utf8.c_str());
        for (auto* unit = text.toUTF16().getAddress(); *unit != 0; ++unit)
            bytes += bigEndian ? std::string { (char) (*unit >> 8), (char) *unit } : std::string { (char) *unit, (char) (*unit >> 8) };
        return bytes;
    };
    // A document of exactly the given length, padded by a comment.
    auto padded = [] (size_t length)
    {
        const std::string head = "<Vevarero><PARAM id=\"Cutoff\" value=\"500\"/><!--", tail = "--></Vevarero>";
        return head + std::string (length - head.size() - tail.size(), ' ') + tail;
    };
    const auto longest = qrvx::maximumDocumentSize;

    // A cutoff of 1234, the value before the load, marks a document that is refused.
    struct Case { const char* what; std::string text; float cutoff; const char* note = ""; };
    const Case cases[] = {
        { "empty", "", 1234.0f },
        { "no XML", "just some words", 1234.0f },
        { "unclosed", "<Vevarero><PARAM id=\"Cutoff\" value=\"500\"/>", 1234.0f },
        { "instruction then text", "<r><?" "?>r</r>", 11000.0f },
        { "entity with an instruction", "<!DOCTYPE a [<!ENTITY x \"<b><?p?>t</b>\">]><a><PARAM id=\"Cutoff\" value=\"600\"/>&x;</a>", 600.0f },
        { "reference cut off by the end", "<Vevarero><PARAM id=\"Cutoff\" value=\"500\"/>&#x", 1234.0f },
        { "entity name holding markup", "<Vevarero><PARAM id=\"Cutoff\" value=\"500\"/>&<a>&#1;</a></Vevarero>", 500.0f },
        { "references to no character", withNote ("&#55296;&#x110000;&#0;&#x41;"), 900.0f, " #55296; #x110000; #0;A" },
        { "512 levels, markup in quotes", nested (512, " b=\"/>\" c='>'"), 500.0f },
        { "513 levels", nested (513, ""), 1234.0f },
        { "15000 levels, markup in quotes", nested (15000, " b=\"/>\""), 1234.0f },
        { "UTF-8 with byte-order mark", "\xef\xbb\xbf" + withNote ("caf\xc3\xa9"), 900.0f, "caf\xc3\xa9" },
        { "UTF-16 little-endian", utf16 (withNote ("caf\xc3\xa9"), false), 900.0f, "caf\xc3\xa9" },
        { "UTF-16 big-endian", utf16 (withNote ("caf\xc3\xa9"), true), 900.0f, "caf\xc3\xa9" },
        { "as long as allowed", padded (longest), 500.0f },
        { "as long as allowed, UTF-16", utf16 (padded (longest), false), 500.0f },
        { "one byte too long", padded (longest + 1), 1234.0f },
        { "one byte too long, UTF-16", utf16 (padded (longest + 1), true), 1234.0f },
        { "file too large for any document, however it ends", withNote ("x") + '\0' + std::string (2 * longest, ' '), 1234.0f },
        { "broken bytes growing past the limit", padded (longest - 1) + "\xff", 1234.0f },
        { "document type inside the first", "<!DOCTYPE a [<!DOCTYPE b [<!ENTITY x \"y\">]>]><a><PARAM id=\"Cutoff\" value=\"500\"/>&x;</a>", 500.0f },
        { "document type never ending", "<!DOCTYPE a [<!ENTITY x \"y\"><a><PARAM id=\"Cutoff\" value=\"500\"/></a>", 1234.0f },
        { "second document type, defining an entity", "<!DOCTYPE a x>\n<!--c--><!DOCTYPE a [<!ENTITY x \"&x;&x;\">]><a v=\"&x;\"><PARAM id=\"Cutoff\" value=\"500\"/></a>", 1234.0f },
        { "document type after the root", "<a><PARAM id=\"Cutoff\" value=\"500\"/></a><!doctype a [<!ENTITY x \"y\">]>", 1234.0f },
        { "stray, surrogate and overlong bytes", withNote ("a\xff" "b\xc3\xed\xa0\x80\xe0\x80\xaf"), 900.0f,
          "a\xef\xbf\xbd" "b\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd" },
    };

    const auto file = freshFolder ("reading").getChildFile ("read.glp");

    for (const auto& c : cases)
    {
        VevareroAudioProcessor processor;
        writeBytes (file, c.text);
        setValue (processor, "Cutoff", 1234.0f);
        const auto before = processor.valueTreeState.copyState();
        const auto refused = c.cutoff == 1234.0f;

        EXPECT_EQ (PresetsManager::loadPreset (file, processor.valueTreeState).getErrorMessage(),
                   refused ? "Invalid preset file supplied, could not load preset." : "") << c.what;
        EXPECT_EQ (value (processor, "Cutoff"), c.cutoff) << c.what;
        EXPECT_TRUE (! refused || processor.valueTreeState.copyState().isEquivalentTo (before)) << c.what;
        EXPECT_EQ (processor.valueTreeState.state.getChildWithProperty ("id", "Note")["value"].toString(),
                   juce::String::fromUTF8 (c.note)) << c.what;
    }
}

//==============================================================================
TEST (PresetAndHostState, FuzzFindingsThatOnceTookGigabytesAreRefusedQuickly)
{
    // The fuzzers' seeds include inputs that once made JUCE expand an entity without bound: as
    // preset files (.glp) and as host states (.bin). Each must now be refused outright.
    int presetFiles = 0, hostStates = 0;

    for (const auto& entry : juce::RangedDirectoryIterator (juce::File (VEVARERO_FUZZ_CORPUS_DIR), true,
                                                            "entity-expansion*", juce::File::findFiles))
    {
        const auto file = entry.getFile();
        const auto fromHost = file.hasFileExtension ("bin");
        const auto what = file.getFileName();

        VevareroAudioProcessor processor;
        setValue (processor, "Cutoff", 1234.0f);
        processor.presetName = "Old";
        const auto before = processor.valueTreeState.copyState();
        const auto started = juce::Time::getMillisecondCounterHiRes();

        if (fromHost)
        {
            const auto bytes = readBytes (file);
            processor.setStateInformation (bytes.data(), (int) bytes.size());
            ++hostStates;
        }
        else
        {
            EXPECT_TRUE (PresetsManager::loadPreset (file, processor.valueTreeState).failed()) << what;
            ++presetFiles;
        }

        // Generous for a sanitised build; unbounded, these ran until memory ran out.
        EXPECT_LT (juce::Time::getMillisecondCounterHiRes() - started, 5000.0) << what;
        EXPECT_EQ (processor.presetName, "Old") << what;
        EXPECT_TRUE (processor.valueTreeState.copyState().isEquivalentTo (before)) << what;
    }

    EXPECT_GE (presetFiles, 2);
    EXPECT_GE (hostStates, 2);
}

TEST (PresetAndHostState, WhateverIsReadCanBeSavedAndReadAgain)
{
    // Saving indents, escapes, fills in values and adds children, so a document well within the
    // size limit can become a file or state beyond it: such a document must be refused at once.
    const auto longest = qrvx::maximumDocumentSize;
    const std::string cutoff = "<PARAM id=\"Cutoff\" value=\"500\"/>";
    auto carets = [&cutoff] (size_t count) { return "<Vevarero>" + cutoff + "<PARAM id=\"Note\" value=\"" + std::string (count, '^') + "\"/></Vevarero>"; };
    auto repeated = [&cutoff] (const std::string& child, size_t count)
    {
        std::string text = "<Vevarero>" + cutoff;
        for (size_t i = 0; i < count; ++i) text += child;
        return text + "</Vevarero>";
    };
    auto deepAndWide = [&cutoff] (int depth, size_t siblings)
    {
        std::string open, close;
        for (int i = 2; i < depth; ++i) { open += "<a>"; close += "</a>"; }
        std::string inner;
        for (size_t i = 0; i < siblings; ++i) inner += "<b/>";
        return "<Vevarero>" + cutoff + open + inner + close + "</Vevarero>";
    };

    struct Case { const char* what; std::string text; bool read; };
    const Case cases[] = {
        { "escaped five times over, fitting", carets (longest / 5 - 2000), true },
        { "escaped five times over, too long", carets (longest / 5 + 100), false },
        { "values filled in, fitting", repeated ("<P id=\"Bits\"/>", longest / 40), true },
        { "values filled in, too long", repeated ("<P id=\"Bits\"/>", longest / 20), false },
        { "indented deep, fitting", deepAndWide (300, 100), true },
        { "indented deep, too long", deepAndWide (300, 1500), false },
    };

    auto read = [] (VevareroAudioProcessor& processor, Route route, const std::string& bytes)
    {
        if (route == Route::hostState)
        {
            processor.setStateInformation (bytes.data(), (int) bytes.size());
        }
        else
        {
            const auto file = freshFolder ("again").getChildFile ("read.glp");
            writeBytes (file, bytes);
            PresetsManager::loadPreset (file, processor.valueTreeState);
        }

        return value (processor, "Cutoff") == 500.0f;
    };

    for (const auto route : { Route::presetFile, Route::hostState })
    {
        for (const auto& c : cases)
        {
            const auto what = std::string (route == Route::hostState ? "host state: " : "preset file: ") + c.what;
            ASSERT_LE (c.text.size(), longest) << what;

            VevareroAudioProcessor first, second;
            setValue (first, "Cutoff", 1234.0f);
            setValue (second, "Cutoff", 1234.0f);
            EXPECT_EQ (read (first, route, route == Route::hostState ? blob (c.text) : c.text), c.read) << what;

            if (value (first, "Cutoff") == 500.0f)
            {
                const auto saved = save (first, route);
                EXPECT_TRUE (read (second, route, saved)) << what;
                EXPECT_TRUE (save (second, route) == saved) << what;
            }
        }
    }
}

TEST (PresetAndHostState, AnyDocumentIsTakenAndItsValuesMended)
{
    struct Case { const char* id; const char* attribute; float expected; const char* tag = "PARAM"; };
    const Case cases[] = {
        { "Cutoff", " value=\"nan\"", 11000.0f },
        { "Cutoff", " value=\"1e999\"", 11000.0f },
        { "Cutoff", " value=\"5e9535522460\"", 11000.0f },
        { "Cutoff", " value=\"12abc\"", 11000.0f },
        { "Cutoff", "", 11000.0f },
        { "Cutoff", " value=\"nan\"", 11000.0f, "Knob" }, // the parameters read any child carrying their ID
        { "Cutoff", " value=\" 500 \"", 500.0f },
        { "Cutoff", " value=\"5e-000000000002\"", 80.0f },
        { "Cutoff", " value=\"99999\"", 18000.0f },
        { "Filter_Type", " value=\"7\"", 3.0f },
        { "Filter_Type", " value=\"-2\"", 0.0f },
        { "Bits", " value=\"0\"", 1.0f },
        { "Bits", " value=\"inf\"", 16.0f },
        { "Amplitude", " value=\"-1e300\"", -60.0f },
    };

    for (const auto route : { Route::presetFile, Route::hostState })
    {
        const auto fromHost = route == Route::hostState;
        VevareroAudioProcessor processor;

        for (const auto& c : cases)
        {
            const auto what = std::string (fromHost ? "host state: " : "preset file: ") + c.tag + " " + c.id + c.attribute;
            const auto document = std::string ("<Other><Extra foo=\"bar\"/><Preset_Name Preset_Name=\"From a host\"/><")
                                + c.tag + " id=\"" + c.id + "\"" + c.attribute + "/></Other>";
            moveAllAwayFromDefaults (processor);
            processor.presetName = "INIT";
            load (processor, route, document);

            EXPECT_EQ (value (processor, c.id), c.expected) << what;
            EXPECT_TRUE (othersAtDefault (processor, { c.id })) << what;

            // The tree holds what the parameter holds, so the next save writes a usable number.
            const auto& state = processor.valueTreeState.state;
            EXPECT_EQ ((float) (double) state.getChildWithProperty ("id", c.id)["value"], c.expected) << what;

            // Any root is taken and extra children stay; only the host state carries a name.
            EXPECT_EQ (state.getType().toString(), "Other") << what;
            EXPECT_EQ (state.getChild (0).getType().toString(), "Extra") << what;
            EXPECT_EQ (countChildren (state, "Preset_Name"), fromHost ? 0 : 1) << what;
            EXPECT_EQ (processor.presetName, fromHost ? "From a host" : "INIT") << what;

            EXPECT_EQ (save (processor, route).find (fromHost ? "<Other><Extra foo=\"bar\"/>" : "<Other>\r\n  <Extra foo=\"bar\"/>\r\n"),
                       fromHost ? 8u : fileHeader.size()) << what;

            // Loaded again, the parameter already stands where the value lands and takes no change
            // from the tree, so nothing but the load itself keeps the raw number out of the next save.
            load (processor, route, document);
            const auto saved = save (processor, route);
            const auto attribute = c.tag + std::string (" id=\"") + c.id + "\" value=\"";
            const auto start = std::min (saved.find (attribute) + attribute.size(), saved.size());
            const auto savedValue = saved.substr (start, saved.find ('"', start) - start);
            EXPECT_EQ (juce::String (savedValue).getFloatValue(), c.expected) << what << " loaded twice: " << savedValue;
            EXPECT_EQ (value (processor, c.id), c.expected) << what << " loaded twice";
        }
    }
}
