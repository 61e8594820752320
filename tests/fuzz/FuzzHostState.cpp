#include "FuzzSupport.h"

// Feeds the fuzzer's bytes to the host-state restore, as a host restoring a damaged or foreign
// project would.
extern "C" int LLVMFuzzerInitialize (int*, char***)
{
    fuzzsupport::initialise();
    fuzzsupport::processor();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    if (size > (size_t) std::numeric_limits<int>::max())
        return 0;

    auto& processor = fuzzsupport::processor();
    processor.setStateInformation (data, (int) size);

    fuzzsupport::checkParameters (processor);
    fuzzsupport::checkHostStateRoundTrip (processor);
    return 0;
}
