#include "notes/notes_store.h"
#include "store/json_support.h"
#include "support/data_folder.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTest>

using namespace kavo;

using Operation = std::function<void(NotesStore&)>;
Q_DECLARE_METATYPE(Operation)

namespace {

const QDateTime now(QDate(2026, 12, 4), QTime(23, 17, 16), Qt::UTC);
const QUuid personal = QUuid::fromString(QStringLiteral("0F5E2C1A-2B3C-4D5E-8F90-A1B2C3D4E5F6"));
const QUuid ideas = QUuid::fromString(QStringLiteral("1A2B3C4D-5E6F-4A8B-9C0D-E1F2A3B4C5D6"));

QDateTime minutesAgo(int minutes)
{
    return now.addSecs(-60 * minutes);
}

Note note(const QString& title, const QString& body, const QUuid& folder = personal, int age = 60)
{
    return { QUuid::createUuid(), folder, title, body, minutesAgo(age + 5), minutesAgo(age), {}, {} };
}

NotesStore fixture(const QList<Note>& notes = {})
{
    NotesStore store;
    store.folders = { { personal, QStringLiteral("Personal") }, { ideas, QStringLiteral("Ideas") } };
    store.notes = notes;
    store.clock = [] { return now; };
    return store;
}

QStringList titles(const QList<Note>& notes)
{
    QStringList result;
    for (const Note& n : notes)
        result.append(n.title);
    return result;
}

QJsonObject validNote()
{
    return {
        { "id", "C0FFEE00-1234-4ABC-8DEF-0123456789AB" },
        { "folderID", json::uuidText(ideas) },
        { "title", "Kick" },
        { "body", "off" },
        { "created", "2026-12-04T23:17:16Z" },
        { "updated", "2026-12-04T23:17:17Z" },
    };
}

QByteArray documentWith(const QJsonObject& note)
{
    const QJsonObject folder { { "id", json::uuidText(ideas) }, { "name", "Ideas" } };
    return QJsonDocument(QJsonObject { { "folders", QJsonArray { folder } }, { "notes", QJsonArray { note } } })
        .toJson();
}

QByteArray noteWith(const QString& key, const QJsonValue& value)
{
    QJsonObject object = validNote();
    if (value.isUndefined())
        object.remove(key);
    else
        object.insert(key, value);
    return documentWith(object);
}

QString brokenCopyOfNotes()
{
    const QStringList found
        = QDir(QFileInfo(NotesStore::fileURL()).absolutePath()).entryList({ QStringLiteral("notes.json.broken-*") });
    return found.size() == 1 ? found.first() : QString();
}

} // namespace

class TestNotesStore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { test::useTemporaryDataFolder(); }
    void init() { test::emptyDataFolder(); }

    void decoding_data()
    {
        QTest::addColumn<QByteArray>("document");
        QTest::addColumn<bool>("readable");
        QTest::newRow("complete note") << documentWith(validNote()) << true;
        QTest::newRow("lower-case UUID") << noteWith("id", "c0ffee00-1234-4abc-8def-0123456789ab") << true;
        QTest::newRow("null kind") << noteWith("kind", QJsonValue::Null) << true;
        QTest::newRow("missing updated") << noteWith("updated", QJsonValue::Undefined) << false;
        QTest::newRow("null title") << noteWith("title", QJsonValue::Null) << false;
        QTest::newRow("fractional seconds") << noteWith("created", "2026-12-04T23:17:16.250Z") << false;
        QTest::newRow("number 1.5") << noteWith("number", 1.5) << false;
        QTest::newRow("kind as number") << noteWith("kind", 1) << false;
        QTest::newRow("no folders key") << QByteArray(R"({"notes": []})") << false;
        QTest::newRow("top level array") << QByteArray(R"([])") << false;
    }

    void decoding()
    {
        QFETCH(QByteArray, document);
        QFETCH(bool, readable);
        QString error;
        const auto store = NotesStore::decode(document, &error);
        QCOMPARE(store.has_value(), readable);
        QCOMPARE(error.isEmpty(), readable);
    }

    void decodedValuesAndEncoding()
    {
        QJsonObject object = validNote();
        object.insert("id", "c0ffee00-1234-4abc-8def-0123456789ab");
        object.insert("kind", QJsonValue::Null);
        object.insert("number", 7);
        const auto store = NotesStore::decode(documentWith(object));
        QVERIFY(store);
        const Note& read = store->notes.first();
        QCOMPARE(read.id, QUuid::fromString(QStringLiteral("C0FFEE00-1234-4ABC-8DEF-0123456789AB")));
        QCOMPARE(read.kind, std::nullopt);
        QCOMPARE(read.number, 7);
        QCOMPARE(read.updated, now.addSecs(1));

        const QByteArray encoded = store->encode();
        QVERIFY(encoded.contains("\"C0FFEE00-1234-4ABC-8DEF-0123456789AB\""));
        QVERIFY(encoded.contains("\n            \"number\": 7,\n")); // indented, one member per line
        QVERIFY(!encoded.contains("\"kind\""));
        const auto again = NotesStore::decode(encoded);
        QVERIFY(again);
        QCOMPARE(again->folders, store->folders);
        QCOMPARE(again->notes, store->notes);
    }

    void loading_data()
    {
        QTest::addColumn<QByteArray>("onDisk"); // empty: no file
        QTest::addColumn<bool>("setAside");
        QTest::addColumn<int>("noteCount");
        QTest::newRow("no file") << QByteArray() << false << 0;
        QTest::newRow("one note lacks updated") << noteWith("updated", QJsonValue::Undefined) << true << 0;
        QTest::newRow("valid file") << documentWith(validNote()) << false << 1;
    }

    void loading()
    {
        QFETCH(QByteArray, onDisk);
        QFETCH(bool, setAside);
        QFETCH(int, noteCount);
        if (!onDisk.isEmpty())
            test::writeFile(NotesStore::fileURL(), onDisk);

        const NotesStore store = NotesStore::load();
        QCOMPARE(store.notes.size(), noteCount);
        if (noteCount == 0) {
            QCOMPARE(store.folders.size(), 2);
            QCOMPARE(store.folders.at(0).name, QStringLiteral("Personal"));
            QCOMPARE(store.folders.at(1).name, QStringLiteral("Ideas"));
            QVERIFY(store.folders.at(0).id != store.folders.at(1).id);
        }
        const QString broken = brokenCopyOfNotes();
        QCOMPARE(!broken.isEmpty(), setAside);
        if (setAside)
            QCOMPARE(test::readFile(QFileInfo(NotesStore::fileURL()).dir().filePath(broken)), onDisk);
        // Loading never writes notes.json: a missing one stays missing until the first change.
        QCOMPARE(QFile::exists(NotesStore::fileURL()), !setAside && !onDisk.isEmpty());
    }

    void blankAndSnippet_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("body");
        QTest::addColumn<bool>("blank");
        QTest::addColumn<QString>("snippet");
        const auto row = [](const char* name, const QString& title, const QString& body, bool blank,
                             const QString& snippet) { QTest::newRow(name) << title << body << blank << snippet; };
        row("empty", "", "", true, "");
        row("white space and line breaks", " \n", "\n\n\t \n", true, "\t ");
        row("title only", "Kick", "", false, "");
        row("empty lines skipped", "", "\n\nfirst\nsecond", false, "first");
        row("a line of spaces counts", "", "\n  \nsecond", false, "  ");
    }

    void blankAndSnippet()
    {
        QFETCH(QString, title);
        QFETCH(QString, body);
        const Note n = note(title, body);
        QTEST(n.isBlank(), "blank");
        QTEST(n.snippet(), "snippet");
    }

    void appending_data()
    {
        QTest::addColumn<QString>("body");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char* name, const QString& body, const QString& text, const QString& expected) {
            QTest::newRow(name) << body << text << expected;
        };
        row("trailing spaces and line breaks", "a  \n\n", "b", "a\nb");
        row("only white space", "  \n \r\n", "b", "b");
        row("empty body", "", "b", "b");
        row("leading white space kept", "\n  a\n\n  c\t", "b", "\n  a\n\n  c\nb");
        row("appended text untouched", "a", " b \n", "a\n b \n");
    }

    void appending()
    {
        QFETCH(QString, body);
        QFETCH(QString, text);
        NotesStore store = fixture({ note("", "x"), note("Title", body) });
        const Note before = store.notes.at(1);

        QVERIFY(store.append(text, before.id));
        QTEST(store.notes.at(1).body, "expected");
        QCOMPARE(store.notes.at(1).updated, now);
        QCOMPARE(store.notes.at(1).created, before.created);
        QCOMPARE(NotesStore::load().notes, store.notes);
        QVERIFY(!store.append(text, QUuid::createUuid()));
    }

    void nextNumber_data()
    {
        QTest::addColumn<QStringList>("stored"); // kind:number, an empty part is absent
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("expected");
        QTest::newRow("largest plus one") << QStringList { "meeting:1", "meeting:4" } << "meeting" << 5;
        QTest::newRow("no notes") << QStringList {} << "meeting" << 1;
        QTest::newRow("other kinds ignored") << QStringList { "idea:9", "meeting:2", ":8" } << "meeting" << 3;
        QTest::newRow("kind compared exactly") << QStringList { "Meeting:7" } << "meeting" << 1;
        QTest::newRow("meeting without number") << QStringList { "meeting:" } << "meeting" << 1;
        QTest::newRow("largest int stays")
            << QStringList { "meeting:2147483647" } << "meeting" << std::numeric_limits<int>::max();
    }

    void nextNumber()
    {
        QFETCH(QStringList, stored);
        NotesStore store = fixture();
        for (const QString& entry : std::as_const(stored)) {
            Note n = note("t", "b");
            const QString kind = entry.section(':', 0, 0);
            const QString number = entry.section(':', 1);
            if (!kind.isEmpty())
                n.kind = kind;
            if (!number.isEmpty())
                n.number = number.toInt();
            store.notes.append(n);
        }
        QFETCH(QString, kind);
        QTEST(store.nextNumber(kind), "expected");
    }

    void filing_data()
    {
        QTest::addColumn<QString>("oldTitle");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("folderName"); // "-" gives none
        QTest::addColumn<bool>("classified"); // title, kind and number taken over
        QTest::addColumn<QStringList>("expectedFolders");
        QTest::addColumn<QString>("expectedFolder");
        const auto row = [](const char* name, const QString& oldTitle, const QString& title, const QString& folder,
                             bool classified, const QStringList& folders, const QString& expectedFolder) {
            QTest::newRow(name) << oldTitle << title << folder << classified << folders << expectedFolder;
        };
        const QStringList starter { "Personal", "Ideas" };
        row("untitled, new folder", "", "Meeting 5", "Work", true, starter + QStringList { "Work" }, "Work");
        row("user title kept, folder moved", "My plan", "Idea: x", " ideas\t", false, starter, "Ideas");
        row("white space title is untitled", " \n", "Tasks", "-", true, starter, "Personal");
        row("empty title and folder given", "", "", "", false, starter, "Personal");
    }

    void filing()
    {
        QFETCH(QString, oldTitle);
        QFETCH(QString, title);
        QFETCH(QString, folderName);
        NotesStore store = fixture({ note(oldTitle, "body") });
        const QUuid id = store.notes.first().id;

        const auto folder = store.file(
            id, title, QStringLiteral("meeting"), 5, folderName == "-" ? std::nullopt : std::optional(folderName));

        const Note& filed = store.notes.first();
        QFETCH(bool, classified);
        QCOMPARE(filed.title, classified ? title : oldTitle);
        QCOMPARE(filed.kind, classified ? std::optional(QStringLiteral("meeting")) : std::nullopt);
        QCOMPARE(filed.number, classified ? std::optional(5) : std::nullopt);
        QCOMPARE(filed.updated, now);
        QStringList names;
        for (const NoteFolder& f : std::as_const(store.folders))
            names.append(f.name);
        QTEST(names, "expectedFolders");
        QVERIFY(folder);
        QTEST(folder->name, "expectedFolder");
        QCOMPARE(folder->id, filed.folderID);
        QCOMPARE(NotesStore::load().folders, store.folders);

        QVERIFY(!store.file(QUuid::createUuid(), title, {}, {}, folderName));
    }

    void folderNamed_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("expected"); // index into the folders, -1 for none
        QTest::newRow("case and surrounding spaces") << " iDEAS\t" << 1;
        QTest::newRow("stored name trimmed too") << "work" << 2;
        QTest::newRow("first of equal names") << "PERSONAL" << 0;
        QTest::newRow("no-break space trimmed") << "\u00A0Ideas" << 1;
        QTest::newRow("line break not trimmed") << "Ideas\n" << -1;
        QTest::newRow("no match") << "Ideas2" << -1;
    }

    void folderNamed()
    {
        QFETCH(QString, name);
        QFETCH(int, expected);
        const QList<NoteFolder> folders { { personal, "Personal" }, { ideas, "Ideas" },
            { QUuid::createUuid(), "  Work " }, { QUuid::createUuid(), "personal" } };
        const auto found = NotesStore::folderNamed(name, folders);
        QCOMPARE(found, expected < 0 ? std::nullopt : std::optional(folders.at(expected)));
    }

    void listing_data()
    {
        QTest::addColumn<QString>("folder"); // "" for all folders
        QTest::addColumn<QString>("query");
        QTest::addColumn<QStringList>("expected");
        const auto row = [](const char* name, const QString& folder, const QString& query,
                             const QStringList& expected) { QTest::newRow(name) << folder << query << expected; };
        const QStringList inPersonal { "Groceries", "Zulu", "Alpha", "Kick" };
        row("all", "", "", inPersonal + QStringList { "Orphan", "Kickstarter", "Встреча" });
        row("folder", "Personal", "", inPersonal);
        row("query of spaces", "Personal", " \t ", inPersonal);
        row("title and body joined", "", "kick off", { "Kick" });
        row("trimmed, any case", "", "\t KICK  ", { "Kick", "Kickstarter" });
        row("line break not trimmed", "", "kick off\n", {});
        row("folder and query", "Ideas", "kick", { "Kickstarter" });
        row("body match", "", "second", { "Zulu", "Alpha", "Kick" });
        row("orphans only without folder", "Personal", "orphan", {});
        row("Cyrillic any case", "", "ВСТРЕЧА", { "Встреча" });
    }

    void listing()
    {
        QFETCH(QString, folder);
        QFETCH(QString, query);
        const NotesStore store = fixture({
            note("Kick", "off the project\nsecond line", personal, 30),
            note("Groceries", "milk, eggs", personal, 10),
            note("Kickstarter", "", ideas, 50),
            note("Zulu", "same second", personal, 20),
            note("Встреча", "", ideas, 60),
            note("Alpha", "same second", personal, 20),
            note("Orphan", "nobody's", QUuid::createUuid(), 40),
        });
        const std::optional<QUuid> chosen
            = folder.isEmpty() ? std::nullopt : std::optional(folder == "Personal" ? personal : ideas);
        QTEST(titles(store.notesIn(chosen, query)), "expected");
    }

    void equalDatesKeepStoredOrderInLongLists()
    {
        NotesStore store = fixture();
        QStringList older;
        QStringList newer;
        for (int i = 0; i < 60; ++i) {
            const QString title = QString::number(i);
            store.notes.append(note(title, "", personal, i % 2 == 0 ? 5 : 10));
            (i % 2 == 0 ? newer : older).append(title);
        }
        QCOMPARE(titles(store.notesIn(std::nullopt, "")), newer + older);
    }

    void recentTitles_data()
    {
        QTest::addColumn<int>("limit");
        QTest::addColumn<QStringList>("expected"); // title|folder
        QTest::newRow("all titled") << 10 << QStringList { " Newest |Ideas", "Middle|Personal", "Old|" };
        QTest::newRow("limited") << 2 << QStringList { " Newest |Ideas", "Middle|Personal" };
        QTest::newRow("none") << 0 << QStringList {};
    }

    void recentTitles()
    {
        QFETCH(int, limit);
        const NotesStore store = fixture({
            note("Old", "", QUuid::createUuid(), 30),
            note(" \n", "untitled", personal, 1),
            note(" Newest ", "", ideas, 5),
            note("", "untitled", ideas, 2),
            note("Middle", "", personal, 10),
        });
        QStringList pairs;
        for (const auto& recent : store.recentTitles(limit))
            pairs.append(recent.title + '|' + recent.folderName);
        QTEST(pairs, "expected");
    }

    void draftReusesFirstBlankNote()
    {
        NotesStore store = fixture({ note("Title", ""), note("", " \n", ideas), note("", "") });
        const Note blank = store.notes.at(1);

        const Note drafted = store.draft(personal);
        QCOMPARE(drafted.id, blank.id);
        QCOMPARE(drafted.folderID, personal);
        QCOMPARE(drafted.created, blank.created);
        QCOMPARE(drafted.updated, blank.updated);
        QCOMPARE(store.notes.size(), 3);
        QCOMPARE(store.notes.at(1), drafted);

        store.notes.remove(1, 2);
        const Note created = store.draft(ideas);
        QCOMPARE(store.notes.first(), created);
        QCOMPARE(store.notes.size(), 2);
        QCOMPARE(created.folderID, ideas);
        QCOMPARE(created.created, now);
        QCOMPARE(created.updated, now);
        QVERIFY(created.isBlank() && !created.kind && !created.number);
    }

    void savesExactlyWhenChanged_data()
    {
        QTest::addColumn<Operation>("operation");
        QTest::addColumn<bool>("saves");
        // The fixture holds a titled note in Personal, then a blank note in Ideas.
        const auto titled = [](NotesStore& s) { return s.notes.at(0).id; };
        const QUuid missing = QUuid::createUuid();
        QTest::newRow("draft, blank already there") << Operation([](NotesStore& s) { s.draft(ideas); }) << false;
        QTest::newRow("draft moves blank") << Operation([](NotesStore& s) { s.draft(personal); }) << true;
        QTest::newRow("draft creates") << Operation([](NotesStore& s) {
            s.notes.removeLast();
            s.draft(ideas);
        }) << true;
        QTest::newRow("append") << Operation([=](NotesStore& s) { s.append("x", titled(s)); }) << true;
        QTest::newRow("append, no note") << Operation([=](NotesStore& s) { s.append("x", missing); }) << false;
        QTest::newRow("update") << Operation([=](NotesStore& s) { s.update(s.notes.at(0)); }) << true;
        QTest::newRow("update, no note") << Operation([=](NotesStore& s) {
            Note gone = s.notes.at(0);
            gone.id = missing;
            s.update(gone);
        }) << false;
        QTest::newRow("file, nothing to change")
            << Operation([=](NotesStore& s) { s.file(titled(s), {}, {}, {}, {}); }) << true;
        QTest::newRow("file, no note") << Operation([=](NotesStore& s) { s.file(missing, "T", {}, {}, "F"); }) << false;
        QTest::newRow("rename") << Operation([](NotesStore& s) { s.renameFolder(ideas, "Plans"); }) << true;
        QTest::newRow("rename to same name")
            << Operation([](NotesStore& s) { s.renameFolder(ideas, " Ideas\n"); }) << false;
        QTest::newRow("rename to blank") << Operation([](NotesStore& s) { s.renameFolder(ideas, " \n\t"); }) << false;
        QTest::newRow("rename, no folder") << Operation([=](NotesStore& s) { s.renameFolder(missing, "X"); }) << false;
        QTest::newRow("delete note") << Operation([=](NotesStore& s) { s.deleteNote(titled(s)); }) << true;
        QTest::newRow("delete folder") << Operation([](NotesStore& s) { s.deleteFolder(ideas); }) << true;
        QTest::newRow("remove empty, blank kept")
            << Operation([](NotesStore& s) { s.removeEmpty({ s.notes.at(1).id }); }) << false;
        QTest::newRow("remove empty") << Operation([](NotesStore& s) { s.removeEmpty({}); }) << true;
        QTest::newRow("add folder") << Operation([](NotesStore& s) { s.addFolder(); }) << true;
    }

    void savesExactlyWhenChanged()
    {
        QFETCH(Operation, operation);
        QFETCH(bool, saves);
        NotesStore store = fixture({ note("Title", "Body"), note("", "", ideas) });
        const NotesStore before = store;
        const QByteArray sentinel("not written");
        test::writeFile(NotesStore::fileURL(), sentinel);

        operation(store);

        const QByteArray onDisk = test::readFile(NotesStore::fileURL());
        QCOMPARE(onDisk == sentinel, !saves);
        if (saves) {
            QCOMPARE(onDisk, store.encode());
        } else {
            // Nothing written means nothing changed: a blank new folder name keeps the old one, and so on.
            QCOMPARE(store.folders, before.folders);
            QCOMPARE(store.notes, before.notes);
        }
    }

    void renamingTrimsTheName()
    {
        NotesStore store = fixture();
        store.renameFolder(ideas, " Plans \n");
        QCOMPARE(store.folders.at(1).name, QStringLiteral("Plans"));
    }

    void deletingAndRemovingEmpty()
    {
        const Note keptBlank = note("", "", ideas);
        NotesStore store = fixture({ note("A", ""), note("", "\n"), keptBlank, note("B", "", ideas), note("", "") });
        store.removeEmpty({ keptBlank.id });
        QCOMPARE(titles(store.notes), QStringList({ "A", "", "B" }));
        QCOMPARE(store.notes.at(1).id, keptBlank.id);

        store.deleteFolder(ideas);
        QCOMPARE(titles(store.notes), QStringList({ "A" }));
        QCOMPARE(store.folders.size(), 1);
        QCOMPARE(store.count(personal), 1);
        QCOMPARE(store.count(ideas), 0);
    }

    void addedFoldersGoLastAndMayShareNames()
    {
        NotesStore store = fixture();
        const NoteFolder first = store.addFolder();
        const NoteFolder second = store.addFolder();
        QCOMPARE(store.folders.mid(2), QList({ first, second }));
        QCOMPARE(second.name, QStringLiteral("New folder"));
        QCOMPARE(first.name, second.name);
        QVERIFY(first.id != second.id);
    }
};

QTEST_GUILESS_MAIN(TestNotesStore)
#include "tst_notes_store.moc"
