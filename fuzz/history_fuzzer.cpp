// The decoder of history.json over any bytes.
#include "round_trip.h"

#include "store/history.h"

using namespace kavo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::checkRoundTrip<History>(
        fuzz::bytes(data, size), [](const History& a, const History& b) { return a.entries == b.entries; });
    return 0;
}
