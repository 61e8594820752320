// Measures what the editor costs on the message thread: one full paint of the 640 x 400 window with
// JUCE's software renderer (as a host without GPU drawing paints it), and one tick of the editor's
// 50 ms polling timer when nothing has changed, which is what almost every tick is. See the
// Benchmark section of the README for how to run it and read it.
//
//   VevareroEditorBench [--rounds <n>]

#include "editor/PluginEditor.h"

#include <chrono>
#include <functional>
#include <iostream>
#include <limits>

namespace
{
    using Clock = std::chrono::steady_clock;

    struct Row
    {
        juce::String name;
        int callsPerRound;
        std::function<void()> call;
        double bestMicroseconds = std::numeric_limits<double>::max();
    };

    juce::String padRight (const juce::String& s, int width) { return s + juce::String::repeatedString (" ", juce::jmax (0, width - s.length())); }
    juce::String padLeft (const juce::String& s, int width)  { return juce::String::repeatedString (" ", juce::jmax (0, width - s.length())) + s; }
}

int main (int argc, char* argv[])
{
    int rounds = 7;

    for (int i = 1; i + 1 < argc; ++i)
        if (juce::String (argv[i]) == "--rounds")
            rounds = juce::jmax (1, juce::String (argv[i + 1]).getIntValue());

    const juce::ScopedJuceInitialiser_GUI juce;

    VevareroAudioProcessor processor;
    VevareroAudioProcessorEditor editor (processor);
    juce::Timer& timer = editor;

    // The benchmark ticks by itself; nothing else runs the message loop here anyway.
    timer.stopTimer();
    editor.setVisible (true);

    // The first tick fills the rate readouts and the preset name; every later one finds them set.
    timer.timerCallback();

    juce::Image canvas (juce::Image::ARGB, editor.getWidth(), editor.getHeight(), true, juce::SoftwareImageType());

    const auto paintAll = [&]
    {
        juce::Graphics g (canvas);
        editor.paintEntireComponent (g, true);
    };

    const auto setAllRoutings = [&] (float value)
    {
        for (const auto* id : { "Cutoff_Mod_Source", "Resonance_Mod_Source", "Rate_Mod_Source", "Bits_Mod_Source",
                                "Dry_Wet_Mix_Mod_Source" })
            processor.valueTreeState.getParameter (id)->setValueNotifyingHost (value);
    };

    std::vector<Row> rows;

    rows.push_back ({ "full paint, knob images cached", 200, paintAll });

    rows.push_back ({ "full paint, every child redrawn", 100, [&]
                      {
                          // Each knob keeps its picture in a cached image; a repaint of its own makes
                          // it draw afresh, as after a host changed every parameter at once.
                          for (auto* child : editor.getChildren())
                              child->repaint();

                          paintAll();
                      } });

    rows.push_back ({ "full paint with five cables", 200, [&]
                      {
                          setAllRoutings (1.0f / 3.0f);
                          paintAll();
                          setAllRoutings (0.0f);
                      } });

    rows.push_back ({ "timer tick, nothing changed", 20000, [&] { timer.timerCallback(); } });

    // Warm up every row once, then take each row's fastest round, rows taken in turn.
    for (auto& row : rows)
        row.call();

    for (int r = 0; r < rounds; ++r)
    {
        for (auto& row : rows)
        {
            const auto start = Clock::now();

            for (int i = 0; i < row.callsPerRound; ++i)
                row.call();

            const auto us = std::chrono::duration<double, std::micro> (Clock::now() - start).count() / row.callsPerRound;
            row.bestMicroseconds = juce::jmin (row.bestMicroseconds, us);
        }
    }

    std::cout << "editor " << editor.getWidth() << " x " << editor.getHeight() << ", software renderer; fastest of "
              << rounds << " rounds\n"
              << juce::SystemStats::getCpuModel() << "\n\n"
              << padRight ("editor", 40) << padLeft ("us per call", 14) << padLeft ("% of 50 ms", 14) << "\n"
              << juce::String::repeatedString ("-", 68) << "\n";

    for (const auto& row : rows)
        std::cout << padRight (row.name, 40) << padLeft (juce::String (row.bestMicroseconds, 1), 14)
                  << padLeft (juce::String (row.bestMicroseconds / 500.0, 3), 14) << "\n";

    std::cout << std::flush;
    return 0;
}
