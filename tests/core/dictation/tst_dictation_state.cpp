#include "dictation/dictation_state.h"

#include "support/table_rows.h"

#include <QTest>

using namespace kavo;
using Phase = DictationState::Phase;
using Stage = DictationStage;

class TestDictationState : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // A stage and its start time change only inside `working`, and only for another stage.
    void phasesAndStages()
    {
        DictationState state;
        const QDateTime earlier = QDateTime::currentDateTime().addSecs(-30);
        state.setStage(Stage::transcribing, earlier);
        QCOMPARE(state.stage(), Stage::preparing);
        state.setPhase(Phase::recording);
        state.setStage(Stage::transcribing, earlier);
        QCOMPARE(state.stage(), Stage::preparing);
        QVERIFY(!state.processingStarted().isValid());

        state.setPhase(Phase::working);
        QVERIFY(state.processingStarted().isValid());
        state.setStage(Stage::transcribing, earlier);
        state.setPhase(Phase::working);
        state.setStage(Stage::transcribing, earlier.addSecs(10));
        QCOMPARE(state.stage(), Stage::transcribing);
        QCOMPARE(state.processingStarted(), earlier);

        state.setPhase(Phase::idle);
        QCOMPARE(state.stage(), Stage::preparing);
        QVERIFY(!state.processingStarted().isValid());
    }

    void progressTexts_data()
    {
        test::columns<Stage, double, QString>({ "stage", "elapsed", "text" });
        test::row("3.99 s", Stage::transcribing, 3.99, u"Turning speech into text…"_qs);
        test::row("4.0 s", Stage::transcribing, 4.0, u"Waiting for the transcript…"_qs);
        test::row("7.99 s", Stage::transcribing, 7.99, u"Waiting for the transcript…"_qs);
        test::row("8.0 s", Stage::transcribing, 8.0, u"Still processing your audio…"_qs);
        test::row("12.0 s", Stage::transcribing, 12.0, u"Waiting for the transcript…"_qs);
        test::row("16.0 s", Stage::transcribing, 16.0, u"Still processing your audio…"_qs);
        test::row("started in the future", Stage::transcribing, -20.0, u"Turning speech into text…"_qs);
        test::row("trimming", Stage::trimming, 30.0, u"Shortening silence…"_qs);
        test::row("organizing", Stage::organizing, 0.0, u"Organizing your note…"_qs);
    }

    void progressTexts()
    {
        QFETCH(Stage, stage);
        QFETCH(double, elapsed);
        DictationState state;
        state.setPhase(Phase::working);
        const QDateTime now = QDateTime::currentDateTime();
        state.setStage(stage, now.addMSecs(qint64(-elapsed * 1000)));
        QTEST(state.processingMessage(now), "text");
    }
};

QTEST_GUILESS_MAIN(TestDictationState)
#include "tst_dictation_state.moc"
