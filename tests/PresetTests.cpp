#include "ScratchHome.h"
#include "UnreadablePresetSupport.h"
#include "presets/ParameterTreeXml.h"
#include "presets/PresetsManager.h"
#include "presets/StateBlobLayout.h"
#include "processor/PluginProcessor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

using qrvx::PresetsManager;

namespace
{
    const std::string fileHeader = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n\r\n \r\n";

    float value (VevareroAudioProcessor& processor, const juce::String& id)
    {
        return processor.valueTreeState.getRawParameterValue (id)->load();
    }

    void setValue (VevareroAudioProcessor& processor, const juce::String& id, float realValue)
    {
        auto* p = processor.valueTreeState.getParameter (id);
        p->setValueNotifyingHost (p->convertTo0to1 (realValue));
    }

    /** Moves every parameter away from its default, so that a load visibly sets or resets each. */
    void moveAllAwayFromDefaults (VevareroAudioProcessor& processor)
    {
        for (auto* p : processor.getParameters())
            p->setValueNotifyingHost (p->getDefaultValue() > 0.5f ? 0.0f : 1.0f);
    }

    /** Every parameter finite and in its range, and every one but the named at its default. */
    testing::AssertionResult othersAtDefault (VevareroAudioProcessor& processor, const juce::String& named)
    {
        for (auto* p : processor.getParameters())
        {
            auto& ranged = dynamic_cast<juce::RangedAudioParameter&> (*p);
            const auto real = value (processor, ranged.paramID);
            const auto& range = ranged.getNormalisableRange();
            const auto defaultValue = ranged.convertFrom0to1 (ranged.getDefaultValue());

            if (! std::isfinite (real))
                return testing::AssertionFailure() << ranged.paramID << " holds " << real;

            if (real < range.start || real > range.end)
                return testing::AssertionFailure() << ranged.paramID << " holds " << real
                                                   << ", outside " << range.start << " to " << range.end;

            if (ranged.paramID != named && real != defaultValue)
                return testing::AssertionFailure() << ranged.paramID << " holds " << real
                                                   << ", not its default " << defaultValue;
        }
        return testing::AssertionSuccess();
    }

    // Files of this test process alone (see scratchhome::emptiedTestFolder).
    juce::File scratch (const char* name)
    {
        return juce::File (scratchhome::folder().string()).getChildFile ("test files").getChildFile ("presets").getChildFile (name);
    }

    void writeBytes (const juce::File& file, const std::string& bytes)
    {
        file.getParentDirectory().createDirectory();
        ASSERT_TRUE (file.replaceWithData (bytes.data(), bytes.size())) << file.getFullPathName();
    }

    std::string readBytes (const juce::File& file)
    {
        juce::MemoryBlock block;
        if (! file.loadFileAsData (block))
            return {};

        return std::string (static_cast<const char*> (block.getData()), block.getSize());
    }

    std::string littleEndian32 (juce::uint32 v)
    {
        return { (char) v, (char) (v >> 8), (char) (v >> 16), (char) (v >> 24) };
    }

    /** A host-state blob around the given text, its length field matching. */
    std::string blob (const std::string& text)
    {
        return littleEndian32 (qrvx::stateBlobMagic) + littleEndian32 ((juce::uint32) text.size()) + text + '\0';
    }

    /** The two ways a parameter tree travels: as a preset file and as the host's state. */
    enum class Route { presetFile, hostState };

    const char* nameOf (Route route) { return route == Route::hostState ? "host state" : "preset file"; }

    std::string wrap (Route route, const std::string& document)
    {
        return route == Route::hostState ? blob (document) : document;
    }

    // Every parameter in creation order: the text a new processor writes, and a hand-written value
    // on the parameter's grid, some in forms the writer itself would not produce.
    const char* const parameterRows[][3] = {
        { "Cutoff",                 "11000", "500.0" },
        { "Resonance",              "0",     "50" },
        { "Filter_Type",            "0",     "2" },
        { "Drive",                  "0",     "25" },
        { "Distortion_Routing",     "0",     "1" },
        { "Rate",                   "0",     "32" },
        { "Bits",                   "16",    "8" },
        { "LoFi_Routing",           "0",     "1" },
        { "Amplitude",              "0",     "-60" },
        { "Dry_Wet_Mix",            "100",   "075" },
        { "LFO_1_Rate",             "1",     "2" },
        { "LFO_1_Synced_Rate",      "3",     "5" },
        { "LFO_1_Sync",             "0",     "1" },
        { "LFO_1_Wave",             "0",     "4" },
        { "LFO_2_Rate",             "1",     "0.01" },
        { "LFO_2_Synced_Rate",      "3",     "17" },
        { "LFO_2_Sync",             "0",     "1" },
        { "LFO_2_Wave",             "0",     "6" },
        { "LFOs_Mix",               "50",    "20" },
        { "Cutoff_Mod_Source",      "0",     "1" },
        { "Cutoff_Mod_Depth",       "0",     "0.5" },
        { "Resonance_Mod_Source",   "0",     "2" },
        { "Resonance_Mod_Depth",    "0",     "1" },
        { "Rate_Mod_Source",        "0",     "3" },
        { "Rate_Mod_Depth",         "0",     "0.25" },
        { "Bits_Mod_Source",        "0",     "0" },
        { "Bits_Mod_Depth",         "0",     "0" },
        { "Dry_Wet_Mix_Mod_Source", "0",     "3" },
        { "Dry_Wet_Mix_Mod_Depth",  "0",     "1" },
    };

    /** The exact bytes of a column of the table with the given cutoff: a preset file, or a host
        state with the name.
    */
    std::string documentOf (int column, Route route, const std::string& cutoff, const std::string& escapedName = {})
    {
        const auto file = route == Route::presetFile;
        const std::string indent = file ? "  " : "", lineEnd = file ? "\r\n" : "";
        auto text = (file ? fileHeader : "") + "<Vevarero>" + lineEnd;

        for (const auto& row : parameterRows)
        {
            const auto written = std::string (row[0]) == "Cutoff" ? cutoff : row[column];
            text += indent + "<PARAM id=\"" + row[0] + "\" value=\"" + written + "\"/>" + lineEnd;
        }

        if (file)
            return text + "</Vevarero>\r\n";

        return blob (text + "<Preset_Name Preset_Name=\"" + escapedName + "\"/></Vevarero>");
    }

    /** Loads bytes as the route carries them; returns the error that loading a preset file reports. */
    juce::String load (VevareroAudioProcessor& processor, Route route, const std::string& bytes)
    {
        const auto file = scratch ("loaded.glp");
        writeBytes (file, bytes);

        if (route == Route::presetFile)
            return PresetsManager::loadPreset (file, processor.valueTreeState).getErrorMessage();

        processor.setStateInformation (bytes.data(), (int) bytes.size());
        return {};
    }

    // Loads into a processor holding a cutoff of 1234 and the name "Old". True when the load took;
    // false when it changed nothing, which a preset file load must also report. The case names
    // what is loaded, for the failure message.
    bool takes (VevareroAudioProcessor& processor, Route route, const std::string& bytes, const std::string& what)
    {
        setValue (processor, "Cutoff", 1234.0f);
        processor.currentPreset.setName ("Old");
        const auto before = processor.valueTreeState.copyState();
        const auto error = load (processor, route, bytes);
        const auto treeChanged = ! processor.valueTreeState.copyState().isEquivalentTo (before);
        const auto took = treeChanged || processor.currentPreset.getName() != "Old";

        if (route == Route::hostState)
            return took;

        if (took)
        {
            EXPECT_EQ (error, "") << what << ": the preset file was taken, yet its load reported an error";
        }
        else
        {
            const auto refusal = error == "Invalid preset file supplied, could not load preset."
                              || error == "The file is too large to be a preset, could not load preset.";
            EXPECT_TRUE (refusal) << what << ": the preset file changed nothing, yet its load reported \"" << error << "\"";
        }

        return took;
    }

    /** Whatever the file or the host's block held before is replaced. */
    std::string save (VevareroAudioProcessor& processor, Route route)
    {
        const auto file = scratch ("saved.glp");
        writeBytes (file, std::string (5000, 'x'));

        if (route == Route::presetFile)
        {
            const auto saved = PresetsManager::savePreset (processor.valueTreeState, file);
            return saved.wasOk() ? readBytes (file) : "(not saved: " + saved.getErrorMessage().toStdString() + ")";
        }

        juce::MemoryBlock block (10000, true);
        processor.getStateInformation (block);
        return std::string (static_cast<const char*> (block.getData()), block.getSize());
    }
}

TEST (PresetFileFormat, WritesTheExactBytes)
{
    // A new processor's tree, in creation order; then a value read and unchanged is written back as read.
    VevareroAudioProcessor processor;
    EXPECT_EQ (save (processor, Route::presetFile), documentOf (1, Route::presetFile, "11000"))
        << "preset file of a new processor";
    moveAllAwayFromDefaults (processor);
    ASSERT_EQ (load (processor, Route::presetFile, documentOf (2, Route::presetFile, "500.0")), "")
        << "loading the hand-written preset file";

    for (const auto& row : parameterRows)
        EXPECT_EQ (value (processor, row[0]), std::stof (row[2])) << row[0] << " read from \"" << row[2] << "\"";

    EXPECT_EQ (save (processor, Route::presetFile), documentOf (2, Route::presetFile, "500.0"))
        << "preset file saved straight after loading the hand-written one";
    setValue (processor, "Cutoff", 4560.0f); // just now, before the tree's timer has caught up
    EXPECT_EQ (save (processor, Route::presetFile), documentOf (2, Route::presetFile, "4560"))
        << "preset file saved straight after the cutoff was set to 4560";

    // The host's copy: the same tree on one line, then the preset's name, which comes back whole.
    const std::pair<juce::String, std::string> names[] = {
        { "INIT", "INIT" },
        { "", "" },
        { "a & <b> \"c\" 'd'", "a &amp; &lt;b&gt; &quot;c&quot; 'd'" },
        { juce::String::fromUTF8 ("line\nbreak\r\ttab \xc3\x84\xc3\xa9\xe2\x82\xac \xf0\x9f\x8e\xb5 ^`"),
          "line&#10;break&#13;&#9;tab &#196;&#233;&#8364; &#127925; &#94;&#96;" },
    };

    for (const auto& [name, stored] : names)
    {
        const auto what = "host state named \"" + stored + "\"";
        VevareroAudioProcessor restored;
        processor.currentPreset.setName (name);
        const auto bytes = save (processor, Route::hostState);
        EXPECT_EQ (bytes, documentOf (2, Route::hostState, "4560", stored)) << what << ", as saved";
        EXPECT_TRUE (takes (restored, Route::hostState, bytes, what)) << what << " was not taken";
        EXPECT_EQ (restored.currentPreset.getName(), name) << what << ", name restored";
        EXPECT_EQ (save (restored, Route::hostState), bytes) << what << ", saved again after restoring";
    }

    // Other values a tree may hold: numbers of other types, text, and floats no shorter text gives back.
    const std::pair<juce::var, std::string> others[] = {
        { 11000.0, "11000" },
        { (double) 0.1f, "0.10000000149011611938" },
        { (double) -12.345f, "-12.345000267028808594" },
        { -0.0, "-0" },
        { 5, "5" },
        { "11000.0", "11000.0" },
    };
    auto expected = documentOf (2, Route::presetFile, "4560");

    for (const auto& [other, written] : others)
    {
        processor.valueTreeState.state.appendChild (juce::ValueTree ("X", { { "id", "x" }, { "value", other } }), nullptr);
        expected.insert (expected.rfind ("</Vevarero>"), "  <X id=\"x\" value=\"" + written + "\"/>\r\n");
    }

    EXPECT_EQ (save (processor, Route::presetFile), expected)
        << "preset file with extra children holding a double, floats, minus zero, an int and text";
}

TEST (PresetFileFormat, FailuresAreReportedAndWriteNothing)
{
    const auto folder = scratch ("failures");
    folder.deleteRecursively();
    const auto blocked = folder.getChildFile ("blocked.glp"); // a folder, which no file can replace
    writeBytes (blocked.getChildFile ("inside.txt"), "kept");

    VevareroAudioProcessor processor;
    EXPECT_EQ (PresetsManager::savePreset (juce::ValueTree(), folder.getChildFile ("invalid.glp")).getErrorMessage(),
               "Invalid preset data supplied, failed to save preset.")
        << "saving an invalid tree";

    const juce::String invalidFile ("Invalid preset file supplied, could not load preset.");
    const juce::String notRegular ("This is not a regular file, could not load preset.");

    struct Case { const char* what; juce::File file; juce::String loadError; };
    const Case cases[] = {
        { "file in a missing folder", folder.getChildFile ("missing/a.glp"), invalidFile },
        { "folder in the file's place", blocked, notRegular },
    };

    for (const auto& c : cases)
    {
        EXPECT_EQ (PresetsManager::savePreset (processor.valueTreeState, c.file).getErrorMessage(),
                   "Could not write preset to file.")
            << "saving to a " << c.what;
        EXPECT_EQ (PresetsManager::loadPreset (c.file, processor.valueTreeState).getErrorMessage(), c.loadError)
            << "loading from a " << c.what;
    }

    EXPECT_EQ (readBytes (blocked.getChildFile ("inside.txt")), "kept") << "the file inside the folder in the file's place";
    EXPECT_EQ (folder.getNumberOfChildFiles (juce::File::findFilesAndDirectories), 1) << "something written or left behind";
}

TEST (PresetAndHostState, ReadsWhatCanBeReadSafelyAndRefusesTheRest)
{
    // Unsafe input, left alone, makes JUCE's reader loop for ever, read past the end of its text, exhaust
    // the stack or step past the end of a broken character. And saving indents, escapes, fills in values
    // and adds children: a document that would outgrow the size limit once written back is refused at once.
    // A refusal keeps the old name too.
    const std::string body = "<PARAM id=\"Cutoff\" value=\"500\"/><Preset_Name Preset_Name=\"Read\"/>";

    auto withNote = [] (const std::string& note)
    {
        return "<Vevarero><PARAM id=\"Cutoff\" value=\"900\"/><PARAM id=\"Note\" value=\"" + note + "\"/></Vevarero>";
    };

    // A root holding the cutoff and a name, depth - 1 levels of elements and, innermost, the child repeated.
    auto nested = [&body] (int depth, const std::string& attribute, const juce::String& child = {}, size_t count = 0)
    {
        const auto open = juce::String::repeatedString ("<a" + attribute + ">", depth - 1);
        const auto close = juce::String::repeatedString ("</a>", depth - 1);
        const auto inside = open + juce::String::repeatedString (child, (int) count) + close;
        return "<Vevarero>" + body + inside.toStdString() + "</Vevarero>";
    };

    // The text in UTF-16, its first e-acute replaced by the given code unit (a lone surrogate, say).
    auto utf16 = [] (const std::string& utf8, bool bigEndian, char16_t eAcute = 0xe9)
    {
        std::u16string units (reinterpret_cast<const char16_t*> (juce::String::fromUTF8 (utf8.c_str()).toUTF16().getAddress()));
        if (const auto at = units.find (u'\u00e9'); at != std::u16string::npos)
            units[at] = eAcute;
        std::string bytes = bigEndian ? "\xfe\xff" : "\xff\xfe";
        for (const auto u : units)
            bytes += bigEndian ? std::string { (char) (u >> 8), (char) u } : std::string { (char) u, (char) (u >> 8) };
        return bytes;
    };

    // A document of exactly the given length, padded by a comment.
    auto padded = [&body] (size_t length)
    {
        const std::string head = "<Vevarero>" + body + "<!--", tail = "--></Vevarero>";
        return head + std::string (length - head.size() - tail.size(), ' ') + tail;
    };

    const auto longest = qrvx::maximumDocumentSize;
    const auto refused = 1234.0f; // the cutoff before the load

    struct Case { const char* what; std::string text; float cutoff; const char* note = nullptr; bool fileOnly = false; };
    const Case cases[] = {
        { "empty", "", refused },
        { "no XML", "just some words", refused },
        { "unclosed", "<Vevarero>" + body, refused },
        { "instruction then text", "<r><?" "?>r</r>", 11000.0f },
        { "513 levels", nested (513, ""), refused },
        { "entity with an instruction",
          "<!DOCTYPE a [<!ENTITY x \"<b><?p?>t</b>\">]><a><PARAM id=\"Cutoff\" value=\"600\"/>&x;</a>", 600.0f },
        { "reference cut off by the end", "<Vevarero>" + body + "&#x", refused },
        { "entity name holding markup", "<Vevarero>" + body + "&<a>&#1;</a></Vevarero>", 500.0f },
        { "references to no character", withNote ("&#55296;&#x110000;&#0;&#x41;"), 900.0f, " #55296; #x110000; #0;A" },
        { "512 levels, markup in quotes", nested (512, " b=\"/>\" c='>'"), 500.0f },
        { "15000 levels, markup in quotes", nested (15000, " b=\"/>\""), refused },
        { "UTF-8 with byte-order mark", "\xef\xbb\xbf" + withNote ("caf\xc3\xa9"), 900.0f, "caf\xc3\xa9", true },
        { "UTF-16 little-endian", utf16 (withNote ("caf\xc3\xa9"), false), 900.0f, "caf\xc3\xa9", true },
        { "UTF-16 big-endian, lone surrogate", utf16 (withNote ("caf\xc3\xa9"), true, 0xdc00), 900.0f, "caf\xef\xbf\xbd", true },
        { "as long as allowed", padded (longest), 500.0f },
        { "one byte too long", padded (longest + 1), refused },
        { "as long as allowed, UTF-16", utf16 (padded (longest), false), 500.0f, nullptr, true },
        { "one byte too long, UTF-16", utf16 (padded (longest + 1), true), refused, nullptr, true },
        { "file too large for any document, however it ends",
          withNote ("x") + '\0' + std::string (2 * longest, ' '), refused, nullptr, true },
        { "broken bytes growing past the limit", padded (longest - 1) + "\xff", refused },
        { "document type inside the first", "<!DOCTYPE a [<!DOCTYPE b [<!ENTITY x \"y\">]>]><a>" + body + "&x;</a>", 500.0f },
        { "document type never ending", "<!DOCTYPE a [<!ENTITY x \"y\"><a>" + body + "</a>", refused },
        { "second document type, defining an entity",
          "<!DOCTYPE a x>\n<!--c--><!DOCTYPE a [<!ENTITY x \"&x;&x;\">]><a v=\"&x;\">" + body + "</a>", refused },
        { "document type after the root", "<a>" + body + "</a><!doctype a [<!ENTITY x \"y\">]>", refused },
        { "stray, surrogate and overlong bytes", withNote ("a\xff" "b\xc3\xed\xa0\x80\xe0\x80\xaf"), 900.0f,
          "a\xef\xbf\xbd" "b\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd" },
        { "escaped five times over, fitting", withNote (std::string (longest / 5 - 2000, '^')), 900.0f },
        { "escaped five times over, too long", withNote (std::string (longest / 5 + 100, '^')), refused },
        { "values filled in, fitting", nested (1, "", "<P id=\"Bits\"/>", longest / 40), 500.0f },
        { "values filled in, too long", nested (1, "", "<P id=\"Bits\"/>", longest / 20), refused },
        { "indented deep, fitting", nested (299, "", "<b/>", 100), 500.0f },
        { "indented deep, too long", nested (299, "", "<b/>", 1500), refused },
    };

    for (const auto route : { Route::presetFile, Route::hostState })
    {
        for (const auto& c : cases)
        {
            if (c.fileOnly && route == Route::hostState)
                continue;

            const auto what = std::string (nameOf (route)) + ": " + c.what;
            VevareroAudioProcessor processor, again;
            EXPECT_EQ (takes (processor, route, wrap (route, c.text), what), c.cutoff != refused) << what << ", taken";
            EXPECT_EQ (value (processor, "Cutoff"), c.cutoff) << what << ", cutoff";

            if (c.cutoff == refused)
                continue;

            const auto note = processor.valueTreeState.state.getChildWithProperty ("id", "Note")["value"].toString();

            if (c.note != nullptr)
            {
                EXPECT_EQ (note, juce::String::fromUTF8 (c.note)) << what << ", note";
            }

            // Whatever was read can be saved and read again, to the same bytes.
            const auto saved = save (processor, route);
            EXPECT_TRUE (takes (again, route, saved, what + ", saved and read again")) << what << ", saved and not taken again";
            EXPECT_TRUE (save (again, route) == saved) << what << ", saved again to other bytes"; // too long to print
        }
    }

    // The fuzzers' seeds include inputs that once made JUCE expand an entity without bound, as
    // preset files (.glp) and host states (.bin): each must be refused, and quickly.
    int found[2] = {};

    for (const auto& entry : juce::RangedDirectoryIterator (juce::File (VEVARERO_FUZZ_CORPUS_DIR), true, "entity-expansion*"))
    {
        const auto seed = entry.getFile().getFileName().toStdString();
        const auto route = entry.getFile().hasFileExtension ("bin") ? Route::hostState : Route::presetFile;
        const auto started = juce::Time::getMillisecondCounterHiRes();
        VevareroAudioProcessor processor;
        EXPECT_FALSE (takes (processor, route, readBytes (entry.getFile()), seed)) << seed << " was taken";
        const auto milliseconds = juce::Time::getMillisecondCounterHiRes() - started;
        EXPECT_LT (milliseconds, 5000.0) << seed << ", milliseconds to refuse it"; // sanitised builds too
        ++found[(int) route];
    }

    EXPECT_GE (found[(int) Route::presetFile], 2) << "entity-expansion seeds found as preset files (.glp)";
    EXPECT_GE (found[(int) Route::hostState], 2) << "entity-expansion seeds found as host states (.bin)";
}

TEST (PresetAndHostState, AnyDocumentIsTakenAndItsValuesMended)
{
    // A null value leaves the attribute out; a "Knob" carries the ID, and the parameters read any child that does.
    struct Case { const char* id; const char* value; float expected; const char* tag = "PARAM"; };
    const Case cases[] = {
        { "Cutoff",      "nan",             11000.0f },
        { "Cutoff",      "1e999",           11000.0f },
        { "Cutoff",      nullptr,           11000.0f },
        { "Cutoff",      "5e9535522460",    11000.0f },
        { "Cutoff",      "12abc",           11000.0f },
        { "Cutoff",      "nan",             11000.0f, "Knob" },
        { "Cutoff",      " 500 ",           500.0f },
        { "Cutoff",      "5e-000000000002", 80.0f },
        { "Cutoff",      "99999",           18000.0f },
        { "Filter_Type", "7",               3.0f },
        { "Filter_Type", "-2",              0.0f },
        { "Bits",        "0",               1.0f },
        { "Bits",        "inf",             16.0f },
        { "Amplitude",   "-1e300",          -60.0f },
    };

    for (const auto route : { Route::presetFile, Route::hostState })
    {
        const auto fromHost = route == Route::hostState;
        VevareroAudioProcessor processor;

        for (const auto& c : cases)
        {
            const auto valueAttribute = c.value != nullptr ? std::string (" value=\"") + c.value + "\"" : std::string();
            const auto element = std::string ("<") + c.tag + " id=\"" + c.id + "\"" + valueAttribute + "/>";
            const auto what = std::string (nameOf (route)) + ": " + element;
            const auto document = "<Other><Extra foo=\"bar\"/><Preset_Name Preset_Name=\"From a host\"/>" + element + "</Other>";
            moveAllAwayFromDefaults (processor);
            processor.currentPreset.setName ("INIT");

            // Loaded again, the parameter already stands where the value lands and takes no change
            // from the tree, so nothing but the load itself keeps the raw number out of the next save.
            for (const auto* pass : { " loaded once", " loaded twice" })
            {
                EXPECT_EQ (load (processor, route, wrap (route, document)), "") << what << pass << ", load error";
                EXPECT_EQ (value (processor, c.id), c.expected) << what << pass;
                EXPECT_TRUE (othersAtDefault (processor, c.id)) << what << pass;

                // Any root is taken and extra children stay. Only the host state carries a name, and although a
                // tree read from a file may hold a name element, the host's copy carries the current name alone.
                EXPECT_EQ (processor.currentPreset.getName(), fromHost ? "From a host" : "INIT") << what << pass << ", name";
                const auto state = save (processor, Route::hostState);
                const auto nameElement = "Preset_Name=\"" + processor.currentPreset.getName().toStdString() + "\"/></Other>";
                EXPECT_EQ (state.find ("Preset_Name="), state.rfind (nameElement))
                    << what << pass << ", the one name in the host state after the extra children";

                const auto saved = save (processor, route);
                const auto extra = fromHost ? "<Other><Extra foo=\"bar\"/>" : "<Other>\r\n  <Extra foo=\"bar\"/>\r\n";
                EXPECT_EQ (saved.find (extra), fromHost ? 8u : fileHeader.size()) << what << pass << ", extra child kept";

                const auto xml = juce::parseXML (saved.substr (fromHost ? 8 : 0, saved.size() - (fromHost ? 9 : 0)));
                const auto savedTree = xml != nullptr ? juce::ValueTree::fromXml (*xml) : juce::ValueTree();
                const auto savedValue = savedTree.getChildWithProperty ("id", c.id)["value"].toString();
                EXPECT_TRUE (savedValue.isNotEmpty()) << what << pass << ": no value saved";
                EXPECT_EQ (savedValue.getFloatValue(), c.expected) << what << pass << ": saved as \"" << savedValue << "\"";
            }
        }
    }
}

TEST (HostState, RestoreTakesTheNameElementOutAndRefusesBrokenBlobs)
{
    auto withName = [] (const std::string& element)
    {
        const std::string parameters = "<PARAM id=\"Cutoff\" value=\"500\"/><PARAM id=\"Bits\" value=\"4\"/>";
        return blob ("<Vevarero>" + element + parameters + "</Vevarero>");
    };
    const auto good = withName ("<Preset_Name Preset_Name=\"New\"/>");
    auto withLength = [&good] (juce::uint32 length) { return good.substr (0, 4) + littleEndian32 (length) + good.substr (8); };

    struct Case { const char* what; std::string bytes; juce::String name; bool refused = false; };
    const Case cases[] = {
        { "as written", good, "New" },
        { "no element", withName (""), "Old" },
        { "no attribute", withName ("<Preset_Name/>"), "" },
        { "tag in lower case", withName ("<preset_name Preset_Name=\"Lower\"/>"), "Lower" },
        { "tag in upper case", withName ("<PRESET_NAME Preset_Name=\"Upper\"/>"), "Upper" },
        { "attribute in another case", withName ("<Preset_Name preset_name=\"Wrong case\"/>"), "" },
        { "two elements", withName ("<Preset_Name Preset_Name=\"First\"/><Preset_Name Preset_Name=\"Second\"/>"), "First" },
        { "second element carrying a parameter's ID",
          withName ("<Preset_Name Preset_Name=\"First\"/><Preset_Name id=\"Bits\" value=\"8\"/>"), "First" },
        { "broken UTF-8", withName ("<Preset_Name Preset_Name=\"a\xff" "b\"/>"), juce::String::fromUTF8 ("a\xef\xbf\xbd" "b") },
        { "length larger than the data", withLength (100000), "New" },
        { "four bytes", good.substr (0, 4), "Old", true },
        { "header only", good.substr (0, 8), "Old", true },
        { "length zero", withLength (0), "Old", true },
        { "negative length", withLength (0x80000000u), "Old", true },
        { "length cutting the text short", withLength (20), "Old", true },
        { "not XML", blob ("Vevarero, Cutoff 500"), "Old", true },
        { "bad magic", littleEndian32 (qrvx::stateBlobMagic + 1) + good.substr (4), "Old", true },
        { "zero byte inside the text", good.substr (0, 20) + '\0' + good.substr (21), "Old", true },
        { "dangling multi-byte sequence", good.substr (0, 4) + littleEndian32 (3) + "<\xf0\x9f", "Old", true },
    };

    for (const auto& c : cases)
    {
        VevareroAudioProcessor processor;
        EXPECT_EQ (takes (processor, Route::hostState, c.bytes, c.what), ! c.refused) << c.what << ", taken";
        EXPECT_EQ (processor.currentPreset.getName(), c.name) << c.what << ", name";

        if (! c.refused)
        {
            EXPECT_EQ (value (processor, "Cutoff"), 500.0f) << c.what << ", cutoff";
            EXPECT_EQ (value (processor, "Bits"), 4.0f) << c.what << ", bits";
        }

        // No name element stays in the tree: a parameter could bind to one by its ID, and the next
        // save, which drops them all, would lose that parameter's value.
        for (const auto& child : processor.valueTreeState.state)
            EXPECT_FALSE (child.getType().toString().equalsIgnoreCase ("Preset_Name"))
                << c.what << ": a " << child.getType().toString() << " element stayed in the tree";
    }
}

// This test empties and fills the presets folder, which only the test program's own home may hold
// (tests/TestMain.cpp).
TEST (PresetStartup, ChoosesUserDefaultThenZodadIdeThenNothing)
{
    const auto home = juce::File::getSpecialLocation (juce::File::userHomeDirectory);
    const auto library = home.getChildFile ("Library");
    const auto folder = library.getChildFile ("Audio/Presets/Ririvud/Vevarero");
    ASSERT_TRUE (scratchhome::owns (library.getFullPathName().toStdString()))
        << "this test would empty " << library.getFullPathName();

    const char* userDefault = "<Vevarero><PARAM id=\"Cutoff\" value=\"1000\"/></Vevarero>";
    const char* zodadIde = "<Vevarero><PARAM id=\"Cutoff\" value=\"500\"/></Vevarero>";
    const char* broken = "<Vevarero><PARAM";
    const char* aFolder = "/";

    struct Case { const char* what; const char* userDefaultFile; const char* zodadIdeFile; juce::String name; float cutoff; };
    const Case cases[] = {
        { "empty folder", nullptr, nullptr, "INIT", 11000.0f },
        { "only Zodad_Ide", nullptr, zodadIde, "Zodad_Ide", 500.0f },
        { "both", userDefault, zodadIde, "User_Default", 1000.0f },
        { "User_Default.glp is a folder", aFolder, zodadIde, "Zodad_Ide", 500.0f },
        { "unparsable User_Default", broken, zodadIde, "Zodad_Ide", 500.0f },
        { "neither can be read", "", broken, "INIT", 11000.0f },
        { "Zodad_Ide.glp is a folder", broken, aFolder, "INIT", 11000.0f },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        library.deleteRecursively(); // the processor must create every level of the folder

        const std::pair<const char*, const char*> files[] = {
            { "User_Default.glp", c.userDefaultFile },
            { "Zodad_Ide.glp", c.zodadIdeFile },
        };

        for (const auto& [name, content] : files)
        {
            if (content == aFolder)
                folder.getChildFile (name).getChildFile ("inside").createDirectory();
            else if (content != nullptr)
                writeBytes (folder.getChildFile (name), content);
        }

        VevareroAudioProcessor processor;
        const auto expectedPath = c.name == "INIT" ? juce::String() : folder.getChildFile (c.name + ".glp").getFullPathName();
        EXPECT_TRUE (folder.isDirectory()) << c.what << ": the presets folder was not made";
        EXPECT_EQ (processor.currentPreset.getName(), c.name) << c.what << ", name";
        EXPECT_EQ (processor.currentPreset.getFilePath(), expectedPath) << c.what << ", path";
        EXPECT_EQ (value (processor, "Cutoff"), c.cutoff) << c.what << ", cutoff";
        EXPECT_TRUE (othersAtDefault (processor, "Cutoff")) << c.what;
    }

    library.deleteRecursively();
}

TEST (PresetStartup, ComesUpQuicklyPastAFifoOrEndlessUserDefault)
{
    const auto folder = juce::File (PresetsManager::presetsFolderPath());
    ASSERT_TRUE (scratchhome::owns (folder.getFullPathName().toStdString()))
        << "this test would empty " << folder.getFullPathName();

    const auto userDefault = folder.getChildFile ("User_Default.glp");

    struct Case { const char* what; bool fifo; bool withZodadIde; juce::String name; float cutoff; };
    const Case cases[] = {
        { "FIFO, then Zodad_Ide", true, true, "Zodad_Ide", 500.0f },
        { "FIFO alone", true, false, "INIT", 11000.0f },
        { "link to /dev/zero, then Zodad_Ide", false, true, "Zodad_Ide", 500.0f },
        { "link to /dev/zero alone", false, false, "INIT", 11000.0f },
    };

    for (const auto& c : cases)
    {
        folder.deleteRecursively();
        const auto made = c.fifo ? unreadable::makeFifo (userDefault) : unreadable::linkToDevZero (userDefault);
        ASSERT_TRUE (made) << c.what << ", making it";
        if (c.withZodadIde)
            writeBytes (folder.getChildFile ("Zodad_Ide.glp"), "<Vevarero><PARAM id=\"Cutoff\" value=\"500\"/></Vevarero>");

        std::unique_ptr<VevareroAudioProcessor> processor;
        auto start = [&processor] { processor = std::make_unique<VevareroAudioProcessor>(); };
        EXPECT_TRUE (unreadable::finishesWithin (10.0, { userDefault }, start)) << c.what << ", starting";
        ASSERT_NE (processor, nullptr) << c.what;
        EXPECT_EQ (processor->currentPreset.getName(), c.name) << c.what << ", name";
        EXPECT_EQ (value (*processor, "Cutoff"), c.cutoff) << c.what << ", cutoff";
        EXPECT_TRUE (othersAtDefault (*processor, "Cutoff")) << c.what;
    }

    folder.deleteRecursively();
}
