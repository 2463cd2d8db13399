#include "dictation/dictation_state.h"
#include "notes/notes_manager.h"
#include "state/toasts.h"
#include "support/data_folder.h"
#include "support/quick_window.h"
#include "support/screenshot.h"
#include "support/table_rows.h"
#include "ui/kavo/appearance.h"
#include "ui/kavo/qml_engine.h"
#include "ui/kavo/tokens.h"
#include "ui/kavo/typeface.h"
#include "ui/notes/notes_view.h"

#include <QAbstractItemModelTester>
#include <QAccessible>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QSignalSpy>
#include <QTest>

void qml_register_types_Kavo_Notes();

using namespace kavo;
using test::row;
using Script = std::function<void(NotesView&, NotesManager&, DictationState&)>;
using Edit = std::function<void(NotesStore&)>;

namespace {

const QDateTime now = QDateTime::currentDateTimeUtc().addSecs(-3600);
const QUuid personal("0F5E2C1A-2B3C-4D5E-8F90-A1B2C3D4E5F6");
const QUuid ideas("1A2B3C4D-5E6F-4A8B-9C0D-E1F2A3B4C5D6");
const QUuid travel("2B3C4D5E-6F70-4B8C-9D0E-F1A2B3C4D5E6");
const QUuid shopping("C0FFEE00-1234-4ABC-8DEF-0123456789AB");

Note note(const QString& title, const QString& body, const QUuid& folder, int minutesAgo, const QUuid& id = {})
{
    const QDateTime when = now.addSecs(-60 * minutesAgo);
    return { id.isNull() ? QUuid::createUuid() : id, folder, title, body, when, when, {}, {} };
}

void fill(NotesManager& manager, QList<NoteFolder> folders, QList<Note> notes)
{
    manager.change([&](NotesStore& store) {
        store.folders = std::move(folders);
        store.notes = std::move(notes);
        store.save();
    });
}

// Personal: Shopping (newest), Kick; Ideas: Idea; Travel: nothing.
void fillSmall(NotesManager& manager)
{
    fill(manager, { { personal, "Personal" }, { ideas, "Ideas" }, { travel, "Travel" } },
        { note("Shopping", "milk\nbread", personal, 1, shopping), note("Idea", "Solar KITE", ideas, 5),
            note("Kick", "off meeting", personal, 9) });
}

// Each note as title@folder in stored order ("_" for no title, "*" for the selected one), then the folder names.
QString summary(const NotesManager& manager, const NotesView& view)
{
    QStringList parts;
    for (const Note& n : manager.store().notes) {
        const auto folder = std::ranges::find(manager.store().folders, n.folderID, &NoteFolder::id);
        parts << (n.title.isEmpty() ? u"_"_qs : n.title) + u'@' + folder->name
                + (n.id == view.selectedNote() ? "*" : "");
    }
    for (const NoteFolder& folder : manager.store().folders)
        parts << u'|' + folder.name;
    return parts.join(u' ');
}

QString column(const QAbstractItemModel& model, int role)
{
    QStringList values;
    for (int row = 0; row < model.rowCount(); ++row)
        values << model.index(row, 0).data(role).toString();
    return values.join(u',');
}

} // namespace

class NotesScreenTest : public QObject
{
    Q_OBJECT

    Appearance m_appearance;
    Tokens m_tokens { m_appearance };
    QQmlEngine m_engine;
    DictationState m_dictation;
    Toasts m_toasts;

    std::unique_ptr<QQuickWindow> window(NotesView& view)
    {
        return test::showScreen(m_engine, "Kavo.Notes", "NotesScreen", &view);
    }

    static void click(QQuickWindow& window, const char* objectName, Qt::MouseButton button = Qt::LeftButton)
    {
        auto* item = window.findChild<QQuickItem*>(objectName);
        QVERIFY2(item && item->isVisible(), objectName);
        QTest::mouseClick(&window, button, {}, item->mapToScene(item->boundingRect().center()).toPoint());
    }

private Q_SLOTS:
    void initTestCase()
    {
        test::prepareInterface(m_engine, m_tokens);
        qml_register_types_Kavo_Notes();
    }

    void init() { test::emptyDataFolder(); }
    void cleanup() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    void listing_data()
    {
        test::columns<QUuid, QString, QString>({ "folder", "query", "titles" });
        row("all, newest first", QUuid(), "", "Shopping,Idea,Kick");
        row("folder restricts", personal, "", "Shopping,Kick");
        row("title match", QUuid(), "shop", "Shopping");
        row("body match, any case", QUuid(), "kite", "Idea");
        row("across title and body", personal, " kick off\t", "Kick");
        row("body match outside folder", personal, "solar", "");
        row("empty folder", travel, "", "");
    }

    void listing()
    {
        const auto [folder, query] = test::fetch<QUuid, QString>({ "folder", "query" });
        NotesManager manager;
        fillSmall(manager);
        NoteListModel model(manager);
        QAbstractItemModelTester tester(&model);
        model.setFilter(folder, query);
        QTEST(column(model, NoteListModel::TitleRole), "titles");
    }

    // Rows follow each change without a reset: counts of all notes, then of each folder; the Personal list.
    void listsFollowChanges_data()
    {
        test::columns<Edit, QString, QString>({ "edit", "counts", "personal" });
        row("nothing", Edit([](NotesStore&) {}), "3,2,1,0", "Shopping,Kick");
        row("note added", Edit([](NotesStore& s) { s.draft(personal); }), "4,3,1,0", "Untitled note,Shopping,Kick");
        row("note moved", Edit([](NotesStore& s) { s.notes[2].folderID = ideas; }), "3,1,2,0", "Shopping");
        row("note deleted", Edit([](NotesStore& s) { s.deleteNote(shopping); }), "2,1,1,0", "Kick");
        row("older note edited goes first", Edit([](NotesStore& s) { s.update(s.notes[2]); }), "3,2,1,0",
            "Kick,Shopping");
        row("folder added, a note moved in", Edit([](NotesStore& s) { s.notes[2].folderID = s.addFolder().id; }),
            "3,1,1,0,1", "Shopping");
        row("folder deleted", Edit([](NotesStore& s) { s.deleteFolder(personal); }), "1,1,0", "");
    }

    void listsFollowChanges()
    {
        const auto [edit] = test::fetch<Edit>({ "edit" });
        NotesManager manager;
        fillSmall(manager);
        FolderListModel folders(manager);
        NoteListModel notes(manager);
        notes.setFilter(personal, {});
        QAbstractItemModelTester folderTester(&folders);
        QAbstractItemModelTester noteTester(&notes);
        QSignalSpy resets(&notes, &QAbstractItemModel::modelReset);
        manager.change(edit);
        QTEST(column(folders, FolderListModel::CountRole), "counts");
        QTEST(column(notes, NoteListModel::TitleRole), "personal");
        QCOMPARE(resets.count(), 0);
    }

    void newNoteRules_data()
    {
        test::columns<Script, QString>({ "script", "notes" });
        row("into the selected folder", Script([](NotesView& v, NotesManager&, DictationState&) {
            v.selectFolder(ideas);
            v.newNote();
        }),
            "_@Ideas* Shopping@Personal Idea@Ideas Kick@Personal |Personal |Ideas |Travel");
        row("all notes: into the first folder",
            Script([](NotesView& v, NotesManager&, DictationState&) { v.newNote(); }),
            "_@Personal* Shopping@Personal Idea@Ideas Kick@Personal |Personal |Ideas |Travel");
        row("no folders: into a new Personal", Script([](NotesView& v, NotesManager& m, DictationState&) {
            fill(m, {}, {});
            v.newNote();
        }),
            "_@Personal* |Personal");
        row("a blank note is reused", Script([](NotesView& v, NotesManager& m, DictationState&) {
            m.change([](NotesStore& s) { s.draft(travel); });
            v.newNote();
        }),
            "_@Personal* Shopping@Personal Idea@Ideas Kick@Personal |Personal |Ideas |Travel");
        row("just-created kept when picking a note", Script([](NotesView& v, NotesManager&, DictationState&) {
            v.newNote();
            v.selectNote(shopping);
        }),
            "_@Personal Shopping@Personal* Idea@Ideas Kick@Personal |Personal |Ideas |Travel");
        row("abandoned blank dropped on leaving", Script([](NotesView& v, NotesManager&, DictationState&) {
            v.newNote();
            v.leave();
        }),
            "Shopping@Personal* Idea@Ideas Kick@Personal |Personal |Ideas |Travel");
        row("blank being dictated into kept", Script([](NotesView& v, NotesManager&, DictationState& d) {
            v.newNote();
            v.toggleDictation();
            d.setPhase(DictationState::Phase::recording);
            v.leave();
        }),
            "_@Personal* Shopping@Personal Idea@Ideas Kick@Personal |Personal |Ideas |Travel");
        row("dropped once the dictation ends", Script([](NotesView& v, NotesManager&, DictationState& d) {
            v.newNote();
            v.toggleDictation();
            d.setPhase(DictationState::Phase::recording);
            d.setPhase(DictationState::Phase::failed);
            v.leave();
        }),
            "Shopping@Personal* Idea@Ideas Kick@Personal |Personal |Ideas |Travel");
    }

    void newNoteRules()
    {
        const auto [script] = test::fetch<Script>({ "script" });
        NotesManager manager;
        fillSmall(manager);
        DictationState dictation;
        NotesView view(manager, dictation, m_toasts);
        QAbstractItemModelTester noteTester(view.notes());
        QSignalSpy focus(&view, &NotesView::titleFocusRequested);
        script(view, manager, dictation);
        QTEST(summary(manager, view), "notes");
        QCOMPARE(focus.count(), 1);
    }

    // Dictating flips the button, deleting a note selects the newest left, and a dictated append reaches the editor.
    void editorFollowsTheNote()
    {
        NotesManager manager;
        fillSmall(manager);
        DictationState dictation;
        NotesView view(manager, dictation, m_toasts);
        QSignalSpy toggled(&view, &NotesView::dictationToggled);
        QSignalSpy replaced(&view, &NotesView::bodyReplaced);
        view.selectFolder(personal);
        QCOMPARE(view.dictationButton(), "Write by voice");
        view.toggleDictation();
        QCOMPARE(toggled.value(0).value(0).toUuid(), shopping);
        QCOMPARE(view.dictationButton(), "Stop");
        view.editBody(u"milk"_qs);
        QCOMPARE(replaced.count(), 0);
        manager.change([](NotesStore& s) { s.append(u"eggs"_qs, shopping); });
        QCOMPARE(view.noteBody(), "milk\neggs");
        QCOMPARE(replaced.value(0).value(0).toBool(), true);
        dictation.setPhase(DictationState::Phase::working);
        dictation.setPhase(DictationState::Phase::idle);
        QCOMPARE(view.dictationButton(), "Write by voice");

        view.deleteNote();
        QCOMPARE(m_toasts.current()->title, "Note deleted");
        QCOMPARE(view.noteTitle(), "Kick");
        view.deleteNote();
        QVERIFY(view.isFolderEmpty() && !view.hasNote());
        view.openNote(manager.store().notes.first().id);
        QCOMPARE(view.selectedFolder(), ideas);
        QCOMPARE(view.noteTitle(), "Idea");
    }

    // Every control is reached with Tab and named; typing is stored after a quiet spell, not before.
    void typingIsSavedAfterQuiet()
    {
        NotesManager manager;
        fillSmall(manager);
        NotesView view(manager, m_dictation, m_toasts);
        const auto screen = window(view);
        QCOMPARE(test::tabOrder(*screen, 12).join(u'|'),
            "All notes|Add folder|New note|Search notes|Shopping|Write by voice|Delete note|Title|"
            "Write, or press the dictation button and speak…");

        QTest::keyClick(screen.get(), Qt::Key_Tab, Qt::ShiftModifier);
        const QByteArray before = test::readFile(NotesStore::filePath());
        for (const char key : { 'E', 'g', 'g', 's', ' ' })
            QTest::keyClick(screen.get(), key);
        QCOMPARE(view.noteBody(), "Eggs milk\nbread");
        QCOMPARE(test::readFile(NotesStore::filePath()), before);
        QTest::qWait(int(SaveLater::quietSpell.count()) - 250);
        QCOMPARE(test::readFile(NotesStore::filePath()), before);
        QTRY_VERIFY_WITH_TIMEOUT(test::readFile(NotesStore::filePath()).contains("Eggs milk\\nbread"), 1000);
    }

    // The folder's context menu, opened from the keyboard, renames inline and asks before deleting; all notes are
    // shown after.
    void deleteFolderThroughMenu()
    {
        NotesManager manager;
        fillSmall(manager);
        NotesView view(manager, m_dictation, m_toasts);
        QAbstractItemModelTester folderTester(view.folders());
        QAbstractItemModelTester noteTester(view.notes());
        const auto screen = window(view);
        QTest::keyClick(screen.get(), Qt::Key_Tab);
        QTest::keyClick(screen.get(), Qt::Key_Down);
        QTest::keyClick(screen.get(), Qt::Key_Down);
        QCOMPARE(view.selectedFolder(), ideas);
        QTest::keyClick(screen.get(), Qt::Key_Menu);
        QTest::keyClick(screen.get(), Qt::Key_Down);
        QTest::keyClick(screen.get(), Qt::Key_Return);
        QTRY_COMPARE(test::focusedName(*screen), "Rename");
        for (const char key : { 'T', 'r', 'i', 'p', 's' })
            QTest::keyClick(screen.get(), key);
        QTest::keyClick(screen.get(), Qt::Key_Return);
        QCOMPARE(manager.store().folders[1].name, "Trips");
        QTest::keyClick(screen.get(), Qt::Key_Menu);
        QTest::keyClick(screen.get(), Qt::Key_Down);
        QTest::keyClick(screen.get(), Qt::Key_Down);
        QTest::keyClick(screen.get(), Qt::Key_Return);
        QVERIFY(view.isConfirmingDelete());
        QCOMPARE(view.deleteQuestion(), "Delete the folder “Trips”?");
        QCOMPARE(view.deleteDetail(), "The 1 notes in it are deleted too.");
        QTRY_COMPARE(test::focusedName(*screen), "Cancel");
        click(*screen, "confirmDelete");
        QVERIFY(!view.isConfirmingDelete());
        QCOMPARE(view.selectedFolder(), QUuid());
        QCOMPARE(column(*view.folders(), FolderListModel::NameRole), "All notes,Personal,Travel");
        QCOMPARE(column(*view.notes(), NoteListModel::TitleRole), "Shopping,Kick");
    }

    void screenshots()
    {
        const QUuid work = QUuid::createUuid();
        NotesManager manager;
        fill(manager, { { personal, "Shaxsiy" }, { ideas, "G‘oyalar" }, { work, "Ish" }, { travel, "Sayohat" } },
            { note("Xaridlar ro‘yxati", "Sut, non, tuxum\nOlma va anor", personal, 3),
                note("Meeting 4 · Dec 4", "Discussed the launch plan with Dilnoza.\nNext: pricing page", work, 25),
                note("Ertangi reja", "Soat 9:00 da ofisga borish", personal, 70),
                note("Idea: voice notes in the car", "Hands-free dictation while driving", ideas, 190),
                note("Kitoblar", "“O‘tkan kunlar” — Abdulla Qodiriy", personal, 60 * 26),
                note("Tasks · Dec 2", "Send the invoice\nCall the bank", work, 60 * 50),
                note("", "Yangi loyiha haqida fikrlar", ideas, 60 * 75), note("Sprint review", "", work, 60 * 100),
                note("Oilaviy tadbir", "Shanba kuni soat 18:00", personal, 60 * 120),
                note("Journal · Nov 30", "A calm day; finished the report.", personal, 60 * 150) });
        NotesView view(manager, m_dictation, m_toasts);
        view.selectFolder(work);
        for (const bool dark : { false, true }) {
            m_appearance.setTheme(dark ? ThemeMode::dark : ThemeMode::light);
            const auto screen = window(view);
            test::screenshot(*screen, dark ? u"notes-screen-dark"_qs : u"notes-screen-light"_qs);
        }
        view.selectFolder(travel);
        auto screen = window(view);
        test::screenshot(*screen, u"notes-screen-empty-folder-dark"_qs);
        m_appearance.setTheme(ThemeMode::light);
        view.askDeleteFolder(ideas);
        QTest::qWait(300); // the dialog's opening transition
        test::screenshot(*screen, u"notes-screen-delete-folder-light"_qs);
        view.cancelDelete();
        view.addFolder();
        test::screenshot(*screen, u"notes-screen-rename-light"_qs);
    }
};

QTEST_MAIN(NotesScreenTest)
#include "tst_notes_screen.moc"
