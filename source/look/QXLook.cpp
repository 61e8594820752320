#include "QXLook.h"
#include "QrvxColours.h"

#include <VevareroBinaryData.h>

#include <cmath>

namespace qrvx
{

namespace
{
    // The palette's greys (backgrounds, outlines, text and highlights) and blue, plus a lighter
    // grey of the look's own for the knob gradients and one for the two-value range box.
    const juce::Colour darkGrey  = QrvxColours::dark_grey();
    const juce::Colour grey      = QrvxColours::grey();
    const juce::Colour lightGrey = QrvxColours::light_grey();
    const juce::Colour blue      = QrvxColours::blue();
    const juce::Colour knobLight { 0xff3f3f3f };
    const juce::Colour rangeBox  { 0xffaeaeae };

    // Buttons and combo boxes share this barely visible sheen.
    juce::ColourGradient makeSheen (int width, int height)
    {
        return { juce::Colours::white.withAlpha ((juce::uint8) 0x02), 0.25f * (float) width, 0.0f,
                 juce::Colours::white.withAlpha ((juce::uint8) 0x00), 0.75f * (float) width, (float) height,
                 false };
    }

    bool isBarStyle (juce::Slider::SliderStyle style)
    {
        return style == juce::Slider::LinearBar || style == juce::Slider::LinearBarVertical;
    }
} // namespace

//==============================================================================
QXLook::QXLook (float const& scale)
    : typeface (nullptr),
      fontScale (scale)
{
    typeface = juce::Typeface::createSystemTypefaceFor (VevareroBinaryData::RobotoMedium_ttf,
                                                        (size_t) VevareroBinaryData::RobotoMedium_ttfSize);

    setColour (juce::PopupMenu::textColourId, lightGrey);
    setColour (juce::PopupMenu::highlightedBackgroundColourId, lightGrey);
    setColour (juce::PopupMenu::highlightedTextColourId, darkGrey);
    setColour (juce::TooltipWindow::backgroundColourId, lightGrey);
    setColour (juce::TooltipWindow::textColourId, darkGrey);
    setColour (juce::TooltipWindow::outlineColourId, juce::Colours::black);
    setColour (juce::ComboBox::backgroundColourId, darkGrey);
    setColour (juce::ComboBox::textColourId, lightGrey);
    setColour (juce::ComboBox::outlineColourId, grey);
    setColour (juce::ComboBox::arrowColourId, lightGrey);
    setColour (juce::ListBox::backgroundColourId, darkGrey);
    setColour (juce::DirectoryContentsDisplayComponent::textColourId, lightGrey);
    setColour (juce::DirectoryContentsDisplayComponent::highlightColourId, blue);
    setColour (juce::TreeView::backgroundColourId, darkGrey);
    setColour (juce::TreeView::linesColourId, lightGrey);
    // The footer's drawable buttons are icons floating on the panel, without a plate.
    setColour (juce::DrawableButton::backgroundOnColourId, juce::Colours::transparentWhite);
    setColour (juce::DrawableButton::backgroundColourId, juce::Colours::transparentWhite);
}

QXLook::~QXLook()
{
    typeface = nullptr;
}

//==============================================================================
void QXLook::drawScrollbar (juce::Graphics& g, juce::ScrollBar&, int x, int y, int width, int height,
                            bool isScrollbarVertical, int thumbStartPosition, int thumbSize,
                            bool /*isMouseOver*/, bool /*isMouseDown*/)
{
    g.fillAll (darkGrey);

    const auto slotIndent = juce::jmin (width, height) >= 16 ? 1.0f : 0.0f;
    const auto thumbIndent = slotIndent + 1.0f;

    // Both kinds are rounded along their length, so the corner radius is half the thickness.
    const auto thickness = (float) (isScrollbarVertical ? width : height);
    const auto slotArea = juce::Rectangle<int> (x, y, width, height).toFloat().reduced (slotIndent);

    juce::Path slot, thumb;
    slot.addRoundedRectangle (slotArea, (thickness - 2.0f * slotIndent) * 0.5f);

    if (thumbSize > 0)
    {
        const auto across = (float) (isScrollbarVertical ? x : y) + thumbIndent;
        const auto along = (float) thumbStartPosition + thumbIndent;
        const auto length = (float) thumbSize - 2.0f * thumbIndent;
        const auto depth = thickness - 2.0f * thumbIndent;

        const auto thumbArea = isScrollbarVertical ? juce::Rectangle<float> (across, along, depth, length)
                                                   : juce::Rectangle<float> (along, across, length, depth);
        thumb.addRoundedRectangle (thumbArea, depth * 0.5f);
    }

    g.setColour (lightGrey);
    g.fillPath (slot);

    g.setColour (darkGrey);
    g.fillPath (thumb);

    g.setColour (juce::Colour (0x4c000000));
    g.strokePath (thumb, juce::PathStrokeType (0.4f));
}

int QXLook::getDefaultScrollbarWidth()
{
    return 8;
}

int QXLook::getScrollbarButtonSize (juce::ScrollBar&)
{
    return 0;
}

juce::Typeface::Ptr QXLook::getTypefaceForFont (const juce::Font&)
{
    return typeface;
}

//==============================================================================
void QXLook::drawButtonBackground (juce::Graphics& g, juce::Button& button, const juce::Colour& backgroundColour,
                                   bool /*isMouseOverButton*/, bool isButtonDown)
{
    const auto w = button.getWidth();
    const auto h = button.getHeight();

    if (! button.getToggleState() && ! isButtonDown)
    {
        g.setColour (backgroundColour);
        g.fillRect (0, 0, w, h);

        g.setGradientFill (makeSheen (w, h));
        g.fillRect (0, 0, w, h);

        g.setColour (juce::Colours::black);
        g.drawRect (0, 0, w, h, 1);
        g.fillRect (0, h - 2, w, 2);

        g.setColour (grey);
        g.drawRect (2, 2, juce::jmax (0, w - 4), juce::jmax (0, h - 4), 1);
    }
    else
    {
        g.setColour (backgroundColour.withMultipliedBrightness (0.8f));
        g.fillRect (0, 0, w, h);

        g.setColour (juce::Colours::black);
        g.drawRect (0, 1, juce::jmax (0, w), juce::jmax (0, h - 2), 1);
        g.fillRect (0, 1, juce::jmax (0, w), 2);
        g.fillRect (0, juce::jmax (0, h - 2) - 1, juce::jmax (0, w), 2);
    }
}

void QXLook::drawButtonText (juce::Graphics& g, juce::TextButton& button,
                             bool /*isMouseOverButton*/, bool isButtonDown)
{
    const auto font = getTextButtonFont (button, button.getHeight());
    g.setFont (font);

    // Unlike JUCE's default, a held button already shows its "on" colour, so the press is felt
    // before the release toggles anything.
    const auto colourId = (button.getToggleState() || isButtonDown) ? juce::TextButton::textColourOnId
                                                                     : juce::TextButton::textColourOffId;
    g.setColour (button.findColour (colourId).withMultipliedAlpha (button.isEnabled() ? 1.0f : 0.5f));

    const auto yIndent = juce::jmin (4, button.proportionOfHeight (0.3f));
    const auto cornerSize = juce::jmin (button.getHeight(), button.getWidth()) / 2;

    const auto fontHeight = juce::roundToInt (font.getHeight() * 0.6f);
    const auto leftIndent = juce::jmin (fontHeight, 2 + cornerSize / (button.isConnectedOnLeft() ? 4 : 2));
    const auto rightIndent = juce::jmin (fontHeight, 2 + cornerSize / (button.isConnectedOnRight() ? 4 : 2));
    const auto textWidth = button.getWidth() - leftIndent - rightIndent;

    if (textWidth > 0)
        g.drawFittedText (button.getButtonText(), leftIndent, yIndent, textWidth, button.getHeight() - yIndent * 2,
                          juce::Justification::centred, 2);
}

//==============================================================================
void QXLook::drawTreeviewPlusMinusBox (juce::Graphics& g, const juce::Rectangle<float>& area,
                                       juce::Colour /*backgroundColour*/, bool isOpen, bool /*isMouseOver*/)
{
    // Odd sizes give the plus sign a pixel column of its own in the middle.
    const auto boxSize = juce::roundToInt (juce::jmin (16.0f, area.getWidth(), area.getHeight()) * 0.7f) | 1;

    const auto x = ((int) area.getWidth() - boxSize) / 2 + (int) area.getX();
    const auto y = ((int) area.getHeight() - boxSize) / 2 + (int) area.getY();
    const juce::Rectangle<float> box ((float) x, (float) y, (float) boxSize, (float) boxSize);

    g.setColour (lightGrey);
    g.fillRect (box);

    g.setColour (darkGrey);
    g.drawRect (box, 1.0f);

    const auto barLength = (float) boxSize * 0.5f + 1.0f;
    const auto centre = (float) (boxSize / 2);

    g.fillRect ((float) x + ((float) boxSize - barLength) * 0.5f, (float) y + centre, barLength, 1.0f);

    if (! isOpen)
        g.fillRect ((float) x + centre, (float) y + ((float) boxSize - barLength) * 0.5f, 1.0f, barLength);
}

//==============================================================================
void QXLook::drawPopupMenuBackground (juce::Graphics& g, int width, int height)
{
    g.fillAll (darkGrey);
    g.setColour (grey);
    g.drawRect (0, 0, width, height, 2);
}

juce::Font QXLook::getPopupMenuFont()
{
    return juce::Font (14.0f * fontScale);
}

void QXLook::drawPopupMenuUpDownArrow (juce::Graphics& g, int width, int height, bool isScrollUpArrow)
{
    const auto w = (float) width, h = (float) height;

    g.setGradientFill ({ darkGrey, 0.0f, 0.5f * h,
                         darkGrey.withAlpha ((juce::uint8) 0), 0.0f, isScrollUpArrow ? h : 0.0f,
                         false });
    g.fillRect (1, 1, width - 2, height - 2);

    const auto halfWidth = 0.5f * w;
    const auto arrowHalfWidth = 0.3f * h;
    const auto y1 = h * (isScrollUpArrow ? 0.6f : 0.3f);
    const auto y2 = h * (isScrollUpArrow ? 0.3f : 0.6f);

    juce::Path arrow;
    arrow.addTriangle (halfWidth - arrowHalfWidth, y1, halfWidth + arrowHalfWidth, y1, halfWidth, y2);

    g.setColour (lightGrey);
    g.fillPath (arrow);
}

void QXLook::getIdealPopupMenuItemSize (const juce::String& itemText, bool isSeparator, int standardMenuItemHeight,
                                        int& idealWidth, int& idealHeight)
{
    if (isSeparator)
    {
        idealWidth = 50;
        idealHeight = standardMenuItemHeight > 0 ? standardMenuItemHeight / 2 : 10;
        return;
    }

    auto font = getPopupMenuFont();

    if (standardMenuItemHeight > 0)
    {
        const auto maxFontHeight = (float) standardMenuItemHeight / 1.3f;

        if (font.getHeight() > maxFontHeight)
            font.setHeight (maxFontHeight * fontScale);

        idealHeight = standardMenuItemHeight;
    }
    else
    {
        idealHeight = juce::roundToInt (font.getHeight() * 1.3f);
    }

    idealWidth = (int) std::ceil (font.getStringWidthFloat (itemText)) + 2 * idealHeight;
}

void QXLook::drawPopupMenuItem (juce::Graphics& g, int width, int height,
                                bool isSeparator, bool isActive, bool isHighlighted,
                                bool isTicked, bool hasSubMenu,
                                const juce::String& itemText, const juce::String& shortcutKeyText,
                                const juce::Image* image, const juce::Colour* textColour)
{
    std::unique_ptr<juce::DrawableImage> icon;

    if (image != nullptr && image->isValid())
    {
        icon = std::make_unique<juce::DrawableImage>();
        icon->setImage (*image);
    }

    drawPopupMenuItem (g, juce::Rectangle<int> (width, height), isSeparator, isActive, isHighlighted,
                       isTicked, hasSubMenu, itemText, shortcutKeyText, icon.get(), textColour);
}

//==============================================================================
void QXLook::drawComboBox (juce::Graphics& g, int width, int height, bool /*isButtonDown*/,
                           int buttonX, int buttonY, int buttonW, int buttonH, juce::ComboBox& box)
{
    g.setColour (box.findColour (juce::ComboBox::backgroundColourId));
    g.fillRect (0, 0, width, height);

    g.setGradientFill (makeSheen (width, height));
    g.fillRect (0, 0, width, height);

    const auto boxWidth = box.getWidth();
    const auto boxHeight = box.getHeight();

    g.setColour (juce::Colours::black);
    g.drawRect (0, 0, boxWidth, boxHeight, 1);
    g.fillRect (0, height - 2, boxWidth, 2);

    g.setColour (box.findColour (juce::ComboBox::outlineColourId));
    g.drawRect (2, 2, juce::jmax (0, boxWidth - 4), juce::jmax (0, boxHeight - 4), 1);

    if (box.isEnabled())
    {
        const auto bx = (float) buttonX, by = (float) buttonY, bw = (float) buttonW, bh = (float) buttonH;

        juce::Path arrow;
        arrow.addTriangle (bx + 0.5f * bw, by + 0.7f * bh,
                           bx + 0.7f * bw, by + 0.4f * bh,
                           bx + 0.3f * bw, by + 0.4f * bh);

        g.setColour (box.findColour (juce::ComboBox::arrowColourId));
        g.fillPath (arrow);
    }
}

juce::Font QXLook::getComboBoxFont (juce::ComboBox& box)
{
    return juce::Font ((float) box.getHeight() * 0.7f * fontScale);
}

//==============================================================================
// Written out rather than inherited so that the editor's many labels do not change their looks
// with a framework update.
void QXLook::drawLabel (juce::Graphics& g, juce::Label& label)
{
    g.fillAll (label.findColour (juce::Label::backgroundColourId));

    if (! label.isBeingEdited())
    {
        const auto alpha = label.isEnabled() ? 1.0f : 0.5f;
        const auto font = getLabelFont (label);

        g.setColour (label.findColour (juce::Label::textColourId).withMultipliedAlpha (alpha));
        g.setFont (font);

        const auto textArea = getLabelBorderSize (label).subtractedFrom (label.getLocalBounds());

        g.drawFittedText (label.getText(), textArea, label.getJustificationType(),
                          juce::jmax (1, (int) ((float) textArea.getHeight() / font.getHeight())),
                          label.getMinimumHorizontalScale());

        g.setColour (label.findColour (juce::Label::outlineColourId).withMultipliedAlpha (alpha));
    }
    else if (label.isEnabled())
    {
        g.setColour (label.findColour (juce::Label::outlineColourId));
    }

    g.drawRect (label.getLocalBounds(), 1);
}

//==============================================================================
void QXLook::drawLinearSlider (juce::Graphics& g, int x, int y, int width, int height,
                               float sliderPos, float minSliderPos, float maxSliderPos,
                               juce::Slider::SliderStyle style, juce::Slider& slider)
{
    g.fillAll (slider.findColour (juce::Slider::backgroundColourId));

    if (isBarStyle (style))
    {
        const auto colour = slider.findColour (juce::Slider::thumbColourId)
                                .withMultipliedSaturation (slider.isEnabled() ? 1.0f : 0.5f)
                                .withMultipliedSaturation (0.9f);

        const auto bar = style == juce::Slider::LinearBar
                             ? juce::Rectangle<float> ((float) x, (float) y, sliderPos - (float) x, (float) height)
                             : juce::Rectangle<float> ((float) x, sliderPos, (float) width, (float) height - sliderPos);

        // A sliver at the very end would only flicker as the value settles.
        if (bar.getWidth() > 1.1f && bar.getHeight() > 1.1f)
        {
            juce::Path path;
            path.addRectangle (bar);
            g.setColour (colour);
            g.fillPath (path);
        }

        return;
    }

    drawLinearSliderBackground (g, x, y, width, height, sliderPos, minSliderPos, maxSliderPos, style, slider);

    // Single-value sliders read as a filled bar; only range sliders need thumbs to grab.
    if (style > juce::Slider::LinearVertical)
        drawLinearSliderThumb (g, x, y, width, height, sliderPos, minSliderPos, maxSliderPos, style, slider);
}

void QXLook::drawLinearSliderBackground (juce::Graphics& g, int x, int y, int width, int height,
                                         float sliderPos, float /*minSliderPos*/, float /*maxSliderPos*/,
                                         juce::Slider::SliderStyle style, juce::Slider& slider)
{
    const juce::Rectangle<int> area (x, y, width, height);
    const auto valueColour = slider.findColour (juce::Slider::thumbColourId);

    if (style == juce::Slider::LinearHorizontal)
    {
        fillTrack (g, area, slider);

        g.setColour (valueColour);
        g.fillRect (x + 2, y + 2, juce::jmax (0, (int) sliderPos - x - 4), juce::jmax (0, height - 4));

        drawGlossAndOutline (g, area, false);
    }
    else if (style == juce::Slider::LinearVertical)
    {
        fillTrack (g, area, slider);

        // Mirrors the horizontal bar: from the bottom edge up to the value, 2 pixels inside.
        const auto top = (int) sliderPos;
        g.setColour (valueColour);
        g.fillRect (x + 2, top + 2, juce::jmax (0, width - 4), juce::jmax (0, y + height - top - 4));

        drawGlossAndOutline (g, area, true);
    }
}

void QXLook::drawLinearSliderThumb (juce::Graphics& g, int x, int y, int width, int height,
                                    float sliderPos, float minSliderPos, float maxSliderPos,
                                    juce::Slider::SliderStyle style, juce::Slider& slider)
{
    const auto r = (float) (getSliderThumbRadius (slider) - 2);
    const auto colour = slider.findColour (juce::Slider::thumbColourId);
    const auto outlineThickness = slider.isEnabled() ? 0.8f : 0.3f;

    const auto fx = (float) x, fy = (float) y, fw = (float) width, fh = (float) height;

    if (style == juce::Slider::ThreeValueVertical)
        drawGlassSphere (g, fx + 0.5f * fw - r, sliderPos - r, 2.0f * r, colour, outlineThickness);

    if (style == juce::Slider::ThreeValueVertical || style == juce::Slider::TwoValueVertical)
    {
        drawGlassPointer (g, juce::jmax (0.0f, fx + 0.5f * fw - 2.0f * r), minSliderPos - r,
                          2.0f * r, colour, outlineThickness, 1);
        drawGlassPointer (g, juce::jmin (fx + fw - 2.0f * r, fx + 0.5f * fw), maxSliderPos - juce::jmin (r, 0.4f * fw),
                          2.0f * r, colour, outlineThickness, 3);
        return;
    }

    if (style == juce::Slider::ThreeValueHorizontal)
        drawGlassSphere (g, sliderPos - r, fy + 0.5f * fh - r, 2.0f * r, colour, outlineThickness);

    if (style == juce::Slider::ThreeValueHorizontal || style == juce::Slider::TwoValueHorizontal)
    {
        // The range box is laid out from the component's origin, not from the track.
        g.setColour (rangeBox);
        g.fillRect (0, 0, (int) r + width, height);

        g.setColour (juce::Colours::black);
        g.fillRect (juce::Rectangle<float> (0.5f * r, 0.5f * r, fw, fh - r));

        g.setColour (colour);
        g.fillRect (juce::Rectangle<float> (minSliderPos - 0.75f * r, 0.5f * r,
                                            maxSliderPos - minSliderPos - 0.125f * r, fh - r));
    }
}

void QXLook::drawRotarySlider (juce::Graphics& g, int x, int y, int width, int height,
                               float sliderPos, float rotaryStartAngle, float rotaryEndAngle,
                               juce::Slider& slider)
{
    const auto angle = rotaryStartAngle + sliderPos * (rotaryEndAngle - rotaryStartAngle);
    drawKnob (g, x, y, width, height, angle, rotaryStartAngle, angle, slider);
}

void QXLook::drawKnob (juce::Graphics& g, int x, int y, int width, int height,
                       float pointerAngle, float segmentStart, float segmentEnd, juce::Slider& slider)
{
    // Whole-pixel halves keep the face's rim crisp on even and odd sizes alike.
    const auto r = (float) (juce::jmin (width / 2, height / 2) - 2);

    if (r <= 0.0f)
        return;

    const auto w = (float) width, h = (float) height;
    const auto cx = (float) x + 0.5f * w;
    const auto cy = (float) y + 0.5f * h;
    const auto bx = cx - r, by = cy - r;
    const auto diameter = 2.0f * r;

    const auto fill = slider.findColour (juce::Slider::rotarySliderFillColourId);
    const auto baseAlpha = slider.isEnabled() ? 255 : 127;
    const auto segmentAlpha = juce::jmin (255, juce::roundToInt ((float) baseAlpha * 0.8f));

    auto circle = [&] (float inset)
    {
        const auto size = juce::jmax (0.0f, diameter - 2.0f * inset);
        return juce::Rectangle<float> (bx + inset, by + inset, size, size);
    };

    const juce::ColourGradient faceShading (knobLight, 0.0f, 0.0f, darkGrey, 0.0f, h, false);

    // Rim
    g.setColour (juce::Colours::black);
    g.fillEllipse (circle (0.0f));

    // Bowl behind the value wedge
    g.setGradientFill ({ darkGrey, 0.5f * w, 0.5f * h, knobLight, bx + 0.1f * r, by + 0.1f * r, true });
    g.fillEllipse (circle (0.1f * r));

    // Value wedge
    if (segmentEnd > segmentStart)
    {
        juce::Path wedge;
        wedge.addPieSegment (circle (0.1f * r), segmentStart, segmentEnd, 0.0f);
        g.setColour (fill.withAlpha ((juce::uint8) segmentAlpha));
        g.fillPath (wedge);
    }

    // Face
    g.setGradientFill (faceShading);
    g.fillEllipse (circle (0.3f * r));

    // Pointer
    juce::Path pointer;
    pointer.addLineSegment ({ 0.0f, 0.0f, 0.0f, -0.7f * r }, diameter * 0.05f);
    g.setColour (fill.withAlpha ((juce::uint8) baseAlpha));
    g.fillPath (pointer, juce::AffineTransform::rotation (pointerAngle).translated (cx, cy));

    // Cap over the pointer's root
    g.setGradientFill (faceShading);
    g.fillEllipse (circle (0.7f * r));

    // Face edge
    g.setColour (juce::Colours::black);
    g.drawEllipse (bx + 0.3f * r, by + 0.3f * r, 1.4f * r, 1.4f * r, 2.0f);
}

juce::Label* QXLook::createSliderTextBox (juce::Slider& slider)
{
    auto* label = new SliderLabelComp();

    label->setJustificationType (juce::Justification::centred);
    label->setFont (juce::Font (10.0f));
    label->setKeyboardType (juce::TextInputTarget::decimalKeyboard);

    const auto bar = isBarStyle (slider.getSliderStyle());
    const auto boxText = slider.findColour (juce::Slider::textBoxTextColourId);
    const auto boxBackground = slider.findColour (juce::Slider::textBoxBackgroundColourId);
    const auto boxOutline = slider.findColour (juce::Slider::textBoxOutlineColourId);

    label->setColour (juce::Label::textColourId, boxText);
    label->setColour (juce::TextEditor::textColourId, boxText);
    label->setColour (juce::Label::backgroundColourId, bar ? juce::Colours::transparentBlack : boxBackground);
    label->setColour (juce::TextEditor::backgroundColourId, boxBackground.withAlpha ((juce::uint8) (bar ? 0xb3 : 0xff)));
    label->setColour (juce::Label::outlineColourId, boxOutline);
    label->setColour (juce::TextEditor::outlineColourId, boxOutline);
    label->setColour (juce::TextEditor::highlightColourId, slider.findColour (juce::Slider::textBoxHighlightColourId));

    return label;
}

void QXLook::fillTrack (juce::Graphics& g, juce::Rectangle<int> area, juce::Slider& slider)
{
    g.setColour (slider.findColour (juce::Slider::trackColourId).withBrightness (0.1f));
    g.fillRect (area);
}

void QXLook::drawGlossAndOutline (juce::Graphics& g, juce::Rectangle<int> area, bool vertical)
{
    const auto fx = (float) area.getX(), fy = (float) area.getY();
    const auto endX = vertical ? (float) area.getRight() : fx;
    const auto endY = vertical ? fy : (float) area.getBottom();

    g.setGradientFill ({ juce::Colours::transparentWhite, fx, fy,
                         juce::Colours::white.withAlpha ((juce::uint8) 0x19), endX, endY, false });
    g.fillRect (area);

    g.setColour (grey);
    g.drawRect (area.toFloat(), 2.0f);
}

//==============================================================================
void QXLook::drawTabButton (juce::TabBarButton& button, juce::Graphics& g, bool isMouseOver, bool isMouseDown)
{
    juce::Path shape;
    createTabButtonShape (button, shape, isMouseOver, isMouseDown);

    const auto activeArea = button.getActiveArea();
    shape.applyTransform (juce::AffineTransform::translation ((float) activeArea.getX(), (float) activeArea.getY()));

    juce::DropShadow (juce::Colours::black.withAlpha ((juce::uint8) 0x7f), 2, { 0, 1 }).drawForPath (g, shape);

    fillTabButtonShape (button, g, shape, isMouseOver, isMouseDown);
    drawTabButtonText (button, g, isMouseOver, isMouseDown);
}

void QXLook::drawTabButtonText (juce::TabBarButton& button, juce::Graphics& g, bool, bool)
{
    const auto area = button.getTextArea().toFloat();
    auto length = area.getWidth();
    auto depth = area.getHeight();

    if (button.getTabbedButtonBar().isVertical())
        std::swap (length, depth);

    juce::AffineTransform toArea;

    switch (button.getTabbedButtonBar().getOrientation())
    {
        case juce::TabbedButtonBar::TabsAtLeft:
            toArea = juce::AffineTransform::rotation (-juce::MathConstants<float>::halfPi)
                         .translated (area.getX(), area.getBottom());
            break;
        case juce::TabbedButtonBar::TabsAtRight:
            toArea = juce::AffineTransform::rotation (juce::MathConstants<float>::halfPi)
                         .translated (area.getRight(), area.getY());
            break;
        case juce::TabbedButtonBar::TabsAtTop:
        case juce::TabbedButtonBar::TabsAtBottom:
        default:
            toArea = juce::AffineTransform::translation (area.getX(), area.getY());
            break;
    }

    g.setColour (button.findColour (button.isFrontTab() ? juce::TabbedButtonBar::frontTextColourId
                                                        : juce::TabbedButtonBar::tabTextColourId));
    g.setFont (getTabButtonFont (button, depth));
    g.addTransform (toArea);
    g.drawFittedText (button.getButtonText().trim(), 0, 0, (int) length, (int) depth,
                      juce::Justification::centred, juce::jmax (1, (int) depth / 12));
}

void QXLook::drawTabbedButtonBarBackground (juce::TabbedButtonBar&, juce::Graphics&)
{
}

void QXLook::drawTabAreaBehindFrontButton (juce::TabbedButtonBar& bar, juce::Graphics& g, int w, int h)
{
    const auto shadowDepth = 0.2f;

    juce::ColourGradient shadow (juce::Colours::black.withAlpha ((juce::uint8) (bar.isEnabled() ? 0x3f : 0x26)), 0.0f, 0.0f,
                                 juce::Colours::transparentBlack, 0.0f, 0.0f, false);
    juce::Rectangle<int> shadowArea, edge;

    switch (bar.getOrientation())
    {
        case juce::TabbedButtonBar::TabsAtLeft:
            shadow.point1.x = (float) w;
            shadow.point2.x = (float) w * (1.0f - shadowDepth);
            shadowArea.setBounds ((int) shadow.point2.x, 0, w - (int) shadow.point2.x, h);
            edge.setBounds (w - 1, 0, 1, h);
            break;

        case juce::TabbedButtonBar::TabsAtRight:
            shadow.point2.x = (float) w * shadowDepth;
            shadowArea.setBounds (0, 0, (int) shadow.point2.x, h);
            edge.setBounds (0, 0, 1, h);
            break;

        case juce::TabbedButtonBar::TabsAtBottom:
            shadow.point2.y = (float) h * shadowDepth;
            shadowArea.setBounds (0, 0, w, (int) shadow.point2.y);
            edge.setBounds (0, 0, w, 1);
            break;

        case juce::TabbedButtonBar::TabsAtTop:
        default:
            shadow.point1.y = (float) h;
            shadow.point2.y = (float) h * (1.0f - shadowDepth);
            shadowArea.setBounds (0, (int) shadow.point2.y, w, h - (int) shadow.point2.y);
            edge.setBounds (0, h - 1, w, 1);
            break;
    }

    g.setGradientFill (shadow);
    g.fillRect (shadowArea);

    g.setColour (juce::Colours::black.withAlpha ((juce::uint8) 0x80));
    g.fillRect (edge);
}

void QXLook::createTabButtonShape (juce::TabBarButton& button, juce::Path& path, bool, bool)
{
    const auto activeArea = button.getActiveArea();
    const auto w = (float) activeArea.getWidth();
    const auto h = (float) activeArea.getHeight();
    const auto& tabBar = button.getTabbedButtonBar();
    const auto indent = (float) getTabButtonOverlap ((int) (tabBar.isVertical() ? w : h));

    // A trapezoid whose narrow side faces away from the content.
    switch (tabBar.getOrientation())
    {
        case juce::TabbedButtonBar::TabsAtLeft:
            path.startNewSubPath (w, 0.0f);
            path.lineTo (0.0f, indent);
            path.lineTo (0.0f, h - indent);
            path.lineTo (w, h);
            break;

        case juce::TabbedButtonBar::TabsAtRight:
            path.startNewSubPath (0.0f, 0.0f);
            path.lineTo (w, indent);
            path.lineTo (w, h - indent);
            path.lineTo (0.0f, h);
            break;

        case juce::TabbedButtonBar::TabsAtBottom:
            path.startNewSubPath (0.0f, 0.0f);
            path.lineTo (indent, h);
            path.lineTo (w - indent, h);
            path.lineTo (w, 0.0f);
            break;

        case juce::TabbedButtonBar::TabsAtTop:
        default:
            path.startNewSubPath (0.0f, h);
            path.lineTo (indent, 0.0f);
            path.lineTo (w - indent, 0.0f);
            path.lineTo (w, h);
            break;
    }

    path.closeSubPath();
    path = path.createPathWithRoundedCorners (3.0f);
}

void QXLook::fillTabButtonShape (juce::TabBarButton& button, juce::Graphics& g, const juce::Path& path, bool, bool)
{
    const auto isFront = button.isFrontTab();
    const auto tabBackground = button.getTabBackgroundColour();

    g.setColour (isFront ? tabBackground : tabBackground.withMultipliedBrightness (0.7f));
    g.fillPath (path);

    const auto bounds = path.getBounds();
    g.setColour (button.findColour (isFront ? juce::TabbedButtonBar::frontOutlineColourId
                                            : juce::TabbedButtonBar::tabOutlineColourId)
                     .withMultipliedAlpha (button.isEnabled() ? 1.0f : 0.5f));
    g.fillRect (juce::Rectangle<float> (bounds.getX(), bounds.getBottom() - 1.0f, bounds.getWidth(), 1.0f));
}

//==============================================================================
QXLook::SliderLabelComp::SliderLabelComp()
    : juce::Label ({}, {})
{
}

QXLook::SliderLabelComp::~SliderLabelComp() = default;

void QXLook::SliderLabelComp::paint (juce::Graphics& g)
{
    g.fillAll (darkGrey.withMultipliedBrightness (0.3f));
    juce::Label::paint (g);
}

void QXLook::SliderLabelComp::mouseWheelMove (const juce::MouseEvent&, const juce::MouseWheelDetails&)
{
    // Swallowed: passing it on would reach the slider and change the value under a reading eye.
}

std::unique_ptr<juce::AccessibilityHandler> QXLook::SliderLabelComp::createAccessibilityHandler()
{
    return createIgnoredAccessibilityHandler (*this);
}

} // namespace qrvx
