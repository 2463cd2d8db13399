#pragma once

#include <QString>

#include <optional>

namespace kavo {

/// Shortens the long pauses of a recording before upload, keeping a short margin of silence on both sides of
/// each cut so that no speech is clipped.
namespace AudioTrimmer {

/// Writes a copy of the WAV file at `path` with the middle of every long pause removed, keeping `keepSeconds`
/// of each pause (half before the cut, half after), and returns its path: `path` without its extension plus
/// ".trimmed.wav", in the input's own sample format, rate and channels. Silence is decided on channel 0 and cut
/// the same in every channel. Returns nothing, and leaves no file, when the input cannot be read, nothing was
/// cut or the copy cannot be written; the input itself is never touched. Blocks while it reads and writes.
std::optional<QString> trimSilence(const QString& path, double keepSeconds);

} // namespace AudioTrimmer

} // namespace kavo
