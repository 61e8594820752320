#include "PresetFileReader.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qrvx
{
    namespace
    {
        juce::Result notARegularFile()
        {
            return juce::Result::fail ("This is not a regular file, could not load preset.");
        }

        juce::Result tooLarge()
        {
            return juce::Result::fail ("The file is too large to be a preset, could not load preset.");
        }

        // Missing files among them, as before this reader.
        juce::Result unreadable()
        {
            return juce::Result::fail ("Invalid preset file supplied, could not load preset.");
        }

        struct ScopedDescriptor
        {
            int fd;
            ~ScopedDescriptor() { if (fd >= 0) ::close (fd); }
        };

        // Small enough not to matter on a preset's way in, large enough that a preset takes a
        // handful of reads.
        constexpr size_t pieceSize = 64 * 1024;
    }

    juce::Result PresetFileReader::read (const juce::File& file, juce::MemoryBlock& bytes, size_t sizeLimit)
    {
        bytes.reset();
        const auto pathName = file.getFullPathName();
        const auto* path = pathName.toRawUTF8();
        struct stat info {};

        // Looked at before opening, since merely opening some devices makes them do something.
        if (::stat (path, &info) != 0)
            return unreadable();

        if (! S_ISREG (info.st_mode))
            return notARegularFile();

        // A FIFO swapped in since the look above must not hold the open (and so the host) for
        // good: without a writer a non-blocking open returns at once, and what was opened is
        // looked at again.
        const ScopedDescriptor descriptor { ::open (path, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY) };

        if (descriptor.fd < 0)
            return unreadable();

        if (::fstat (descriptor.fd, &info) != 0)
            return unreadable();

        if (! S_ISREG (info.st_mode))
            return notARegularFile();

        if (info.st_size < 0 || (juce::uint64) info.st_size > sizeLimit)
            return tooLarge();

        // The reported size only refuses early: some file systems report none for files that
        // have content, and a file can grow while it is read. One byte past the limit is enough
        // to know the file is too large.
        size_t total = 0;

        for (;;)
        {
            const auto room = sizeLimit + 1 - total;

            if (room == 0)
            {
                bytes.reset();
                return tooLarge();
            }

            bytes.ensureSize (total + juce::jmin (pieceSize, room));
            const auto got = ::read (descriptor.fd, static_cast<char*> (bytes.getData()) + total, juce::jmin (pieceSize, room));

            if (got == 0)
                break;

            if (got < 0)
            {
                if (errno == EINTR)
                    continue;

                bytes.reset();
                return unreadable();
            }

            total += (size_t) got;
        }

        bytes.setSize (total);
        return juce::Result::ok();
    }
}
