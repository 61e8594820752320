#include "FuzzSupport.h"
#include "presets/PresetsManager.h"

#include <cstdlib>

// Writes the fuzzer's bytes to a preset file and loads it, as the preset browser does with a
// file that someone edited, truncated or replaced.
namespace
{
    juce::File scratchFolder;

    void removeScratchFolder()
    {
        scratchFolder.deleteRecursively();
    }
}

extern "C" int LLVMFuzzerInitialize (int*, char***)
{
    fuzzsupport::initialise();
    fuzzsupport::processor();

    scratchFolder = juce::File::getSpecialLocation (juce::File::tempDirectory)
                        .getNonexistentChildFile ("VevareroFuzzPresets", {}, false);
    scratchFolder.createDirectory();
    std::atexit (removeScratchFolder);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    auto& processor = fuzzsupport::processor();
    const auto preset = scratchFolder.getChildFile ("fuzzed.glp");

    if (! preset.replaceWithData (data, size))
        fuzzsupport::fail ("could not write " + preset.getFullPathName());

    qrvx::PresetsManager::loadPreset (preset, processor.valueTreeState);
    fuzzsupport::checkParameters (processor);

    // What was loaded must save and load back to the same parameters.
    const auto valuesBefore = fuzzsupport::parameterValues (processor);
    const auto copy = scratchFolder.getChildFile ("saved.glp");

    if (qrvx::PresetsManager::savePreset (processor.valueTreeState, copy).failed())
        fuzzsupport::fail ("a loaded tree could not be saved");

    if (qrvx::PresetsManager::loadPreset (copy, processor.valueTreeState).failed())
        fuzzsupport::fail ("a saved preset could not be loaded");

    fuzzsupport::checkParameters (processor);

    if (fuzzsupport::parameterValues (processor) != valuesBefore)
        fuzzsupport::fail ("the parameters did not survive a save and load");

    fuzzsupport::checkHostStateRoundTrip (processor);
    return 0;
}
