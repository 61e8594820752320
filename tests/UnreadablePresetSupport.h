#pragma once

#include <juce_core/juce_core.h>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <future>
#include <thread>
#include <vector>

// Preset files that no reader may block on or read without end, and a way to try them that
// cannot hang the test program should a reader still do so.
namespace unreadable
{
    inline bool makeFifo (const juce::File& file)
    {
        file.getParentDirectory().createDirectory();
        return ::mkfifo (file.getFullPathName().toRawUTF8(), 0600) == 0;
    }

    inline bool linkToDevZero (const juce::File& file)
    {
        file.getParentDirectory().createDirectory();
        return ::symlink ("/dev/zero", file.getFullPathName().toRawUTF8()) == 0;
    }

    /** Runs work on a thread of its own and fails when it takes longer than the given time. An
        open blocked on one of the FIFOs is then released (a writer comes and goes, so the reader
        sees an empty file), so no thread is left behind either way.
    */
    template <typename Work>
    testing::AssertionResult finishesWithin (double seconds, const std::vector<juce::File>& fifos, Work&& work)
    {
        auto finished = std::async (std::launch::async, std::forward<Work> (work));
        const auto inTime = finished.wait_for (std::chrono::duration<double> (seconds)) == std::future_status::ready;

        while (finished.wait_for (std::chrono::milliseconds (100)) != std::future_status::ready)
            for (const auto& fifo : fifos)
                if (const auto fd = ::open (fifo.getFullPathName().toRawUTF8(), O_WRONLY | O_NONBLOCK); fd >= 0)
                    ::close (fd);

        finished.get();

        if (inTime)
            return testing::AssertionSuccess();

        return testing::AssertionFailure() << "still running after " << seconds << " s";
    }
}
