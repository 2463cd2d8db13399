#pragma once

#include <QByteArray>

#include <cstddef>
#include <cstdint>

namespace kavo::fuzz {

// Every target links this library, whose LLVMFuzzerInitialize readies the process before the first input: the data
// and temporary folders point at a private folder removed at exit, so that nothing the code under test writes (its
// log, converted audio) reaches the user's folders, and Qt's own messages are kept off the fuzzer's output.

/// The input as a byte array, copied.
QByteArray bytes(const std::uint8_t* data, std::size_t size);

/// A property of the code under test that failed: prints what and where, then aborts so that libFuzzer keeps the
/// input as a crash.
[[noreturn]] void fail(const char* property, const char* file, int line);

} // namespace kavo::fuzz

#define KAVO_FUZZ_CHECK(condition)                                                                                     \
    do {                                                                                                               \
        if (!(condition))                                                                                              \
            ::kavo::fuzz::fail(#condition, __FILE__, __LINE__);                                                        \
    } while (false)
