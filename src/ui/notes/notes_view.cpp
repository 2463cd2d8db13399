#include "notes_view.h"

#include "dictation/dictation_state.h"
#include "notes/notes_manager.h"
#include "state/toasts.h"

#include <algorithm>

namespace kavo {

NotesView::NotesView(NotesManager& notes, const DictationState& dictation, Toasts& toasts, QObject* parent)
    : QObject(parent)
    , m_notes(notes)
    , m_dictation(dictation)
    , m_toasts(toasts)
    , m_folderList(notes)
    , m_noteList(notes)
{
    // The lists are told first, being constructed before these connections.
    connect(&notes, &NotesManager::noteAdded, this, &NotesView::followRemovals);
    connect(&notes, &NotesManager::noteRemoved, this, &NotesView::followRemovals);
    connect(&notes, &NotesManager::folderRemoved, this, &NotesView::followRemovals);
    connect(&notes, &NotesManager::cleared, this, &NotesView::followRemovals);
    connect(&notes, &NotesManager::noteChanged, this, &NotesView::followNoteChange);
    connect(&notes, &NotesManager::folderChanged, this, [this] {
        Q_EMIT editorChanged();
        Q_EMIT deleteRequestChanged();
    });
    connect(&dictation, &DictationState::phaseChanged, this, [this] {
        const auto phase = m_dictation.phase();
        if (m_dictating.isEmpty() || (phase != DictationState::Phase::idle && phase != DictationState::Phase::failed))
            return;
        m_dictating.clear();
        Q_EMIT editorChanged();
    });
    setSelection(QUuid(), newestNoteIn(QUuid()));
}

void NotesView::setSearch(const QString& search)
{
    if (search == m_search)
        return;
    m_search = search;
    m_noteList.setFilter(m_folder, m_search);
    Q_EMIT searchChanged();
}

bool NotesView::isFolderEmpty() const
{
    return m_folderEmpty;
}

QString NotesView::noteFolderName() const
{
    const NotesStore& store = m_notes.store();
    const Note* note = store.find(m_note);
    if (!note)
        return {};
    for (const NoteFolder& folder : store.folders) {
        if (folder.id == note->folderID)
            return folder.name;
    }
    return {};
}

QString NotesView::dictationButton() const
{
    return isDictating() ? tr("Stop") : tr("Write by voice");
}

QString NotesView::deleteQuestion() const
{
    for (const NoteFolder& folder : m_notes.store().folders) {
        if (folder.id == m_deleting)
            return tr("Delete the folder “%1”?").arg(folder.name);
    }
    return {};
}

QString NotesView::deleteDetail() const
{
    if (m_deleting.isNull())
        return {};
    return tr("The %1 notes in it are deleted too.").arg(m_notes.store().count(m_deleting));
}

void NotesView::selectFolder(const QUuid& folder)
{
    show(folder, m_note);
}

void NotesView::selectNote(const QUuid& note)
{
    show(m_folder, note);
}

void NotesView::selectAdjacentFolder(int step)
{
    const int row = std::clamp(m_folderList.selectedRow() + step, 0, m_folderList.rowCount() - 1);
    selectFolder(m_folderList.folderAt(row));
}

void NotesView::selectAdjacentNote(int step)
{
    if (m_noteList.rowCount() == 0)
        return;
    const int current = m_noteList.selectedRow();
    const int row = current < 0 ? 0 : std::clamp(current + step, 0, m_noteList.rowCount() - 1);
    selectNote(m_noteList.noteAt(row));
}

void NotesView::addFolder()
{
    m_saveLater.flush();
    const NoteFolder folder = m_notes.change([](NotesStore& store) { return store.addFolder(); });
    selectFolder(folder.id);
    startRename(folder.id);
}

void NotesView::startRename(const QUuid& folder)
{
    m_folderList.setRenaming(folderExists(folder) ? folder : QUuid());
}

void NotesView::renameFolder(const QUuid& folder, const QString& name)
{
    m_saveLater.flush();
    m_notes.change([&](NotesStore& store) { store.renameFolder(folder, name); });
    cancelRename();
}

void NotesView::cancelRename()
{
    m_folderList.setRenaming(QUuid());
}

void NotesView::askDeleteFolder(const QUuid& folder)
{
    if (!folderExists(folder) || folder.isNull())
        return;
    m_deleting = folder;
    Q_EMIT deleteRequestChanged();
}

void NotesView::confirmDelete()
{
    if (m_deleting.isNull())
        return;
    m_saveLater.flush();
    const QUuid folder = std::exchange(m_deleting, QUuid());
    m_notes.change([&](NotesStore& store) { store.deleteFolder(folder); });
    Q_EMIT deleteRequestChanged();
    selectFolder(QUuid());
}

void NotesView::cancelDelete()
{
    if (m_deleting.isNull())
        return;
    m_deleting = QUuid();
    Q_EMIT deleteRequestChanged();
}

void NotesView::newNote()
{
    m_saveLater.flush();
    const QUuid selected = m_folder;
    const Note draft = m_notes.change([&](NotesStore& store) {
        QUuid target = selected;
        if (target.isNull() && !store.folders.isEmpty())
            target = store.folders.first().id;
        if (target.isNull()) {
            target = QUuid::createUuid();
            store.folders.append({ target, NotesStore::tr("Personal") });
            store.save();
        }
        return store.draft(target);
    });
    m_justCreated = draft.id;
    removeAbandonedNotes();
    // A search would hide the blank note from the list.
    setSearch(QString());
    setSelection(m_folder, draft.id);
    Q_EMIT titleFocusRequested();
}

void NotesView::editTitle(const QString& title)
{
    if (m_note.isNull() || title == m_editorTitle)
        return;
    m_editorTitle = title;
    editNoteLater(m_saveLater, m_notes, m_note, [&](Note& note) { note.title = title; });
}

void NotesView::editBody(const QString& body)
{
    if (m_note.isNull() || body == m_editorBody)
        return;
    m_editorBody = body;
    editNoteLater(m_saveLater, m_notes, m_note, [&](Note& note) { note.body = body; });
}

void NotesView::deleteNote()
{
    if (m_note.isNull())
        return;
    m_saveLater.flush();
    const QUuid note = m_note;
    // Removing the selected note selects the newest one left in the folder.
    m_notes.change([&](NotesStore& store) { store.deleteNote(note); });
    m_toasts.show(tr("Note deleted"), QString(), Toasts::Tone::success);
}

void NotesView::toggleDictation()
{
    if (m_note.isNull())
        return;
    const QUuid note = m_note;
    // Tracked before selecting, so that a blank note about to be dictated into is not dropped as abandoned.
    m_dictating.insert(note);
    selectNote(note);
    Q_EMIT editorChanged();
    Q_EMIT dictationToggled(note);
}

void NotesView::openNote(const QUuid& note)
{
    const Note* stored = m_notes.store().find(note);
    if (!stored)
        return;
    const QUuid folder = folderExists(stored->folderID) ? stored->folderID : QUuid();
    setSearch(QString());
    show(folder, note);
}

void NotesView::leave()
{
    m_saveLater.flush();
    m_justCreated = QUuid();
    removeAbandonedNotes();
}

bool NotesView::folderExists(const QUuid& folder) const
{
    const auto& folders = m_notes.store().folders;
    return std::any_of(folders.cbegin(), folders.cend(), [&](const NoteFolder& f) { return f.id == folder; });
}

QSet<QUuid> NotesView::keptBlankNotes() const
{
    QSet<QUuid> kept = m_dictating;
    if (!m_justCreated.isNull())
        kept.insert(m_justCreated);
    return kept;
}

void NotesView::removeAbandonedNotes()
{
    const QSet<QUuid> kept = keptBlankNotes();
    m_notes.change([&](NotesStore& store) { store.removeEmpty(kept); });
}

void NotesView::show(const QUuid& folder, const QUuid& note)
{
    m_saveLater.flush();
    removeAbandonedNotes();
    const QUuid shown = folder.isNull() || folderExists(folder) ? folder : QUuid();
    const Note* stored = m_notes.store().find(note);
    const bool listed = stored && (shown.isNull() || stored->folderID == shown);
    setSelection(shown, listed ? note : newestNoteIn(shown));
}

void NotesView::setSelection(const QUuid& folder, const QUuid& note)
{
    m_folder = folder;
    m_folderList.setSelected(folder);
    m_noteList.setFilter(folder, m_search);
    m_noteList.setSelected(note);
    if (note != m_note) {
        m_note = note;
        loadEditor();
    }
    updateFolderEmpty();
}

QUuid NotesView::newestNoteIn(const QUuid& folder) const
{
    const QList<Note> listed = m_notes.store().notesIn(folder.isNull() ? std::nullopt : std::optional(folder), {});
    return listed.isEmpty() ? QUuid() : listed.first().id;
}

void NotesView::loadEditor()
{
    const Note* note = m_notes.store().find(m_note);
    m_editorTitle = note ? note->title : QString();
    m_editorBody = note ? note->body : QString();
    Q_EMIT editorChanged();
    Q_EMIT bodyReplaced(false);
}

// Typing here comes back as a change equal to the editor's text and leaves the editor alone; text from elsewhere
// (a dictation appending) is shown with the cursor kept in place.
void NotesView::followNoteChange(const QUuid& changed)
{
    if (changed != m_note)
        return;
    const Note* note = m_notes.store().find(m_note);
    m_editorTitle = note->title;
    const bool bodyDiffers = note->body != m_editorBody;
    m_editorBody = note->body;
    Q_EMIT editorChanged();
    if (bodyDiffers)
        Q_EMIT bodyReplaced(true);
}

// Keeps the selection pointing at what still exists, and selects the newest note when none is.
void NotesView::followRemovals()
{
    if (!m_deleting.isNull() && !folderExists(m_deleting)) {
        m_deleting = QUuid();
        Q_EMIT deleteRequestChanged();
    }
    const QUuid folder = m_folder.isNull() || folderExists(m_folder) ? m_folder : QUuid();
    const QUuid note = m_notes.store().find(m_note) ? m_note : newestNoteIn(folder);
    setSelection(folder, note);
}

void NotesView::updateFolderEmpty()
{
    const NotesStore& store = m_notes.store();
    const bool empty = m_folder.isNull() ? store.notes.isEmpty() : store.count(m_folder) == 0;
    if (empty == m_folderEmpty)
        return;
    m_folderEmpty = empty;
    Q_EMIT folderEmptyChanged();
}

} // namespace kavo
