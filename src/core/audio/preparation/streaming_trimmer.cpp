#include "streaming_trimmer.h"

#include "audio/preparation/silence_rules.h"

#include <algorithm>
#include <limits>

namespace kavo {

StreamingTrimmer::StreamingTrimmer(int sampleRate, int channelCount, double keepSeconds, Sink sink)
    : m_sink(std::move(sink))
    , m_window(SilenceRules::windowFrames(sampleRate))
    , m_minimumRun(SilenceRules::minimumRunWindows(keepSeconds))
    , m_pending(size_t(std::max(channelCount, 1)))
{
    // A long pause is longer than its margin, so a margin longer than the recording never shows; the bound only keeps
    // the arithmetic finite.
    const qsizetype margin
        = SilenceRules::marginFrames(keepSeconds, sampleRate, std::numeric_limits<qsizetype>::max() / 4);
    m_head = margin / 2;
    m_tail = margin - m_head;
}

void StreamingTrimmer::push(const Frames& frames)
{
    if (frames.empty() || frames.front().empty())
        return;
    for (size_t channel = 0; channel < m_pending.size(); ++channel)
        m_pending[channel].insert(m_pending[channel].end(), frames[channel].begin(), frames[channel].end());
    for (const float sample : frames.front()) {
        m_sumOfSquares += double(sample) * sample;
        ++m_in;
        if (++m_filled == m_window)
            closeWindow(SilenceRules::isSilent(m_sumOfSquares, m_filled));
    }
    release();
}

void StreamingTrimmer::finish()
{
    if (m_filled > 0)
        closeWindow(SilenceRules::isSilent(m_sumOfSquares, m_filled));
    if (m_runStart >= 0)
        endRun(m_in);
    keepUntil(m_in);
}

void StreamingTrimmer::closeWindow(bool silent)
{
    const qsizetype index = m_windows++;
    m_sumOfSquares = 0;
    m_filled = 0;
    if (!silent) {
        if (m_runStart >= 0)
            endRun(index * m_window);
        return;
    }
    if (m_runStart < 0) {
        m_runStart = index;
        m_runWindows = 0;
    }
    ++m_runWindows;
}

void StreamingTrimmer::endRun(qsizetype runEnd)
{
    if (double(m_runWindows) >= m_minimumRun) {
        const qsizetype cutFrom = m_runStart * m_window + m_head;
        keepUntil(std::min(cutFrom, runEnd));
        dropUntil(std::max(cutFrom, runEnd - m_tail));
    }
    m_runStart = -1;
}

// While no pause is under way every finished window stays. Within one, what comes before its cut stays whatever its
// length; once it is known to be long, what lies further back than the closing margin goes.
void StreamingTrimmer::release()
{
    if (m_runStart < 0) {
        keepUntil(completedEnd());
        return;
    }
    const qsizetype cutFrom = m_runStart * m_window + m_head;
    keepUntil(std::min(cutFrom, completedEnd()));
    if (double(m_runWindows) >= m_minimumRun)
        dropUntil(completedEnd() - m_tail);
}

void StreamingTrimmer::keepUntil(qsizetype frame)
{
    const qsizetype count = std::min(frame, m_in) - m_pendingStart;
    if (count <= 0)
        return;
    Frames kept(m_pending.size());
    for (size_t channel = 0; channel < m_pending.size(); ++channel) {
        auto& pending = m_pending[channel];
        kept[channel].assign(pending.begin(), pending.begin() + count);
        pending.erase(pending.begin(), pending.begin() + count);
    }
    m_pendingStart += count;
    m_kept += count;
    m_sink(kept);
}

void StreamingTrimmer::dropUntil(qsizetype frame)
{
    const qsizetype count = std::min(frame, m_in) - m_pendingStart;
    if (count <= 0)
        return;
    for (auto& pending : m_pending)
        pending.erase(pending.begin(), pending.begin() + count);
    m_pendingStart += count;
}

} // namespace kavo
