#include "audio/codec/aac_encoder.h"
#include "audio/codec/wav_reader.h"
#include "audio/preparation/audio_trimmer.h"
#include "delivery/text_injector.h"
#include "dictation/dictation_flow.h"
#include "state/key_check.h"
#include "state/toasts.h"
#include "store/data_stores.h"
#include "store/log.h"

#include "support/data_folder.h"
#include "support/fake_gemini.h"
#include "support/scripted_recorder.h"
#include "support/table_rows.h"
#include "support/task_outcome.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

using namespace kavo;
using test::FakeGemini;
using Phase = DictationState::Phase;
using Stage = DictationStage;
using Target = DictationTarget;

namespace {

// The application a dictation starts in.
class FixedFrontApp : public FrontAppSource
{
public:
    FrontApp current() override { return { QStringLiteral("Editor"), QStringLiteral("org.example.editor") }; }
};

// Everything one dictation needs, with the desktop around it recorded instead of shown.
struct Desk
{
    DataStores stores;
    Toasts toasts;
    KeyCheck keyCheck;
    test::ScriptedRecorder recorder;
    TextInjector injector { nullptr };
    FixedFrontApp front;
    DictationFlow flow { stores, toasts, recorder, injector };
    const DictationState& state = flow.state();
    QList<EventSound> sounds;
    QList<DictationStage> stages;

    explicit Desk(const std::function<void(Config&)>& adjust = {})
    {
        stores.load();
        Config config = stores.settings.config();
        config.apiKey = QStringLiteral("test-key");
        config.trimSilence = false;
        if (adjust)
            adjust(config);
        stores.settings.setConfig(config);
        flow.setFrontApplication(&front);
        flow.setKeyCheck(&keyCheck);
        QObject::connect(&flow, &DictationFlow::soundRequested, [this](EventSound sound) { sounds.append(sound); });
        QObject::connect(&state, &DictationState::stageChanged, [this] { stages.append(state.stage()); });
    }

    // Records `seconds` of tone, stops, and waits until the dictation has ended.
    bool dictate(double seconds, const Target& target = Target::historyOnly())
    {
        recorder.nextRecording = test::toneWav(seconds);
        flow.startRecording(DictationSource::computer, target);
        flow.finishRecording();
        return QTest::qWaitFor([this] { return state.phase() != Phase::working; }, 10000);
    }

    // Records `seconds` of tone for the front application and cancels.
    void cancel(double seconds)
    {
        recorder.nextRecording = test::toneWav(seconds);
        flow.startRecording(DictationSource::computer, Target::frontApp());
        flow.cancelRecording();
    }

    const QList<HistoryEntry>& entries() const { return stores.history.entries(); }
    const HistoryEntry& newest() const { return entries().first(); }
    std::optional<Toasts::Toast> toast() const { return toasts.current(); }

    QUuid addNote(const QString& title, const QString& body)
    {
        return stores.notes.change([&](NotesStore& store) {
            Note note = store.draft(store.folders.first().id);
            note.title = title;
            note.body = body;
            store.update(note);
            return note.id;
        });
    }
};

// Recordings, trimmed copies and uploads a dictation left behind in the temporary folder.
QStringList strayFiles()
{
    return QDir::temp().entryList({ QStringLiteral("kavo-*") }, QDir::Files);
}

// A second of tone, two of silence and a second of tone at `rate`.
QString pausedTone(int rate)
{
    std::vector<float> samples(size_t(rate) * 4, 0.0f);
    for (size_t index = 0; index < samples.size(); ++index) {
        if (index < size_t(rate) || index >= size_t(rate) * 3)
            samples[index] = 0.3f * float(std::sin(0.12 * double(index)));
    }
    const QString path = QDir::temp().filePath(u"paused-%1.wav"_qs.arg(rate));
    writeWav(path, WavFormat { rate, 1, SampleFormat::int16 }, { samples });
    return path;
}

// The M4A that preparing the finished recording makes.
QByteArray preparedAfterwards(const QString& recording, std::optional<double> keepSeconds)
{
    const QString copy = QDir::temp().filePath(u"expected.wav"_qs);
    QFile::remove(copy);
    QFile::copy(recording, copy);
    const std::optional<QString> trimmed = keepSeconds ? AudioTrimmer::trimSilence(copy, *keepSeconds) : std::nullopt;
    const QString m4a = AACEncoder::m4a(trimmed.value_or(copy));
    const QByteArray bytes = test::readFile(m4a);
    for (const QString& made : { copy, m4a, trimmed.value_or(copy) })
        QFile::remove(made);
    return bytes;
}

bool sentAs(const FakeGemini::Request& request, const char* mime)
{
    return request.body.contains(QByteArray("\"" + QByteArray(mime) + "\""));
}

} // namespace

class TestDictationFlow : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_temporary;
    FakeGemini m_gemini;
    qsizetype m_requestsBefore = 0;

    // The transcription and filing requests of this test; warm-ups are left out.
    QList<FakeGemini::Request> posts() const
    {
        QList<FakeGemini::Request> posted = m_gemini.requests().mid(m_requestsBefore);
        posted.removeIf([](const FakeGemini::Request& request) { return request.method != "POST"; });
        return posted;
    }

private Q_SLOTS:
    void initTestCase()
    {
        qputenv("TMPDIR", m_temporary.path().toLocal8Bit());
        test::useTemporaryDataFolder();
        QVERIFY(m_gemini.start());
        m_gemini.answerModelLookups(true);
        qputenv("KAVO_GEMINI_BASE_URL", m_gemini.baseUrl().toString().toUtf8());
    }

    void init()
    {
        test::emptyDataFolder();
        m_requestsBefore = m_gemini.requests().size();
    }

    void cleanup()
    {
        QCOMPARE(m_gemini.pendingReplies(), 0);
        QCOMPARE(strayFiles(), QStringList());
    }

    void minimumLength_data()
    {
        test::columns<double, bool, bool>({ "seconds", "sent", "keepAudio" });
        test::row("0.39 s is dropped", 0.39, false, false);
        test::row("0.40 s is transcribed", 0.40, true, false);
        test::row("the audio kept when asked", 0.40, true, true);
    }
    void minimumLength()
    {
        const auto [seconds, sent, keepAudio] = test::fetch<double, bool, bool>({ "seconds", "sent", "keepAudio" });
        if (sent)
            m_gemini.enqueue(FakeGemini::text(QStringLiteral("hello")));
        Desk desk([&](Config& config) { config.keepAudio = keepAudio; });
        QVERIFY(desk.dictate(seconds));

        QCOMPARE(desk.state.phase(), Phase::idle);
        QCOMPARE(posts().size(), sent ? 1 : 0);
        QCOMPARE(desk.entries().size(), sent ? 1 : 0);
        const QList<EventSound> sounds { EventSound::started, EventSound::accepted };
        QCOMPARE(desk.sounds, sent ? sounds : sounds.mid(0, 1));
        if (!sent)
            return;
        // Going idle again resets the stage.
        QCOMPARE(desk.stages, (QList<Stage> { Stage::transcribing, Stage::finishing, Stage::preparing }));
        const HistoryEntry& entry = desk.newest();
        QVERIFY(entry.status == HistoryEntry::Status::done && entry.duration == 0.40 && !entry.latency);
        QCOMPARE(entry.audioFile.has_value(), keepAudio);
        QCOMPARE(entry.appName, QStringLiteral("Editor"));
        QVERIFY(sentAs(posts().first(), "audio/mp4"));
        QCOMPARE(desk.state.doneText(), QStringLiteral("History · 1 words"));
        QVERIFY(test::logText().contains(QRegularExpression(QStringLiteral(
            "timing format=m4a bytes=[1-9]\\d* encode=\\d+\\.\\d\\ds ready=\\d+\\.\\d\\ds "
            "response=\\d+\\.\\d\\ds inserted=\\d+\\.\\d\\ds")))); // The upload was made while recording.
        QVERIFY(!test::logText().contains(QStringLiteral("could not be prepared while recording")));
    }

    // The upload made while recording is the one preparing the finished recording makes; a recording the stream
    // could not follow, or a change to the pauses' setting since the start, has it prepared afterwards.
    void uploadMadeWhileRecording_data()
    {
        test::columns<int, bool, QString>({ "rate", "changeSetting", "logLine" });
        test::row("made while recording", 16000, false, QString());
        test::row("a recording the stream cannot follow", 44100, false,
            u"the upload could not be prepared while recording, preparing it afterwards: it saw 0 frames of the "
            "176400 recorded"_qs);
        test::row("pauses kept since the start", 16000, true, QString());
    }
    void uploadMadeWhileRecording()
    {
        const auto [rate, changeSetting, logLine]
            = test::fetch<int, bool, QString>({ "rate", "changeSetting", "logLine" });
        m_gemini.enqueue(FakeGemini::text(QStringLiteral("hello")));
        Desk desk([](Config& config) { config.trimSilence = true; });
        desk.recorder.nextRecording = pausedTone(rate);
        const QByteArray expected
            = preparedAfterwards(*desk.recorder.nextRecording, changeSetting ? std::nullopt : std::optional(0.25));
        desk.flow.startRecording(DictationSource::computer, Target::historyOnly());
        if (changeSetting)
            desk.stores.settings.setTrimSilence(false);
        Log::reset();
        desk.flow.finishRecording();
        QVERIFY(QTest::qWaitFor([&] { return desk.state.phase() != Phase::working; }, 10000));
        QCOMPARE(posts().size(), 1);
        QVERIFY(posts().first().audio().second == expected);
        const QStringList fallBacks = test::logText().split(u'\n').filter(u"could not be prepared while recording"_qs);
        QCOMPARE(fallBacks, logLine.isEmpty() ? QStringList() : QStringList { logLine });
        QTRY_COMPARE(strayFiles(), QStringList());
    }

    // Cancelled under a second, a recording leaves nothing; retry() cancels one of a second, which is kept.
    void cancelledShortRecording()
    {
        Desk desk;
        desk.cancel(0.9);
        QCOMPARE(desk.state.phase(), Phase::idle);
        QCOMPARE(desk.sounds.last(), EventSound::cancelled);
        QTRY_COMPARE(strayFiles(), QStringList());
        QVERIFY(desk.entries().isEmpty());
    }

    // Toggling does nothing while working; after a failure it clears the message and records again, and the
    // failure's timer does not end the new recording.
    void toggle()
    {
        Desk desk;
        desk.recorder.startFailure = Recorder::Failure::noMicrophone();
        desk.flow.toggleRecording(Target::frontApp());
        QCOMPARE(desk.state.phase(), Phase::failed);
        QCOMPARE(desk.state.message(), Recorder::Failure::noMicrophone().message());
        QVERIFY(desk.sounds.isEmpty());

        desk.flow.toggleRecording(Target::frontApp());
        QCOMPARE(desk.state.phase(), Phase::recording);
        QVERIFY(desk.state.message().isEmpty());
        desk.recorder.nextRecording = test::toneWav(0.2);
        desk.flow.toggleRecording(Target::frontApp());
        QCOMPARE(desk.state.phase(), Phase::working);
        desk.flow.toggleRecording(Target::frontApp());
        QCOMPARE(desk.recorder.starts, 1);
        QTRY_COMPARE(desk.state.phase(), Phase::idle);

        desk.recorder.startFailure = Recorder::Failure::noMicrophone();
        desk.flow.toggleRecording(Target::frontApp());
        QTest::qWait(3000);
        desk.flow.toggleRecording(Target::frontApp());
        QTest::qWait(1500);
        QCOMPARE(desk.state.phase(), Phase::recording);
        desk.recorder.breakDown();
        QCOMPARE(desk.state.phase(), Phase::failed);
        QTRY_COMPARE_WITH_TIMEOUT(desk.state.phase(), Phase::idle, 5000);
    }

    void noteTargets_data()
    {
        test::columns<QString, QString, QString, int, QString, QString>(
            { "model", "title", "body", "requests", "expectedTitle", "folder" });
        test::row("titled note: appended only", "gemini-3.8-flash", "Plan", "First", 1, "Plan", "Personal");
        test::row("new note: one combined request", "gemini-3.8-flash", "", "", 1, "Meeting 1", "Work");
        test::row("transcription model: then filed", "gemini-live-transcribe", "", "", 2, "Meeting 1", "Work");
        test::row("untitled with text keeps its folder", "gemini-3.8-flash", "", "Old", 1, "Meeting 1", "Personal");
    }
    void noteTargets()
    {
        const auto [model, title, body, requests, expectedTitle, folder]
            = test::fetch<QString, QString, QString, int, QString, QString>(
                { "model", "title", "body", "requests", "expectedTitle", "folder" });
        Desk desk([&](Config& config) { config.model = model; });
        desk.keyCheck.setModels({ QStringLiteral("gemini-2.5-flash"), model });
        const QUuid id = desk.addNote(title, body);
        const bool classifies = title.isEmpty() || body.isEmpty();
        if (requests == 2)
            m_gemini.enqueue(FakeGemini::interaction(u"We met"_qs));
        m_gemini.enqueue(FakeGemini::text(classifies
                ? u"{\"text\":\"We met\",\"kind\":\"meeting\",\"title\":\"Budget\",\"folder\":\"Work\"}"_qs
                : u"We met"_qs));

        QVERIFY(desk.dictate(1.0, Target::note(id)));
        QCOMPARE(posts().size(), requests);
        QCOMPARE(posts().last().body.contains("responseSchema"), classifies);
        const Note* note = desk.stores.notes.store().find(id);
        QVERIFY(note->body.endsWith(QStringLiteral("We met")));
        QVERIFY(note->title.startsWith(expectedTitle));
        QCOMPARE(note->kind.has_value(), classifies && title.isEmpty());
        QCOMPARE(NotesStore::folderNamed(folder, desk.stores.notes.store().folders)->id, note->folderID);
        QCOMPARE(desk.state.doneText(), QStringLiteral("Added to the note"));
        QVERIFY(desk.newest().latency);
        QCOMPARE(desk.toast().has_value(), classifies && body.isEmpty());
        if (desk.toast())
            QCOMPARE(desk.toast()->title, QStringLiteral("Saved to folder"));
    }

    // The note goes away while its dictation is transcribed: the text stays in History. A model chosen meanwhile is
    // not the one that transcribed.
    void deletedNote()
    {
        Desk desk;
        const QUuid id = desk.addNote(QStringLiteral("Plan"), QStringLiteral("First"));
        m_gemini.enqueue(FakeGemini::text(QStringLiteral("late words")));
        desk.recorder.nextRecording = test::toneWav(1.0);
        QObject::connect(&desk.state, &DictationState::stageChanged, [&desk] {
            if (desk.state.stage() == DictationStage::transcribing)
                desk.stores.settings.setModel(QStringLiteral("gemini-chosen-later"));
        });
        desk.flow.startRecording(DictationSource::computer, Target::note(id));
        desk.flow.finishRecording();
        desk.stores.notes.change([&](NotesStore& store) { store.deleteNote(id); });
        QTRY_COMPARE(desk.state.phase(), Phase::idle);
        QCOMPARE(desk.newest().model, Config::defaultModel);
        QCOMPARE(desk.newest().text, QStringLiteral("late words"));
        QVERIFY(!desk.newest().latency);
        QCOMPARE(desk.toast().value().title, QStringLiteral("The note was deleted"));
        QCOMPARE(desk.state.doneText(), QStringLiteral("History · 2 words"));
    }

    // Only a reply the service itself calls unreadable is tried again without filing; text that is no JSON at all
    // fails the dictation, which keeps its audio.
    void unreadableNoteReply_data()
    {
        test::columns<QString, int, bool>({ "reply", "requests", "delivered" });
        test::row("JSON but no object", "[1, 2]", 2, true);
        test::row("no JSON", "The meeting was long", 1, false);
    }
    void unreadableNoteReply()
    {
        const auto [reply, requests, delivered] = test::fetch<QString, int, bool>({ "reply", "requests", "delivered" });
        Desk desk;
        const QUuid id = desk.addNote(QString(), QString());
        m_gemini.enqueue(FakeGemini::text(reply));
        if (delivered)
            m_gemini.enqueue(FakeGemini::text(QStringLiteral("plain words")));
        QVERIFY(desk.dictate(1.0, Target::note(id)));
        QCOMPARE(posts().size(), requests);
        QCOMPARE(desk.newest().status, delivered ? HistoryEntry::Status::done : HistoryEntry::Status::failed);
        QCOMPARE(desk.stores.notes.store().find(id)->body, delivered ? QStringLiteral("plain words") : QString());
        QCOMPARE(desk.newest().audioFile.has_value(), !delivered);
    }

    void resend_data()
    {
        test::columns<bool>({ "wavAccepted" });
        test::row("WAV accepted", true);
        test::row("WAV refused too", false);
    }
    void resend()
    {
        QFETCH(bool, wavAccepted);
        m_gemini.enqueue(FakeGemini::error(400, QStringLiteral("Unsupported audio")));
        m_gemini.enqueue(wavAccepted ? FakeGemini::text(QStringLiteral("second try"))
                                     : FakeGemini::error(400, QStringLiteral("Unsupported audio")));
        Desk desk;
        QVERIFY(desk.dictate(1.0, Target::frontApp()));
        QCOMPARE(posts().size(), 2);
        QVERIFY(sentAs(posts().at(0), "audio/mp4"));
        QVERIFY(sentAs(posts().at(1), "audio/wav"));
        QVERIFY(test::logText().contains(QStringLiteral("Gemini refused m4a with 400; sending WAV")));
        QCOMPARE(desk.state.phase(), wavAccepted ? Phase::idle : Phase::failed);
        // After the WAV was sent, the recording itself is what is kept.
        QVERIFY(wavAccepted ? desk.newest().latency.has_value() : desk.newest().audioFile->endsWith(u".wav"_qs));
        QCOMPARE(desk.state.doneText(), wavAccepted ? std::optional(u"Editor · 2 words"_qs) : std::nullopt);
    }

    // Offline: a notification is asked for, and none once they are off; tst_dictation_e2e shows a refusal with the
    // notification on the desktop.
    void failure()
    {
        qputenv("KAVO_GEMINI_BASE_URL", "http://127.0.0.1:1");
        Desk desk;
        QSignalSpy notified(&desk.flow, &DictationFlow::notificationRequested);
        QVERIFY(desk.dictate(1.0, Target::frontApp()));
        QCOMPARE(notified.value(0), QVariantList({ "Not transcribed", "The audio is saved. Try again from History." }));
        desk.stores.settings.setNotificationsOff(true);
        QVERIFY(desk.dictate(1.0, Target::frontApp()));
        qputenv("KAVO_GEMINI_BASE_URL", m_gemini.baseUrl().toString().toUtf8());

        QCOMPARE(desk.state.phase(), Phase::failed);
        const HistoryEntry& failed = desk.newest();
        QCOMPARE(failed.status, HistoryEntry::Status::failed);
        QCOMPARE(failed.error, desk.state.message());
        QVERIFY(failed.offline && !failed.latency);
        QVERIFY(failed.audioFile.value().endsWith(u".m4a"_qs)
            && QFile::exists(Config::audioDirectory() + u'/' + *failed.audioFile));
        QCOMPARE(desk.sounds.last(), EventSound::failed);
        QCOMPARE(notified.size(), 1);
    }

    // A cancelled recording of a second is kept as discarded, without text. Retrying it, two clicks make one
    // request; the entry gets its text but stays discarded.
    void retry()
    {
        Desk desk;
        desk.cancel(1.0);
        QTRY_COMPARE(desk.entries().size(), 1);
        const QUuid id = desk.newest().id;
        QVERIFY(desk.newest().status == HistoryEntry::Status::discarded && desk.newest().text.isEmpty());
        QVERIFY(QFile::exists(Config::audioDirectory() + u'/' + desk.newest().audioFile.value()));

        m_gemini.enqueue(FakeGemini::error(403, QStringLiteral("Permission denied")));
        desk.flow.retry(id);
        QTRY_VERIFY(desk.toast() && desk.toast()->title == QStringLiteral("Not transcribed"));
        QVERIFY(desk.newest().error);
        QVERIFY(!desk.state.isRetrying(id));

        m_gemini.enqueue(FakeGemini::text(QStringLiteral("now it works")));
        desk.flow.retry(id);
        desk.flow.retry(id);
        QVERIFY(desk.state.isRetrying(id));
        QTRY_VERIFY(!desk.state.isRetrying(id));
        QCOMPARE(posts().size(), 2); // the refused retry and one for both clicks
        QCOMPARE(desk.newest().text, QStringLiteral("now it works"));
        QCOMPARE(desk.newest().status, HistoryEntry::Status::discarded);
        QVERIFY(!desk.newest().error && !desk.newest().audioFile);
        QCOMPARE(desk.toast().value().detail, QStringLiteral("3 words · Editor"));
        QCOMPARE(desk.state.phase(), Phase::idle);
    }

    void phoneAudio()
    {
        Desk desk;
        const QByteArray wav = test::readFile(test::toneWav(1.0));
        desk.flow.startRecording(DictationSource::computer, Target::frontApp());
        QCOMPARE(test::outcome(desk.flow.transcribeFromPhone(wav, u"audio/wav"_qs)), ComputerBusyError().message());
        QVERIFY(test::logText().contains(QStringLiteral("phone audio turned down: the computer is busy")));
        desk.recorder.breakDown();
        QCOMPARE(desk.state.phase(), Phase::failed);

        m_gemini.enqueue(FakeGemini::text(QStringLiteral("from the phone")));
        QString text;
        QCOMPARE(test::outcome(desk.flow.transcribeFromPhone(wav, u"audio/wav"_qs), &text), "none");
        QCOMPARE(text, "from the phone");
        QCOMPARE(desk.newest().source, DictationSource::phone);
        QVERIFY(desk.newest().duration == 1.0 && !desk.newest().appName);
        QCOMPARE(desk.state.doneText(), QStringLiteral("From phone · 3 words"));
        QCOMPARE(desk.sounds.last(), EventSound::phoneDone);
    }

    // A stage and its start time change only inside `working`, and only for another stage.
    void phasesAndStages()
    {
        DictationState state;
        const QDateTime earlier = QDateTime::currentDateTime().addSecs(-30);
        state.setStage(Stage::transcribing, earlier);
        QCOMPARE(state.stage(), Stage::preparing);
        state.setPhase(Phase::recording);
        state.setStage(Stage::transcribing, earlier);
        QVERIFY(state.stage() == Stage::preparing && !state.processingStarted().isValid());
        state.setPhase(Phase::working);
        QVERIFY(state.processingStarted().isValid());
        state.setStage(Stage::transcribing, earlier);
        state.setPhase(Phase::working);
        state.setStage(Stage::transcribing, earlier.addSecs(10));
        QVERIFY(state.stage() == Stage::transcribing && state.processingStarted() == earlier);
        state.setPhase(Phase::idle);
        QVERIFY(state.stage() == Stage::preparing && !state.processingStarted().isValid());
    }

    void progressTexts_data()
    {
        test::columns<Stage, double, QString>({ "stage", "elapsed", "text" });
        test::row("3.99 s", DictationStage::transcribing, 3.99, u"Turning speech into text…"_qs);
        test::row("4.0 s", DictationStage::transcribing, 4.0, u"Waiting for the transcript…"_qs);
        test::row("7.99 s", DictationStage::transcribing, 7.99, u"Waiting for the transcript…"_qs);
        test::row("8.0 s", DictationStage::transcribing, 8.0, u"Still processing your audio…"_qs);
        test::row("12.0 s", DictationStage::transcribing, 12.0, u"Waiting for the transcript…"_qs);
        test::row("16.0 s", DictationStage::transcribing, 16.0, u"Still processing your audio…"_qs);
        test::row("started in the future", DictationStage::transcribing, -20.0, u"Turning speech into text…"_qs);
        test::row("trimming", DictationStage::trimming, 30.0, u"Shortening silence…"_qs);
        test::row("organizing", DictationStage::organizing, 0.0, u"Organizing your note…"_qs);
    }

    void progressTexts()
    {
        const auto [stage, elapsed] = test::fetch<Stage, double>({ "stage", "elapsed" });
        DictationState state;
        state.setPhase(Phase::working);
        const QDateTime now = QDateTime::currentDateTime();
        state.setStage(stage, now.addMSecs(qint64(-elapsed * 1000)));
        QTEST(state.processingMessage(now), "text");
    }
};

QTEST_GUILESS_MAIN(TestDictationFlow)
#include "tst_dictation_flow.moc"
