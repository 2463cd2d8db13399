#include "dictation_state.h"

#include <QCoreApplication>

namespace kavo {

namespace {

constexpr auto firstWait = std::chrono::seconds(4);
constexpr auto secondWait = std::chrono::seconds(8);
constexpr auto alternation = std::chrono::seconds(4);

QString transcribingMessage(std::chrono::milliseconds elapsed)
{
    if (elapsed < firstWait)
        return QCoreApplication::translate("DictationStage", "Turning speech into text…");
    if (elapsed < secondWait)
        return QCoreApplication::translate("DictationStage", "Waiting for the transcript…");
    const auto round = elapsed / alternation;
    return round % 2 == 0 ? QCoreApplication::translate("DictationStage", "Still processing your audio…")
                          : QCoreApplication::translate("DictationStage", "Waiting for the transcript…");
}

template <typename Value, typename Signal>
void assign(DictationState* state, Value& member, const Value& value, Signal changed)
{
    if (member == value)
        return;
    member = value;
    Q_EMIT(state->*changed)();
}

} // namespace

QString dictationStageMessage(DictationStage stage, std::chrono::milliseconds elapsed)
{
    switch (stage) {
    case DictationStage::preparing:
        return QCoreApplication::translate("DictationStage", "Preparing audio…");
    case DictationStage::trimming:
        return QCoreApplication::translate("DictationStage", "Shortening silence…");
    case DictationStage::transcribing:
        return transcribingMessage(elapsed);
    case DictationStage::retrying:
        return QCoreApplication::translate("DictationStage", "Trying again…");
    case DictationStage::organizing:
        return QCoreApplication::translate("DictationStage", "Organizing your note…");
    case DictationStage::finishing:
        return QCoreApplication::translate("DictationStage", "Preparing the result…");
    }
    return {};
}

void DictationState::setPhase(Phase phase)
{
    if (m_phase == phase)
        return;
    m_phase = phase;
    setProcessing(DictationStage::preparing, phase == Phase::working ? QDateTime::currentDateTime() : QDateTime());
    Q_EMIT phaseChanged();
}

void DictationState::setStage(DictationStage stage, const QDateTime& date)
{
    if (m_phase != Phase::working || stage == m_stage)
        return;
    setProcessing(stage, date);
}

void DictationState::setProcessing(DictationStage stage, const QDateTime& started)
{
    assign(this, m_processingStarted, started, &DictationState::processingStartedChanged);
    assign(this, m_stage, stage, &DictationState::stageChanged);
}

QString DictationState::processingMessage(const QDateTime& now) const
{
    const qint64 elapsed = m_processingStarted.isValid() ? std::max<qint64>(m_processingStarted.msecsTo(now), 0) : 0;
    return dictationStageMessage(m_stage, std::chrono::milliseconds(elapsed));
}

void DictationState::setLevel(double level)
{
    assign(this, m_level, level, &DictationState::levelChanged);
}

void DictationState::setMessage(const QString& message)
{
    assign(this, m_message, message, &DictationState::messageChanged);
}

void DictationState::setRecordingStarted(const QDateTime& started)
{
    assign(this, m_recordingStarted, started, &DictationState::recordingStartedChanged);
}

void DictationState::setDoneText(const std::optional<QString>& text)
{
    assign(this, m_doneText, text, &DictationState::doneTextChanged);
}

void DictationState::setRetrying(const QUuid& entry, bool retrying)
{
    if (m_retrying.contains(entry) == retrying)
        return;
    if (retrying)
        m_retrying.insert(entry);
    else
        m_retrying.remove(entry);
    Q_EMIT retryingChanged(entry);
}

} // namespace kavo
