// Watches the heap of a host process that automates every parameter of the built Vevarero VST3 for
// minutes on end, with the message loop running, as a host plays back a project full of automation
// lanes: once with the editor closed, once with it open in a window (which needs a display; Xvfb
// will do). Memory that climbs for as long as automation plays is a leak in all but name. The
// Benchmark section of the README at the top says how to run it and read it.
//
//   VevareroAutomationMemory <Vevarero.vst3> [--minutes <m per run>] [--every <s between lines>]
//                            [--editor closed|open|both]

#include "PluginHost.h"
#include "VevareroParameterTable.h"
#include "WindowPixels.h"

#include <malloc.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <vector>

namespace
{
    constexpr double sampleRate = 48000.0;
    constexpr int blockSize = 512;
    constexpr double megabyte = 1024.0 * 1024.0;


    struct MemoryUse
    {
        double heapMB = 0.0; // what malloc has handed out and not had back, in every arena
        double rssMB = 0.0;  // resident pages, which also hold code, stacks and freed-but-kept heap
    };

    MemoryUse measureMemory()
    {
        const auto info = mallinfo2();
        MemoryUse use;
        use.heapMB = (double) (info.uordblks + info.hblkhd) / megabyte;

        std::ifstream statm ("/proc/self/statm");
        long pages = 0, residentPages = 0;

        if (statm >> pages >> residentPages)
            use.rssMB = (double) residentPages * (double) sysconf (_SC_PAGESIZE) / megabyte;

        return use;
    }

    /** The host's audio thread: one block per block's duration of real time, and before each block
        every parameter moves to the next point of its own automation curve, written through the
        hosted parameter objects as a host's automation lanes write them.
    */
    class AutomationThread final : public juce::Thread
    {
    public:
        AutomationThread (juce::AudioPluginInstance& instanceToDrive,
                          const juce::Array<juce::AudioProcessorParameter*>& parametersToMove)
            : juce::Thread ("automation"), instance (instanceToDrive), parameters (parametersToMove)
        {
        }

        ~AutomationThread() override { stopThread (2000); }

        juce::int64 blocksDone() const noexcept { return blocks.load(); }

    private:
        void run() override
        {
            juce::AudioBuffer<float> buffer (2, blockSize);
            juce::MidiBuffer midi;
            const auto blockDuration = std::chrono::duration<double> (blockSize / sampleRate);
            const auto start = std::chrono::steady_clock::now();

            for (juce::int64 block = 0; ! threadShouldExit(); ++block)
            {
                const auto seconds = (double) block * blockSize / sampleRate;

                // Slow sweeps, a different speed for each parameter, so every one changes every block.
                for (int i = 0; i < parameters.size(); ++i)
                {
                    const auto cyclesPerSecond = 0.05 + 0.01 * i;
                    parameters[i]->setValue ((float) (0.5 + 0.5 * std::sin (juce::MathConstants<double>::twoPi * cyclesPerSecond * seconds + i)));
                }

                for (int c = 0; c < buffer.getNumChannels(); ++c)
                    for (int s = 0; s < blockSize; ++s)
                        buffer.setSample (c, s, 0.25f * (float) std::sin (0.05 * (double) (block * blockSize + s) + c));

                instance.processBlock (buffer, midi);
                blocks = block + 1;

                const auto due = start + std::chrono::duration_cast<std::chrono::steady_clock::duration> (blockDuration * (double) (block + 1));
                const auto wait = std::chrono::duration_cast<std::chrono::milliseconds> (due - std::chrono::steady_clock::now()).count();

                if (wait > 0)
                    juce::Thread::wait ((int) wait);
            }
        }

        juce::AudioPluginInstance& instance;
        juce::Array<juce::AudioProcessorParameter*> parameters;
        std::atomic<juce::int64> blocks { 0 };
    };

    /** Runs one instance under automation for the given time and prints its memory as it goes.
        Returns false when the plug-in would not load.
    */
    bool measureRun (PluginHost& host, const juce::File& bundle, bool withEditor, double minutes, double secondsPerLine)
    {
        juce::String error;
        auto instance = host.loadVst3 (bundle, sampleRate, blockSize, error);

        if (instance == nullptr)
        {
            std::cerr << "cannot load " << bundle.getFullPathName() << ": " << error << std::endl;
            return false;
        }

        instance->enableAllBuses();
        instance->prepareToPlay (sampleRate, blockSize);

        // The plug-in's own parameters; JUCE's Bypass after them stays as it is.
        juce::Array<juce::AudioProcessorParameter*> parameters;

        for (auto* p : instance->getParameters())
            if (parameters.size() < (int) vevareroParameters.size())
                parameters.add (p);

        std::unique_ptr<juce::AudioProcessorEditor> editor;

        if (withEditor)
        {
            editor.reset (instance->createEditorIfNeeded());

            if (editor == nullptr)
            {
                std::cerr << "the plug-in gave no editor" << std::endl;
                return false;
            }

            editor->setVisible (true);
            editor->addToDesktop (0);
        }

        std::cout << "\neditor " << (withEditor ? "open" : "closed") << ", " << parameters.size()
                  << " parameters automated every block, " << minutes << " min\n"
                  << "      s    heap MB     RSS MB     blocks\n"
                  << std::flush;

        auto* messageManager = juce::MessageManager::getInstance();

        // Settle first: the first blocks, the editor's first paint and the timers' first ticks
        // allocate what they keep for good.
        AutomationThread automation (*instance, parameters);
        automation.startThread (juce::Thread::Priority::high);
        messageManager->runDispatchLoopUntil (3000);

        const auto start = juce::Time::getMillisecondCounterHiRes();
        const auto totalMs = minutes * 60000.0;
        std::vector<std::pair<double, MemoryUse>> lines; // minutes since the start, memory

        for (int line = 0;; ++line)
        {
            const auto due = juce::jmin (line * secondsPerLine * 1000.0, totalMs);
            const auto early = due - (juce::Time::getMillisecondCounterHiRes() - start);

            if (early >= 1.0)
                messageManager->runDispatchLoopUntil ((int) early);

            const auto use = measureMemory();
            lines.emplace_back (due / 60000.0, use);
            std::printf ("%7.0f %10.2f %10.2f %10lld\n", due / 1000.0, use.heapMB, use.rssMB,
                         (long long) automation.blocksDone());
            std::fflush (stdout);

            if (due >= totalMs)
                break;
        }

        automation.stopThread (2000);
        editor.reset();
        messageManager->runDispatchLoopUntil (50);
        instance->releaseResources();

        // Over the whole run, and over its second half alone: what only settles shows in the first
        // figure, what goes on for as long as the host plays shows in both.
        const auto& [firstMinute, first] = lines.front();
        const auto& [middleMinute, middle] = lines[lines.size() / 2];
        const auto& [lastMinute, last] = lines.back();

        std::printf ("heap grew %.2f MB in %.1f min (RSS %+.2f MB); in the second half %.3f MB per minute\n",
                     last.heapMB - first.heapMB, lastMinute - firstMinute, last.rssMB - first.rssMB,
                     lastMinute > middleMinute ? (last.heapMB - middle.heapMB) / (lastMinute - middleMinute) : 0.0);
        return true;
    }
}

int main (int argc, char* argv[])
{
    juce::StringArray args;
    double minutes = 3.0;
    double secondsPerLine = 15.0;
    juce::String editorRuns = "both";

    for (int i = 1; i < argc; ++i)
    {
        const juce::String arg (argv[i]);

        if (arg == "--minutes" && i + 1 < argc)
            minutes = juce::String (argv[++i]).getDoubleValue();
        else if (arg == "--every" && i + 1 < argc)
            secondsPerLine = juce::String (argv[++i]).getDoubleValue();
        else if (arg == "--editor" && i + 1 < argc)
            editorRuns = argv[++i];
        else
            args.add (arg);
    }

    const juce::StringArray editorChoices { "closed", "open", "both" };

    if (args.size() != 1 || minutes <= 0.0 || secondsPerLine <= 0.0 || ! editorChoices.contains (editorRuns))
    {
        std::cerr << "usage: " << argv[0] << " <Vevarero.vst3> [--minutes <m per run>] [--every <s>]"
                  << " [--editor closed|open|both]" << std::endl;
        return 2;
    }

    ignoreXErrors();
    const juce::ScopedJuceInitialiser_GUI juce;

    const auto bundle = juce::File::getCurrentWorkingDirectory().getChildFile (args[0]);
    PluginHost host;

    std::cout << "48 kHz, stereo, " << blockSize << "-sample blocks in real time; heap is mallinfo2's"
              << " in-use bytes of the whole process" << std::endl;

    for (const auto withEditor : { false, true })
    {
        if (editorRuns != "both" && (editorRuns == "open") != withEditor)
            continue;

        if (! measureRun (host, bundle, withEditor, minutes, secondsPerLine))
            return 1;
    }

    return 0;
}
