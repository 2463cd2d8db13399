// The decoder of notes.json over any bytes.
#include "round_trip.h"

#include "notes/notes_store.h"

using namespace kavo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::checkRoundTrip<NotesStore>(fuzz::bytes(data, size),
        [](const NotesStore& a, const NotesStore& b) { return a.folders == b.folders && a.notes == b.notes; });
    return 0;
}
