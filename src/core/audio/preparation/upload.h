#pragma once

#include "store/raw_value.h"

#include <QString>

#include <functional>

namespace kavo {

/// The audio file handed to the transcription client, and whether it is the M4A encoding or the WAV itself.
struct Upload
{
    enum class Format { m4a, wav };

    QString path;
    Format format = Format::wav;

    /// Encodes `wav` with `encode` and returns the result when it is an MPEG-4 file; otherwise returns the WAV,
    /// after one line to `log` and the removal of whatever the encoder left. Errors thrown by `encode` end there too.
    static Upload of(const QString& wav, const std::function<QString(const QString&)>& encode,
        const std::function<void(const QString&)>& log);
};

template <> struct RawValues<Upload::Format>
{
    static constexpr std::array<std::pair<Upload::Format, const char*>, 2> table { {
        { Upload::Format::m4a, "m4a" },
        { Upload::Format::wav, "wav" },
    } };
};

} // namespace kavo
