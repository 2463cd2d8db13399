#pragma once

#include "folder_list_model.h"
#include "note_list_model.h"
#include "notes/save_later.h"

#include <QObject>
#include <QSet>
#include <QUuid>
#include <QtQmlIntegration/qqmlintegration.h>

namespace kavo {

class DictationState;
class NotesManager;
class Toasts;

/// The Notes screen's state and actions: the folder and note selected, the search, the folder being renamed or
/// awaiting delete confirmation, the notes being dictated into and the editor's texts. Every store change it makes
/// first stores the typing still waiting in its SaveLater.
///
/// The application wires: `dictationToggled(note)` to start or stop a dictation into that note; `openNote()` when
/// asked to show a note; `leave()` when the user leaves the screen and at quit.
class NotesView : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The application owns the Notes screen's state")
    Q_PROPERTY(kavo::FolderListModel* folders READ folders CONSTANT)
    Q_PROPERTY(kavo::NoteListModel* notes READ notes CONSTANT)
    Q_PROPERTY(QString search READ search WRITE setSearch NOTIFY searchChanged)
    Q_PROPERTY(bool folderEmpty READ isFolderEmpty NOTIFY folderEmptyChanged)
    Q_PROPERTY(bool hasNote READ hasNote NOTIFY editorChanged)
    Q_PROPERTY(QString noteTitle READ noteTitle NOTIFY editorChanged)
    Q_PROPERTY(QString noteBody READ noteBody NOTIFY editorChanged)
    Q_PROPERTY(QString noteFolderName READ noteFolderName NOTIFY editorChanged)
    Q_PROPERTY(bool dictating READ isDictating NOTIFY editorChanged)
    Q_PROPERTY(QString dictationButton READ dictationButton NOTIFY editorChanged)
    Q_PROPERTY(bool confirmingDelete READ isConfirmingDelete NOTIFY deleteRequestChanged)
    Q_PROPERTY(QString deleteQuestion READ deleteQuestion NOTIFY deleteRequestChanged)
    Q_PROPERTY(QString deleteDetail READ deleteDetail NOTIFY deleteRequestChanged)

public:
    NotesView(NotesManager& notes, const DictationState& dictation, Toasts& toasts, QObject* parent = nullptr);

    FolderListModel* folders() { return &m_folderList; }
    NoteListModel* notes() { return &m_noteList; }

    /// The null UUID while all notes are shown.
    QUuid selectedFolder() const { return m_folder; }
    QUuid selectedNote() const { return m_note; }
    QString search() const { return m_search; }
    void setSearch(const QString& search);
    bool isFolderEmpty() const;

    bool hasNote() const { return !m_note.isNull(); }
    QString noteTitle() const { return m_editorTitle; }
    QString noteBody() const { return m_editorBody; }
    QString noteFolderName() const;
    /// The selected note is being dictated into.
    bool isDictating() const { return m_dictating.contains(m_note); }
    QString dictationButton() const;

    bool isConfirmingDelete() const { return !m_deleting.isNull(); }
    QString deleteQuestion() const;
    QString deleteDetail() const;

    /// The null UUID shows all notes. Keeps the selected note when the folder lists it, else selects the newest.
    void selectFolder(const QUuid& folder);
    /// From QML: a folder row's id, null for all notes.
    Q_INVOKABLE void selectFolder(const QVariant& folder) { selectFolder(uuidOf(folder)); }
    void selectNote(const QUuid& note);
    Q_INVOKABLE void selectNote(const QVariant& note) { selectNote(uuidOf(note)); }
    /// Moves the selection up (negative) or down the folder or note list, for the arrow keys.
    Q_INVOKABLE void selectAdjacentFolder(int step);
    Q_INVOKABLE void selectAdjacentNote(int step);

    /// Appends "New folder", selects it and starts renaming it.
    Q_INVOKABLE void addFolder();
    void startRename(const QUuid& folder);
    Q_INVOKABLE void startRename(const QVariant& folder) { startRename(uuidOf(folder)); }
    /// Ends the renaming; a blank name keeps the old one.
    void renameFolder(const QUuid& folder, const QString& name);
    Q_INVOKABLE void renameFolder(const QVariant& folder, const QString& name) { renameFolder(uuidOf(folder), name); }
    Q_INVOKABLE void cancelRename();
    void askDeleteFolder(const QUuid& folder);
    Q_INVOKABLE void askDeleteFolder(const QVariant& folder) { askDeleteFolder(uuidOf(folder)); }
    /// Deletes the folder awaiting confirmation with its notes and shows all notes.
    Q_INVOKABLE void confirmDelete();
    Q_INVOKABLE void cancelDelete();

    /// A blank note in the selected folder, else the first, else a new "Personal"; selected, with its title focused.
    Q_INVOKABLE void newNote();
    /// Changes the selected note at once; it is stored after a quiet spell.
    Q_INVOKABLE void editTitle(const QString& title);
    Q_INVOKABLE void editBody(const QString& body);
    /// Deletes the selected note and selects the newest one left in the folder.
    Q_INVOKABLE void deleteNote();
    /// Starts or stops a dictation into the selected note.
    Q_INVOKABLE void toggleDictation();

    /// Selects a note and its folder.
    void openNote(const QUuid& note);
    /// Stores pending typing and drops the blank notes left behind.
    void leave();

Q_SIGNALS:
    void searchChanged();
    void folderEmptyChanged();
    void editorChanged();
    void deleteRequestChanged();
    /// The editor's body must show noteBody; `keepCursor` when it is the same note changed from elsewhere.
    void bodyReplaced(bool keepCursor);
    void titleFocusRequested();
    /// The application starts a dictation into `note`, or stops the one running.
    void dictationToggled(const QUuid& note);

private:
    static QUuid uuidOf(const QVariant& id) { return QUuid(id.toString()); }
    bool folderExists(const QUuid& folder) const;
    /// The notes kept by removeEmpty(): those being dictated into and the just-created one.
    QSet<QUuid> keptBlankNotes() const;
    void removeAbandonedNotes();
    /// Flushes typing, drops abandoned blank notes, then shows `folder` with `note` selected when it is listed
    /// there, else the folder's newest note.
    void show(const QUuid& folder, const QUuid& note);
    void setSelection(const QUuid& folder, const QUuid& note);
    QUuid newestNoteIn(const QUuid& folder) const;
    void loadEditor();
    void followNoteChange(const QUuid& note);
    void followRemovals();
    void updateFolderEmpty();

    NotesManager& m_notes;
    const DictationState& m_dictation;
    Toasts& m_toasts;
    FolderListModel m_folderList;
    NoteListModel m_noteList;
    SaveLater m_saveLater;
    QUuid m_folder;
    QUuid m_note;
    QString m_search;
    QUuid m_deleting;
    QSet<QUuid> m_dictating;
    QUuid m_justCreated;
    QString m_editorTitle;
    QString m_editorBody;
    bool m_folderEmpty = true;
};

} // namespace kavo
