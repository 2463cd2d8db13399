// The decoder of config.json over any bytes.
#include "round_trip.h"

#include "store/config.h"

using namespace kavo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::checkRoundTrip<Config>(fuzz::bytes(data, size), [](const Config& a, const Config& b) { return a == b; });
    return 0;
}
