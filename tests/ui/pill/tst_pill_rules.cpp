#include "support/table_rows.h"
#include "ui/pill/pill_rules.h"

#include <QTest>

using namespace kavo;
using test::row;
using Kind = PillRules::Kind;
using Phase = DictationState::Phase;

class TestPillRules : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void kindsAndTooltips()
    {
        QCOMPARE(PillRules::kind(Phase::idle, false), Kind::idle);
        QCOMPARE(PillRules::kind(Phase::idle, true), Kind::done);
        QCOMPARE(PillRules::kind(Phase::recording, true), Kind::listening);
        QCOMPARE(PillRules::kind(Phase::working, false), Kind::thinking);
        QCOMPARE(PillRules::kind(Phase::failed, false), Kind::failed);
        QCOMPARE(PillRules::idleTooltip(HotkeyKind::controlSuper, HotkeyMode::hold),
            "Click to record, or hold Control + Super");
        QCOMPARE(PillRules::idleTooltip(HotkeyKind::rightSuper, HotkeyMode::toggle),
            "Click to record, or press Right Super");
        QCOMPARE(PillRules::failedTooltip({}), "Something went wrong");
    }

    void shortMessage_data()
    {
        test::columns<QString, QString>({ "message", "shown" });
        row("empty", " \n", "Something went wrong");
        row("first of two sentences", "No internet. The audio is saved.", "No internet");
        row("question, then more", "Is the key right?\nCheck it.", "Is the key right");
        row("full stop inside a word", "Gemini 2.5 failed.", "Gemini 2.5 failed");
        row("40 characters", QString(40, u'a'), QString(40, u'a'));
        row("cut at a space from 21 on", "The Gemini service refused the recording, try again",
            "The Gemini service refused the…");
        row("space at 21", QString(21, u'a') + " " + QString(30, u'b'), QString(21, u'a') + "…");
        row("space before 21 ignored", "Refused: " + QString(40, u'b'), "Refused: " + QString(31, u'b') + "…");
    }

    void shortMessage()
    {
        const auto [message, shown] = test::fetch<QString, QString>({ "message", "shown" });
        QCOMPARE(PillRules::shortMessage(message), shown);
    }

    void elapsedAndWave()
    {
        QCOMPARE(PillRules::elapsedText(7.9), "0:07");
        QCOMPARE(PillRules::elapsedText(754), "12:34");
        QCOMPARE(PillRules::elapsedText(-3), "0:00");
        QCOMPARE(PillRules::waveTarget(0.2), 0.0);
        QCOMPARE(PillRules::waveTarget(0.475), 0.5);
        QCOMPARE(PillRules::waveTarget(0.9), 1.0);
        QCOMPARE(PillRules::barFraction(3, 1.5, 0.4, 0.6, false), 0.7);
        // Bar 0 at the peak of its triangle (phase 0.5) and at its start (phase 0).
        QCOMPARE(PillRules::barFraction(0, 0.3, 1.0, 0.0, true), 1.0);
        QCOMPARE(PillRules::barFraction(0, 0.6, 1.0, 0.0, true), 0.25);
        QVERIFY(PillRules::barFraction(1, 0.3, 1.0, 0.0, true) != PillRules::barFraction(2, 0.3, 1.0, 0.0, true));
    }

    void clickOrDrag()
    {
        QVERIFY(!PillRules::isDrag({ 10, 10 }, { 12, 10 }));
        QVERIFY(!PillRules::isDrag({ 10, 10 }, { 12, 12 }));
        QVERIFY(PillRules::isDrag({ 10, 10 }, { 13, 10 }));
    }

    // Screens side by side: 0..1000 with a panel of 40 at the bottom, 1000..1800 whole.
    void placement_data()
    {
        test::columns<QPointF, QRectF>({ "anchor", "frame" });
        row("default position", PillRules::defaultAnchor(QRectF(0, 0, 1000, 760)), QRectF(474, 684, 52, 52));
        row("on the second screen", QPointF(1400, 500), QRectF(1374, 448, 52, 52));
        row("past the first screen's panel", QPointF(20, 790), QRectF(0, 708, 52, 52));
        row("on a screen that is gone", QPointF(5000, -300), QRectF(1748, 0, 52, 52));
    }

    void placement()
    {
        const auto [anchor, frame] = test::fetch<QPointF, QRectF>({ "anchor", "frame" });
        const QList<QRectF> screens { QRectF(0, 0, 1000, 800), QRectF(1000, 0, 800, 600) };
        const QList<QRectF> available { QRectF(0, 0, 1000, 760), QRectF(1000, 0, 800, 600) };
        QCOMPARE(PillRules::frame(anchor, 52, QRectF(), screens, available, available[1]), frame);
    }
};

QTEST_GUILESS_MAIN(TestPillRules)
#include "tst_pill_rules.moc"
