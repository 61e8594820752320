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
}

juce::Image grabWindowPixels (juce::ComponentPeer& peer, int width, int height)
{
    auto* display = XOpenDisplay (nullptr);

    if (display == nullptr)
        return {};

    // Whatever the plug-in drew must have reached the server before it is read back.
    XSync (display, False);
    juce::Image picture;

    if (auto* ximage = XGetImage (display, (::Window) peer.getNativeHandle(), 0, 0, (unsigned int) width,
                                  (unsigned int) height, AllPlanes, ZPixmap))
    {
        const auto redShift = shiftOf8BitMask (ximage->red_mask);
        const auto greenShift = shiftOf8BitMask (ximage->green_mask);
        const auto blueShift = shiftOf8BitMask (ximage->blue_mask);

        if (redShift >= 0 && greenShift >= 0 && blueShift >= 0)
        {
            picture = juce::Image (juce::Image::RGB, width, height, false);
            const juce::Image::BitmapData pixels (picture, juce::Image::BitmapData::writeOnly);

            for (int y = 0; y < height; ++y)
            {
                for (int x = 0; x < width; ++x)
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

    XCloseDisplay (display);
    return picture;
}

void showAtScreenCorner (juce::Component& window)
{
    window.setTopLeftPosition (0, 0);
    window.setVisible (true);
    window.addToDesktop (0);
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
