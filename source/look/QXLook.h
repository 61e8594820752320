#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace qrvx
{

/** The editor's look and feel: dark panels, light grey text, the embedded Roboto Medium typeface
    for every font, and the layered knob face. The editor makes one of these the process-wide
    default, so its popup menus and every child without a look of its own are drawn here too.
*/
class QXLook : public juce::LookAndFeel_V2
{
public:
    /** The scale is held by reference and must outlive the look (it is the processor's
        fontScale, and the processor outlives its editor).
    */
    explicit QXLook (float const& scale);
    ~QXLook() override;

    //==============================================================================
    void drawScrollbar (juce::Graphics&, juce::ScrollBar&, int x, int y, int width, int height,
                        bool isScrollbarVertical, int thumbStartPosition, int thumbSize,
                        bool isMouseOver, bool isMouseDown) override;
    int getDefaultScrollbarWidth() override;
    int getScrollbarButtonSize (juce::ScrollBar&) override;

    juce::Typeface::Ptr getTypefaceForFont (const juce::Font&) override;

    void drawButtonBackground (juce::Graphics&, juce::Button&, const juce::Colour& backgroundColour,
                               bool isMouseOverButton, bool isButtonDown) override;
    void drawButtonText (juce::Graphics&, juce::TextButton&,
                         bool isMouseOverButton, bool isButtonDown) override;

    void drawTreeviewPlusMinusBox (juce::Graphics&, const juce::Rectangle<float>& area,
                                   juce::Colour backgroundColour, bool isOpen, bool isMouseOver) override;

    void drawPopupMenuBackground (juce::Graphics&, int width, int height) override;
    juce::Font getPopupMenuFont() override;
    void drawPopupMenuUpDownArrow (juce::Graphics&, int width, int height, bool isScrollUpArrow) override;
    void getIdealPopupMenuItemSize (const juce::String& text, bool isSeparator, int standardMenuItemHeight,
                                    int& idealWidth, int& idealHeight) override;

    void drawComboBox (juce::Graphics&, int width, int height, bool isButtonDown,
                       int buttonX, int buttonY, int buttonW, int buttonH, juce::ComboBox&) override;
    juce::Font getComboBoxFont (juce::ComboBox&) override;

    void drawLabel (juce::Graphics&, juce::Label&) override;

    void drawLinearSlider (juce::Graphics&, int x, int y, int width, int height,
                           float sliderPos, float minSliderPos, float maxSliderPos,
                           juce::Slider::SliderStyle, juce::Slider&) override;
    void drawLinearSliderBackground (juce::Graphics&, int x, int y, int width, int height,
                                     float sliderPos, float minSliderPos, float maxSliderPos,
                                     juce::Slider::SliderStyle, juce::Slider&) override;
    void drawLinearSliderThumb (juce::Graphics&, int x, int y, int width, int height,
                                float sliderPos, float minSliderPos, float maxSliderPos,
                                juce::Slider::SliderStyle, juce::Slider&) override;
    void drawRotarySlider (juce::Graphics&, int x, int y, int width, int height,
                           float sliderPos, float rotaryStartAngle, float rotaryEndAngle,
                           juce::Slider&) override;
    juce::Label* createSliderTextBox (juce::Slider&) override;

    void drawTabButton (juce::TabBarButton&, juce::Graphics&, bool isMouseOver, bool isMouseDown) override;
    void drawTabButtonText (juce::TabBarButton&, juce::Graphics&, bool isMouseOver, bool isMouseDown) override;
    void drawTabbedButtonBarBackground (juce::TabbedButtonBar&, juce::Graphics&) override;
    void drawTabAreaBehindFrontButton (juce::TabbedButtonBar&, juce::Graphics&, int w, int h) override;
    void createTabButtonShape (juce::TabBarButton&, juce::Path&, bool isMouseOver, bool isMouseDown) override;
    void fillTabButtonShape (juce::TabBarButton&, juce::Graphics&, const juce::Path&,
                             bool isMouseOver, bool isMouseDown) override;

    //==============================================================================
    using juce::LookAndFeel_V2::drawPopupMenuItem;

    /** Draws one menu row of the given size at the origin, for callers that paint menu-like
        lists themselves; the menus proper use the rectangle overload.
    */
    virtual void drawPopupMenuItem (juce::Graphics&, int width, int height,
                                    bool isSeparator, bool isActive, bool isHighlighted,
                                    bool isTicked, bool hasSubMenu,
                                    const juce::String& text, const juce::String& shortcutKeyText,
                                    const juce::Image* image, const juce::Colour* textColour);

    /** The value box that sliders drawn by this look get: dark, and deaf to the mouse wheel. */
    class SliderLabelComp;

protected:
    /** Draws the knob face; the wedge covers segmentStart..segmentEnd (nothing when empty) and the
        pointer stands at pointerAngle. The plain and the bipolar knob differ only in the wedge.
    */
    void drawKnob (juce::Graphics&, int x, int y, int width, int height,
                   float pointerAngle, float segmentStart, float segmentEnd, juce::Slider&);

    /** The dark track, the faint gloss and the outline around a linear slider's value part. */
    static void fillTrack (juce::Graphics&, juce::Rectangle<int> area, juce::Slider&);
    static void drawGlossAndOutline (juce::Graphics&, juce::Rectangle<int> area, bool vertical);

private:
    juce::Typeface::Ptr typeface;
    float const& fontScale;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (QXLook)
};

//==============================================================================
class QXLook::SliderLabelComp final : public juce::Label
{
public:
    SliderLabelComp();
    ~SliderLabelComp() override;

    void paint (juce::Graphics&) override;
    void mouseWheelMove (const juce::MouseEvent&, const juce::MouseWheelDetails&) override;

    // The slider itself is what assistive tools should see, not its value box.
    std::unique_ptr<juce::AccessibilityHandler> createAccessibilityHandler() override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (SliderLabelComp)
};

} // namespace qrvx
