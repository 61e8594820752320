#include "WindowPixels.h"

// Last: Xlib's macros would clash with JUCE's names.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace
{
    /** How far a channel's mask lies from the pixel's lowest bit, or -1 unless it is 8 bits wide. */
    int shiftOf8BitMask (unsigned long mask)
    {
        for (int shift = 0; shift + 8 <= (int) sizeof (mask) * 8; ++shift)
            if ((mask >> shift) == 0xffu)
                return shift;

        return -1;
    }

    int ignoreXError (Display*, XErrorEvent*) { return 0; }

    /** The pixels of an area of a drawable, read from the server; invalid when they cannot be. */
    juce::Image readPixels (Display* display, ::Drawable drawable, juce::Rectangle<int> area)
    {
        // Whatever was drawn must have reached the server before it is read back.
        XSync (display, False);
        juce::Image picture;

        if (auto* ximage = XGetImage (display, drawable, area.getX(), area.getY(), (unsigned int) area.getWidth(),
                                      (unsigned int) area.getHeight(), AllPlanes, ZPixmap))
        {
            const auto redShift = shiftOf8BitMask (ximage->red_mask);
            const auto greenShift = shiftOf8BitMask (ximage->green_mask);
            const auto blueShift = shiftOf8BitMask (ximage->blue_mask);

            if (redShift >= 0 && greenShift >= 0 && blueShift >= 0)
            {
                picture = juce::Image (juce::Image::RGB, area.getWidth(), area.getHeight(), false);
                const juce::Image::BitmapData pixels (picture, juce::Image::BitmapData::writeOnly);

                for (int y = 0; y < area.getHeight(); ++y)
                {
                    for (int x = 0; x < area.getWidth(); ++x)
                    {
                        const auto p = XGetPixel (ximage, x, y);
                        pixels.setPixelColour (x, y, juce::Colour ((juce::uint8) (p >> redShift),
                                                                   (juce::uint8) (p >> greenShift),
                                                                   (juce::uint8) (p >> blueShift)));
                    }
                }
            }

            XDestroyImage (ximage);
        }

        return picture;
    }
}

juce::Image grabWindowPixels (juce::ComponentPeer& peer, int width, int height)
{
    auto* display = XOpenDisplay (nullptr);

    if (display == nullptr)
        return {};

    auto picture = readPixels (display, (::Window) peer.getNativeHandle(), { width, height });
    XCloseDisplay (display);
    return picture;
}

juce::Image grabScreenPixels (juce::Rectangle<int> area)
{
    if (area.isEmpty())
        return {};

    auto* display = XOpenDisplay (nullptr);

    if (display == nullptr)
        return {};

    auto picture = readPixels (display, DefaultRootWindow (display), area);
    XCloseDisplay (display);
    return picture;
}

void showOnScreenAt (juce::Component& window, juce::Point<int> topLeft)
{
    window.setTopLeftPosition (topLeft);
    window.setVisible (true);
    window.addToDesktop (0);
}

void showAtScreenCorner (juce::Component& window)
{
    showOnScreenAt (window, {});
}

bool coloursMatch (juce::Colour a, juce::Colour b, int tolerance)
{
    return std::abs (a.getRed() - b.getRed()) <= tolerance
        && std::abs (a.getGreen() - b.getGreen()) <= tolerance
        && std::abs (a.getBlue() - b.getBlue()) <= tolerance;
}

void ignoreXErrors()
{
    XSetErrorHandler (ignoreXError);
}
