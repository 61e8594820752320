// Opens the editor of the built Vevarero VST3 in a window, the way a host does, and writes what the
// X server shows of that window to a PNG. The editor runs inside the plug-in's own copy of JUCE,
// embedded into the host's window, so the pixels are taken from the X server rather than painted
// again here.
//
//   VevareroEditorPicture <Vevarero.vst3> <picture.png>

#include "PluginHost.h"
#include "WindowPixels.h"

#include <iostream>

namespace
{
    // Long enough for the view to be embedded and painted, and for the editor's timer to have
    // filled in what it polls (the LFO rate readouts).
    constexpr int millisecondsBeforePicture = 1000;
}

int main (int argc, char* argv[])
{
    if (argc < 3)
    {
        std::cerr << "usage: " << argv[0] << " <Vevarero.vst3> <picture.png>" << std::endl;
        return 2;
    }

    ignoreXErrors();
    const juce::ScopedJuceInitialiser_GUI juce;

    const auto cwd = juce::File::getCurrentWorkingDirectory();
    const auto bundle = cwd.getChildFile (argv[1]);
    const auto output = cwd.getChildFile (argv[2]);

    PluginHost host;
    juce::String error;
    auto instance = host.loadVst3 (bundle, 48000.0, 512, error);

    if (instance == nullptr)
    {
        std::cerr << "cannot load " << bundle.getFullPathName() << ": " << error << std::endl;
        return 1;
    }

    juce::Image picture;

    {
        std::unique_ptr<juce::AudioProcessorEditor> editor (instance->createEditorIfNeeded());

        if (editor == nullptr)
        {
            std::cerr << "the plug-in gave no editor" << std::endl;
            return 1;
        }

        showAtScreenCorner (*editor);
        juce::MessageManager::getInstance()->runDispatchLoopUntil (millisecondsBeforePicture);

        if (auto* peer = editor->getPeer())
            picture = grabWindowPixels (*peer, editor->getWidth(), editor->getHeight());
    }

    juce::MessageManager::getInstance()->runDispatchLoopUntil (50);
    instance.reset();

    if (! picture.isValid())
    {
        std::cerr << "could not read the editor's window from the X server" << std::endl;
        return 1;
    }

    output.getParentDirectory().createDirectory();
    output.deleteFile();
    juce::FileOutputStream stream (output);
    juce::PNGImageFormat png;

    if (! stream.openedOk() || ! png.writeImageToStream (picture, stream))
    {
        std::cerr << "cannot write " << output.getFullPathName() << std::endl;
        return 1;
    }

    std::cout << "wrote " << output.getFullPathName() << " (" << picture.getWidth() << " x "
              << picture.getHeight() << ")" << std::endl;
    return 0;
}
