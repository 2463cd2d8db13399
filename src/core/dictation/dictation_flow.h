#pragma once

#include "apps/front_application.h"
#include "audio/recorder.h"
#include "dictation/dictation_state.h"
#include "dictation/dictation_target.h"
#include "dictation/event_sound.h"
#include "dictation/transcript_request.h"
#include "store/config.h"
#include "store/history.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QObject>
#include <QTimer>

#include <QCoroTask>

#include <chrono>
#include <exception>
#include <memory>
#include <optional>

namespace kavo {

class StreamingPreparation;

struct DataStores;
class HotkeyMonitor;
class KeyCheck;
class MediaControl;
class TextInjector;
class Toasts;

/// Phone audio was turned down because a dictation is running.
class ComputerBusyError : public std::exception
{
    Q_DECLARE_TR_FUNCTIONS(ComputerBusyError)

public:
    ComputerBusyError();
    QString message() const { return m_message; }
    const char* what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};

/// Carries one dictation from the start request to the delivered text and its History entry: records, pauses and
/// resumes media, shortens silences, encodes, asks for the transcript (and a note's classification), expands
/// snippets, delivers the text to the application with the cursor, a note or History alone, and drives the phase,
/// stage, sounds and messages the interface shows. Also re-transcribes History entries and transcribes phone audio.
/// Main thread only; long work is awaited without blocking it.
class DictationFlow : public QObject
{
    Q_OBJECT

public:
    using Target = DictationTarget;

    static constexpr auto levelInterval = std::chrono::milliseconds(50);
    static constexpr auto doneDuration = std::chrono::milliseconds(1800);
    static constexpr auto failedDuration = std::chrono::milliseconds(4000);
    static constexpr auto mediaResumeDelay = std::chrono::milliseconds(300);
    /// Cancelled recordings at least this long are kept in History as discarded.
    static constexpr double discardedMinimumSeconds = 1.0;

    DictationFlow(
        DataStores& stores, Toasts& toasts, Recorder& recorder, TextInjector& injector, QObject* parent = nullptr);
    ~DictationFlow() override;

    const DictationState& state() const { return m_state; }

    /// Where to learn which application a dictation's text goes to; without one, History names none.
    void setFrontApplication(FrontAppSource* source) { m_frontApplication = source; }
    /// Pauses media while recording when the settings ask for it; without one, media plays on.
    void setMediaControl(MediaControl* media) { m_media = media; }
    /// The models the API key offers, for classifying notes of a dictation model; without it, none are known.
    void setKeyCheck(const KeyCheck* keyCheck) { m_keyCheck = keyCheck; }
    /// Dictates when the hotkey says so, and tells it while a dictation records.
    void attachHotkey(HotkeyMonitor& hotkey);
    /// The note the main window shows while it has the keyboard focus and its settings are closed: a dictation
    /// started for the front application goes into that note instead.
    void setNoteInFront(const std::optional<QUuid>& note) { m_noteInFront = note; }

    void toggleRecording(const Target& target);
    void startRecording(const QString& source, Target target);
    void finishRecording();
    void cancelRecording();

    /// A hint that needs the user to act (a missing API key, missing input access), shown as the state's message
    /// until a dictation replaces it; empty clears it.
    void showHint(const QString& message) { m_state.setMessage(message); }
    /// Plays again at once what a recording paused, for an application that quits before the resume is due.
    void resumeMediaNow();
    /// Re-transcribes a History entry from its kept audio; one request per entry at a time.
    void retry(const QUuid& id);
    /// Transcribes audio uploaded by the phone and returns the text. Throws `ComputerBusyError` while a dictation
    /// runs, `GeminiError` when the audio cannot be read, and what the request threw.
    QCoro::Task<QString> transcribeFromPhone(QByteArray data, QString contentType);
    /// Types a text into the application with the cursor, with the insert settings.
    QCoro::Task<> insert(QString text);

    /// What a dictation into `target` needs besides its text; none for other targets and for a note that has both a
    /// title and a body.
    std::optional<NoteJob> noteJob(const Target& target, const Config& config) const;
    /// Whether a request failed because the computer could not reach the service.
    static bool isOffline(std::exception_ptr failure);

Q_SIGNALS:
    /// A recording is about to start and needs the microphone to itself.
    void recordingStarting();
    /// An event sound is due; sent only while the `sounds` setting is on.
    void soundRequested(kavo::EventSound sound);
    /// A desktop notification is due; sent only while the `notificationsOff` setting is off.
    void notificationRequested(const QString& title, const QString& body);

private:
    using Clock = std::chrono::steady_clock;

    /// The dictation being recorded: where it came from, where its text goes, and the settings it started with.
    struct Recording
    {
        QString source;
        Target target;
        FrontApp app;
        Config config;
        /// The upload made while recording; null when it could not start.
        std::shared_ptr<StreamingPreparation> streaming;
    };

    QCoro::Task<> collect(Recording recording, Clock::time_point stopped);
    QCoro::Task<> runPipeline(Recorder::Recording recorded, Recording recording, Clock::time_point stopped);
    QCoro::Task<> collectCancelled(Recording recording);
    void recordingFailed(const Recorder::Failure& error);
    QCoro::Task<> runRetry(HistoryEntry entry, QString audio, Config config);
    QCoro::Task<bool> deliver(QString text, Target target, std::optional<QString> appName,
        std::optional<std::pair<NoteJob, NoteFiler::Result>> filing, Config config);
    void file(const QUuid& noteID, const NoteFiler::Result& result, const NoteJob& job);
    void addToHistory(const HistoryEntry& entry, int keepingDays);
    void showDone(const QString& text, int words, bool plain);
    void fail(const QString& message);
    void play(EventSound sound, const Config& config);
    void resumeMedia();
    void startLevelUpdates();
    void stopLevelUpdates();
    void setStage(DictationStage stage);

    static HistoryEntry entry(
        HistoryEntry::Status status, double duration, const QString& source, const FrontApp& app, const QString& model);

    DataStores& m_stores;
    Toasts& m_toasts;
    Recorder& m_recorder;
    TextInjector& m_injector;
    FrontAppSource* m_frontApplication = nullptr;
    MediaControl* m_media = nullptr;
    const KeyCheck* m_keyCheck = nullptr;
    DictationState m_state;

    std::optional<Recording> m_recording;
    std::optional<QUuid> m_noteInFront;
    bool m_pausedMedia = false;
    QTimer m_levelTimer;
    QTimer m_doneTimer;
    QTimer m_failedTimer;
    QTimer m_resumeTimer;
};

} // namespace kavo
