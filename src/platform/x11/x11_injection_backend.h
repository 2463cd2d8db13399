#pragma once

#include "delivery/injection_backend.h"

#include <functional>
#include <memory>

namespace kavo {

class X11Clipboard;
class X11Connection;
class X11Keyboard;

/// Text delivery in an X11 session: selections owned through this application's own connection, keys through
/// XTest.
class X11InjectionBackend : public InjectionBackend
{
public:
    /// Makes the clipboard the backend uses from the one on its own X connection.
    using ClipboardWrapper = std::function<std::unique_ptr<Clipboard>(std::unique_ptr<Clipboard> x11)>;

    /// Null (after a log line) when the display cannot be opened or has no XTest.
    static std::unique_ptr<X11InjectionBackend> create(const ClipboardWrapper& wrapClipboard = {});
    ~X11InjectionBackend() override;

    Clipboard& clipboard() override;
    PasteChord pasteChord() override;
    QCoro::Task<bool> sendPasteChord(PasteChord chord) override;
    QCoro::Task<> waitForModifiersReleased() override;
    KeyTypist* typist() override;

    /// Ctrl+V, or the chord of the terminal emulator whose window has this WM_CLASS (instance and class name).
    static PasteChord pasteChordFor(const QString& instanceName, const QString& className);

private:
    X11InjectionBackend(std::unique_ptr<X11Connection> connection, const ClipboardWrapper& wrapClipboard);

    std::unique_ptr<X11Connection> m_connection;
    std::unique_ptr<Clipboard> m_clipboard;
    std::unique_ptr<X11Keyboard> m_keyboard;
};

} // namespace kavo
