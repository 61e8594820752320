#include "Footer.h"

#include "EmbeddedDrawing.h"
#include "HostQuirks.h"
#include "look/QrvxColours.h"
#include "presets/PresetsManager.h"

#include <VevareroBinaryData.h>

namespace
{
    /** A proportion of a length, rounded to whole pixels. */
    int proportion (int length, float factor)
    {
        return juce::roundToInt ((float) length * factor);
    }

    const juce::Colour backgroundColour { 0xff191919 };
    const juce::Colour topShadeColour { 0xff272727 };
    constexpr int topShadeHeight = 10;
    constexpr float plateCornerSize = 10.0f;
    constexpr float presetNameFontHeight = 16.0f;

    // The list can be long: spread it over a few columns rather than a screen-high strip.
    constexpr int presetListMaxColumns = 4;
}

Footer::Footer (VevareroAudioProcessor& p)
    : processor (p)
{
    prevImage       = EmbeddedDrawing::load (VevareroBinaryData::footer_arrow_left_svg, VevareroBinaryData::footer_arrow_left_svgSize);
    prevDownImage   = EmbeddedDrawing::load (VevareroBinaryData::footer_arrow_left_pressed_svg, VevareroBinaryData::footer_arrow_left_pressed_svgSize);
    nextImage       = EmbeddedDrawing::load (VevareroBinaryData::footer_arrow_right_svg, VevareroBinaryData::footer_arrow_right_svgSize);
    nextDownImage   = EmbeddedDrawing::load (VevareroBinaryData::footer_arrow_right_pressed_svg, VevareroBinaryData::footer_arrow_right_pressed_svgSize);
    saveImage       = EmbeddedDrawing::load (VevareroBinaryData::footer_floppy_disk_svg, VevareroBinaryData::footer_floppy_disk_svgSize);
    configImage     = EmbeddedDrawing::load (VevareroBinaryData::footer_cog_svg, VevareroBinaryData::footer_cog_svgSize);
    randomImage     = EmbeddedDrawing::load (VevareroBinaryData::footer_random_arrows_question_mark_svg,
                                    VevareroBinaryData::footer_random_arrows_question_mark_svgSize);
    randomDownImage = EmbeddedDrawing::load (VevareroBinaryData::footer_random_arrows_question_mark_pressed_svg,
                                    VevareroBinaryData::footer_random_arrows_question_mark_pressed_svgSize);

    isAbletonLive = qrvx::HostQuirks::isAbletonLive();

    presetNameLabel = std::make_unique<juce::Label>();
    presetNameLabel->setFont (juce::Font (presetNameFontHeight, juce::Font::plain));
    presetNameLabel->setJustificationType (juce::Justification::centred);
    presetNameLabel->setEditable (false, false, false);
    presetNameLabel->setColour (juce::Label::textColourId, juce::Colours::black);
    presetNameLabel->setColour (juce::Label::backgroundColourId, juce::Colours::transparentBlack);
    addAndMakeVisible (*presetNameLabel);

    // Invisible, over the name: the name itself is what the user clicks to open the list.
    presetListButton = std::make_unique<juce::TextButton>();
    addAndMakeVisible (*presetListButton);
    presetListButton->addListener (this);

    prevButton   = std::make_unique<juce::DrawableButton> ("prev", juce::DrawableButton::ImageStretched);
    nextButton   = std::make_unique<juce::DrawableButton> ("next", juce::DrawableButton::ImageStretched);
    saveButton   = std::make_unique<juce::DrawableButton> ("save", juce::DrawableButton::ImageFitted);
    configButton = std::make_unique<juce::DrawableButton> ("config", juce::DrawableButton::ImageFitted);
    randomButton = std::make_unique<juce::DrawableButton> ("rnd", juce::DrawableButton::ImageFitted);

    for (auto* button : { prevButton.get(), nextButton.get(), saveButton.get(), configButton.get(), randomButton.get() })
        addAndMakeVisible (button);

    wordmarkDrawable = EmbeddedDrawing::load (VevareroBinaryData::ririvud_wordmark_svg, VevareroBinaryData::ririvud_wordmark_svgSize);
    logoDrawable = EmbeddedDrawing::load (VevareroBinaryData::vevarero_logotype_svg, VevareroBinaryData::vevarero_logotype_svgSize);

    presetListButton->setAlpha (0.0f);

    prevButton->setImages (prevImage.get(), nullptr, prevDownImage.get());
    nextButton->setImages (nextImage.get(), nullptr, nextDownImage.get());
    saveButton->setImages (saveImage.get());
    configButton->setImages (configImage.get());
    randomButton->setImages (randomImage.get(), nullptr, randomDownImage.get());

    for (auto* button : { prevButton.get(), nextButton.get(), saveButton.get(), configButton.get(), randomButton.get() })
        button->addListener (this);

    setSize (640, 115);

    showFailure = [this] (const juce::String& title, const juce::String& message)
    {
        showAlert (juce::MessageBoxOptions()
                       .withIconType (juce::MessageBoxIconType::WarningIcon)
                       .withTitle (title)
                       .withMessage (message)
                       .withButton ("OK"),
                   nullptr);
    };

    revealToUser = [] (const juce::File& file) { file.revealToUser(); };

    askToReplace = [this] (const juce::File& file, std::function<void (bool)> answer)
    {
        showAlert (juce::MessageBoxOptions()
                       .withIconType (juce::MessageBoxIconType::QuestionIcon)
                       .withTitle ("Replace Preset")
                       .withMessage ("\"" + file.getFileName() + "\" already exists. Do you want to replace it?")
                       .withButton ("Replace")
                       .withButton ("Cancel"),
                   [answer] (int button) { answer (button == 1); });
    };
}

Footer::~Footer() = default;

//==============================================================================
void Footer::paint (juce::Graphics& g)
{
    const auto w = getWidth();
    const auto h = getHeight();

    g.fillAll (backgroundColour);

    g.setColour (qrvx::QrvxColours::blue());
    g.fillRoundedRectangle ((float) proportion (w, 0.35f), (float) proportion (h, 0.2f),
                            (float) proportion (w, 0.3f), (float) proportion (h, 0.3f), plateCornerSize);

    const auto shadeX = (float) proportion (w, 0.5f);
    g.setGradientFill (juce::ColourGradient (topShadeColour, shadeX, 0.0f,
                                             topShadeColour.withAlpha ((juce::uint8) 0), shadeX, (float) topShadeHeight, false));
    g.fillRect (0, 0, w, topShadeHeight);

    if (wordmarkDrawable != nullptr)
    {
        const auto boxWidth = proportion (w, 0.15f);
        wordmarkDrawable->drawWithin (g, juce::Rectangle<int> (proportion (w, 0.98f) - boxWidth, proportion (h, 0.3f),
                                                               boxWidth, proportion (h, 0.4f)).toFloat(),
                                      juce::RectanglePlacement::centred, 1.0f);
    }

    if (logoDrawable != nullptr)
        logoDrawable->drawWithin (g, juce::Rectangle<int> (proportion (w, 0.02f), proportion (h, 0.2f),
                                                           proportion (w, 0.24f), proportion (h, 0.6f)).toFloat(),
                                  juce::RectanglePlacement::centred, 1.0f);
}

void Footer::resized()
{
    const auto w = getWidth();
    const auto h = getHeight();

    // The name box sits a hair above and inside the painted plate's proportions.
    const auto left = proportion (w, 0.35f);
    const auto top = proportion (h, 0.1996f);
    const auto width = proportion (w, 0.3f);
    const auto height = proportion (h, 0.296f);
    const auto smallButtonHeight = proportion (height, 0.794f);

    presetNameLabel->setBounds (left, top, width, height);
    presetListButton->setBounds (left, top, width, height);
    prevButton->setBounds (left - 25, top, 20, height);
    nextButton->setBounds (left + width + 5, top, 20, height);
    saveButton->setBounds (left + width - 40, top + height + 5, 40, smallButtonHeight);
    configButton->setBounds (left, top + height + 5, 40, smallButtonHeight);
    randomButton->setBounds (left + width + 45, proportion (h, 0.2517f), proportion (w, 0.0797f), proportion (h, 0.5044f));
}

void Footer::buttonClicked (juce::Button* button)
{
    if (button == presetListButton.get())
        showPresetList();
    else if (button == prevButton.get())
        stepThroughPresets (false);
    else if (button == nextButton.get())
        stepThroughPresets (true);
    else if (button == saveButton.get())
        launchSaveDialog();
    else if (button == configButton.get())
        showConfigMenu();
    else if (button == randomButton.get())
        randomiseParameters (random);
}

//==============================================================================
void Footer::updatePresetName()
{
    const auto name = processor.currentPreset.getName();

    if (presetNameLabel->getText() != name)
        presetNameLabel->setText (name, juce::dontSendNotification);
}

qrvx::PresetFolder::Entries Footer::createPresetList() const
{
    return qrvx::PresetFolder::list (juce::File (qrvx::PresetsManager::presetsFolderPath()));
}

juce::StringArray Footer::createPresetNamesArray() const
{
    return qrvx::PresetFolder::namesOf (createPresetList());
}

void Footer::loadPreset (const qrvx::PresetFolder::Entries& presets, int index)
{
    if (! juce::isPositiveAndBelow (index, (int) presets.size()))
        return;

    // After a pick from the list the arrows go on from the current preset's name again.
    arrows.forget();
    tryToLoad (presets[(size_t) index]);
}

void Footer::tryToLoad (const qrvx::PresetFolder::Entry& preset)
{
    const auto result = qrvx::PresetsManager::loadPreset (preset.file, processor.valueTreeState);

    if (result.failed())
    {
        showFailure ("Preset Not Loaded", "\"" + preset.name + "\": " + result.getErrorMessage());
        return;
    }

    processor.currentPreset.set (preset.name, preset.file.getFullPathName());
}

//==============================================================================
juce::PopupMenu Footer::createPresetListMenu (const juce::StringArray& names) const
{
    const auto currentName = processor.currentPreset.getName();
    juce::PopupMenu menu;

    for (int i = 0; i < names.size(); ++i)
    {
        if (names[i] == currentName)
            menu.addColouredItem (i + 1, names[i], qrvx::QrvxColours::blue());
        else
            menu.addItem (i + 1, names[i]);
    }

    return menu;
}

juce::PopupMenu::Options Footer::presetListMenuOptions()
{
    return juce::PopupMenu::Options()
        .withTargetComponent (presetListButton.get())
        .withItemThatMustBeVisible (1)
        .withMinimumWidth (menuMinimumWidth)
        .withMaximumNumColumns (presetListMaxColumns);
}

void Footer::presetListItemChosen (const qrvx::PresetFolder::Entries& presets, int itemID)
{
    if (itemID > 0)
        loadPreset (presets, itemID - 1);
}

void Footer::showPresetList()
{
    const auto presets = createPresetList();

    showMenu (createPresetListMenu (qrvx::PresetFolder::namesOf (presets)), presetListMenuOptions(),
              [this, presets] (int itemID) { presetListItemChosen (presets, itemID); });
}

void Footer::showMenu (juce::PopupMenu menu, const juce::PopupMenu::Options& options, std::function<void (int)> chosen)
{
    // Its own editor's look rather than the default of the moment, which is the newest editor's:
    // that editor may close, and delete its look, while this menu is still open.
    menu.setLookAndFeel (&getLookAndFeel());

    openedWindows.open ([&]
    {
        menu.showMenuAsync (options, [safeThis = juce::Component::SafePointer<Footer> (this), chosen] (int itemID)
                            {
                                if (safeThis != nullptr)
                                    chosen (itemID);
                            });
    });
}

void Footer::showAlert (const juce::MessageBoxOptions& options, std::function<void (int)> answered)
{
    openedWindows.open ([&] { juce::AlertWindow::showAsync (options, std::move (answered)); });
}

void Footer::stepThroughPresets (bool forwards)
{
    const auto presets = createPresetList();
    const auto target = arrows.target (presets, processor.currentPreset.getName(), forwards);

    if (target < 0)
        return;

    const auto& preset = presets[(size_t) target];
    tryToLoad (preset);
    arrows.tried (preset.file, processor.currentPreset.getName());
}
