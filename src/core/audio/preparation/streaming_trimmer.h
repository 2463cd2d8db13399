#pragma once

#include <QtGlobal>

#include <functional>
#include <vector>

namespace kavo {

/// Shortens the long pauses of a recording while it is being made. Fed the recording's frames as they arrive, it
/// passes on each frame that stays as soon as that is certain, holding back only the part of a pause whose length is
/// still open (at most the kept margin plus the long-pause threshold). It makes the cuts that
/// `AudioTrimmer::trimSilence` makes over the finished file, frame for frame.
class StreamingTrimmer
{
public:
    /// Float samples, one vector per channel, all of equal length.
    using Frames = std::vector<std::vector<float>>;
    using Sink = std::function<void(const Frames& kept)>;

    /// `sink` receives the frames that stay, in order, from within `push()` and `finish()`.
    StreamingTrimmer(int sampleRate, int channelCount, double keepSeconds, Sink sink);

    void push(const Frames& frames);
    /// The recording ended: decides its last pause and passes on the rest.
    void finish();

    qsizetype framesIn() const { return m_in; }
    qsizetype framesKept() const { return m_kept; }

private:
    void closeWindow(bool silent);
    void endRun(qsizetype runEnd);
    /// Passes on what is certain to stay and drops what is certain to go.
    void release();
    void keepUntil(qsizetype frame);
    void dropUntil(qsizetype frame);
    qsizetype completedEnd() const { return m_windows * m_window; }

    Sink m_sink;
    qsizetype m_window;
    double m_minimumRun;
    qsizetype m_head;
    qsizetype m_tail;

    qsizetype m_in = 0;
    qsizetype m_kept = 0;
    double m_sumOfSquares = 0;
    qsizetype m_filled = 0;
    qsizetype m_windows = 0;
    /// The first window of the silent run under way, or -1.
    qsizetype m_runStart = -1;
    qsizetype m_runWindows = 0;

    /// Frames not yet decided, from `m_pendingStart` on.
    Frames m_pending;
    qsizetype m_pendingStart = 0;
};

} // namespace kavo
