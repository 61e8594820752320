#include "FooterTestSupport.h"
#include "look/QXLook.h"
#include "look/QrvxColours.h"

#include <optional>

using namespace footertest;

namespace
{
    using Rect = juce::Rectangle<int>;

    bool isBackground (juce::Colour c) { return c.getARGB() == 0xff191919; }

    // The plate's short sides are half circles, so the pixels at their tips are nearly, not fully, covered.
    bool isPlateBlue (juce::Colour c)
    {
        const auto blue = qrvx::QrvxColours::blue;
        return std::abs (c.getRed() - blue.getRed()) + std::abs (c.getGreen() - blue.getGreen())
                   + std::abs (c.getBlue() - blue.getBlue()) < 24;
    }

    /** Bounding box of the pixels inside an area that pass a test. */
    Rect boundsOf (const juce::Image& image, Rect area, const std::function<bool (juce::Colour)>& wanted)
    {
        std::optional<Rect> box;
        for (int y = area.getY(); y < area.getBottom(); ++y)
            for (int x = area.getX(); x < area.getRight(); ++x)
                if (wanted (image.getPixelAt (x, y)))
                    box = box.has_value() ? box->getUnion ({ x, y, 1, 1 }) : Rect (x, y, 1, 1);
        return box.value_or (Rect());
    }

    testing::AssertionResult centredWithin (Rect drawn, Rect box)
    {
        if (drawn.isEmpty() || ! box.contains (drawn) || std::abs (drawn.getCentreX() - box.getCentreX()) > 2
            || std::abs (drawn.getCentreY() - box.getCentreY()) > 2)
            return testing::AssertionFailure() << drawn.toString() << " not centred inside " << box.toString();
        return testing::AssertionSuccess();
    }
}

//==============================================================================
TEST_F (FooterTest, ChildrenLandOnTheirRectanglesAtBothSizes)
{
    EXPECT_EQ (footer->getBounds(), Rect (0, 0, 640, 115)); // as built, before the editor lays it out

    auto* listButton = findChild<juce::TextButton> (*footer, {});
    const juce::Component* children[] = { &label(), listButton, &button ("prev"), &button ("next"),
                                          &button ("save"), &button ("config"), &button ("rnd") };
    struct Row { int w, h; Rect expected[7]; };
    const Row rows[] = {
        { 636, 66, { { 223, 13, 191, 20 }, { 223, 13, 191, 20 }, { 198, 13, 20, 20 }, { 419, 13, 20, 20 },
                     { 374, 38, 40, 16 }, { 223, 38, 40, 16 }, { 459, 17, 51, 33 } } },
        { 640, 115, { { 224, 23, 192, 34 }, { 224, 23, 192, 34 }, { 199, 23, 20, 34 }, { 421, 23, 20, 34 },
                      { 376, 62, 40, 27 }, { 224, 62, 40, 27 }, { 461, 29, 51, 58 } } },
    };

    for (const auto& row : rows)
    {
        footer->setSize (row.w, row.h);
        for (size_t i = 0; i < std::size (children); ++i)
            EXPECT_EQ (children[i]->getBounds(), row.expected[i]) << children[i]->getName() << " #" << i << " at " << row.w;
    }

    // The list button lies over the label, so a click on the name reaches it; it never shows.
    EXPECT_GT (footer->getIndexOfChildComponent (listButton), footer->getIndexOfChildComponent (&label()));
    EXPECT_EQ (listButton->getAlpha(), 0.0f);
}

TEST_F (FooterTest, PaintsPlateShadeLogoAndWordmarkInTheirBoxes)
{
    qrvx::QXLook look (processor.fontScale);
    footer->setLookAndFeel (&look);
    footer->setSize (636, 66);
    const auto image = renderComponent (*footer);
    footer->setLookAndFeel (nullptr);

    // The plate (223, 13, 191, 20): inside each edge blue, one pixel beyond it the background.
    const std::pair<juce::Point<int>, juce::Point<int>> edges[] = {
        { { 223, 23 }, { 222, 23 } }, { { 413, 23 }, { 414, 23 } },
        { { 240, 13 }, { 240, 12 } }, { { 240, 32 }, { 240, 33 } },
    };

    for (const auto& [inside, outside] : edges)
    {
        EXPECT_TRUE (isPlateBlue (image.getPixelAt (inside.x, inside.y))) << inside.toString();
        EXPECT_TRUE (isBackground (image.getPixelAt (outside.x, outside.y))) << outside.toString();
    }

    // The top shade fades from its grey at the top edge into the background over ten rows.
    EXPECT_NEAR (image.getPixelAt (5, 0).getRed(), 0x27, 2);
    for (int y = 1; y < 10; ++y)
        EXPECT_LT (image.getPixelAt (5, y).getRed(), image.getPixelAt (5, y - 1).getRed()) << "row " << y;
    EXPECT_TRUE (isBackground (image.getPixelAt (5, 10)));

    const auto white = [] (juce::Colour c) { return c.getRed() > 0x80 && c.getRed() == c.getGreen() && c.getGreen() == c.getBlue(); };
    const auto logo = boundsOf (image, { 0, 0, 200, 66 }, white);
    const auto wordmark = boundsOf (image, { 520, 0, 116, 66 }, white);

    EXPECT_TRUE (centredWithin (logo, { 13, 13, 153, 40 }));
    EXPECT_GT (logo.getWidth(), 130); // fitted to the box, not drawn at some small size
    EXPECT_TRUE (centredWithin (wordmark, { 528, 20, 95, 26 }));
    EXPECT_GT (wordmark.getWidth(), 75);

    // The wordmark is light grey, the logotype white.
    EXPECT_FALSE (boundsOf (image, logo, [] (juce::Colour c) { return c.getRed() >= 0xfc; }).isEmpty());
    EXPECT_TRUE (boundsOf (image, wordmark, [] (juce::Colour c) { return c.getRed() > 0xc0; }).isEmpty());
    EXPECT_FALSE (boundsOf (image, wordmark, [] (juce::Colour c) { return c.getRed() >= 0xb8; }).isEmpty());
}

TEST_F (FooterTest, ArrowsStepThroughTheFolderWithWrapAround)
{
    const float cutoffs[] = { 200.0f, 400.0f, 800.0f };
    writePreset ("Alpha.glp", cutoffs[0]);
    writePreset ("Beta.glp", cutoffs[1]);
    writePreset ("Gamma.glp", cutoffs[2]);

    const auto names = footer->createPresetNamesArray();
    ASSERT_EQ (names.size(), 3);
    const auto cutoffOf = [&] (int i) { return cutoffs[names[i] == "Alpha" ? 0 : names[i] == "Beta" ? 1 : 2]; };

    struct Step { int from; const char* arrow; int to; };
    const Step steps[] = { { 0, "prev", 2 }, { 1, "prev", 0 }, { 2, "prev", 1 },
                           { 0, "next", 1 }, { 1, "next", 2 }, { 2, "next", 0 } };

    for (const auto& step : steps)
    {
        processor.presetName = names[step.from];
        setCutoff (processor, 1000.0f);
        footer->buttonClicked (&button (step.arrow));

        EXPECT_EQ (processor.presetName, names[step.to]) << step.arrow << " from " << step.from;
        EXPECT_EQ (processor.presetFilePath, folder.getChildFile (names[step.to] + ".glp").getFullPathName());
        EXPECT_FLOAT_EQ (cutoff (processor), cutoffOf (step.to));
    }
    EXPECT_TRUE (failures.isEmpty());
}

TEST_F (FooterTest, ArrowsWithOneFileOrNoMatchingName)
{
    writePreset ("Only.glp", 300.0f);

    for (const auto* arrow : { "prev", "next" })
    {
        processor.presetName = "Only";
        setCutoff (processor, 1000.0f);
        footer->buttonClicked (&button (arrow));
        EXPECT_EQ (processor.presetName, "Only") << arrow;
        EXPECT_FLOAT_EQ (cutoff (processor), 300.0f) << arrow << " reloads the single preset";
    }

    // No file carries the current name exactly: the arrows leave everything alone.
    for (const auto* current : { "INIT", "ONLY", "only" })
        for (const auto* arrow : { "prev", "next" })
        {
            processor.presetName = current;
            processor.presetFilePath = "unchanged";
            setCutoff (processor, 1000.0f);
            footer->buttonClicked (&button (arrow));
            EXPECT_EQ (processor.presetName, current) << arrow;
            EXPECT_EQ (processor.presetFilePath, "unchanged");
            EXPECT_FLOAT_EQ (cutoff (processor), 1000.0f) << current << " " << arrow;
        }
}

TEST_F (FooterTest, ListShowsThePresetFilesOfTheFolderItself)
{
    writePreset ("One.glp", 300.0f);
    writePreset ("Two.glp", 600.0f);
    writePreset ("Notes.txt", 600.0f);
    writePreset ("NoExtension", 600.0f);
    writePreset ("Sub/Nested.glp", 600.0f);
    folder.getChildFile ("Folder.glp").createDirectory(); // a folder, not a file

    auto names = footer->createPresetNamesArray();
    names.sort (false);
    EXPECT_EQ (names, juce::StringArray ({ "One", "Two" }));

    folder.deleteRecursively();
    EXPECT_TRUE (footer->createPresetNamesArray().isEmpty()); // missing folder
}

TEST_F (FooterTest, ListMenuColoursTheCurrentPresetAndLoadsTheChoice)
{
    writePreset ("One.glp", 300.0f);
    writePreset ("Two.glp", 600.0f);
    const auto names = footer->createPresetNamesArray();

    for (const auto* current : { "One", "Two", "INIT", "one" })
    {
        processor.presetName = current;
        const auto menu = footer->createPresetListMenu (names);

        int index = 0;
        for (juce::PopupMenu::MenuItemIterator it (menu); it.next(); ++index)
        {
            const auto& item = it.getItem();
            EXPECT_EQ (item.itemID, index + 1);
            EXPECT_EQ (item.text, names[index]);
            EXPECT_TRUE (item.isEnabled && ! item.isTicked);
            EXPECT_EQ (item.colour, names[index] == current ? qrvx::QrvxColours::blue : juce::Colour()) << current;
        }
        EXPECT_EQ (index, names.size());
    }

    const auto options = footer->presetListMenuOptions();
    EXPECT_EQ (options.getTargetComponent(), findChild<juce::TextButton> (*footer, {}));
    EXPECT_EQ (options.getItemThatMustBeVisible(), 1);
    EXPECT_EQ (options.getMinimumWidth(), 40);
    EXPECT_EQ (options.getMaximumNumColumns(), 4);

    // Dismissed: nothing changes.
    processor.presetName = "One";
    setCutoff (processor, 1000.0f);
    footer->presetListItemChosen (names, 0);
    EXPECT_EQ (processor.presetName, "One");
    EXPECT_FLOAT_EQ (cutoff (processor), 1000.0f);

    // Chosen: loaded, and the label follows at the next refresh.
    const auto chosen = names.indexOf ("Two");
    footer->presetListItemChosen (names, chosen + 1);
    EXPECT_FLOAT_EQ (cutoff (processor), 600.0f);
    EXPECT_EQ (processor.presetFilePath, folder.getChildFile ("Two.glp").getFullPathName());
    footer->updatePresetName();
    EXPECT_EQ (label().getText(), "Two");
}

TEST_F (FooterTest, BrokenPresetIsNotShownAsLoadedAndDottedNamesFindTheirOwnFile)
{
    writePreset ("Good.glp", 300.0f);
    writePreset ("Bass v1.2.glp", 500.0f);
    writePreset ("Bass v1.glp", 700.0f); // what swapping the extension in would open instead
    {
        juce::FileOutputStream broken (folder.getChildFile ("Broken.glp"));
        broken << "this is not a preset";
    }

    processor.presetName = "Good";
    processor.presetFilePath = folder.getChildFile ("Good.glp").getFullPathName();
    setCutoff (processor, 1000.0f);
    footer->updatePresetName();

    footer->loadPreset ({ "Broken" }, 0);
    footer->updatePresetName();

    EXPECT_EQ (processor.presetName, "Good");
    EXPECT_EQ (processor.presetFilePath, folder.getChildFile ("Good.glp").getFullPathName());
    EXPECT_EQ (label().getText(), "Good");
    EXPECT_FLOAT_EQ (cutoff (processor), 1000.0f);
    ASSERT_EQ (failures.size(), 1);
    EXPECT_TRUE (failures[0].contains ("Broken") && failures[0].contains ("could not load")) << failures[0];

    footer->loadPreset ({ "Bass v1.2" }, 0);
    EXPECT_EQ (processor.presetName, "Bass v1.2");
    EXPECT_EQ (processor.presetFilePath, folder.getChildFile ("Bass v1.2.glp").getFullPathName());
    EXPECT_FLOAT_EQ (cutoff (processor), 500.0f);
    EXPECT_EQ (failures.size(), 1);
}

TEST_F (FooterTest, SheetOfFooterAndPressedImages)
{
    qrvx::QXLook look (processor.fontScale);
    footer->setLookAndFeel (&look);
    footer->setSize (636, 66);
    processor.presetName = "Bass v1.2";
    footer->updatePresetName();

    juce::Image sheet (juce::Image::ARGB, 636, 66 * 3, true);
    juce::Graphics g (sheet);
    g.drawImageAt (renderComponent (*footer), 0, 0);

    // Below it every button held down, then each button's images large: normal, then pressed.
    auto area = Rect (0, 66 * 2, 636, 66);
    g.setColour (juce::Colour (0xff191919));
    g.fillRect (area);

    for (const auto* name : { "prev", "next", "save", "config", "rnd" })
    {
        auto& b = button (name);
        b.setSize (58, 58);
        for (const auto state : { juce::Button::buttonNormal, juce::Button::buttonDown })
        {
            b.setState (state);
            g.drawImageAt (renderComponent (b), area.removeFromLeft (63).getX() + 4, area.getY() + 4);
        }
    }
    footer->resized();
    g.drawImageAt (renderComponent (*footer), 0, 66);
    footer->setLookAndFeel (nullptr);

    // Save and config have no pressed form; the others differ when held.
    for (const auto* name : { "prev", "next", "rnd" })
        EXPECT_NE (button (name).getDownImage(), button (name).getNormalImage()) << name;
    for (const auto* name : { "save", "config" })
        EXPECT_EQ (button (name).getDownImage(), button (name).getNormalImage()) << name;

    const auto file = testOutputFile ("footer.png");
    file.deleteFile();
    juce::FileOutputStream out (file);
    ASSERT_TRUE (juce::PNGImageFormat().writeImageToStream (sheet, out));
}
