#include "PresetTestSupport.h"

using namespace presettest;

//==============================================================================
TEST (HostState, ExactBytesAndTheTripOfNamesAndValues)
{
    struct Case { juce::String name; std::string stored; };
    const Case cases[] = {
        { "INIT", "INIT" }, { "", "" },
        { "a & <b> \"c\" 'd'", "a &amp; &lt;b&gt; &quot;c&quot; 'd'" },
        { juce::String::fromUTF8 ("line\nbreak\r\ttab \xc3\x84\xc3\xa9\xe2\x82\xac \xf0\x9f\x8e\xb5 ^`"),
          "line&#10;break&#13;&#9;tab &#196;&#233;&#8364; &#127925; &#94;&#96;" },
    };

    for (const auto& c : cases)
    {
        // A preset made from a saved host state still holds that state's name element.
        auto withStaleName = documentOf (2, Route::presetFile, "500.0");
        withStaleName.insert (withStaleName.find ("</Vevarero>"), "<preset_name Preset_Name=\"Stale\"/>");

        VevareroAudioProcessor source, restored;
        ASSERT_EQ (load (source, Route::presetFile, withStaleName), "");
        setValue (source, "Cutoff", 4560.0f); // just now, before the tree's timer has caught up
        source.presetName = c.name;

        const auto bytes = save (source, Route::hostState);
        EXPECT_EQ (bytes, documentOf (2, Route::hostState, "4560", c.stored));

        ASSERT_TRUE (takes (restored, Route::hostState, bytes));
        EXPECT_EQ (restored.presetName, c.name);

        for (int i = 0; i < source.getParameters().size(); ++i)
            EXPECT_EQ (restored.getParameters()[i]->getValue(), source.getParameters()[i]->getValue()) << i;

        EXPECT_EQ (save (restored, Route::hostState), bytes) << c.stored;
    }
}

TEST (HostState, RestoreTakesTheNameElementOutAndRefusesBrokenBlobs)
{
    auto withName = [] (const std::string& element) { return blob ("<Vevarero>" + element + "<PARAM id=\"Cutoff\" value=\"500\"/><PARAM id=\"Bits\" value=\"4\"/></Vevarero>"); };
    const auto good = withName ("<Preset_Name Preset_Name=\"New\"/>");
    auto withLength = [&good] (juce::uint32 length) { return good.substr (0, 4) + littleEndian32 (length) + good.substr (8); };

    struct Case { const char* what; std::string bytes; juce::String name; bool refused = false; };
    const Case cases[] = {
        { "as written", good, "New" }, { "no element", withName (""), "Old" },
        { "tag in lower case", withName ("<preset_name Preset_Name=\"Lower\"/>"), "Lower" },
        { "tag in upper case", withName ("<PRESET_NAME Preset_Name=\"Upper\"/>"), "Upper" },
        { "attribute in another case", withName ("<Preset_Name preset_name=\"Wrong case\"/>"), "" },
        { "no attribute", withName ("<Preset_Name/>"), "" },
        { "two elements", withName ("<Preset_Name Preset_Name=\"First\"/><Preset_Name Preset_Name=\"Second\"/>"), "First" },
        { "second element carrying a parameter's ID", withName ("<Preset_Name Preset_Name=\"First\"/><Preset_Name id=\"Bits\" value=\"8\"/>"), "First" },
        { "broken UTF-8", withName ("<Preset_Name Preset_Name=\"a\xff" "b\"/>"), juce::String::fromUTF8 ("a\xef\xbf\xbd" "b") },
        { "length larger than the data", withLength (100000), "New" },
        { "four bytes", good.substr (0, 4), "Old", true }, { "header only", good.substr (0, 8), "Old", true },
        { "length zero", withLength (0), "Old", true }, { "negative length", withLength (0x80000000u), "Old", true },
        { "length cutting the text short", withLength (20), "Old", true }, { "not XML", blob ("Vevarero, Cutoff 500"), "Old", true },
        { "bad magic", littleEndian32 (qrvx::stateBlobMagic + 1) + good.substr (4), "Old", true },
        { "zero byte inside the text", good.substr (0, 20) + '\0' + good.substr (21), "Old", true },
        { "dangling multi-byte sequence", good.substr (0, 4) + littleEndian32 (3) + "<\xf0\x9f", "Old", true },
    };

    for (const auto& c : cases)
    {
        VevareroAudioProcessor processor;
        EXPECT_EQ (takes (processor, Route::hostState, c.bytes), ! c.refused) << c.what;
        EXPECT_EQ (processor.presetName, c.name) << c.what;
        EXPECT_TRUE (c.refused || (value (processor, "Cutoff") == 500.0f && value (processor, "Bits") == 4.0f)) << c.what;

        // No name element stays in the tree: a parameter could bind to one by its ID, and the next
        // save, which drops them all, would lose that parameter's value.
        EXPECT_EQ (countNameElements (processor.valueTreeState.state), 0) << c.what;
    }
}
