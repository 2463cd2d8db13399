#pragma once

#include "apps/front_application.h"
#include "audio/recorder.h"
#include "dictation/app_state.h"
#include "dictation/event_sound.h"
#include "dictation/transcript_request.h"

#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <QTimer>

#include <QCoroTask>

#include <chrono>
#include <exception>
#include <functional>
#include <optional>

namespace kavo {

class HotkeyMonitor;
class MediaControl;
class TextInjector;

/// Phone audio was turned down because a dictation is running.
class MacBusyError : public std::exception
{
    Q_DECLARE_TR_FUNCTIONS(MacBusyError)

public:
    MacBusyError();
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

    /// Takes over the recorder's failure callback. Without `frontApplication`, dictations know no application.
    DictationFlow(AppState& state, Recorder& recorder, TextInjector& injector,
        FrontAppSource* frontApplication = nullptr, QObject* parent = nullptr);
    ~DictationFlow() override;

    // Optional partners; without them, media is never paused and nothing else is told.
    void setMediaControl(MediaControl* media) { m_media = media; }
    /// Dictates when the hotkey says so, and tells it while a dictation records.
    void setHotkeyMonitor(HotkeyMonitor* hotkey);
    /// Whether the main window is this application's focused window, so that a dictation may go to its open note.
    std::function<bool()> mainWindowHasFocus = [] { return false; };

    void toggleRecording(const Target& target);
    void startRecording(const QString& source, Target target);
    void finishRecording();
    void cancelRecording();
    void recordingFailed(const Recorder::Failure& error);

    /// Re-transcribes a History entry from its kept audio; one request per entry at a time.
    void retry(const QUuid& id);
    /// Transcribes audio uploaded by the phone and returns the text. Throws `MacBusyError` while a dictation runs,
    /// `GeminiError` when the audio cannot be read, and what the request threw.
    QCoro::Task<QString> transcribeFromPhone(QByteArray data, QString contentType);
    /// Types a text into the application with the cursor, with the insert settings.
    void insert(const QString& text);

    /// What a dictation into `target` needs besides its text; none for other targets and for a note that has both a
    /// title and a body.
    std::optional<NoteJob> noteJob(const Target& target) const;
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

    /// A finished recording on its way to the transcript.
    struct Dictation
    {
        QString url;
        double duration = 0;
        QString source;
        Target target;
        FrontApp app;
        Clock::time_point stopped;
    };

    void transcribe(
        QString url, double duration, QString source, Target target, FrontApp app, Clock::time_point stopped);
    QCoro::Task<> runPipeline(Dictation dictation, Config config, GeminiClient client, std::optional<NoteJob> job);
    /// The recording with its long pauses shortened when the settings ask for it.
    QCoro::Task<QString> prepareAudio(QString url, Config config);
    QCoro::Task<> runRetry(HistoryEntry entry, QString audio, Config config);
    QCoro::Task<QString> transcribePhoneAudio(QByteArray data, QString contentType);
    bool deliver(const QString& text, const Target& target, const std::optional<QString>& appName,
        const std::optional<std::pair<NoteJob, NoteFiler::Result>>& filing);
    void file(const QUuid& noteID, const NoteFiler::Result& result, const NoteJob& job);
    void addToHistory(HistoryEntry entry);
    void showDone(const QString& text, int words, bool plain);
    void fail(const QString& message);
    void play(EventSound sound);
    void resumeMedia();
    void startLevelUpdates();
    void stopLevelUpdates();
    void setStage(DictationStage stage);

    HistoryEntry entry(HistoryEntry::Status status, double duration, const QString& source, const FrontApp& app) const;
    static QString wordCountText(int words);

    AppState& m_state;
    Recorder& m_recorder;
    TextInjector& m_injector;
    MediaControl* m_media = nullptr;
    HotkeyMonitor* m_hotkey = nullptr;
    FrontAppSource* m_frontApplication;

    FrontApp m_recordingApp;
    bool m_pausedMedia = false;
    QTimer m_levelTimer;
    QTimer m_doneTimer;
    QTimer m_failedTimer;
};

} // namespace kavo
