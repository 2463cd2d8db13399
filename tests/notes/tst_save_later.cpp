#include "notes/notes_store.h"
#include "notes/save_later.h"
#include "support/data_folder.h"

#include <QElapsedTimer>
#include <QFile>
#include <QPointer>
#include <QTest>
#include <QThread>

using namespace kavo;

namespace {

const QDateTime now(QDate(2026, 12, 4), QTime(23, 17, 16), Qt::UTC);
// Far above the 0.6 s wait, so a busy machine does not fail the tests.
constexpr int patience = 10000;

// Stands for the application state: the owner of the store the screen edits.
struct StoreOwner : QObject
{
    NotesStore notes;
};

NotesAccess accessTo(StoreOwner* owner)
{
    return [owner = QPointer(owner)](const std::function<void(NotesStore&)>& change) {
        if (owner)
            change(owner->notes);
    };
}

} // namespace

class TestSaveLater : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { test::useTemporaryDataFolder(); }
    void init() { test::emptyDataFolder(); }

    void latestWorkRunsOnceAfterTheWait()
    {
        SaveLater saveLater;
        int first = 0;
        int second = 0;
        QElapsedTimer clock;
        clock.start();
        saveLater.schedule([&] { ++first; });
        saveLater.schedule([&] { ++second; });
        QCoreApplication::processEvents();
        QCOMPARE(second, 0);

        QTRY_COMPARE_WITH_TIMEOUT(second, 1, patience);
        QVERIFY(clock.elapsed() >= 500);
        QTest::qWait(900);
        QCOMPARE(second, 1);
        QCOMPARE(first, 0);
        QVERIFY(!saveLater.isPending());
    }

    void reschedulingRestartsTheWait()
    {
        SaveLater saveLater;
        qint64 ranAfter = -1;
        QElapsedTimer sinceSecond;
        saveLater.schedule([] {});
        // No events are processed while sleeping, so the first wait cannot end before the second schedule.
        QThread::msleep(400);
        sinceSecond.start();
        saveLater.schedule([&] { ranAfter = sinceSecond.elapsed(); });

        QTRY_VERIFY_WITH_TIMEOUT(ranAfter >= 0, patience);
        // Without a restart the first deadline, 0.2 s after the second schedule, would have run it.
        QVERIFY2(ranAfter >= 500, qPrintable(QString::number(ranAfter)));
    }

    void flushRunsAtOnceAndStopsTheWait()
    {
        SaveLater saveLater;
        int runs = 0;
        saveLater.schedule([&] {
            ++runs;
            if (runs == 1)
                saveLater.schedule([&] { runs += 10; });
        });
        saveLater.flush();
        QCOMPARE(runs, 1);
        // Work scheduled by the flushed work is kept for the next flush.
        QVERIFY(saveLater.isPending());
        saveLater.flush();
        QCOMPARE(runs, 11);
        saveLater.flush();
        QTest::qWait(900);
        QCOMPARE(runs, 11);
    }

    void destroyedSchedulerNeverRuns()
    {
        int runs = 0;
        auto* owner = new QObject;
        auto* saveLater = new SaveLater(owner);
        saveLater->schedule([&] { ++runs; });
        delete owner;
        QTest::qWait(900);
        QCOMPARE(runs, 0);
    }

    void typedEdit_data()
    {
        QTest::addColumn<QString>("beforeSave");
        QTest::addColumn<bool>("written");
        QTest::newRow("nothing") << "" << true;
        QTest::newRow("note deleted") << "delete note" << false;
        QTest::newRow("store replaced") << "replace store" << false;
        QTest::newRow("owner gone") << "destroy owner" << false;
    }

    void typedEdit()
    {
        QFETCH(QString, beforeSave);
        QFETCH(bool, written);
        auto* owner = new StoreOwner;
        owner->notes = NotesStore::starter();
        owner->notes.clock = [] { return now; };
        const QDateTime earlier = now.addDays(-1);
        const Note original { QUuid::createUuid(), owner->notes.folders.first().id, "", "", earlier, earlier, {}, {} };
        owner->notes.notes = { original };
        SaveLater saveLater;

        QVERIFY(editNoteLater(saveLater, accessTo(owner), original.id, [](Note& n) { n.title = "Ti"; }));
        QVERIFY(editNoteLater(saveLater, accessTo(owner), original.id, [](Note& n) { n.body = "Body"; }));
        QCOMPARE(owner->notes.notes.first().title, QStringLiteral("Ti"));
        QCOMPARE(owner->notes.notes.first().updated, earlier);
        QVERIFY(!QFile::exists(NotesStore::fileURL()));
        QVERIFY(!editNoteLater(saveLater, accessTo(owner), QUuid::createUuid(), [](Note& n) { n.title = "X"; }));

        if (beforeSave == "delete note")
            owner->notes.notes.clear();
        else if (beforeSave == "replace store")
            owner->notes = NotesStore::starter();
        else if (beforeSave == "destroy owner")
            delete std::exchange(owner, nullptr);
        saveLater.flush();

        QCOMPARE(QFile::exists(NotesStore::fileURL()), written);
        if (written) {
            const Note stored = NotesStore::load().notes.first();
            QCOMPARE(stored.title, QStringLiteral("Ti"));
            QCOMPARE(stored.body, QStringLiteral("Body"));
            QCOMPARE(stored.updated, now);
            QCOMPARE(owner->notes.notes.first(), stored);
        }
        delete owner;
    }
};

QTEST_GUILESS_MAIN(TestSaveLater)
#include "tst_save_later.moc"
