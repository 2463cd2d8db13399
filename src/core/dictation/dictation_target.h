#pragma once

#include <QUuid>

namespace kavo {

/// Where a dictation's text goes: a note, the application with the text cursor, or History alone.
struct DictationTarget
{
    enum class Kind { note, frontApp, historyOnly };

    Kind kind = Kind::frontApp;
    QUuid noteID; ///< only for `note`

    static DictationTarget note(const QUuid& id) { return { Kind::note, id }; }
    static DictationTarget frontApp() { return { Kind::frontApp, {} }; }
    static DictationTarget historyOnly() { return { Kind::historyOnly, {} }; }

    friend bool operator==(const DictationTarget& a, const DictationTarget& b)
    {
        return a.kind == b.kind && (a.kind != Kind::note || a.noteID == b.noteID);
    }
};

} // namespace kavo
