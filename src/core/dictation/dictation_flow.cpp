#include "dictation_flow.h"

#include "audio/audio_error.h"
#include "audio/codec/aac_encoder.h"
#include "audio/codec/wav_reader.h"
#include "audio/preparation/audio_trimmer.h"
#include "delivery/text_injector.h"
#include "format/format.h"
#include "hotkey/hotkey_monitor.h"
#include "media/media_control.h"
#include "phone/phone_audio.h"
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

QString seconds(Clock::duration duration)
{
    return QString::asprintf("%.2fs", std::chrono::duration<double>(duration).count());
}

// Files of a dictation that served their purpose; some were moved into History or never made.
void removeFiles(const QStringList& paths)
{
    for (const QString& path : paths) {
        if (!path.isEmpty())
            QFile::remove(path);
    }
}

QCoro::Task<QString> trimmed(QString url, double keepSeconds)
{
    const QFuture<std::optional<QString>> trimming
        = QtConcurrent::run([url, keepSeconds] { return AudioTrimmer::trimSilence(url, keepSeconds); });
    const std::optional<QString> result = co_await trimming;
    co_return result.value_or(url);
}

// The length of a WAV file in seconds; 0 when it cannot be read.
double wavDuration(const QString& path)
{
    try {
        const WavAudio audio = readWav(path);
        return audio.format.sampleRate > 0 ? double(audio.frameCount()) / audio.format.sampleRate : 0;
    } catch (const WavError&) {
        return 0;
    }
}

} // namespace

MacBusyError::MacBusyError()
    : m_message(tr("The computer is busy. Try again in a moment."))
    , m_utf8(m_message.toUtf8())
{ }

DictationFlow::DictationFlow(
    AppState& state, Recorder& recorder, TextInjector& injector, FrontAppSource* frontApplication, QObject* parent)
    : QObject(parent)
    , m_state(state)
    , m_recorder(recorder)
    , m_injector(injector)
    , m_frontApplication(frontApplication)
{
    connect(&m_recorder, &Recorder::failed, this, &DictationFlow::recordingFailed);

    m_levelTimer.setInterval(levelInterval);
    m_levelTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_levelTimer, &QTimer::timeout, this, [this] {
        if (const std::optional<float> decibels = m_recorder.level())
            m_state.setLevel(std::clamp((double(*decibels) + 50.0) / 50.0, 0.0, 1.0));
    });
    m_doneTimer.setSingleShot(true);
    m_doneTimer.setInterval(doneDuration);
    connect(&m_doneTimer, &QTimer::timeout, this, [this] { m_state.setDoneText(std::nullopt); });
    m_failedTimer.setSingleShot(true);
    m_failedTimer.setInterval(failedDuration);
    connect(&m_failedTimer, &QTimer::timeout, this, [this] {
        if (m_state.phase() == AppState::Phase::failed)
            m_state.setPhase(AppState::Phase::idle);
    });
}

DictationFlow::~DictationFlow() = default;

void DictationFlow::setHotkeyMonitor(HotkeyMonitor* hotkey)
{
    m_hotkey = hotkey;
    if (!hotkey)
        return;
    connect(hotkey, &HotkeyMonitor::startRequested, this,
        [this] { startRecording(QStringLiteral("mac"), Target::frontApp()); });
    connect(hotkey, &HotkeyMonitor::stopRequested, this, &DictationFlow::finishRecording);
    connect(hotkey, &HotkeyMonitor::cancelRequested, this, &DictationFlow::cancelRecording);
    connect(hotkey, &HotkeyMonitor::toggleRequested, this, [this] { toggleRecording(Target::frontApp()); });
}

void DictationFlow::toggleRecording(const Target& target)
{
    switch (m_state.phase()) {
    case AppState::Phase::recording:
        finishRecording();
        return;
    case AppState::Phase::working:
        return;
    case AppState::Phase::failed:
        m_state.setMessage(QString());
        break;
    case AppState::Phase::idle:
        break;
    }
    startRecording(QStringLiteral("mac"), target);
}

void DictationFlow::startRecording(const QString& source, Target target)
{
    if (m_state.phase() == AppState::Phase::working || m_state.phase() == AppState::Phase::recording)
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
    // Dictating while an open note is in front goes into that note.
    if (target == Target::frontApp() && m_state.openNoteID && m_state.screen() == AppState::Screen::notes
        && !m_state.settingsOpen() && mainWindowHasFocus())
        target = Target::note(*m_state.openNoteID);

    m_recordingApp = m_frontApplication ? m_frontApplication->current() : FrontApp {};
    const Config& config = m_state.config();
    m_pausedMedia = false;
    if (config.pauseMedia && m_media) {
        m_pausedMedia = m_media->pauseIfPlaying([self = QPointer(this)] {
            if (self)
                self->m_pausedMedia = false;
        });
    }
    try {
        m_recorder.start(config.inputDeviceID, config.noiseReduction);
    } catch (const std::exception& error) {
        resumeMedia();
        fail(audioErrorText(error));
        return;
    }
    Log::write(QStringLiteral("recording started (%1) on %2").arg(source, m_recorder.deviceName(config.inputDeviceID)));
    GeminiClient::fromConfig(config).warmUp();

    m_state.setSource(source);
    m_state.setTarget(target);
    m_state.setRecordingStarted(QDateTime::currentDateTime());
    m_state.setDoneText(std::nullopt);
    m_state.setPhase(AppState::Phase::recording);
    if (m_hotkey)
        m_hotkey->externalRecording = true;
    play(EventSound::started);
    startLevelUpdates();
}

void DictationFlow::finishRecording()
{
    if (m_state.phase() != AppState::Phase::recording)
        return;
    const Clock::time_point stopped = Clock::now();
    stopLevelUpdates();
    if (m_hotkey)
        m_hotkey->externalRecording = false;
    m_state.setPhase(AppState::Phase::working);
    m_state.setRecordingStarted(QDateTime());
    resumeMedia();

    QCoro::connect(
        m_recorder.stop(), this, [self = QPointer(this), stopped](std::optional<Recorder::Recording> recording) {
            AppState& state = self->m_state;
            if (!recording) {
                Log::write(QStringLiteral("nothing recorded"));
                state.setPhase(AppState::Phase::idle);
                return;
            }
            Log::write(QStringLiteral("recorded %1s -> %2")
                           .arg(QString::asprintf("%.2f", recording->duration), QFileInfo(recording->path).fileName()));
            if (recording->duration * 1000 >= state.config().minRecordingMs) {
                self->play(EventSound::accepted);
                self->transcribe(recording->path, recording->duration, state.source(), state.target(),
                    self->m_recordingApp, stopped);
            } else {
                QFile::remove(recording->path);
                state.setPhase(AppState::Phase::idle);
            }
        });
}

void DictationFlow::cancelRecording()
{
    if (m_state.phase() != AppState::Phase::recording)
        return;
    stopLevelUpdates();
    if (m_hotkey)
        m_hotkey->externalRecording = false;
    QCoro::connect(m_recorder.stop(), this,
        [self = QPointer(this), app = m_recordingApp, source = m_state.source()](
            std::optional<Recorder::Recording> recording) {
            if (!recording)
                return;
            if (recording->duration < discardedMinimumSeconds) {
                QFile::remove(recording->path);
                return;
            }
            HistoryEntry discarded = self->entry(HistoryEntry::Status::discarded, recording->duration, source, app);
            discarded.audioFile = History::keepAudio(recording->path, discarded.id);
            self->addToHistory(discarded);
        });
    Log::write(QStringLiteral("recording cancelled"));
    resumeMedia();
    play(EventSound::cancelled);
    m_state.setRecordingStarted(QDateTime());
    m_state.setPhase(AppState::Phase::idle);
}

void DictationFlow::recordingFailed(const Recorder::Failure& error)
{
    QCoro::connect(m_recorder.stop(), this, [](const std::optional<Recorder::Recording>& kept) {
        if (kept)
            QFile::remove(kept->path);
    });
    if (m_state.phase() != AppState::Phase::recording)
        return;
    Log::write(QStringLiteral("recording stopped on its own: ") + error.message());
    stopLevelUpdates();
    if (m_hotkey)
        m_hotkey->externalRecording = false;
    m_state.setRecordingStarted(QDateTime());
    resumeMedia();
    fail(error.message());
}

void DictationFlow::transcribe(
    QString url, double duration, QString source, Target target, FrontApp app, Clock::time_point stopped)
{
    m_state.setPhase(AppState::Phase::working);
    const Config config = m_state.config();
    std::optional<NoteJob> job = noteJob(target);
    // Coroutines get named values, never temporaries: g++ 12 destroys a temporary that lives across a suspension
    // twice.
    Dictation dictation { std::move(url), duration, std::move(source), target, std::move(app), stopped };
    GeminiClient client = GeminiClient::fromConfig(config);
    runPipeline(std::move(dictation), config, std::move(client), std::move(job));
}

QCoro::Task<> DictationFlow::runPipeline(
    Dictation dictation, Config config, GeminiClient client, std::optional<NoteJob> job)
{
    const QPointer<DictationFlow> self(this);
    const QString prepared = co_await prepareAudio(dictation.url, config);

    const Clock::time_point encodeStart = Clock::now();
    const QFuture<Upload> encoding = QtConcurrent::run([prepared] {
        return Upload::of(
            prepared, [](const QString& wav) { return AACEncoder::m4a(wav); }, Log::write);
    });
    const Upload encoded = co_await encoding;
    const Clock::time_point ready = Clock::now();
    const QUuid id = QUuid::createUuid();

    TranscriptRequest request(client, encoded, prepared, job);
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
    const QString encodedFile = encoded.format == Upload::Format::m4a ? encoded.url : QString();
    if (!self) {
        removeFiles({ dictation.url, prepared, encodedFile });
        co_return;
    }
    // A kept dictation keeps what was sent when that was the M4A, else the recording itself.
    const QString keptFile = request.upload().format == Upload::Format::m4a ? request.upload().url : dictation.url;

    if (!failure) {
        const qint64 size = QFileInfo(request.upload().url).size();
        setStage(DictationStage::finishing);
        const QString text = Snippet::expand(transcript.text, config.snippets);
        Log::write(QStringLiteral("transcript: ") + text.left(120));
        HistoryEntry done = entry(HistoryEntry::Status::done, dictation.duration, dictation.source, dictation.app);
        done.id = id;
        done.text = text;
        if (config.keepAudio)
            done.audioFile = History::keepAudio(keptFile, id);
        m_state.setMessage(QString());
        std::optional<std::pair<NoteJob, NoteFiler::Result>> filing;
        if (job && transcript.result)
            filing.emplace(*job, *transcript.result);
        const bool delivered = deliver(text, dictation.target, dictation.app.name, filing);
        const Clock::time_point inserted = Clock::now();
        Log::write(QStringLiteral("timing format=%1 bytes=%2 encode=%3 ready=%4 response=%5 inserted=%6")
                       .arg(rawValue(request.upload().format))
                       .arg(size)
                       .arg(seconds(ready - encodeStart), seconds(ready - dictation.stopped),
                           seconds(response - dictation.stopped), seconds(inserted - dictation.stopped)));
        if (delivered)
            done.latency = std::chrono::duration<double>(inserted - dictation.stopped).count();
        addToHistory(done);
    } else {
        const QString description = errorDescription(failure);
        Log::write(QStringLiteral("transcription failed: ") + description);
        HistoryEntry failed = entry(HistoryEntry::Status::failed, dictation.duration, dictation.source, dictation.app);
        failed.id = id;
        failed.audioFile = History::keepAudio(keptFile, id);
        failed.error = description;
        failed.offline = isOffline(failure);
        addToHistory(failed);
        fail(description);
        play(EventSound::failed);
        if (!config.notificationsOff)
            Q_EMIT notificationRequested(tr("Not transcribed"), tr("The audio is saved. Try again from History."));
    }
    removeFiles({ dictation.url, prepared, encodedFile });
}

QCoro::Task<QString> DictationFlow::prepareAudio(QString url, Config config)
{
    QString prepared = url;
    if (config.trimSilence) {
        setStage(DictationStage::trimming);
        prepared = co_await trimmed(url, config.keepSilenceSeconds);
    }
    co_return prepared;
}

std::optional<NoteJob> DictationFlow::noteJob(const Target& target) const
{
    if (target.kind != Target::Kind::note)
        return std::nullopt;
    const NotesStore& store = m_state.notes();
    const Note* note = store.find(target.noteID);
    if (!note)
        return std::nullopt;
    const bool untitled = note->title.trimmed().isEmpty();
    const bool empty = note->body.trimmed().isEmpty();
    if (!untitled && !empty)
        return std::nullopt;

    NoteJob job { untitled, empty, NoteJob::contextOf(store), std::nullopt };
    const Config& config = m_state.config();
    if (const std::optional<QString> model = NoteFiler::textModel(config.model, m_state.models())) {
        job.filer
            = NoteFiler { config.resolvedApiKey(), *model, *model == config.model ? config.thinkingLevel : QString() };
    }
    return job;
}

bool DictationFlow::deliver(const QString& text, const Target& target, const std::optional<QString>& appName,
    const std::optional<std::pair<NoteJob, NoteFiler::Result>>& filing)
{
    const int words = History::wordCount(text);
    switch (target.kind) {
    case Target::Kind::note: {
        bool appended = false;
        m_state.updateNotes([&](NotesStore& store) { appended = store.append(text, target.noteID); });
        if (!appended) {
            m_state.showToast(tr("The note was deleted"), tr("The text is saved in History"), Toast::Tone::info);
            showDone(tr("History"), words, false);
            return false;
        }
        showDone(tr("Added to the note"), words, true);
        if (filing)
            file(target.noteID, filing->second, filing->first);
        return true;
    }
    case Target::Kind::frontApp: {
        const Config& config = m_state.config();
        m_injector.insert(text, config.insertMethod, config.newlineMode);
        showDone(appName.value_or(QStringLiteral("Kavo Voice")), words, false);
        return true;
    }
    case Target::Kind::historyOnly:
        showDone(tr("History"), words, false);
        return false;
    }
    return false;
}

void DictationFlow::file(const QUuid& noteID, const NoteFiler::Result& result, const NoteJob& job)
{
    const QString kind = rawValue(result.kind);
    const std::optional<int> number = result.kind == NoteFiler::Kind::meeting
        ? std::optional(m_state.notes().nextNumber(QStringLiteral("meeting")))
        : std::nullopt;
    const std::optional<QString> title = job.title
        ? std::optional(NoteFiler::title(result.kind, result.topic, number, QDateTime::currentDateTime()))
        : std::nullopt;
    const std::optional<QString> folderName
        = job.folder && !result.folder.isEmpty() ? std::optional(result.folder) : std::nullopt;
    std::optional<NoteFolder> folder;
    m_state.updateNotes([&](NotesStore& store) { folder = store.file(noteID, title, kind, number, folderName); });
    if (job.folder && folder)
        m_state.showToast(tr("Saved to folder"), folder->name, Toast::Tone::success);
}

void DictationFlow::addToHistory(HistoryEntry entry)
{
    const int days = m_state.config().historyDays;
    m_state.updateHistory([&](History& history) {
        history.add(std::move(entry));
        history.prune(days, QDateTime::currentDateTime());
    });
}

HistoryEntry DictationFlow::entry(
    HistoryEntry::Status status, double duration, const QString& source, const FrontApp& app) const
{
    HistoryEntry entry;
    entry.id = QUuid::createUuid();
    entry.date = QDateTime::currentDateTimeUtc();
    entry.duration = duration;
    entry.model = m_state.config().model;
    entry.source = source;
    entry.appName = app.name;
    entry.appBundleID = app.bundleID;
    entry.status = status;
    return entry;
}

QString DictationFlow::wordCountText(int words)
{
    return Format::number(words) + tr(" words");
}

void DictationFlow::showDone(const QString& text, int words, bool plain)
{
    m_state.setDoneText(plain ? text : text + QStringLiteral(" · ") + wordCountText(words));
    m_state.setPhase(AppState::Phase::idle);
    m_doneTimer.start();
}

void DictationFlow::fail(const QString& message)
{
    m_state.setMessage(message);
    m_state.setPhase(AppState::Phase::failed);
    m_failedTimer.start();
}

void DictationFlow::play(EventSound sound)
{
    if (m_state.config().sounds)
        Q_EMIT soundRequested(sound);
}

void DictationFlow::setStage(DictationStage stage)
{
    m_state.setProcessingStage(stage);
}

void DictationFlow::resumeMedia()
{
    if (!m_pausedMedia)
        return;
    m_pausedMedia = false;
    QTimer::singleShot(mediaResumeDelay, this, [this] {
        if (m_media)
            m_media->resume();
    });
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

void DictationFlow::insert(const QString& text)
{
    const Config& config = m_state.config();
    m_injector.insert(text, config.insertMethod, config.newlineMode);
}

void DictationFlow::retry(const QUuid& id)
{
    const auto& entries = m_state.history().entries;
    const auto found = std::find_if(entries.begin(), entries.end(), [&](const HistoryEntry& e) { return e.id == id; });
    if (found == entries.end() || !found->audioFile)
        return;
    if (m_state.retrying().contains(id))
        return;
    QSet<QUuid> retrying = m_state.retrying();
    retrying.insert(id);
    m_state.setRetrying(retrying);
    HistoryEntry entry = *found;
    QString audio = Config::audioDirectory() + u'/' + *found->audioFile;
    Config config = m_state.config();
    runRetry(std::move(entry), std::move(audio), std::move(config));
}

QCoro::Task<> DictationFlow::runRetry(HistoryEntry entry, QString audio, Config config)
{
    const QPointer<DictationFlow> self(this);
    QString sent = audio;
    if (config.trimSilence && QFileInfo(audio).suffix() == QLatin1String("wav"))
        sent = co_await trimmed(audio, config.keepSilenceSeconds);
    QString text;
    std::exception_ptr failure;
    const GeminiClient client = GeminiClient::fromConfig(config);
    try {
        text = co_await client.transcribe(sent);
    } catch (...) {
        failure = std::current_exception();
    }
    if (sent != audio)
        QFile::remove(sent);
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
        const QString app = entry.source == QLatin1String("phone")
            ? tr("From phone")
            : entry.appName.value_or(QStringLiteral("Kavo Voice"));
        m_state.updateHistory([&](History& history) { history.update(entry); });
        m_state.showToast(tr("Transcribed"), wordCountText(History::wordCount(text)) + QStringLiteral(" · ") + app,
            Toast::Tone::success);
    } else {
        const QString description = errorDescription(failure);
        entry.error = description;
        entry.offline = isOffline(failure);
        m_state.updateHistory([&](History& history) { history.update(entry); });
        m_state.showToast(tr("Not transcribed"), description, Toast::Tone::danger);
    }
    QSet<QUuid> retrying = m_state.retrying();
    retrying.remove(entry.id);
    m_state.setRetrying(retrying);
}

QCoro::Task<QString> DictationFlow::transcribeFromPhone(QByteArray data, QString contentType)
{
    return transcribePhoneAudio(std::move(data), std::move(contentType));
}

QCoro::Task<QString> DictationFlow::transcribePhoneAudio(QByteArray data, QString contentType)
{
    const std::optional<QString> wav = PhoneAudio::convertToWav(data, contentType);
    if (!wav)
        throw GeminiError::badResponse(QStringLiteral("the phone audio could not be read"));
    if (m_state.phase() == AppState::Phase::recording || m_state.phase() == AppState::Phase::working) {
        QFile::remove(*wav);
        Log::write(QStringLiteral("phone audio turned down: the computer is busy"));
        throw MacBusyError();
    }

    const QPointer<DictationFlow> self(this);
    m_state.setPhase(AppState::Phase::working);
    const Config config = m_state.config();
    const QString prepared = co_await prepareAudio(*wav, config);
    const QUuid id = QUuid::createUuid();
    const double duration = wavDuration(*wav);

    const GeminiClient client = GeminiClient::fromConfig(config);
    const std::optional<NoteJob> noJob;
    const TranscriptRequest::StageHandler onStage = [self](DictationStage stage) {
        if (self)
            self->setStage(stage);
    };
    QString text;
    std::exception_ptr failure;
    try {
        const Transcript transcript = co_await TranscriptRequest::request(client, prepared, noJob, onStage);
        text = transcript.text;
    } catch (...) {
        failure = std::current_exception();
    }
    std::optional<QString> kept;
    if (self && !failure) {
        setStage(DictationStage::finishing);
        text = Snippet::expand(text, config.snippets);
        Log::write(QStringLiteral("phone transcript: ") + text.left(120));
        if (config.keepAudio)
            kept = History::keepAudio(*wav, id);
        HistoryEntry done = entry(HistoryEntry::Status::done, duration, QStringLiteral("phone"), FrontApp {});
        done.id = id;
        done.text = text;
        done.audioFile = kept;
        addToHistory(done);
        m_state.setMessage(QString());
        showDone(tr("From phone"), History::wordCount(text), false);
        if (config.phoneInserts)
            insert(text);
        play(EventSound::phoneDone);
    } else if (self) {
        const QString description = errorDescription(failure);
        Log::write(QStringLiteral("phone transcription failed: ") + description);
        fail(description);
    }
    if (!kept)
        QFile::remove(*wav);
    if (prepared != *wav)
        QFile::remove(prepared);
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
