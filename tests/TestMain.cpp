#include "ScratchHome.h"

#include <gtest/gtest.h>
#include <juce_gui_basics/juce_gui_basics.h>

// JUCE's message manager and GUI services must exist for processors, parameters and components.
// The home folder comes first: some tests empty the presets and log folders under HOME.
int main (int argc, char** argv)
{
    scratchhome::enter ("VevareroTests");
    ::testing::InitGoogleTest (&argc, argv);
    int result = 0;

    {
        juce::ScopedJuceInitialiser_GUI juce;
        result = RUN_ALL_TESTS();
    }

    scratchhome::leave();
    return result;
}
