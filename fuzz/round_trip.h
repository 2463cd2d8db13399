#pragma once

#include "fuzz_support.h"

#include <optional>

namespace kavo::fuzz {

/// A data file's decoder either refuses the bytes or yields a document whose encoding decodes to the same document
/// and encodes to the same bytes again.
template <typename Document, typename Same> void checkRoundTrip(const QByteArray& bytes, Same same)
{
    const std::optional<Document> decoded = Document::decode(bytes);
    if (!decoded)
        return;
    const QByteArray encoded = decoded->encode();
    const std::optional<Document> again = Document::decode(encoded);
    KAVO_FUZZ_CHECK(again.has_value());
    KAVO_FUZZ_CHECK(same(*again, *decoded));
    KAVO_FUZZ_CHECK(again->encode() == encoded);
}

} // namespace kavo::fuzz
