#pragma once

#include "store/raw_value.h"

#include <QString>

#include <exception>
#include <functional>

namespace kavo {

/// The audio file handed to the transcription client, and whether it is the M4A encoding or the WAV itself.
struct Upload
{
    enum class Format { m4a, wav };

    QString url;
    Format format = Format::wav;

    /// Encodes `wav` with `encode` and returns the result when it is an MPEG-4 file; otherwise returns the WAV,
    /// after one line to `log` and the removal of whatever the encoder left. Errors thrown by `encode` end there too.
    static Upload of(const QString& wav, const std::function<QString(const QString&)>& encode,
        const std::function<void(const QString&)>& log);

    /// Whether a refused M4A upload is worth sending again as WAV: only a 400 reply that blames neither the API
    /// key nor the thinking configuration, which the WAV would run into just the same.
    static bool resendsAsWav(const std::exception& error);
};

template <> struct RawValues<Upload::Format>
{
    static constexpr std::array<std::pair<Upload::Format, const char*>, 2> table { {
        { Upload::Format::m4a, "m4a" },
        { Upload::Format::wav, "wav" },
    } };
};

} // namespace kavo
