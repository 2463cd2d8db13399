#pragma once

#include "store/config.h"

#include <QString>

#include <QCoroTask>

#include <optional>

namespace kavo {

/// The two X11-style selections: the clipboard proper, and the primary selection that Shift+Insert reads in many
/// terminal emulators.
enum class ClipboardSelection { clipboard, primary };

/// The key chord that makes the focused application paste.
enum class PasteChord { controlV, controlShiftV, shiftInsert };

// The operations below complete asynchronously on the main thread's event loop. Whoever awaits one must check
// afterwards that the objects it goes on using are still there.

/// The desktop's clipboard as plain text.
class Clipboard
{
public:
    virtual ~Clipboard() = default;
    /// The selection's plain text, or nothing when it holds no text (or its owner does not answer in time).
    virtual QCoro::Task<std::optional<QString>> text(ClipboardSelection selection) = 0;
    /// Makes `text` the selection's content; this application keeps serving it until another one takes over.
    virtual QCoro::Task<> setText(ClipboardSelection selection, QString text) = 0;
};

/// Synthetic typing into the focused application.
class KeyTypist
{
public:
    virtual ~KeyTypist() = default;
    /// Types a short piece of text, whatever the user's keyboard layout.
    virtual QCoro::Task<> typeChunk(QString text) = 0;
    /// Presses and releases Return with the modifier of `mode` (never called with `NewlineMode::space`).
    virtual QCoro::Task<> pressReturn(NewlineMode mode) = 0;
    /// Called once the last key of an insertion has been sent.
    virtual void finish() = 0;
};

/// How text reaches other applications in one kind of desktop session.
class InjectionBackend
{
public:
    virtual ~InjectionBackend() = default;

    virtual Clipboard& clipboard() = 0;
    /// The chord that pastes into the application that has the keyboard focus now.
    virtual PasteChord pasteChord() = 0;
    /// False when the keys could not be sent: then nothing pastes the clipboard.
    virtual QCoro::Task<bool> sendPasteChord(PasteChord chord) = 0;
    /// Completes (after about a second at most) once the user no longer holds Control, Alt, Super or Shift, so that
    /// synthetic keys do not combine with them into shortcuts.
    virtual QCoro::Task<> waitForModifiersReleased() = 0;
    /// The typist, or null where synthetic typing cannot reach other applications.
    virtual KeyTypist* typist() = 0;
};

} // namespace kavo
