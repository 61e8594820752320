#include "PresetTestSupport.h"
#include "presets/PresetsManager.h"

using namespace presettest;
using qrvx::PresetsManager;

namespace
{
    const std::string header = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n\r\n \r\n";

    // A preset in the written form, every value on its parameter's grid, some in text forms the
    // writer itself would not produce ("500.0", "075").
    const std::string handWrittenPreset = header
        + "<Vevarero>\r\n"
          "  <PARAM id=\"Cutoff\" value=\"500.0\"/>\r\n"
          "  <PARAM id=\"Resonance\" value=\"50\"/>\r\n"
          "  <PARAM id=\"Filter_Type\" value=\"2\"/>\r\n"
          "  <PARAM id=\"Drive\" value=\"25\"/>\r\n"
          "  <PARAM id=\"Distortion_Routing\" value=\"1\"/>\r\n"
          "  <PARAM id=\"Rate\" value=\"32\"/>\r\n"
          "  <PARAM id=\"Bits\" value=\"8\"/>\r\n"
          "  <PARAM id=\"LoFi_Routing\" value=\"1\"/>\r\n"
          "  <PARAM id=\"Amplitude\" value=\"-60\"/>\r\n"
          "  <PARAM id=\"Dry_Wet_Mix\" value=\"075\"/>\r\n"
          "  <PARAM id=\"LFO_1_Rate\" value=\"2\"/>\r\n"
          "  <PARAM id=\"LFO_1_Synced_Rate\" value=\"5\"/>\r\n"
          "  <PARAM id=\"LFO_1_Sync\" value=\"1\"/>\r\n"
          "  <PARAM id=\"LFO_1_Wave\" value=\"4\"/>\r\n"
          "  <PARAM id=\"LFO_2_Rate\" value=\"0.01\"/>\r\n"
          "  <PARAM id=\"LFO_2_Synced_Rate\" value=\"17\"/>\r\n"
          "  <PARAM id=\"LFO_2_Sync\" value=\"0\"/>\r\n"
          "  <PARAM id=\"LFO_2_Wave\" value=\"6\"/>\r\n"
          "  <PARAM id=\"LFOs_Mix\" value=\"20\"/>\r\n"
          "  <PARAM id=\"Cutoff_Mod_Source\" value=\"1\"/>\r\n"
          "  <PARAM id=\"Cutoff_Mod_Depth\" value=\"0.5\"/>\r\n"
          "  <PARAM id=\"Resonance_Mod_Source\" value=\"2\"/>\r\n"
          "  <PARAM id=\"Resonance_Mod_Depth\" value=\"1\"/>\r\n"
          "  <PARAM id=\"Rate_Mod_Source\" value=\"3\"/>\r\n"
          "  <PARAM id=\"Rate_Mod_Depth\" value=\"0.25\"/>\r\n"
          "  <PARAM id=\"Bits_Mod_Source\" value=\"0\"/>\r\n"
          "  <PARAM id=\"Bits_Mod_Depth\" value=\"0\"/>\r\n"
          "  <PARAM id=\"Dry_Wet_Mix_Mod_Source\" value=\"3\"/>\r\n"
          "  <PARAM id=\"Dry_Wet_Mix_Mod_Depth\" value=\"1\"/>\r\n"
          "</Vevarero>\r\n";

    std::string replaced (std::string text, const std::string& from, const std::string& to)
    {
        const auto position = text.find (from);
        EXPECT_NE (position, std::string::npos) << from;
        return position == std::string::npos ? text : text.replace (position, from.size(), to);
    }
}

//==============================================================================
TEST (PresetsManager, NamesFolderAndPattern)
{
    const auto home = juce::File::getSpecialLocation (juce::File::userHomeDirectory).getFullPathName();

    EXPECT_EQ (PresetsManager::defaultPresetName, "User_Default");
    EXPECT_EQ (PresetsManager::presetsFolderPath, home + "/Library/Audio/Presets/Ririvud/Vevarero");
    EXPECT_EQ (PresetsManager().getDefaultPresetFile().getFullPathName(),
               PresetsManager::presetsFolderPath + "/User_Default.glp");
    EXPECT_EQ (PresetsManager::wildcardForfileChooser(), "*.glp");
}

TEST (PresetFileFormat, WritesPropertiesInTheirOwnForm)
{
    juce::ValueTree tree ("Vevarero");
    const juce::var values[] = { 11000.0, (double) 0.1f, (double) -12.345f, 0.5, "11000.0", 5, -0.0 };

    for (int i = 0; i < (int) std::size (values); ++i)
        tree.appendChild (juce::ValueTree ("PARAM", { { "id", "P" + juce::String (i) }, { "value", values[i] } }), nullptr);

    tree.appendChild (juce::ValueTree ("PARAM", { { "id", "Name" }, { "value", juce::String::fromUTF8 ("a&b<c>\"d\"\ne^`\xc3\xa9' ok\t[@]") } }), nullptr);

    const auto file = freshFolder ("format").getChildFile ("written.glp");
    writeBytes (file, std::string (500, 'x')); // an older, longer file is replaced whole

    ASSERT_TRUE (PresetsManager::savePreset (tree, file).wasOk());

    EXPECT_EQ (readBytes (file), header
        + "<Vevarero>\r\n"
          "  <PARAM id=\"P0\" value=\"11000\"/>\r\n"
          "  <PARAM id=\"P1\" value=\"0.10000000149011611938\"/>\r\n"
          "  <PARAM id=\"P2\" value=\"-12.345000267028808594\"/>\r\n"
          "  <PARAM id=\"P3\" value=\"0.5\"/>\r\n"
          "  <PARAM id=\"P4\" value=\"11000.0\"/>\r\n"
          "  <PARAM id=\"P5\" value=\"5\"/>\r\n"
          "  <PARAM id=\"P6\" value=\"-0\"/>\r\n"
          "  <PARAM id=\"Name\" value=\"a&amp;b&lt;c&gt;&quot;d&quot;&#10;e&#94;&#96;&#233;' ok&#9;[@]\"/>\r\n"
          "</Vevarero>\r\n");

    // Reading undoes the escaping.
    VevareroAudioProcessor processor;
    ASSERT_TRUE (PresetsManager::loadPreset (file, processor.valueTreeState).wasOk());

    const auto nameChild = processor.valueTreeState.state.getChildWithProperty ("id", "Name");
    EXPECT_EQ (nameChild.getProperty ("value").toString(), tree.getChildWithProperty ("id", "Name").getProperty ("value").toString());
}

TEST (PresetFileFormat, NewProcessorWritesEveryParameterInCreationOrder)
{
    VevareroAudioProcessor processor;
    const auto file = freshFolder ("defaults").getChildFile ("defaults.glp");

    ASSERT_TRUE (PresetsManager::savePreset (processor.valueTreeState, file).wasOk());

    const auto text = readBytes (file);
    const std::string opening = header + "<Vevarero>\r\n  <PARAM id=\"Cutoff\" value=\"11000\"/>\r\n"
                                         "  <PARAM id=\"Resonance\" value=\"0\"/>\r\n";
    const std::string closing = "  <PARAM id=\"Dry_Wet_Mix_Mod_Depth\" value=\"0\"/>\r\n</Vevarero>\r\n";

    ASSERT_GE (text.size(), opening.size() + closing.size());
    EXPECT_EQ (text.substr (0, opening.size()), opening);
    EXPECT_EQ (text.substr (text.size() - closing.size()), closing);

    const auto lines = juce::StringArray::fromLines (juce::String (text.substr (header.size())));
    const auto ids = parameterIDs (processor);
    ASSERT_EQ (ids.size(), 29);

    for (int i = 0; i < ids.size(); ++i)
        EXPECT_TRUE (lines[i + 1].startsWith ("  <PARAM id=\"" + ids[i] + "\" value=\"") && lines[i + 1].endsWith ("\"/>"))
            << lines[i + 1];
}

TEST (PresetFileFormat, UnchangedValuesAreWrittenBackAsRead)
{
    const auto folder = freshFolder ("roundtrip");
    const auto source = folder.getChildFile ("source.glp");
    writeBytes (source, handWrittenPreset);

    VevareroAudioProcessor processor;
    moveAllAwayFromDefaults (processor);
    ASSERT_TRUE (PresetsManager::loadPreset (source, processor.valueTreeState).wasOk());

    EXPECT_EQ (value (processor, "Cutoff"), 500.0f);
    EXPECT_EQ (value (processor, "Dry_Wet_Mix"), 75.0f);
    EXPECT_EQ (value (processor, "Amplitude"), -60.0f);
    EXPECT_EQ (value (processor, "LFO_2_Synced_Rate"), 17.0f);
    EXPECT_EQ (value (processor, "LFO_2_Rate"), 0.01f);

    const auto copy = folder.getChildFile ("copy.glp");
    ASSERT_TRUE (PresetsManager::savePreset (processor.valueTreeState, copy).wasOk());
    EXPECT_EQ (readBytes (copy), handWrittenPreset);

    // A change made just now is in the file, without waiting for the tree's timer.
    parameter (processor, "Cutoff").setValueNotifyingHost (0.5f);
    ASSERT_TRUE (PresetsManager::savePreset (processor.valueTreeState, copy).wasOk());
    EXPECT_EQ (readBytes (copy), replaced (handWrittenPreset, "\"500.0\"", "\"4560\""));
}

TEST (PresetFileFormat, SaveFailuresLeaveFilesAlone)
{
    const auto folder = freshFolder ("failures");
    VevareroAudioProcessor processor;

    const auto untouched = folder.getChildFile ("invalid.glp");
    const auto invalid = PresetsManager::savePreset (juce::ValueTree(), untouched);
    EXPECT_EQ (invalid.getErrorMessage(), "Invalid preset data supplied, failed to save preset.");
    EXPECT_FALSE (untouched.exists());

    const auto inMissingFolder = folder.getChildFile ("missing").getChildFile ("a.glp");
    const auto missing = PresetsManager::savePreset (processor.valueTreeState.state, inMissingFolder);
    EXPECT_EQ (missing.getErrorMessage(), "Could not write preset to file.");
    EXPECT_FALSE (inMissingFolder.exists());

    // A target that cannot be replaced (a folder with something in it) stays as it was.
    const auto blocked = folder.getChildFile ("blocked.glp");
    writeBytes (blocked.getChildFile ("inside.txt"), "kept");
    EXPECT_EQ (PresetsManager::savePreset (processor.valueTreeState.state, blocked).getErrorMessage(),
               "Could not write preset to file.");
    EXPECT_EQ (readBytes (blocked.getChildFile ("inside.txt")), "kept");
    EXPECT_EQ (folder.getNumberOfChildFiles (juce::File::findFiles), 0) << "temporary file left behind";
}

TEST (PresetFileFormat, FilesWithoutXmlChangeNothing)
{
    const auto folder = freshFolder ("unreadable");
    const std::pair<const char*, std::string> files[] = {
        { "empty.glp", "" },
        { "text.glp", "just some words" },
        { "unclosed.glp", "<Vevarero><PARAM id=\"Cutoff\" value=\"500\"/>" },
        { "binary.glp", std::string ("\x56\x43\x32\x21\x00\x01\xff", 7) },
    };

    for (const auto& [name, bytes] : files)
        writeBytes (folder.getChildFile (name), bytes);

    folder.getChildFile ("folder.glp").createDirectory();

    VevareroAudioProcessor processor;
    setValue (processor, "Cutoff", 1234.0f);
    const auto treeBefore = processor.valueTreeState.copyState();

    juce::StringArray names { "missing.glp", "folder.glp" };
    for (const auto& entry : files)
        names.add (entry.first);

    for (const auto& name : names)
    {
        const auto result = PresetsManager::loadPreset (folder.getChildFile (name), processor.valueTreeState);
        EXPECT_EQ (result.getErrorMessage(), "Invalid preset file supplied, could not load preset.") << name;
        EXPECT_EQ (value (processor, "Cutoff"), 1234.0f) << name;
        EXPECT_TRUE (processor.valueTreeState.copyState().isEquivalentTo (treeBefore)) << name;
    }
}

TEST (PresetFileFormat, AnyDocumentIsTakenAsTheTree)
{
    const auto folder = freshFolder ("foreign");
    const auto foreign = folder.getChildFile ("foreign.glp");
    writeBytes (foreign, "<Other>\r\n  <PARAM id=\"Cutoff\" value=\"500\"/>\r\n  <Extra foo=\"bar\"/>\r\n"
                         "  <Preset_Name Preset_Name=\"From a host\"/>\r\n</Other>\r\n");

    VevareroAudioProcessor processor;
    moveAllAwayFromDefaults (processor);
    ASSERT_TRUE (PresetsManager::loadPreset (foreign, processor.valueTreeState).wasOk());

    const auto& state = processor.valueTreeState.state;
    EXPECT_EQ (state.getType().toString(), "Other");
    EXPECT_EQ (value (processor, "Cutoff"), 500.0f);
    EXPECT_EQ (state.getChild (1).getType().toString(), "Extra");
    EXPECT_EQ (state.getChild (2).getProperty ("Preset_Name").toString(), "From a host");
    EXPECT_EQ (processor.presetName, "INIT");
    EXPECT_EQ (countChildrenOfType (state, "PARAM"), 29);

    // Every parameter the file leaves out is back at its default.
    for (const auto& id : parameterIDs (processor))
        if (id != "Cutoff")
        {
            EXPECT_EQ (value (processor, id), defaultValue (processor, id)) << id;
        }

    const auto copy = folder.getChildFile ("copy.glp");
    ASSERT_TRUE (PresetsManager::savePreset (processor.valueTreeState, copy).wasOk());
    const auto text = readBytes (copy);
    EXPECT_EQ (text.substr (header.size(), 9), "<Other>\r\n");
    EXPECT_NE (text.find ("  <Extra foo=\"bar\"/>\r\n"), std::string::npos);
    EXPECT_NE (text.find ("  <PARAM id=\"Drive\" value=\"0\"/>\r\n"), std::string::npos);
}

TEST (PresetFileFormat, ValuesThatAreNotNumbersOrOutOfRangeAreMended)
{
    struct Case { const char* id; const char* attribute; float expected; };
    const Case cases[] = {
        { "Cutoff", " value=\"nan\"", 11000.0f },
        { "Cutoff", " value=\"NaN\"", 11000.0f },
        { "Cutoff", " value=\"inf\"", 11000.0f },
        { "Cutoff", " value=\"-Infinity\"", 11000.0f },
        { "Cutoff", " value=\"1e999\"", 11000.0f },
        { "Cutoff", " value=\"5e9535522460\"", 11000.0f },
        { "Cutoff", " value=\"5e-000000000002\"", 80.0f },
        { "Cutoff", " value=\"abc\"", 11000.0f },
        { "Cutoff", " value=\"12abc\"", 11000.0f },
        { "Cutoff", " value=\"\"", 11000.0f },
        { "Cutoff", " value=\"-\"", 11000.0f },
        { "Cutoff", "", 11000.0f },
        { "Cutoff", " value=\" 500 \"", 500.0f },
        { "Cutoff", " value=\"5e2\"", 500.0f },
        { "Cutoff", " value=\"99999\"", 18000.0f },
        { "Cutoff", " value=\"1e39\"", 18000.0f },
        { "Cutoff", " value=\"-5\"", 80.0f },
        { "Filter_Type", " value=\"7\"", 3.0f },
        { "Bits", " value=\"0\"", 1.0f },
        { "Bits", " value=\"nan\"", 16.0f },
        { "Amplitude", " value=\"-1e300\"", -60.0f },
        { "Cutoff_Mod_Depth", " value=\"inf\"", 0.0f },
    };

    const auto file = freshFolder ("mended").getChildFile ("mended.glp");
    VevareroAudioProcessor processor;

    for (const auto& c : cases)
    {
        writeBytes (file, std::string ("<Vevarero><PARAM id=\"") + c.id + "\"" + c.attribute + "/></Vevarero>");
        moveAllAwayFromDefaults (processor);

        ASSERT_TRUE (PresetsManager::loadPreset (file, processor.valueTreeState).wasOk());
        EXPECT_EQ (value (processor, c.id), c.expected) << c.id << c.attribute;
        EXPECT_TRUE (allParametersSane (processor)) << c.id << c.attribute;

        // The tree holds what the parameter holds, so the next save writes a usable number.
        const auto stored = processor.valueTreeState.copyState().getChildWithProperty ("id", c.id).getProperty ("value");
        EXPECT_EQ ((float) (double) stored, c.expected) << c.id << c.attribute;
    }
}

TEST (PresetFileFormat, EveryChildCarryingAnIDIsMended)
{
    // The parameters connect to any child with their ID, whatever its tag.
    const auto file = freshFolder ("tags").getChildFile ("tags.glp");
    writeBytes (file, "<Vevarero><Other id=\"Cutoff\" value=\"nan\"/><PARAM id=\"Cutoff\" value=\"inf\"/></Vevarero>");

    VevareroAudioProcessor processor;
    setValue (processor, "Cutoff", 300.0f);
    ASSERT_TRUE (PresetsManager::loadPreset (file, processor.valueTreeState).wasOk());

    EXPECT_EQ (value (processor, "Cutoff"), 11000.0f);
    EXPECT_TRUE (allParametersSane (processor));
}

TEST (PresetFileFormat, WhatJuceCannotReadSafelyIsTakenOut)
{
    // Each of these makes JUCE's reader, left alone, loop for ever or read past the end of its
    // text. Instructions, document types and broken references carry nothing a preset needs.
    struct Case { const char* what; std::string text; bool loads; float cutoff; const char* note; };
    const Case cases[] = {
        { "instruction then text", "<r><?" "?>r</r>", true, 11000.0f, "" },
        { "instruction between parameters", "<Vevarero><PARAM id=\"Cutoff\" value=\"500\"/><?pi data?>text</Vevarero>", true, 500.0f, "" },
        { "instructions and comments before the root",
          "<?xml version=\"1.0\"?>\n<?style x?><!-- c --><Vevarero><PARAM id=\"Cutoff\" value=\"700\"/></Vevarero>", true, 700.0f, "" },
        { "instruction in an attribute", "<Vevarero><PARAM id=\"Cutoff\" value=\"<?x?>\"/></Vevarero>", true, 11000.0f, "" },
        { "entity with an instruction", "<!DOCTYPE a [<!ENTITY x \"<b><?p?>t</b>\">]><a><PARAM id=\"Cutoff\" value=\"600\"/>&x;</a>", true, 600.0f, "" },
        { "entity defined by itself", "<!DOCTYPE a [<!ENTITY x \"&x;\">]><a><PARAM id=\"Cutoff\" value=\"&x;\"/></a>", true, 11000.0f, "" },
        { "entity with a reference", "<!DOCTYPE a [<!ENTITY x \"<b>&#1;</b>\">]><a><PARAM id=\"Cutoff\" value=\"650\"/>&x;</a>", true, 650.0f, "" },
        { "reference cut off by the end", "<Vevarero><PARAM id=\"Cutoff\" value=\"500\"/>&#x", false, 1234.0f, "" },
        { "reference cut off in a value", "<Vevarero><PARAM id=\"Cutoff\" value=\"500\"/><PARAM id=\"Note\" value=\"&#12", false, 1234.0f, "" },
        { "entity name holding markup", "<Vevarero><PARAM id=\"Cutoff\" value=\"500\"/>&<a>&#1;</a></Vevarero>", true, 500.0f, "" },
        { "references to no character",
          "<Vevarero><PARAM id=\"Cutoff\" value=\"500\"/><PARAM id=\"Note\" value=\"&#55296;&#x110000;&#0;&#x41;\"/></Vevarero>",
          true, 500.0f, " #55296; #x110000; #0;A" },
    };

    const auto file = freshFolder ("unsafe").getChildFile ("unsafe.glp");
    VevareroAudioProcessor processor;

    for (const auto& c : cases)
    {
        writeBytes (file, c.text);
        setValue (processor, "Cutoff", 1234.0f);

        EXPECT_EQ (PresetsManager::loadPreset (file, processor.valueTreeState).wasOk(), c.loads) << c.what;
        EXPECT_EQ (value (processor, "Cutoff"), c.cutoff) << c.what;
        EXPECT_TRUE (allParametersSane (processor)) << c.what;

        if (*c.note != 0)
        {
            EXPECT_EQ (processor.valueTreeState.state.getChildWithProperty ("id", "Note").getProperty ("value").toString(), c.note) << c.what;
        }
    }
}

TEST (PresetFileFormat, DeepNestingIsRefusedBeforeItCanExhaustTheStack)
{
    auto nested = [] (int depth, const std::string& attribute)
    {
        std::string text = "<Vevarero><PARAM id=\"Cutoff\" value=\"500\"/>";
        for (int i = 1; i < depth; ++i)
            text += "<a" + attribute + ">";
        for (int i = 1; i < depth; ++i)
            text += "</a>";
        return text + "</Vevarero>";
    };

    struct Case { int depth; std::string attribute; bool loads; };
    const Case cases[] = {
        { 512, "", true },
        { 512, " b=\"/>\" c='>'", true },
        { 513, "", false },
        { 200000, "", false },
    };

    const auto file = freshFolder ("nesting").getChildFile ("nested.glp");
    VevareroAudioProcessor processor;

    for (const auto& c : cases)
    {
        writeBytes (file, nested (c.depth, c.attribute));
        setValue (processor, "Cutoff", 1234.0f);

        EXPECT_EQ (PresetsManager::loadPreset (file, processor.valueTreeState).wasOk(), c.loads) << c.depth;
        EXPECT_EQ (value (processor, "Cutoff"), c.loads ? 500.0f : 1234.0f) << c.depth;
    }

    // Empty elements close themselves, so many of them side by side are no nesting.
    std::string siblings = "<Vevarero>";
    for (int i = 0; i < 5000; ++i)
        siblings += "<PARAM id=\"x\"/>";
    writeBytes (file, siblings + "<PARAM id=\"Cutoff\" value=\"700\"/></Vevarero>");
    EXPECT_TRUE (PresetsManager::loadPreset (file, processor.valueTreeState).wasOk());
    EXPECT_EQ (value (processor, "Cutoff"), 700.0f);
}

TEST (PresetFileFormat, ReadsEveryTextEncodingAndMendsBrokenUtf8)
{
    const std::string document = "<Vevarero><PARAM id=\"Cutoff\" value=\"900\"/><PARAM id=\"Note\" value=\"caf\xc3\xa9\"/></Vevarero>";

    auto utf16 = [&document] (bool bigEndian)
    {
        std::string bytes = bigEndian ? "\xfe\xff" : "\xff\xfe";
        const auto text = juce::String::fromUTF8 (document.data(), (int) document.size());

        for (auto* unit = text.toUTF16().getAddress(); *unit != 0; ++unit)
        {
            const auto high = (char) ((juce::uint16) *unit >> 8), low = (char) ((juce::uint16) *unit & 0xff);
            bytes += bigEndian ? high : low;
            bytes += bigEndian ? low : high;
        }

        return bytes;
    };

    struct Case { const char* what; std::string bytes; const char* note; };
    const Case cases[] = {
        { "UTF-8", document, "caf\xc3\xa9" },
        { "UTF-8 with byte-order mark", "\xef\xbb\xbf" + document, "caf\xc3\xa9" },
        { "UTF-16 little-endian", utf16 (false), "caf\xc3\xa9" },
        { "UTF-16 big-endian", utf16 (true), "caf\xc3\xa9" },
        { "stray bytes", "<Vevarero><PARAM id=\"Cutoff\" value=\"900\"/><PARAM id=\"Note\" value=\"a\xff" "b\xc3\"/></Vevarero>",
          "a\xef\xbf\xbd" "b\xef\xbf\xbd" },
        { "surrogate and overlong forms", "<Vevarero><PARAM id=\"Cutoff\" value=\"900\"/><PARAM id=\"Note\" value=\"\xed\xa0\x80\xc0\xaf\"/></Vevarero>",
          "\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd" },
    };

    const auto file = freshFolder ("encodings").getChildFile ("encoded.glp");
    VevareroAudioProcessor processor;

    for (const auto& c : cases)
    {
        writeBytes (file, c.bytes);
        setValue (processor, "Cutoff", 1234.0f);

        ASSERT_TRUE (PresetsManager::loadPreset (file, processor.valueTreeState).wasOk()) << c.what;
        EXPECT_EQ (value (processor, "Cutoff"), 900.0f) << c.what;
        EXPECT_EQ (processor.valueTreeState.state.getChildWithProperty ("id", "Note").getProperty ("value").toString(),
                   juce::String::fromUTF8 (c.note)) << c.what;
    }
}
