#include "audio_trimmer.h"

#include "audio/codec/wav_reader.h"
#include "audio/preparation/silence_rules.h"
#include "store/log.h"

#include <QElapsedTimer>
#include <QFile>

#include <algorithm>
#include <new>
#include <vector>

namespace kavo::AudioTrimmer {

namespace {

/// Frames [start, end) of the input that go to the output.
struct Segment
{
    qsizetype start = 0;
    qsizetype end = 0;
};

/// The whole file as float samples, or nothing when it cannot be read: the reason does not matter, the caller
/// sends the untrimmed file either way.
std::optional<WavAudio> readAudio(const QString& path)
{
    try {
        return readWav(path);
    } catch (const WavError&) {
    } catch (const std::bad_alloc&) { }
    return std::nullopt;
}

QString trimmedPath(const QString& path)
{
    const qsizetype nameStart = path.lastIndexOf(QLatin1Char('/')) + 1;
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    // A leading dot names a hidden file rather than starting an extension.
    const QString stem = dot > nameStart ? path.left(dot) : path;
    return stem + QStringLiteral(".trimmed.wav");
}

/// Whether each window of `frames` is silent, the last window taking whatever is left.
std::vector<bool> silentWindows(const std::vector<float>& frames, qsizetype window)
{
    const auto count = qsizetype(frames.size());
    std::vector<bool> silent;
    silent.reserve(size_t((count + window - 1) / window));
    for (qsizetype start = 0; start < count; start += window) {
        const qsizetype end = std::min(start + window, count);
        double sumOfSquares = 0;
        for (qsizetype frame = start; frame < end; ++frame)
            sumOfSquares += double(frames[frame]) * frames[frame];
        silent.push_back(SilenceRules::isSilent(sumOfSquares, end - start));
    }
    return silent;
}

/// The parts of channel 0 to keep: everything but the middle of each long pause.
std::vector<Segment> keptSegments(const std::vector<float>& channel, int sampleRate, double keepSeconds)
{
    const auto frames = qsizetype(channel.size());
    const qsizetype window = SilenceRules::windowFrames(sampleRate);
    const std::vector<bool> silent = silentWindows(channel, window);
    const auto windows = qsizetype(silent.size());
    const double minimumRun = SilenceRules::minimumRunWindows(keepSeconds);

    // No pause is longer than the file, so a margin beyond it cannot change anything; clamping keeps it finite.
    const qsizetype keepFrames = SilenceRules::marginFrames(keepSeconds, sampleRate, frames);
    const qsizetype head = keepFrames / 2;
    const qsizetype tail = keepFrames - head;

    std::vector<Segment> segments;
    const auto keepSegment = [&segments](qsizetype start, qsizetype end) {
        if (end > start)
            segments.push_back({ start, end });
    };
    qsizetype from = 0;
    for (qsizetype i = 0; i < windows;) {
        if (!silent[i]) {
            ++i;
            continue;
        }
        qsizetype j = i;
        while (j < windows && silent[j])
            ++j;
        if (double(j - i) >= minimumRun) {
            const qsizetype runStart = i * window;
            const qsizetype runEnd = std::min(j * window, frames);
            keepSegment(from, std::min(runStart + head, runEnd));
            from = std::max(runStart + head, runEnd - tail);
        }
        i = j;
    }
    keepSegment(from, frames);
    return segments;
}

std::vector<std::vector<float>> copySegments(
    const std::vector<std::vector<float>>& channels, const std::vector<Segment>& segments, qsizetype total)
{
    std::vector<std::vector<float>> trimmed(channels.size());
    for (size_t channel = 0; channel < channels.size(); ++channel) {
        const std::vector<float>& input = channels[channel];
        std::vector<float>& output = trimmed[channel];
        output.reserve(size_t(total));
        for (const Segment& segment : segments)
            output.insert(output.end(), input.begin() + segment.start, input.begin() + segment.end);
    }
    return trimmed;
}

} // namespace

std::optional<QString> trimSilence(const QString& path, double keepSeconds)
{
    QElapsedTimer elapsed;
    elapsed.start();

    const std::optional<WavAudio> audio = readAudio(path);
    const qsizetype frames = audio ? audio->frameCount() : 0;
    if (frames < 1) {
        Log::write(QStringLiteral("could not read the audio, sending it untrimmed"));
        return std::nullopt;
    }

    const std::vector<Segment> segments = keptSegments(audio->channels.front(), audio->format.sampleRate, keepSeconds);
    qsizetype total = 0;
    for (const Segment& segment : segments)
        total += segment.end - segment.start;
    if (total < 1 || total >= frames)
        return std::nullopt;

    const QString output = trimmedPath(path);
    try {
        writeWav(output, audio->format, copySegments(audio->channels, segments, total));
    } catch (const WavError& error) {
        Log::write(QStringLiteral("could not write the trimmed audio: ") + error.message());
        QFile::remove(output);
        return std::nullopt;
    }
    Log::write(
        QStringLiteral("trimmed silence in %1ms, %2% shorter").arg(elapsed.elapsed()).arg(100 - total * 100 / frames));
    return output;
}

} // namespace kavo::AudioTrimmer
