#include "PresetTestSupport.h"
#include "presets/PresetsManager.h"

using namespace presettest;

namespace
{
    juce::MemoryBlock saveState (VevareroAudioProcessor& processor)
    {
        juce::MemoryBlock block;
        processor.getStateInformation (block);
        return block;
    }

    void restoreState (VevareroAudioProcessor& processor, const std::string& bytes)
    {
        processor.setStateInformation (bytes.data(), (int) bytes.size());
    }

    std::string littleEndian32 (juce::uint32 value)
    {
        std::string bytes;
        for (int i = 0; i < 4; ++i)
            bytes += (char) ((value >> (8 * i)) & 0xff);
        return bytes;
    }

    /** A blob around the given text, with the length field the wrapper expects. */
    std::string blob (const std::string& text)
    {
        return littleEndian32 (0x21324356) + littleEndian32 ((juce::uint32) text.size()) + text + '\0';
    }

    const std::string someParameters = "<PARAM id=\"Cutoff\" value=\"500\"/><PARAM id=\"Bits\" value=\"4\"/>";
}

//==============================================================================
TEST (HostState, BlobLayout)
{
    VevareroAudioProcessor processor;
    juce::MemoryBlock block;
    block.setSize (10000, true); // whatever the host's block held is replaced
    processor.getStateInformation (block);

    const auto bytes = toBytes (block);
    ASSERT_GT (bytes.size(), 9u);
    EXPECT_EQ (bytes.substr (0, 4), "\x56\x43\x32\x21");
    EXPECT_EQ (bytes.substr (4, 4), littleEndian32 ((juce::uint32) bytes.size() - 9));
    EXPECT_EQ (bytes.back(), '\0');

    const auto text = bytes.substr (8, bytes.size() - 9);
    EXPECT_EQ (text.find_first_of (std::string ("\r\n\0", 3)), std::string::npos);

    const std::string opening = "<Vevarero><PARAM id=\"Cutoff\" value=\"11000\"/><PARAM id=\"Resonance\" value=\"0\"/>";
    const std::string closing = "<PARAM id=\"Dry_Wet_Mix_Mod_Depth\" value=\"0\"/><Preset_Name Preset_Name=\"INIT\"/></Vevarero>";
    EXPECT_EQ (text.substr (0, opening.size()), opening);
    EXPECT_EQ (text.substr (text.size() - closing.size()), closing);
}

TEST (HostState, SavingTwiceGivesTheSameBytesAndLeavesTheTreeAlone)
{
    VevareroAudioProcessor processor;
    processor.presetName = "Twice";

    const auto first = saveState (processor);
    const auto second = saveState (processor);

    EXPECT_EQ (first, second);
    EXPECT_EQ (countChildrenOfType (processor.valueTreeState.state, "Preset_Name"), 0);
    EXPECT_EQ (processor.valueTreeState.state.getNumChildren(), 29);
}

TEST (HostState, SaveSeesChangesTheTreeHasNotCaughtUpWith)
{
    VevareroAudioProcessor processor;
    parameter (processor, "Cutoff").setValueNotifyingHost (0.5f);

    const auto bytes = toBytes (saveState (processor));
    EXPECT_NE (bytes.find ("<PARAM id=\"Cutoff\" value=\"4560\"/>"), std::string::npos);
}

TEST (HostState, RoundTripKeepsValuesAndName)
{
    const juce::String names[] = {
        "INIT",
        "",
        "a & <b> \"c\" 'd'",
        juce::String::fromUTF8 ("line\nbreak\r\ttab \xc3\x84\xc3\xa9\xe2\x82\xac \xf0\x9f\x8e\xb5 ^`"),
    };

    for (const auto& name : names)
    {
        VevareroAudioProcessor source;
        moveAllAwayFromDefaults (source);
        setValue (source, "Cutoff", 4560.0f);
        setValue (source, "Amplitude", -60.0f);
        source.presetName = name;

        const auto block = saveState (source);

        VevareroAudioProcessor restored;
        restored.presetName = "before";
        restored.setStateInformation (block.getData(), (int) block.getSize());

        EXPECT_EQ (restored.presetName, name);
        EXPECT_EQ (countChildrenOfType (restored.valueTreeState.state, "Preset_Name"), 0);

        for (const auto& id : parameterIDs (source))
            EXPECT_EQ (value (restored, id), value (source, id)) << id;

        EXPECT_EQ (saveState (restored), block) << name;
    }
}

TEST (HostState, NameIsStoredEscaped)
{
    VevareroAudioProcessor processor;
    processor.presetName = juce::String::fromUTF8 ("a&b<c>\"d\"\n\xc3\xa9");

    const auto bytes = toBytes (saveState (processor));
    EXPECT_NE (bytes.find ("<Preset_Name Preset_Name=\"a&amp;b&lt;c&gt;&quot;d&quot;&#10;&#233;\"/></Vevarero>"),
               std::string::npos);
}

TEST (HostState, PresetNameElement)
{
    struct Case { std::string element; juce::String expectedName; };
    const Case cases[] = {
        { "<Preset_Name Preset_Name=\"Mine\"/>", "Mine" },
        { "<preset_name Preset_Name=\"Lower tag\"/>", "Lower tag" },
        { "<PRESET_NAME Preset_Name=\"Upper tag\"/>", "Upper tag" },
        { "<Preset_Name preset_name=\"Wrong case\"/>", "" },
        { "<Preset_Name/>", "" },
        { "<Preset_Name Preset_Name=\"First\"/><Preset_Name Preset_Name=\"Second\"/>", "First" },
        { "", "unchanged" },
        { "<Preset_Name Preset_Name=\"a\xff" "b\"/>", juce::String::fromUTF8 ("a\xef\xbf\xbd" "b") },
        { "<?pi?><Preset_Name Preset_Name=\"After an instruction\"/>", "After an instruction" },
    };

    for (const auto& c : cases)
    {
        VevareroAudioProcessor processor;
        processor.presetName = "unchanged";
        restoreState (processor, blob ("<Vevarero>" + c.element + someParameters + "</Vevarero>"));

        EXPECT_EQ (processor.presetName, c.expectedName) << c.element;
        EXPECT_EQ (value (processor, "Cutoff"), 500.0f) << c.element;
        EXPECT_EQ (value (processor, "Bits"), 4.0f) << c.element;

        // Only the element that gave the name leaves the tree.
        const auto expectedLeft = c.element.find ("Second") != std::string::npos ? 1 : 0;
        EXPECT_EQ (countChildrenOfType (processor.valueTreeState.state, "Preset_Name"), expectedLeft) << c.element;
    }
}

TEST (HostState, ForeignRootAndExtraChildrenAreKept)
{
    VevareroAudioProcessor processor;
    moveAllAwayFromDefaults (processor);
    restoreState (processor, blob ("<Elsewhere><Extra a=\"1\"/>" + someParameters + "</Elsewhere>"));

    const auto& state = processor.valueTreeState.state;
    EXPECT_EQ (state.getType().toString(), "Elsewhere");
    EXPECT_EQ (state.getChild (0).getType().toString(), "Extra");
    EXPECT_EQ (countChildrenOfType (state, "PARAM"), 29);

    for (const auto& id : parameterIDs (processor))
        if (id != "Cutoff" && id != "Bits")
        {
            EXPECT_EQ (value (processor, id), defaultValue (processor, id)) << id;
        }
}

TEST (HostState, BrokenBlobsChangeNothing)
{
    const auto text = "<Vevarero>" + someParameters + "<Preset_Name Preset_Name=\"New\"/></Vevarero>";
    const auto good = blob (text);

    struct Case { const char* what; std::string bytes; };
    const Case cases[] = {
        { "four bytes", good.substr (0, 4) },
        { "header only", good.substr (0, 8) },
        { "length zero", good.substr (0, 4) + littleEndian32 (0) + good.substr (8) },
        { "negative length", good.substr (0, 4) + littleEndian32 (0x80000000u) + good.substr (8) },
        { "bad magic", littleEndian32 (0x21324357) + good.substr (4) },
        { "cut off text", good.substr (0, good.size() / 2) },
        { "length cutting the text short", good.substr (0, 4) + littleEndian32 (20) + good.substr (8) },
        { "zero byte inside the text", good.substr (0, 20) + '\0' + good.substr (21) },
        { "not xml", blob ("Vevarero, Cutoff 500") },
        { "dangling multi-byte sequence", good.substr (0, 4) + littleEndian32 (3) + "<\xf0\x9f" },
    };

    for (const auto& c : cases)
    {
        VevareroAudioProcessor processor;
        setValue (processor, "Cutoff", 1234.0f);
        processor.presetName = "Old";
        const auto before = processor.valueTreeState.copyState();

        restoreState (processor, c.bytes);

        EXPECT_EQ (processor.presetName, "Old") << c.what;
        EXPECT_EQ (value (processor, "Cutoff"), 1234.0f) << c.what;
        EXPECT_TRUE (processor.valueTreeState.copyState().isEquivalentTo (before)) << c.what;
    }

    // A length field larger than the data is cut to the data, which here still holds the whole text.
    VevareroAudioProcessor processor;
    restoreState (processor, good.substr (0, 4) + littleEndian32 (100000) + good.substr (8));
    EXPECT_EQ (processor.presetName, "New");
    EXPECT_EQ (value (processor, "Cutoff"), 500.0f);
}

TEST (HostState, ValuesThatAreNotNumbersOrOutOfRangeAreMended)
{
    VevareroAudioProcessor processor;
    moveAllAwayFromDefaults (processor);

    restoreState (processor, blob ("<Vevarero><PARAM id=\"Cutoff\" value=\"nan\"/><PARAM id=\"Resonance\" value=\"-inf\"/>"
                                   "<PARAM id=\"Bits\" value=\"1e30\"/><PARAM id=\"Drive\"/><PARAM id=\"Rate\" value=\"-3\"/>"
                                   "<PARAM id=\"LFOs_Mix\" value=\"25\"/></Vevarero>"));

    EXPECT_EQ (value (processor, "Cutoff"), 11000.0f);
    EXPECT_EQ (value (processor, "Resonance"), 0.0f);
    EXPECT_EQ (value (processor, "Bits"), 16.0f);
    EXPECT_EQ (value (processor, "Drive"), 0.0f);
    EXPECT_EQ (value (processor, "Rate"), 0.0f);
    EXPECT_EQ (value (processor, "LFOs_Mix"), 25.0f);
    EXPECT_TRUE (allParametersSane (processor));

    const auto bytes = toBytes (saveState (processor));
    for (const char* word : { "\"nan\"", "\"-nan\"", "\"inf\"", "\"-inf\"" })
        EXPECT_EQ (bytes.find (word), std::string::npos) << word;
}

TEST (HostState, OnlyTheCurrentNameTravels)
{
    // A preset made from a saved host state keeps that state's name element in the tree.
    const auto file = freshFolder ("stale-name").getChildFile ("from-a-host.glp");
    writeBytes (file, "<Vevarero>" + someParameters + "<preset_name Preset_Name=\"Stale\"/></Vevarero>");

    VevareroAudioProcessor source;
    ASSERT_TRUE (qrvx::PresetsManager::loadPreset (file, source.valueTreeState).wasOk());
    source.presetName = "Current";

    const auto block = saveState (source);
    EXPECT_EQ (countChildrenOfType (source.valueTreeState.state, "Preset_Name"), 1);

    VevareroAudioProcessor restored;
    restored.setStateInformation (block.getData(), (int) block.getSize());
    EXPECT_EQ (restored.presetName, "Current");
    EXPECT_EQ (value (restored, "Cutoff"), 500.0f);
}
