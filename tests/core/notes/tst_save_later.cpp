#include "notes/notes_store.h"
#include "notes/save_later.h"
#include "support/data_folder.h"

#include <QFile>
#include <QTest>
#include <QThread>

#include <chrono>

using namespace kavo;

class TestSaveLater : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { test::useTemporaryDataFolder(); }

    void onlyTheLatestWorkRunsAfterAQuietSpell()
    {
        SaveLater saveLater;
        int first = 0, second = 0;
        saveLater.schedule([&] { ++first; });
        // No events are processed while sleeping, so the first wait cannot end before the second schedule.
        QThread::msleep(400);
        const auto secondScheduled = std::chrono::steady_clock::now();
        saveLater.schedule([&] { ++second; });
        QTRY_COMPARE_WITH_TIMEOUT(second, 1, 10000); // generous, for busy machines
        // Had the wait not restarted, the first deadline would have run it 0.2 s after the second schedule.
        QVERIFY(std::chrono::steady_clock::now() - secondScheduled >= std::chrono::milliseconds(500));
        QCOMPARE(first, 0);
    }

    void flushRunsAtOnceAndDestructionDropsTheWork()
    {
        int runs = 0;
        auto* saveLater = new SaveLater;
        saveLater->schedule([&] { runs += 1, saveLater->schedule([&] { runs += 10; }); });
        saveLater->flush();
        QCOMPARE(runs, 1); // the work it scheduled waits
        saveLater->flush();
        QCOMPARE(runs, 11);
        saveLater->flush(); // nothing is left to run
        saveLater->schedule([&] { runs += 100; });
        delete saveLater;
        QTest::qWait(900);
        QCOMPARE(runs, 11);
    }

    void typedEditIsStoredLaterWhileTheNoteExists()
    {
        const QDateTime earlier = QDateTime::fromSecsSinceEpoch(1'700'000'000, Qt::UTC);
        NotesStore store = NotesStore::starter();
        store.notes = { { QUuid::createUuid(), {}, "", "", earlier, earlier, {}, {} } };
        const QUuid id = store.notes.first().id;
        const NotesAccess access = [&store](const auto& change) { change(store); };
        SaveLater saveLater;
        QVERIFY(editNoteLater(saveLater, access, id, [](Note& n) { n.title = "Ti"; }));
        QVERIFY(editNoteLater(saveLater, access, id, [](Note& n) { n.body = "Body"; }));
        QVERIFY(!editNoteLater(saveLater, access, QUuid::createUuid(), [](Note& n) { n.title = "X"; }));
        // Applied in memory at once; stored, with `updated` stamped, only later.
        QCOMPARE(QString(store.notes.first().title + store.notes.first().body), "TiBody");
        QCOMPARE(store.notes.first().updated, earlier);
        QVERIFY(!QFile::exists(NotesStore::filePath()));
        saveLater.flush();
        QVERIFY(store.notes.first().updated > earlier);
        QCOMPARE(NotesStore::load().notes, store.notes);

        // The save looks the note up when it runs: one deleted meanwhile is not brought back.
        QVERIFY(editNoteLater(saveLater, access, id, [](Note& n) { n.title = "Gone"; }));
        store.notes.clear();
        QVERIFY(QFile::remove(NotesStore::filePath()));
        saveLater.flush();
        QVERIFY(!QFile::exists(NotesStore::filePath()));
    }
};

QTEST_GUILESS_MAIN(TestSaveLater)
#include "tst_save_later.moc"
