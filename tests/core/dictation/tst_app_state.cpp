#include "dictation/app_state.h"

#include "support/data_folder.h"

#include <QDir>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

using namespace kavo;
using Phase = AppState::Phase;
using Stage = DictationStage;

class TestAppState : public QObject
{
    Q_OBJECT

    static QStringList setAside()
    {
        return QDir(Config::directory()).entryList({ QStringLiteral("*.broken-*") }, QDir::Files);
    }

private Q_SLOTS:
    void initTestCase() { test::useTemporaryDataFolder(); }
    void init() { test::emptyDataFolder(); }

    void loadsTheStoredFiles()
    {
        {
            const AppState fresh;
            QCOMPARE(fresh.config(), Config {});
            QVERIFY(QFile::exists(Config::fileURL()));
            QVERIFY(!QFile::exists(History::fileURL()));
            QCOMPARE(fresh.notes().folders.size(), 2);
        }
        test::writeFile(Config::fileURL(), "{ not json");
        test::writeFile(History::fileURL(), "[1, 2");
        test::writeFile(NotesStore::fileURL(), "{}");
        const AppState damaged;
        QCOMPARE(setAside().size(), 3);
        QCOMPARE(damaged.config(), Config {});
        QVERIFY(Config::decode(test::readFile(Config::fileURL())));
        QVERIFY(damaged.history().entries.isEmpty());
        QCOMPARE(damaged.notes().folders.size(), 2);
    }

    // A stage and its start time change only inside `working`, and only for another stage.
    void phasesAndStages()
    {
        AppState state;
        const QDateTime earlier = QDateTime::currentDateTime().addSecs(-30);
        state.setProcessingStage(Stage::transcribing, earlier);
        QCOMPARE(state.processingStage(), Stage::preparing);
        state.setPhase(Phase::recording);
        state.setProcessingStage(Stage::transcribing, earlier);
        QCOMPARE(state.processingStage(), Stage::preparing);
        QVERIFY(!state.processingStarted().isValid());

        state.setPhase(Phase::working);
        QVERIFY(state.processingStarted().isValid());
        state.setProcessingStage(Stage::transcribing, earlier);
        state.setPhase(Phase::working);
        state.setProcessingStage(Stage::transcribing, earlier.addSecs(10));
        QCOMPARE(state.processingStage(), Stage::transcribing);
        QCOMPARE(state.processingStarted(), earlier);

        state.setPhase(Phase::idle);
        QCOMPARE(state.processingStage(), Stage::preparing);
        QVERIFY(!state.processingStarted().isValid());
    }

    void progressTexts_data()
    {
        QTest::addColumn<Stage>("stage");
        QTest::addColumn<double>("elapsed");
        QTest::addColumn<QString>("text");
        QTest::newRow("3.99 s") << Stage::transcribing << 3.99 << u"Turning speech into text…"_qs;
        QTest::newRow("4.0 s") << Stage::transcribing << 4.0 << u"Waiting for the transcript…"_qs;
        QTest::newRow("7.99 s") << Stage::transcribing << 7.99 << u"Waiting for the transcript…"_qs;
        QTest::newRow("8.0 s") << Stage::transcribing << 8.0 << u"Still processing your audio…"_qs;
        QTest::newRow("12.0 s") << Stage::transcribing << 12.0 << u"Waiting for the transcript…"_qs;
        QTest::newRow("16.0 s") << Stage::transcribing << 16.0 << u"Still processing your audio…"_qs;
        QTest::newRow("started in the future") << Stage::transcribing << -20.0 << u"Turning speech into text…"_qs;
        QTest::newRow("trimming") << Stage::trimming << 30.0 << u"Shortening silence…"_qs;
        QTest::newRow("organizing") << Stage::organizing << 0.0 << u"Organizing your note…"_qs;
    }
    void progressTexts()
    {
        QFETCH(Stage, stage);
        QFETCH(double, elapsed);
        QFETCH(QString, text);
        AppState state;
        state.setPhase(Phase::working);
        const QDateTime now = QDateTime::currentDateTime();
        state.setProcessingStage(stage, now.addMSecs(qint64(-elapsed * 1000)));
        QCOMPARE(state.processingMessage(now), text);
    }

    // A newer toast replaces the one on screen and is removed 2.6 s after it was shown.
    void toasts()
    {
        AppState state;
        state.showToast(u"First"_qs, {}, Toast::Tone::info);
        const QUuid first = state.toast()->id;
        QTest::qWait(1000);
        state.showToast(u"First"_qs, {}, Toast::Tone::info);
        QVERIFY(state.toast()->id != first);
        QElapsedTimer shown;
        shown.start();
        QSignalSpy changed(&state, &AppState::toastChanged);
        QVERIFY(changed.wait(4000));
        QVERIFY(!state.toast());
        QVERIFY(shown.elapsed() >= 2550);
    }

    void lastTranscript()
    {
        AppState state;
        QCOMPARE(state.lastTranscript(), QString());
        const auto entry = [](const QString& text, HistoryEntry::Status status) {
            HistoryEntry made;
            made.text = text;
            made.status = status;
            return made;
        };
        state.updateHistory([&](History& history) {
            history.entries
                = { entry({}, HistoryEntry::Status::failed), entry(u"kept"_qs, HistoryEntry::Status::discarded),
                      entry(u"newest"_qs, HistoryEntry::Status::done), entry(u"older"_qs, HistoryEntry::Status::done) };
        });
        QCOMPARE(state.lastTranscript(), u"newest"_qs);
    }

    void phoneConnected()
    {
        AppState state;
        const QDateTime now = QDateTime::currentDateTime();
        QVERIFY(!state.phoneConnected(now));
        state.setPhoneLastSeen(now.addMSecs(-44999));
        QVERIFY(state.phoneConnected(now));
        state.setPhoneLastSeen(now.addSecs(-45));
        QVERIFY(!state.phoneConnected(now));
    }
};

QTEST_GUILESS_MAIN(TestAppState)
#include "tst_app_state.moc"
