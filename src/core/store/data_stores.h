#pragma once

#include "notes/notes_manager.h"
#include "store/history_manager.h"
#include "store/settings.h"

namespace kavo {

/// The three files the application keeps in its data folder, each behind the object that announces its changes.
struct DataStores
{
    Settings settings;
    HistoryManager history;
    NotesManager notes;

    /// Reads config.json, history.json and notes.json as a launch does: a missing settings file gives the defaults,
    /// written at once; a missing History is empty and a missing notes file gives the starter folders, neither
    /// written; a file that cannot be decoded is set aside and treated as missing. What a save cut short by a crash
    /// left beside them goes first.
    void load();
};

} // namespace kavo
