#pragma once

#include <QDateTime>
#include <QObject>
#include <QSet>
#include <QString>
#include <QUuid>
#include <QtQmlIntegration/qqmlintegration.h>

#include <chrono>
#include <optional>

namespace kavo {

namespace DictationStages {
Q_NAMESPACE
/// What the `working` phase of a dictation is busy with.
enum class DictationStage { preparing, trimming, transcribing, retrying, organizing, finishing };
Q_ENUM_NS(DictationStage)
} // namespace DictationStages

using DictationStages::DictationStage;

/// The progress text of a stage that began `elapsed` ago, in the interface language.
QString dictationStageMessage(DictationStage stage, std::chrono::milliseconds elapsed);

/// What the dictation is doing, as the pill, the tray and the windows show it: the phase and the stage of its work,
/// the input level, the message of a failure, when the recording began, the short confirmation after it and the
/// History entries being transcribed again. The dictation flow writes it; everything else reads. Main thread only.
class DictationState : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The dictation flow owns its state")
    Q_PROPERTY(Phase phase READ phase NOTIFY phaseChanged)
    Q_PROPERTY(kavo::DictationStages::DictationStage stage READ stage NOTIFY stageChanged)
    Q_PROPERTY(QDateTime processingStarted READ processingStarted NOTIFY processingStartedChanged)
    Q_PROPERTY(double level READ level NOTIFY levelChanged)
    Q_PROPERTY(QString message READ message NOTIFY messageChanged)
    Q_PROPERTY(QDateTime recordingStarted READ recordingStarted NOTIFY recordingStartedChanged)
    Q_PROPERTY(QString doneText READ doneTextOrEmpty NOTIFY doneTextChanged)

public:
    enum class Phase { idle, recording, working, failed };
    Q_ENUM(Phase)

    using QObject::QObject;

    Phase phase() const { return m_phase; }
    /// Changing the phase starts the `preparing` stage, timed from now when the phase becomes `working`.
    void setPhase(Phase phase);

    DictationStage stage() const { return m_stage; }
    /// When the current stage began; invalid outside `working`.
    QDateTime processingStarted() const { return m_processingStarted; }
    /// Moves a `working` dictation on to `stage`, begun at `date`; nothing in other phases or for the same stage.
    void setStage(DictationStage stage, const QDateTime& date = QDateTime::currentDateTime());
    /// The progress text of the current stage.
    Q_INVOKABLE QString processingMessage(const QDateTime& now = QDateTime::currentDateTime()) const;

    /// The input level while recording, 0..1.
    double level() const { return m_level; }
    void setLevel(double level);
    QString message() const { return m_message; }
    void setMessage(const QString& message);
    /// When the running recording began; invalid while none runs.
    QDateTime recordingStarted() const { return m_recordingStarted; }
    void setRecordingStarted(const QDateTime& started);
    /// The short confirmation shown for a moment after a dictation.
    const std::optional<QString>& doneText() const { return m_doneText; }
    void setDoneText(const std::optional<QString>& text);

    bool isRetrying(const QUuid& entry) const { return m_retrying.contains(entry); }
    void setRetrying(const QUuid& entry, bool retrying);

Q_SIGNALS:
    void phaseChanged();
    void stageChanged();
    void processingStartedChanged();
    void levelChanged();
    void messageChanged();
    void recordingStartedChanged();
    void doneTextChanged();
    void retryingChanged(const QUuid& entry);

private:
    QString doneTextOrEmpty() const { return m_doneText.value_or(QString()); }
    void setProcessing(DictationStage stage, const QDateTime& started);

    Phase m_phase = Phase::idle;
    DictationStage m_stage = DictationStage::preparing;
    QDateTime m_processingStarted;
    double m_level = 0;
    QString m_message;
    QDateTime m_recordingStarted;
    std::optional<QString> m_doneText;
    QSet<QUuid> m_retrying;
};

} // namespace kavo
