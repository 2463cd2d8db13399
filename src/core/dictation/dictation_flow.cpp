#include "dictation_flow.h"

#include "audio/audio_error.h"
#include "audio/codec/wav_reader.h"
#include "audio/preparation/audio_preparation.h"
#include "audio/preparation/streaming_preparation.h"
#include "delivery/text_injector.h"
#include "format/format.h"
#include "hotkey/hotkey_monitor.h"
#include "media/media_control.h"
#include "phone/phone_audio.h"
#include "state/key_check.h"
#include "state/toasts.h"
#include "store/data_stores.h"
#include "store/json_support.h"
#include "store/log.h"
#include "store/snippet.h"

#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QtConcurrent>

#include <QCoroFuture>

namespace kavo {
namespace {

using Clock = std::chrono::steady_clock;
using Phase = DictationState::Phase;

QString seconds(Clock::duration duration)
{
    return QString::asprintf("%.2fs", std::chrono::duration<double>(duration).count());
}

/// The margin kept of shortened pauses, or nothing when pauses stay as they are.
std::optional<double> trimMargin(const Config& config)
{
    return config.trimSilence ? std::optional(config.keepSilenceSeconds) : std::nullopt;
}

/// The upload of a recording about to start, made while it records, beside the recordings in the temporary folder.
std::shared_ptr<StreamingPreparation> prepareWhileRecording(const Config& config)
{
    const QString recording = Recorder::newFilePath();
    return std::make_shared<StreamingPreparation>(
        recording.left(recording.size() - 4) + QStringLiteral(".m4a"), trimMargin(config));
}

/// Phone audio in the recording format, and its length in seconds (0 when it cannot be told).
struct PhoneRecording
{
    QString path;
    double duration = 0;
};

std::optional<PhoneRecording> convertPhoneAudio(const QByteArray& data, const QString& contentType)
{
    const std::optional<QString> wav = PhoneAudio::convertToWav(data, contentType);
    if (!wav)
        return std::nullopt;
    double duration = 0;
    try {
        const WavAudio audio = readWav(*wav);
        duration = audio.format.sampleRate > 0 ? double(audio.frameCount()) / audio.format.sampleRate : 0;
    } catch (const WavError&) { }
    return PhoneRecording { *wav, duration };
}

} // namespace

ComputerBusyError::ComputerBusyError()
    : m_message(tr("The computer is busy. Try again in a moment."))
    , m_utf8(m_message.toUtf8())
{ }

DictationFlow::DictationFlow(
    DataStores& stores, Toasts& toasts, Recorder& recorder, TextInjector& injector, QObject* parent)
    : QObject(parent)
    , m_stores(stores)
    , m_toasts(toasts)
    , m_recorder(recorder)
    , m_injector(injector)
{
    connect(&m_recorder, &Recorder::failed, this, &DictationFlow::recordingFailed);
    connect(&m_injector, &TextInjector::pasteKeysUnavailable, this,
        [this](const QString& title, const QString& detail) { m_toasts.show(title, detail, Toasts::Tone::warning); });

    m_levelTimer.setInterval(levelInterval);
    m_levelTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_levelTimer, &QTimer::timeout, this, [this] {
        if (const std::optional<float> decibels = m_recorder.level())
            m_state.setLevel(std::clamp((double(*decibels) + 50.0) / 50.0, 0.0, 1.0));
    });
    m_doneTimer.setSingleShot(true);
    m_doneTimer.setTimerType(Qt::PreciseTimer);
    m_doneTimer.setInterval(doneDuration);
    connect(&m_doneTimer, &QTimer::timeout, this, [this] { m_state.setDoneText(std::nullopt); });
    m_failedTimer.setSingleShot(true);
    m_failedTimer.setTimerType(Qt::PreciseTimer);
    m_failedTimer.setInterval(failedDuration);
    connect(&m_failedTimer, &QTimer::timeout, this, [this] {
        if (m_state.phase() == Phase::failed)
            m_state.setPhase(Phase::idle);
    });
    m_resumeTimer.setSingleShot(true);
    m_resumeTimer.setTimerType(Qt::PreciseTimer);
    m_resumeTimer.setInterval(mediaResumeDelay);
    connect(&m_resumeTimer, &QTimer::timeout, this, [this] {
        m_pausedMedia = false;
        if (m_media)
            m_media->resume();
    });
}

DictationFlow::~DictationFlow() = default;

void DictationFlow::attachHotkey(HotkeyMonitor& hotkey)
{
    connect(&hotkey, &HotkeyMonitor::startRequested, this,
        [this] { startRecording(DictationSource::computer, Target::frontApp()); });
    connect(&hotkey, &HotkeyMonitor::stopRequested, this, &DictationFlow::finishRecording);
    connect(&hotkey, &HotkeyMonitor::cancelRequested, this, &DictationFlow::cancelRecording);
    connect(&hotkey, &HotkeyMonitor::toggleRequested, this, [this] { toggleRecording(Target::frontApp()); });
    connect(&m_state, &DictationState::phaseChanged, &hotkey,
        [this, &hotkey] { hotkey.setExternalRecording(m_state.phase() == Phase::recording); });
}

void DictationFlow::toggleRecording(const Target& target)
{
    switch (m_state.phase()) {
    case Phase::recording:
        finishRecording();
        return;
    case Phase::working:
        return;
    case Phase::failed:
        m_state.setMessage(QString());
        break;
    case Phase::idle:
        break;
    }
    startRecording(DictationSource::computer, target);
}

void DictationFlow::startRecording(const QString& source, Target target)
{
    if (m_state.phase() == Phase::working || m_state.phase() == Phase::recording)
        return;
    if (m_recorder.isRecording()) {
        Log::write(QStringLiteral("the recorder was still running; stopping it instead of starting"));
        QCoro::connect(m_recorder.stop(), this, [](const std::optional<Recorder::Recording>& recording) {
            if (recording)
                QFile::remove(recording->path);
        });
        return;
    }
    Q_EMIT recordingStarting();
    if (target == Target::frontApp() && m_noteInFront)
        target = Target::note(*m_noteInFront);

    const FrontApp app = m_frontApplication ? m_frontApplication->current() : FrontApp {};
    const Config config = m_stores.settings.config();
    // Media a recording that just ended paused is still paused: it waits for this recording to end instead. The
    // media control pauses and resumes in the order asked, and resumes nothing when it paused nothing.
    if (m_resumeTimer.isActive())
        m_resumeTimer.stop();
    else
        m_pausedMedia = false;
    if (config.pauseMedia && m_media) {
        m_pausedMedia = true;
        m_media->pauseIfPlaying();
    }
    const std::shared_ptr<StreamingPreparation> streaming = prepareWhileRecording(config);
    try {
        m_recorder.start(config.inputDeviceID, config.noiseReduction,
            [weak = std::weak_ptr(streaming)](const qint16* samples, int frames) {
                if (const std::shared_ptr<StreamingPreparation> preparation = weak.lock())
                    preparation->push(samples, frames);
            });
    } catch (const std::exception& error) {
        resumeMedia();
        fail(audioErrorText(error));
        return;
    }
    Log::write(QStringLiteral("recording started (%1) on %2").arg(source, m_recorder.deviceName(config.inputDeviceID)));
    GeminiClient::fromConfig(config).warmUp();

    m_recording = Recording { source, target, app, config, streaming };
    m_state.setRecordingStarted(QDateTime::currentDateTime());
    m_state.setDoneText(std::nullopt);
    m_state.setPhase(Phase::recording);
    play(EventSound::started, config);
    startLevelUpdates();
}

void DictationFlow::finishRecording()
{
    if (m_state.phase() != Phase::recording || !m_recording)
        return;
    const Clock::time_point stopped = Clock::now();
    stopLevelUpdates();
    m_state.setPhase(Phase::working);
    m_state.setRecordingStarted(QDateTime());
    resumeMedia();
    Recording recording = *std::exchange(m_recording, std::nullopt);
    collect(std::move(recording), stopped);
}

QCoro::Task<> DictationFlow::collect(Recording recording, Clock::time_point stopped)
{
    const QPointer self(this);
    const std::optional<Recorder::Recording> recorded = co_await m_recorder.stop();
    if (!self) {
        if (recorded)
            QFile::remove(recorded->path);
        co_return;
    }
    if (!recorded) {
        Log::write(QStringLiteral("nothing recorded"));
        m_state.setPhase(Phase::idle);
        co_return;
    }
    Log::write(QStringLiteral("recorded %1s -> %2")
                   .arg(QString::asprintf("%.2f", recorded->duration), QFileInfo(recorded->path).fileName()));
    if (recorded->duration * 1000 < m_stores.settings.minRecordingMs()) {
        QFile::remove(recorded->path);
        m_state.setPhase(Phase::idle);
        co_return;
    }
    play(EventSound::accepted, recording.config);
    co_await runPipeline(*recorded, std::move(recording), stopped);
}

void DictationFlow::cancelRecording()
{
    if (m_state.phase() != Phase::recording || !m_recording)
        return;
    stopLevelUpdates();
    Recording recording = *std::exchange(m_recording, std::nullopt);
    const Config config = recording.config;
    collectCancelled(std::move(recording));
    Log::write(QStringLiteral("recording cancelled"));
    resumeMedia();
    play(EventSound::cancelled, config);
    m_state.setRecordingStarted(QDateTime());
    m_state.setPhase(Phase::idle);
}

QCoro::Task<> DictationFlow::collectCancelled(Recording recording)
{
    const QPointer self(this);
    const std::optional<Recorder::Recording> recorded = co_await m_recorder.stop();
    if (!recorded)
        co_return;
    if (!self || recorded->duration < discardedMinimumSeconds) {
        QFile::remove(recorded->path);
        co_return;
    }
    HistoryEntry discarded = entry(
        HistoryEntry::Status::discarded, recorded->duration, recording.source, recording.app, recording.config.model);
    discarded.audioFile = History::keepAudio(recorded->path, discarded.id);
    addToHistory(discarded, recording.config.historyDays);
}

void DictationFlow::recordingFailed(const Recorder::Failure& error)
{
    QCoro::connect(m_recorder.stop(), this, [](const std::optional<Recorder::Recording>& leftover) {
        if (leftover)
            QFile::remove(leftover->path);
    });
    if (m_state.phase() != Phase::recording || !m_recording)
        return;
    m_recording.reset();
    Log::write(QStringLiteral("recording stopped on its own: ") + error.message());
    stopLevelUpdates();
    m_state.setRecordingStarted(QDateTime());
    resumeMedia();
    fail(error.message());
}

QCoro::Task<> DictationFlow::runPipeline(Recorder::Recording recorded, Recording recording, Clock::time_point stopped)
{
    const QPointer self(this);
    // The settings of the moment the recording ended hold for the whole job.
    const Config config = m_stores.settings.config();
    const std::optional<NoteJob> job = noteJob(recording.target, config);
    const GeminiClient client = GeminiClient::fromConfig(config);
    AudioPreparation audio(recorded.path, AudioPreparation::Ownership::owned);
    Clock::time_point encodeStart = Clock::now();
    std::optional<QString> streamed;
    // The stream followed the settings of the start; a change to the pauses since then is honoured as a whole.
    if (recording.streaming && trimMargin(recording.config) == trimMargin(config)) {
        streamed = co_await QtConcurrent::run(
            [streaming = recording.streaming, frames = recorded.frames] { return streaming->finish(frames); });
    }
    if (streamed) {
        audio.useUpload(*streamed);
    } else {
        if (config.trimSilence) {
            setStage(DictationStage::trimming);
            co_await audio.trimSilence(config.keepSilenceSeconds);
        }
        encodeStart = Clock::now();
        co_await audio.encode();
    }
    const Clock::time_point ready = Clock::now();
    const QUuid id = QUuid::createUuid();

    TranscriptRequest request(client, audio.upload(), audio.wav(), job);
    const TranscriptRequest::StageHandler onStage = [self](DictationStage stage) {
        if (self)
            self->setStage(stage);
    };
    Transcript transcript;
    std::exception_ptr failure;
    try {
        transcript = co_await request.send(onStage);
    } catch (...) {
        failure = std::current_exception();
    }
    const Clock::time_point response = Clock::now();
    if (!self)
        co_return;
    // A kept dictation keeps what was sent when that was the M4A, else the recording itself.
    const QString keptFile = request.upload().format == Upload::Format::m4a ? request.upload().path : audio.recording();

    if (failure) {
        const QString description = errorDescription(failure);
        Log::write(QStringLiteral("transcription failed: ") + description);
        HistoryEntry failed
            = entry(HistoryEntry::Status::failed, recorded.duration, recording.source, recording.app, config.model);
        failed.id = id;
        failed.audioFile = History::keepAudio(keptFile, id);
        failed.error = description;
        failed.offline = isOffline(failure);
        addToHistory(failed, config.historyDays);
        fail(description);
        play(EventSound::failed, config);
        if (!config.notificationsOff)
            Q_EMIT notificationRequested(tr("Not transcribed"), tr("The audio is saved. Try again from History."));
        co_return;
    }

    const qint64 size = QFileInfo(request.upload().path).size();
    setStage(DictationStage::finishing);
    const QString text = Snippet::expand(transcript.text, config.snippets);
    Log::write(QStringLiteral("transcript: ") + text.left(120));
    HistoryEntry done
        = entry(HistoryEntry::Status::done, recorded.duration, recording.source, recording.app, config.model);
    done.id = id;
    done.text = text;
    if (config.keepAudio)
        done.audioFile = History::keepAudio(keptFile, id);
    m_state.setMessage(QString());
    std::optional<std::pair<NoteJob, NoteFiler::Result>> filing;
    if (job && transcript.result)
        filing.emplace(*job, *transcript.result);
    const bool delivered = co_await deliver(text, recording.target, recording.app.name, filing, config);
    const Clock::time_point inserted = Clock::now();
    if (!self)
        co_return;
    Log::write(QStringLiteral("timing format=%1 bytes=%2 encode=%3 ready=%4 response=%5 inserted=%6")
                   .arg(rawValue(request.upload().format))
                   .arg(size)
                   .arg(seconds(ready - encodeStart), seconds(ready - stopped), seconds(response - stopped),
                       seconds(inserted - stopped)));
    if (delivered)
        done.latency = std::chrono::duration<double>(inserted - stopped).count();
    addToHistory(done, config.historyDays);
}

std::optional<NoteJob> DictationFlow::noteJob(const Target& target, const Config& config) const
{
    if (target.kind != Target::Kind::note)
        return std::nullopt;
    const NotesStore& store = m_stores.notes.store();
    const Note* note = store.find(target.noteID);
    if (!note)
        return std::nullopt;
    const bool untitled = note->title.trimmed().isEmpty();
    const bool empty = note->body.trimmed().isEmpty();
    if (!untitled && !empty)
        return std::nullopt;

    NoteJob job { untitled, empty, NoteJob::contextOf(store), std::nullopt };
    const QStringList models = m_keyCheck ? m_keyCheck->models() : QStringList();
    if (const std::optional<QString> model = NoteFiler::textModel(config.model, models))
        job.filer
            = NoteFiler { config.resolvedApiKey(), *model, *model == config.model ? config.thinkingLevel : QString() };
    return job;
}

QCoro::Task<bool> DictationFlow::deliver(QString text, Target target, std::optional<QString> appName,
    std::optional<std::pair<NoteJob, NoteFiler::Result>> filing, Config config)
{
    const int words = History::wordCount(text);
    switch (target.kind) {
    case Target::Kind::note: {
        const bool appended
            = m_stores.notes.change([&](NotesStore& store) { return store.append(text, target.noteID); });
        if (!appended) {
            m_toasts.show(tr("The note was deleted"), tr("The text is saved in History"), Toasts::Tone::info);
            showDone(tr("History"), words, false);
            co_return false;
        }
        showDone(tr("Added to the note"), words, true);
        if (filing)
            file(target.noteID, filing->second, filing->first);
        co_return true;
    }
    case Target::Kind::frontApp: {
        const QPointer self(this);
        co_await m_injector.insert(text, config.insertMethod, config.newlineMode);
        if (self)
            showDone(appName.value_or(QStringLiteral("Kavo Voice")), words, false);
        co_return true;
    }
    case Target::Kind::historyOnly:
        showDone(tr("History"), words, false);
        co_return false;
    }
    co_return false;
}

void DictationFlow::file(const QUuid& noteID, const NoteFiler::Result& result, const NoteJob& job)
{
    const QString kind = rawValue(result.kind);
    const std::optional<int> number = result.kind == NoteFiler::Kind::meeting
        ? std::optional(m_stores.notes.store().nextNumber(QStringLiteral("meeting")))
        : std::nullopt;
    const std::optional<QString> title = job.title
        ? std::optional(NoteFiler::title(result.kind, result.topic, number, QDateTime::currentDateTime()))
        : std::nullopt;
    const std::optional<QString> folderName
        = job.folder && !result.folder.isEmpty() ? std::optional(result.folder) : std::nullopt;
    const std::optional<NoteFolder> folder
        = m_stores.notes.change([&](NotesStore& store) { return store.file(noteID, title, kind, number, folderName); });
    if (job.folder && folder)
        m_toasts.show(tr("Saved to folder"), folder->name, Toasts::Tone::success);
}

void DictationFlow::addToHistory(const HistoryEntry& entry, int keepingDays)
{
    m_stores.history.change([&](History& history) {
        history.add(entry);
        history.prune(keepingDays, QDateTime::currentDateTime());
    });
}

HistoryEntry DictationFlow::entry(
    HistoryEntry::Status status, double duration, const QString& source, const FrontApp& app, const QString& model)
{
    HistoryEntry entry;
    entry.id = QUuid::createUuid();
    entry.date = json::now();
    entry.duration = duration;
    entry.model = model;
    entry.source = source;
    entry.appName = app.name;
    entry.appID = app.appID;
    entry.status = status;
    return entry;
}

void DictationFlow::showDone(const QString& text, int words, bool plain)
{
    m_state.setDoneText(plain ? text : text + QStringLiteral(" · ") + Format::wordCount(words));
    m_state.setPhase(Phase::idle);
    m_doneTimer.start();
}

void DictationFlow::fail(const QString& message)
{
    m_state.setMessage(message);
    m_state.setPhase(Phase::failed);
    m_failedTimer.start();
}

void DictationFlow::play(EventSound sound, const Config& config)
{
    if (config.sounds)
        Q_EMIT soundRequested(sound);
}

void DictationFlow::setStage(DictationStage stage)
{
    m_state.setStage(stage);
}

void DictationFlow::resumeMedia()
{
    if (m_pausedMedia)
        m_resumeTimer.start();
}

void DictationFlow::resumeMediaNow()
{
    m_resumeTimer.stop();
    if (std::exchange(m_pausedMedia, false) && m_media)
        m_media->resume();
}

void DictationFlow::startLevelUpdates()
{
    stopLevelUpdates();
    m_levelTimer.start();
}

void DictationFlow::stopLevelUpdates()
{
    m_levelTimer.stop();
    m_state.setLevel(0);
}

QCoro::Task<> DictationFlow::insert(QString text)
{
    const Config config = m_stores.settings.config();
    co_await m_injector.insert(text, config.insertMethod, config.newlineMode);
}

void DictationFlow::retry(const QUuid& id)
{
    const std::optional<HistoryEntry> found = m_stores.history.find(id);
    if (!found || !found->audioFile || m_state.isRetrying(id))
        return;
    m_state.setRetrying(id, true);
    HistoryEntry entry = *found;
    QString audio = Config::audioDirectory() + u'/' + *found->audioFile;
    Config config = m_stores.settings.config();
    runRetry(std::move(entry), std::move(audio), std::move(config));
}

QCoro::Task<> DictationFlow::runRetry(HistoryEntry entry, QString audio, Config config)
{
    const QPointer self(this);
    // The kept file is sent as it is, shortened when it is a WAV and the settings ask for it.
    AudioPreparation prepared(audio, AudioPreparation::Ownership::borrowed);
    if (config.trimSilence)
        co_await prepared.trimSilence(config.keepSilenceSeconds);
    QString text;
    std::exception_ptr failure;
    const GeminiClient client = GeminiClient::fromConfig(config);
    const QString sent = prepared.upload().path;
    try {
        text = co_await client.transcribe(sent);
    } catch (...) {
        failure = std::current_exception();
    }
    if (!self)
        co_return;

    if (!failure) {
        text = Snippet::expand(text, config.snippets);
        entry.text = text;
        entry.error.reset();
        entry.offline = false;
        if (entry.status == HistoryEntry::Status::failed)
            entry.status = HistoryEntry::Status::done;
        if (!config.keepAudio) {
            History::deleteAudio(entry);
            entry.audioFile.reset();
        }
        const QString app = entry.source == DictationSource::phone
            ? tr("From phone")
            : entry.appName.value_or(QStringLiteral("Kavo Voice"));
        m_stores.history.change([&](History& history) { history.update(entry); });
        m_toasts.show(tr("Transcribed"), Format::wordCount(History::wordCount(text)) + QStringLiteral(" · ") + app,
            Toasts::Tone::success);
    } else {
        const QString description = errorDescription(failure);
        entry.error = description;
        entry.offline = isOffline(failure);
        m_stores.history.change([&](History& history) { history.update(entry); });
        m_toasts.show(tr("Not transcribed"), description, Toasts::Tone::danger);
    }
    m_state.setRetrying(entry.id, false);
}

QCoro::Task<QString> DictationFlow::transcribeFromPhone(QByteArray data, QString contentType)
{
    const QPointer self(this);
    const QFuture<std::optional<PhoneRecording>> converting
        = QtConcurrent::run([data, contentType] { return convertPhoneAudio(data, contentType); });
    const std::optional<PhoneRecording> wav = co_await converting;
    if (!wav)
        throw GeminiError::badResponse(QStringLiteral("the phone audio could not be read"));
    AudioPreparation audio(wav->path, AudioPreparation::Ownership::owned);
    if (!self)
        throw ComputerBusyError();
    if (m_state.phase() == Phase::recording || m_state.phase() == Phase::working) {
        Log::write(QStringLiteral("phone audio turned down: the computer is busy"));
        throw ComputerBusyError();
    }

    m_state.setPhase(Phase::working);
    const Config config = m_stores.settings.config();
    if (config.trimSilence) {
        setStage(DictationStage::trimming);
        co_await audio.trimSilence(config.keepSilenceSeconds);
    }
    const QUuid id = QUuid::createUuid();
    const GeminiClient client = GeminiClient::fromConfig(config);
    const std::optional<NoteJob> noJob;
    const TranscriptRequest::StageHandler onStage = [self](DictationStage stage) {
        if (self)
            self->setStage(stage);
    };
    QString text;
    std::exception_ptr failure;
    try {
        const Transcript transcript = co_await TranscriptRequest::request(client, audio.wav(), noJob, onStage);
        text = transcript.text;
    } catch (...) {
        failure = std::current_exception();
    }
    if (self && !failure) {
        setStage(DictationStage::finishing);
        text = Snippet::expand(text, config.snippets);
        Log::write(QStringLiteral("phone transcript: ") + text.left(120));
        HistoryEntry done
            = entry(HistoryEntry::Status::done, wav->duration, DictationSource::phone, FrontApp {}, config.model);
        done.id = id;
        done.text = text;
        if (config.keepAudio)
            done.audioFile = History::keepAudio(audio.recording(), id);
        addToHistory(done, config.historyDays);
        m_state.setMessage(QString());
        showDone(tr("From phone"), History::wordCount(text), false);
        if (config.phoneInserts)
            m_injector.insert(text, config.insertMethod, config.newlineMode);
        play(EventSound::phoneDone, config);
    } else if (self) {
        const QString description = errorDescription(failure);
        Log::write(QStringLiteral("phone transcription failed: ") + description);
        fail(description);
    }
    if (failure)
        std::rethrow_exception(failure);
    co_return text;
}

bool DictationFlow::isOffline(std::exception_ptr failure)
{
    try {
        std::rethrow_exception(failure);
    } catch (const TransportError& error) {
        return error.isOffline();
    } catch (...) { }
    return false;
}

} // namespace kavo
