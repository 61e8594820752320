#include "HostChecks.h"
#include "HeapCallCounter.h"

#include <dlfcn.h>

#include <cmath>
#include <thread>

// The host check is built without sanitisers (see the top CMakeLists.txt); under AddressSanitizer,
// which brings its own malloc family, nothing could be counted.
static_assert (heapcalls::counted, "the host check needs the heap call counter's replacements");

namespace
{
    constexpr auto sampleRate = HostChecks::sampleRate;
    constexpr auto blockSize = HostChecks::blockSize;

    // Over three seconds of audio: the faster automation sweeps below pass their whole range many times.
    constexpr int blocksPerRow = 300;

    // A block whose output strays less than this from its input went through unchanged.
    constexpr double changedByMoreThan = 1.0e-3;

    /** What a run of blocks on the audio thread came to. */
    struct AudioThreadRun
    {
        bool pluginCodeFound = false;
        long heapCalls = 0;            // every one on the audio thread while the host called into the plug-in
        long pluginHeapCalls = 0;      // of them, made while the plug-in's code ran, by it or what it called
        long threadLocalRoom = 0;      // made by the loader for the plug-in's thread-locals (not in the above)
        int blocksWithPluginHeapCalls = 0;
        int blocksChanged = 0;         // whose output differs from their input
        bool allFinite = true;

        // A new[] and delete[] made on the audio thread after the blocks: the calls counted, and those
        // put down to libstdc++ (whose operator new and delete make them) and to the plug-in.
        long deliberateCalls = -1, deliberateByLibstdcxx = -1, deliberateByPlugin = -1;
    };

    /** Host automation of every parameter: a sweep over its whole normalised range, each at its own
        speed (from half a cycle to over seven cycles a second), so every value is new every block and
        the switches (filter type, waves, sync, routings, sources) flip many times in a run.
    */
    float automatedValue (int parameterIndex, int block)
    {
        const auto seconds = (double) block * blockSize / sampleRate;
        const auto cyclesPerSecond = 0.5 + 0.25 * parameterIndex;
        return (float) (0.5 + 0.5 * std::sin (juce::MathConstants<double>::twoPi * cyclesPerSecond * seconds + parameterIndex));
    }

    /** Processes blocksPerRow blocks of sines (0.5 amplitude, another pitch on each channel) through
        the prepared instance on a thread of its own, as a host's audio thread does, and counts the
        heap calls on that thread while the host hands over automation and the block. The buffers are
        made beforehand, so what is counted is the hosting and the plug-in, not this check.

        Only the calls made while the plug-in's code runs are the plug-in's. JUCE 7.0.5's VST3 hosting
        makes some of its own in the first block after prepareToPlay: prepareToPlay gives it empty
        lists of channel pointers per bus (HostBufferMapper::prepare), which the first block fills
        with push_back (associateBufferTo), four operator new and two delete for stereo in and out.
        And the first parameter change the plug-in's VST3 wrapper takes on a thread touches its
        thread-local flag, for which the dynamic loader allocates room once a thread (__tls_get_addr):
        every host's audio thread pays that once, whatever the plug-in does per block. The stack of
        each call tells the three apart, and only the plug-in's own calls are judged.
    */
    AudioThreadRun processOnAudioThread (juce::AudioPluginInstance& instance,
                                         const juce::Array<juce::AudioProcessorParameter*>& parameters,
                                         const juce::File& binaryFolder, bool automated)
    {
        const auto numChannels = juce::jmax (instance.getTotalNumInputChannels(), instance.getTotalNumOutputChannels());
        const auto numInputs = instance.getTotalNumInputChannels();
        juce::AudioBuffer<float> buffer (numChannels, blockSize), input (numChannels, blockSize);
        juce::MidiBuffer midi;
        const auto pluginCode = heapcalls::codeOfBinaryIn (binaryFolder.getFullPathName().toRawUTF8());
        const auto libstdcxxCode = heapcalls::codeHolding (dlsym (RTLD_DEFAULT, "_Znwm")); // operator new (size_t)
        AudioThreadRun run;
        run.pluginCodeFound = ! pluginCode.isEmpty();

        std::thread audioThread ([&]
        {
            heapcalls::watch (pluginCode);

            for (int block = 0; block < blocksPerRow; ++block)
            {
                for (int c = 0; c < numChannels; ++c)
                    for (int i = 0; i < blockSize; ++i)
                        input.setSample (c, i, c < numInputs ? (float) (0.5 * std::sin (juce::MathConstants<double>::twoPi * (440.0 + 220.0 * c)
                                                                                        * (double) (block * blockSize + i) / sampleRate))
                                                             : 0.0f);

                buffer.makeCopyOf (input, true);

                heapcalls::start();

                if (automated)
                    for (int p = 0; p < parameters.size(); ++p)
                        parameters[p]->setValue (automatedValue (p, block));

                instance.processBlock (buffer, midi);
                const auto calls = heapcalls::stop();
                const auto whilePluginRan = heapcalls::whileWatchedRan();
                const auto pluginCalls = whilePluginRan.calls - whilePluginRan.threadLocalRoom;

                run.heapCalls += calls;
                run.pluginHeapCalls += pluginCalls;
                run.threadLocalRoom += whilePluginRan.threadLocalRoom;
                run.blocksWithPluginHeapCalls += pluginCalls > 0 ? 1 : 0;

                double largestDifference = 0.0;

                for (int c = 0; c < instance.getTotalNumOutputChannels(); ++c)
                {
                    for (int i = 0; i < blockSize; ++i)
                    {
                        const auto out = buffer.getSample (c, i);
                        run.allFinite = run.allFinite && std::isfinite (out);
                        largestDifference = juce::jmax (largestDifference, std::abs ((double) out - (double) input.getSample (c, i)));
                    }
                }

                run.blocksChanged += largestDifference > changedByMoreThan ? 1 : 0;
            }

            // The counter must see heap calls made here, on this thread, after all those blocks, and
            // put them down to the code that made them. The block escapes through a volatile pointer,
            // so the compiler cannot leave it out.
            static float* volatile sink = nullptr;
            auto deliberate = [] { sink = new float[blockSize]; delete[] sink; };

            run.deliberateCalls = heapcalls::callsIn (deliberate);
            run.deliberateByPlugin = heapcalls::whileWatchedRan().calls;

            heapcalls::watch (libstdcxxCode);
            heapcalls::callsIn (deliberate);
            run.deliberateByLibstdcxx = heapcalls::whileWatchedRan().calls;
            heapcalls::watch ({});
        });

        audioThread.join();
        return run;
    }
}

//==============================================================================
void HostChecks::checkAudioThreadHeapCalls()
{
    const auto failuresBefore = failures;

    const struct { const char* name; bool automated; } rows[] = {
        { "no automation", false },
        { "every parameter automated", true },
    };

    juce::StringArray summaries;

    for (const auto& row : rows)
    {
        juce::Array<juce::AudioProcessorParameter*> parameters;
        auto instance = createInstance (parameters);

        if (instance == nullptr)
            return;

        // Without this a hosted VST3 hands no block to the plug-in at all, and nothing would allocate.
        instance->prepareToPlay (sampleRate, blockSize);
        const auto run = processOnAudioThread (*instance, parameters, format.binaryFolder, row.automated);
        instance->releaseResources();

        const auto prefix = "audio thread, " + juce::String (row.name) + ": ";
        const auto blocks = juce::String (blocksPerRow) + " blocks";

        if (! expect (run.pluginCodeFound, prefix + "no loaded binary in " + format.binaryFolder.getFullPathName()
                                           + ", so no heap call could be put down to the plug-in"))
            continue;

        expect (run.deliberateCalls == 2 && run.deliberateByLibstdcxx == 2 && run.deliberateByPlugin == 0,
                prefix + "for one new[] and delete[] on the audio thread the counter saw " + juce::String (run.deliberateCalls)
                + " heap calls and put " + juce::String (run.deliberateByLibstdcxx) + " down to libstdc++ and "
                + juce::String (run.deliberateByPlugin) + " to the plug-in, expected 2, 2 and 0");

        // Output equal to the input means the plug-in never processed, and its count proves nothing.
        expect (run.blocksChanged == blocksPerRow,
                prefix + "the output differs from the sine input in only " + juce::String (run.blocksChanged) + " of "
                + blocks + ": the plug-in did not process the others, so their heap calls tell nothing");
        expect (run.allFinite, prefix + "the output holds samples that are not finite");

        const auto others = "the hosting's own " + juce::String (run.heapCalls - run.pluginHeapCalls - run.threadLocalRoom)
                          + ", the loader's for the plug-in's thread-locals " + juce::String (run.threadLocalRoom);

        expect (run.pluginHeapCalls == 0,
                prefix + "the plug-in made " + juce::String (run.pluginHeapCalls) + " heap calls in "
                + juce::String (run.blocksWithPluginHeapCalls) + " of " + blocks + " ("
                + juce::String ((double) run.pluginHeapCalls / blocksPerRow, 2) + " per block), expected none ("
                + others + ")");

        summaries.add (juce::String (row.name) + " " + juce::String (run.pluginHeapCalls) + " by the plug-in in " + blocks
                       + ", output changed in " + juce::String (run.blocksChanged) + " (" + others + ")");
    }

    if (failures == failuresBefore)
        pass ("heap calls on the audio thread, 512-sample blocks at 48 kHz: " + summaries.joinIntoString ("; ")
              + "; a new[] and delete[] there counted 2 each time, put down to libstdc++, not the plug-in");
}
