#include "notes/notes_manager.h"
#include "notes/notes_store.h"
#include "notes/save_later.h"
#include "support/data_folder.h"
#include "support/list_rows.h"
#include "support/table_rows.h"

#include <QDir>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

#include <chrono>

using namespace kavo;
using kavo::test::idsOf;
using kavo::test::row;

using Operation = std::function<void(NotesStore&)>;

namespace {

const QDateTime now(QDate(2026, 12, 4), QTime(23, 17, 16), Qt::UTC);
const QUuid personal = QUuid::fromString(QStringLiteral("0F5E2C1A-2B3C-4D5E-8F90-A1B2C3D4E5F6"));
const QUuid ideas = QUuid::fromString(QStringLiteral("1A2B3C4D-5E6F-4A8B-9C0D-E1F2A3B4C5D6"));

Note note(const QString& title, const QString& body, const QUuid& folder = personal, int secondsAgo = 60)
{
    return { QUuid::createUuid(), folder, title, body, now.addSecs(-secondsAgo), now.addSecs(-secondsAgo), {}, {} };
}

NotesStore fixture(const QList<Note>& notes)
{
    return { { { personal, "Personal" }, { ideas, "Ideas" } }, notes, [] { return now; } };
}

// Each note as title@folder index[:kind number][* when stamped now], then the folder names when they differ
// from the fixture's: "Title@0*, @1:idea5|Personal|Plans".
QString summary(const NotesStore& store)
{
    QStringList notes;
    for (const Note& n : store.notes) {
        const auto folder = std::ranges::find(store.folders, n.folderID, &NoteFolder::id) - store.folders.begin();
        const QString kind = n.kind ? u':' + *n.kind + QString::number(n.number.value_or(0)) : QString();
        notes.append(n.title + u'@' + QString::number(folder) + kind + (n.updated == now ? "*" : ""));
    }
    QString folders;
    for (const NoteFolder& folder : store.folders)
        folders += u'|' + folder.name;
    return notes.join(u',') + (folders == "|Personal|Ideas" ? QString() : folders);
}

} // namespace

class TestNotesStore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { test::useTemporaryDataFolder(); }
    void init() { test::emptyDataFolder(); }

    void loading_data()
    {
        // `from` is replaced by `to` in the written file; an empty `from` writes no file.
        test::columns<QString, QString, bool>({ "from", "to", "readable" });
        row("no file", "", "", false);
        row("lower-case UUID", "C0FFEE00-1234-4ABC-8DEF", "c0ffee00-1234-4abc-8def", true);
        row("missing updated", "\"updated\"", "\"changed\"", false);
        row("fractional seconds", "17Z", "17.250Z", false);
        row("no folders key", "\"folders\"", "\"shelves\"", false);
    }

    void loading()
    {
        const auto [from, to, readable] = test::fetch<QString, QString, bool>({ "from", "to", "readable" });
        Note stored { QUuid("C0FFEE00-1234-4ABC-8DEF-0123456789AB"), ideas, "K", "", now, now.addSecs(1), "idea", 7 };
        QByteArray bytes = fixture({ stored }).encode();
        QVERIFY(bytes.contains(from.toUtf8())); // UUIDs are written in upper case
        if (!from.isEmpty())
            test::writeFile(NotesStore::filePath(), bytes.replace(from.toUtf8(), to.toUtf8()));

        const NotesStore store = NotesStore::load();
        // An unreadable file is set aside and not rewritten; the store holds the starter folders.
        const QDir folder = QFileInfo(NotesStore::filePath()).dir();
        QCOMPARE(folder.entryList({ "notes.json.broken-*" }).size(), readable || from.isEmpty() ? 0 : 1);
        QCOMPARE(QFile::exists(NotesStore::filePath()), readable);
        QCOMPARE(summary(store), readable ? "K@1:idea7" : "");
        QCOMPARE(store.notes, readable ? QList<Note>({ stored }) : QList<Note>());
    }

    void queries()
    {
        NotesStore store = fixture({ note(" \n", "untitled", personal, 5), note("Plan ", "", ideas, 30),
            note("Lost", "", QUuid::createUuid(), 10) });
        for (int i = 0; i < 40; ++i) // enough notes of equal dates for a sort that is not stable to show it
            store.notes.append(note(QString::number(i), ""));
        QCOMPARE(store.notesIn(std::nullopt, "").mid(3), store.notes.mid(3));
        QStringList titles;
        for (const auto& recent : store.recentTitles(3))
            titles.append(recent.title + u'|' + recent.folderName);
        QCOMPARE(titles, QStringList({ "Lost|", "Plan |Ideas", "0|Personal" }));
        // A folder's name matches whatever its case and the spaces and tabs around it; the first match counts.
        const QList<NoteFolder> folders { { ideas, "Ideas" }, { personal, "work " }, { QUuid::createUuid(), "Work" } };
        QCOMPARE(NotesStore::folderNamed("\tWORK", folders), std::optional(folders[1]));
        QVERIFY(!NotesStore::folderNamed("Works", folders));

        auto add = [&](auto kind, std::optional<int> n) { store.notes.append({ {}, {}, {}, {}, {}, {}, kind, n }); };
        // Ignored: another kind, the kind in other case, a meeting without number, a number without kind.
        add("idea", 9), add("Meeting", 7), add("meeting", {}), add(std::nullopt, 8);
        QCOMPARE(store.nextNumber("meeting"), 1);
        add("meeting", 1), add("meeting", 4);
        QCOMPARE(store.nextNumber("meeting"), 5);
    }

    void operations_data()
    {
        test::columns<Operation, bool, QString>({ "operation", "saves", "after" }); // `after`: the summary()
        const auto row = [](const char* name, bool saves, const QString& after, Operation operation) {
            QTest::newRow(name) << operation << saves << after;
        };
        const QString same = "Kick@0, @1,@0";
        row("list all, newest first", false, " @1,@0,Kick@0", [](auto& s) { s.notes = s.notesIn({}, ""); });
        row("folder, blank query", false, "@0,Kick@0", [](auto& s) { s.notes = s.notesIn(personal, " \t "); });
        row("list by title and body", false, "Kick@0", [](auto& s) { s.notes = s.notesIn({}, "kick off"); });
        row("list, line break kept", false, "", [](auto& s) { s.notes = s.notesIn({}, "kick off\n"); });
        row("orphans", false, " @2,@0,Kick@0", [](auto& s) { s.notes[1].folderID = {}, s.notes = s.notesIn({}, ""); });
        row("draft reuses a blank", true, "Kick@0, @0,@0", [](auto& s) { QCOMPARE(s.draft(personal), s.notes[1]); });
        row("draft in the blank's folder", false, same, [](auto& s) { s.draft(ideas); });
        row("draft creates", true, "@1*,Kick@0", [](auto& s) { s.removeEmpty({}), s.draft(ideas); });
        row("append: trailing white space goes", true, "Kick@0*, @1*,@0", [](auto& s) {
            s.notes[0].body.prepend(u"\n \n");
            QVERIFY(s.append(" b\n", s.notes[0].id) && s.append("b", s.notes[1].id));
            QCOMPARE(s.notes[0].snippet() + u'|' + s.notes[0].body + u'|' + s.notes[1].body, " |\n \noff\n b\n|b");
        });
        row("append, no note", false, same, [](auto& s) { QVERIFY(!s.append("x", QUuid())); });
        row("update", true, "@1*, @1,@0", [](auto& s) { s.update({ s.notes[0].id, ideas, {}, {}, {}, {}, {}, {} }); });
        row("update, no note", false, same, [](auto& s) { s.update(note("T", "")); });
        row("file untitled into a new folder", true, "Kick@0,M@2:meeting5*,@0|Personal|Ideas|Ideas\n",
            [](auto& s) { QCOMPARE(s.file(s.notes[1].id, "M", "meeting", 5, "Ideas\n")->name, "Ideas\n"); });
        row("file titled", true, "Kick@1*, @1,@0", [](auto& s) { s.file(s.notes[0].id, "I", "k", {}, "\u00A0iDEAS"); });
        row("file, empty strings", true, "Kick@0, @1,@0*", [](auto& s) { s.file(s.notes[2].id, "", "idea", {}, ""); });
        row("file, no note", false, same, [](auto& s) { QVERIFY(!s.file(QUuid(), "T", {}, {}, "F")); });
        row("rename", true, same + "|Personal|Plans", [](auto& s) { s.renameFolder(ideas, " Plans\n"); });
        row("rename to blank", false, same, [](auto& s) { s.renameFolder(ideas, " \n\t"); });
        row("delete", true, "@0|Personal", [](auto& s) { s.deleteNote(s.notes[0].id), s.deleteFolder(ideas); });
        row("remove empty, one kept", true, "Kick@0,@0", [](auto& s) { s.removeEmpty({ s.notes[2].id }); });
        row("remove empty, all kept", false, same, [](auto& s) { s.removeEmpty({ s.notes[1].id, s.notes[2].id }); });
        row("add folder", true, same + "|Personal|Ideas|New folder", [](auto& s) { s.addFolder(); });
    }

    // Through the manager, whose announcements replayed on lists of rows give the store's own lists.
    void operations()
    {
        const auto [operation, saves] = test::fetch<Operation, bool>({ "operation", "saves" });
        NotesManager manager;
        // An older titled note, a note with a title of a space and a body of white space, and a blank note.
        manager.change([](NotesStore& store) {
            store = fixture({ note("Kick", "off \t\n\n", personal, 90), note(" ", "  \n \r\n", ideas), note("", "") });
        });
        const NotesStore& store = manager.store();
        test::ListRows notes { idsOf(store.notes) }, folders { idsOf(store.folders) };
        notes.follow(manager, &NotesManager::noteAdded, &NotesManager::noteChanged, &NotesManager::noteRemoved);
        folders.follow(manager, &NotesManager::folderAdded, &NotesManager::folderChanged, &NotesManager::folderRemoved);
        bool cleared = false;
        connect(&manager, &NotesManager::cleared, [&cleared] { cleared = true; });
        const QByteArray sentinel("not written");
        test::writeFile(NotesStore::filePath(), sentinel);
        manager.change(operation);
        QTEST(summary(store), "after");
        QCOMPARE(test::readFile(NotesStore::filePath()), saves ? store.encode() : sentinel);
        // A listing may sort the notes, which only a reset describes; a change the store keeps never needs one.
        QVERIFY(!cleared || !saves);
        if (!cleared)
            QCOMPARE(notes.ids, idsOf(store.notes));
        QCOMPARE(folders.ids, idsOf(store.folders));
    }

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
        auto* manager = new NotesManager;
        manager->change([&](NotesStore& store) {
            store.notes = { { QUuid::createUuid(), {}, "", "", earlier, earlier, {}, {} } };
        });
        const NotesStore& store = manager->store();
        const QUuid id = store.notes.first().id;
        QSignalSpy changed(manager, &NotesManager::noteChanged);
        SaveLater saveLater;
        QVERIFY(editNoteLater(saveLater, *manager, id, [](Note& n) { n.title = "Ti"; }));
        QVERIFY(editNoteLater(saveLater, *manager, id, [](Note& n) { n.body = "Body"; }));
        QVERIFY(!editNoteLater(saveLater, *manager, QUuid::createUuid(), [](Note& n) { n.title = "X"; }));
        // Applied in memory and announced at once; stored, with `updated` stamped, only later.
        QCOMPARE(QString(store.notes.first().title + store.notes.first().body), "TiBody");
        QCOMPARE(changed.size(), 2);
        QCOMPARE(store.notes.first().updated, earlier);
        QVERIFY(!QFile::exists(NotesStore::filePath()));
        saveLater.flush();
        QVERIFY(store.notes.first().updated > earlier);
        QCOMPARE(NotesStore::load().notes, store.notes);

        // The save looks the note up when it runs: one deleted meanwhile is not brought back.
        QVERIFY(editNoteLater(saveLater, *manager, id, [](Note& n) { n.title = "Gone"; }));
        manager->change([](NotesStore& store) { store.notes.clear(); });
        QVERIFY(QFile::remove(NotesStore::filePath()));
        saveLater.flush();
        QVERIFY(!QFile::exists(NotesStore::filePath()));

        // Nor does a save outlive the manager it was meant for.
        manager->change([&](NotesStore& store) { store.notes = { { id, {}, "", "", earlier, earlier, {}, {} } }; });
        QVERIFY(editNoteLater(saveLater, *manager, id, [](Note& n) { n.title = "Late"; }));
        delete manager;
        saveLater.flush();
        QVERIFY(!QFile::exists(NotesStore::filePath()));
    }
};

QTEST_GUILESS_MAIN(TestNotesStore)
#include "tst_notes_store.moc"
